#pragma once
// Splitting the decoded text of a source at every occurrence of a delimiter string.

#include <string_view>
#include <vector>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source);

// The pieces between the occurrences of `delimiter`, taken from the left, each starting at a
// character boundary and matched byte for byte. Empty pieces are kept, except an empty last one.
// One pass over the text, whatever the delimiter.
std::vector<std::string_view> splitAtDelimiter(std::string_view text, std::string_view delimiter);

}  // namespace pw
