#pragma once
// Parts of a number of characters drawn anew for every part from the range of two boxes.

#include <string_view>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByCharacters(SplitContext& ctx, SplitJobState& state, const Text& source);

struct TakenChars {
    std::string_view part;
    bool more;  // content is left after the part
};

// Moves `position` past up to `n` characters of `content` and returns how many it passed.
int64_t skipChars(std::string_view content, int64_t n, size_t& position);
// The same over valid UTF-8, which has as many characters as its code-page form (CR LF is one).
int64_t skipUtf8Chars(std::string_view content, int64_t n, size_t& position);

// The `n` characters of `content` that start at byte `position`, which moves past them; a CR LF
// pair and a multi-byte character are never cut. Nothing, and no more, when n < 1.
TakenChars takeChars(std::string_view content, int64_t n, size_t& position);

}  // namespace pw
