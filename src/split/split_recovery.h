#pragma once
// PAR 2.0 recovery files over the parts a split just wrote, named after its manifest.

#include <vector>

#include "files/failure.h"
#include "files/manifest.h"
#include "split/split_options.h"

namespace pw {

enum class RecoveryResult { Written, NotUtf8, Failed };

// The recovery slices for `amount`, with parts of these sizes cut into slices of `sliceSize`:
// `parts` times the slices of the largest part, or `percent` of all slices (at least one), never
// more than the set has slices nor more than the format allows.
uint32_t recoverySliceCount(const std::vector<int64_t>& partSizes, int64_t sliceSize,
                            RecoveryAmount amount);

// Writes "<base>.par2" and its volumes into `folder` (ending in a separator) over the parts
// `manifest` lists there, read again (they were just written). Names that are not UTF-8 are
// refused before anything is written; a file of the same name that is no recovery file is never
// replaced. `written` gets the files' paths.
RecoveryResult writeRecoveryFiles(FileSystem& fs, const Text& folder, const Text& base,
                                  const Manifest& manifest, RecoveryAmount amount,
                                  std::vector<Text>& written, Failure& failure);

}  // namespace pw
