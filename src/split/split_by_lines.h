#pragma once
// Parts of a number of lines drawn anew for every part from the range of two boxes.

#include <string_view>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByLines(SplitContext& ctx, SplitJobState& state, const Text& source);

// A line skipped by "ignore blank lines": nothing but tabs, spaces and full-width spaces, in the
// code page or, with `utf8`, in UTF-8.
bool isBlankLine(std::string_view line, bool utf8 = false);

}  // namespace pw
