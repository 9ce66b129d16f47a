#pragma once
// Splitting the decoded text of a source at every occurrence of a delimiter string. The
// delimiter is the tag of 按钮输入字符串.

#include <string_view>
#include <vector>

#include "split/mode_result.h"

namespace pw {

ModeResult splitByDelimiter(EngineContext& ctx, SplitJobState& state, const Text& source);

// Asks for the delimiter in the input dialog, the current one in its body; OK stores the body's
// text (even an empty one) as the new delimiter.
void promptDelimiter(Form& form);

// The pieces between the occurrences of `delimiter`, taken from the left, each starting at a
// character boundary and matched byte for byte. Empty pieces are kept, except an empty last one.
// One pass over the text, whatever the delimiter.
std::vector<std::string_view> splitAtDelimiter(std::string_view text, std::string_view delimiter);

}  // namespace pw
