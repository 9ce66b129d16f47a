#pragma once
// Picking a phrase of a part's own text to name the part after.

#include <string_view>
#include <utility>
#include <vector>

#include "platform/form.h"
#include "split/random_draw.h"

namespace pw {

// The pattern that cuts a text into phrases: any of the separator characters, a line break, or
// a full stop followed by a space.
Text titleSeparatorPattern();

// The phrases of a text, as spans of one cleaned copy of it: a large text is held once, not once
// more per phrase.
class TitlePhrases {
  public:
    TitlePhrases() = default;
    TitlePhrases(const std::vector<Text>& phrases);  // NOLINT: a list is phrases as they are
    TitlePhrases(Text text, std::vector<std::pair<size_t, size_t>> spans)
        : text_(std::move(text)), spans_(std::move(spans)) {}

    size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    std::string_view operator[](size_t i) const {
        return std::string_view(text_).substr(spans_[i].first, spans_[i].second);
    }
    std::vector<Text> list() const;

  private:
    Text text_;
    std::vector<std::pair<size_t, size_t>> spans_;  // offset and length
};

// The phrases of a text: tags stripped, blank lines and the blanks at line ends removed, then cut
// at every separator (and at the phrase marker itself). Empty phrases are kept, except an empty
// last one. One pass over the text.
TitlePhrases titlePhrases(std::string_view text);

struct PhrasePicker {
    RandomSource& rng;
    Clock& clock;
    Form& form;  // pending events run once per phrase looked at
};

// A phrase drawn at random that, without its outer spaces, has at least `minChars` characters
// (any length when minChars < 1); when none has, any phrase as it is. Empty when there are none.
Text pickTitlePhrase(const TitlePhrases& phrases, int minChars, PhrasePicker& picker);
Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker);

// The text without the spaces and full-width spaces at its ends.
Text trimSpaces(std::string_view text);
std::string_view trimmedSpaces(std::string_view text);

}  // namespace pw
