#pragma once
// The byte modes: a given number of equal parts, or parts of a given size.

#include <vector>

#include "split/mode_result.h"

namespace pw {

// More parts of one file than any use has; a job that would write more is refused before it
// starts, as it would otherwise fill the disk's table of files with empty ones.
inline constexpr int64_t kMaxPartsPerFile = 1000000;

// Refuses a job of the count or the size mode that would cut one of `files` into more than
// kMaxPartsPerFile parts; the other modes are never refused here.
ModeResult refuseTooManyParts(SplitContext& ctx, SplitMode mode, const std::vector<Text>& files);

ModeResult splitByCount(SplitContext& ctx, SplitJobState& state, const Text& source);
ModeResult splitBySize(SplitContext& ctx, SplitJobState& state, const Text& source);

// Part count for a quotient of file length and part size: a quotient that prints with a point
// in six significant digits ("%.6g") takes one more part.
int64_t partCountForQuotient(float q);

// Part size in bytes for a size number and a unit index (0 B, 1 KB, 2 MB, 3 GB).
int64_t partSizeBytes(float number, int unitIndex);
// The size mode's part size: a preset's exact bytes, else the number and unit.
int64_t partSizeOf(const SplitOptions& options);
// The largest part `length` bytes give in a byte mode (0 in the other modes).
int64_t largestPart(const SplitOptions& options, int64_t length, int64_t blockSize);

}  // namespace pw
