#pragma once
// Picking a phrase of a part's own text to name the part after.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/job_host.h"
#include "split/random_draw.h"

namespace pw {

// The pattern that cuts a text into phrases: any of the separator characters, a line break, or
// a full stop followed by a space.
Text titleSeparatorPattern();

// The phrases of a text, cut in one pass. Held as the cleaned text, one byte per phrase (its
// length in characters without its outer spaces, up to 255) and the start of every 64th phrase,
// so a large text is held once and any phrase is found again by cutting from the nearest start.
// The text is in the code page, or valid UTF-8 (cut as its code-page form would be, and its
// phrases given in the code page).
class TitlePhrases {
  public:
    struct Index {
        std::unique_ptr<uint8_t[]> lengths;
        size_t count = 0;
        std::vector<size_t> starts;  // of phrases 0, 64, 128, ...
    };

    TitlePhrases() = default;
    explicit TitlePhrases(Text cleaned, bool utf8 = false);

    size_t size() const { return index_.count; }
    bool empty() const { return index_.count == 0; }
    Text operator[](size_t i) const;
    // Phrase i, or only its characters that start less than `bytes` into it (`whole` says which).
    struct Head {
        Text text;
        bool whole;
    };
    Head head(size_t i, size_t bytes) const;
    std::vector<Text> list() const;

    // How many phrases have, without their outer spaces, at least minChars characters (at least
    // one when minChars < 1); and the number of the i-th of them, from 0.
    size_t countLongEnough(int minChars) const;
    size_t nthLongEnough(int minChars, size_t i) const;

    // Whether phrase i has, without its outer spaces, at least `least` (1 or more) characters.
    bool isLongEnough(size_t phrase, size_t least) const;

  private:
    Text text_;
    bool utf8_ = false;
    Index index_;
};

// The phrases of a text: tags stripped, blank lines and the blanks at line ends removed, then cut
// at every separator (and at the phrase marker itself). Empty phrases are kept, except an empty
// last one. The text is cleaned in place.
TitlePhrases titlePhrases(Text text, bool utf8 = false);

struct PhrasePicker {
    RandomSource& rng;
    Clock& clock;
    JobHost& host;  // pending events run once per pick
};

// The number of a phrase drawn at random that, without its outer spaces, has at least `minChars`
// characters (any length when minChars < 1); when none has, of any phrase. npos when there are
// none. Pending events run once per pick.
size_t pickTitlePhraseNumber(const TitlePhrases& phrases, int minChars, PhrasePicker& picker);

// That phrase: without its outer spaces when it is long enough, else as it is.
Text pickTitlePhrase(const TitlePhrases& phrases, int minChars, PhrasePicker& picker);
Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker);

}  // namespace pw
