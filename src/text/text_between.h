#pragma once
// Searching code-page text, and taking the text that stands between two markers.

#include <cstdint>

#include "text/codepage.h"

namespace pw {

// Every pair of apostrophes becomes one double quote: the way literal texts hold a double quote.
Text expandQuotes(std::string_view text);

// 0-based position of the first occurrence of `needle` at or after `from`, or npos. Candidates
// are character starts only (counted from `from`), and ASCII letters match either case.
size_t findText(std::string_view text, std::string_view needle, size_t from = 0);

// Walks the spans between `left` and `right` markers. `position` is 1-based and kept by the
// caller: below 1 means the start, after a hit it is just past the right marker, and
// kSearchExhausted once nothing more is found. An empty marker stands for the start or the end
// of the text. When the markers hold double quotes and nothing is found, they are tried once
// more without them.
inline constexpr int64_t kSearchExhausted = -2;
Text textBetween(std::string_view text, std::string_view left, std::string_view right,
                 int64_t& position, bool keepQuotes = false);

}  // namespace pw
