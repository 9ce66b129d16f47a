#pragma once
// The byte modes: a given number of equal parts, or parts of a given size.

#include <vector>

#include "split/split_job_state.h"

namespace pw {

enum class ModeResult { Done, Abort };

// An option refused: the message, the focus on its box, and the job ends.
ModeResult refuseOption(EngineContext& ctx, std::string_view message, std::string_view box);

// More parts of one file than any use has; a job that would write more is refused before it
// starts, as it would otherwise fill the disk's table of files with empty ones.
inline constexpr int64_t kMaxPartsPerFile = 1000000;

// Refuses a job of the count (or, `bySize`, the size) mode that would cut one of `files` into
// more than kMaxPartsPerFile parts.
ModeResult refuseTooManyParts(EngineContext& ctx, bool bySize, const std::vector<Text>& files);

ModeResult splitByCount(EngineContext& ctx, SplitJobState& state, const Text& source);
ModeResult splitBySize(EngineContext& ctx, SplitJobState& state, const Text& source);

// Part count for a quotient of file length and part size: a quotient that prints with a point
// in six significant digits ("%.6g") takes one more part.
int64_t partCountForQuotient(float q);

// Part size in bytes for a size number and a unit index (0 B, 1 KB, 2 MB, 3 GB).
int64_t partSizeBytes(float number, int unitIndex);

}  // namespace pw
