#pragma once
// The numbers of split's options, read as the window reads its boxes: a size with its unit, a
// count range, and the named sizes of real limits.

#include <cstdint>
#include <string_view>

#include "platform/text_bytes.h"
#include "split/split_options.h"

namespace pw::cli {

enum class SizeError { None, Unit, Number };
constexpr int kUnitlessSize = 3;  // GB, as the window's unit box starts

// "1.5MB" → number text "1.5" and unit index 2. A unit other than B, KB, MB and GB (ASCII case
// ignored) after a number is a unit error; anything else that is not a plain number is a number
// error. Full-width forms fold first, the unit's as well as the number's.
SizeError parseSize(std::string_view arg, Text& number, int& unit);

// "5" → 5 and 5; "5-10" → 5 and 10, each side read as the window reads its boxes (full-width
// digits and dash too, "1.5" as 1, "x" as 0); the count check then refuses what the window
// would.
CountRange parseRange(std::string_view arg);

// A count the window would refuse is refused with its message (status 2), before anything is
// written; 0 otherwise.
int refuseCount(bool lines, const CountRange& range);

// Sizes for real limits, exact in bytes.
struct SizePreset {
    std::string_view name;
    int64_t bytes;
};
// The preset `arg` names (ASCII case ignored), or none.
const SizePreset* findSizePreset(std::string_view arg);

}  // namespace pw::cli
