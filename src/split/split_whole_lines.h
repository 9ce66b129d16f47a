#pragma once
// The count and the size mode cut at record ends: N parts of nearly equal size, or parts of as
// many whole records as fit a size; either with the source's header copied to every part.

#include "split/mode_result.h"

namespace pw {

// A header longer than this is refused: every part holds a copy, and it is held to write them.
inline constexpr int64_t kMaxHeaderBytes = int64_t(1) << 20;

// Whether the options cut the count or the size mode at record ends (a header or csv asks for
// it too).
bool cutsWholeLines(const SplitOptions& options);

ModeResult splitWholeLines(SplitContext& ctx, SplitJobState& state, const Text& source);

}  // namespace pw
