#pragma once
// The whole text of a source for the text modes, decoded into the code page.

#include <optional>

#include "split/split_job_state.h"

namespace pw {

// Decodes the source and records its encoding, so that parts are written back in it. A text that
// ended at a NUL byte leaves the source not intact (the bytes after it reach no part). Nothing
// when the source cannot be read; it is then counted as unreadable.
std::optional<Text> decodeSource(EngineContext& ctx, SplitJobState& state, const Text& source);

}  // namespace pw
