#pragma once
// The text modes' reading of a source: its whole text in the code page, with the encoding found
// kept in the job state so the parts go back into it.

#include <optional>

#include "split/split_job_state.h"

namespace pw {

// The source's text; nothing when it cannot be read (counted as unreadable). A text that ended
// at a NUL byte leaves the rest of the source out of every part, so the source is kept.
std::optional<Text> decodeSource(SplitContext& ctx, SplitJobState& state, const Text& source);

}  // namespace pw
