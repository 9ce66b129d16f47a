#pragma once
// Picking a phrase of a part's own text to name the part after.

#include <vector>

#include "platform/form.h"
#include "split/random_draw.h"

namespace pw {

// The pattern that cuts a text into phrases: any of the separator characters, a line break, or
// a full stop followed by a space.
Text titleSeparatorPattern();

// The phrases of a text: tags stripped, blank lines and the blanks at line ends removed, then cut
// at every separator. Empty phrases are kept, except an empty last one.
std::vector<Text> titlePhrases(std::string_view text);

struct PhrasePicker {
    RandomSource& rng;
    Clock& clock;
    Form& form;  // pending events run once per phrase looked at
};

// A phrase drawn at random that, without its outer spaces, has at least `minChars` characters
// (any length when minChars < 1); when none has, any phrase as it is. Empty when there are none.
Text pickTitlePhrase(const std::vector<Text>& phrases, int minChars, PhrasePicker& picker);
Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker);

// The text without the spaces and full-width spaces at its ends.
Text trimSpaces(std::string_view text);

}  // namespace pw
