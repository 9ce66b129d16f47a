#pragma once
// A split's checksum manifest and the parts an earlier split of the same source left behind.

#include "split/split_files.h"
#include "split/split_job_state.h"

namespace pw {

// The manifest an earlier split of `source` left in the folder its parts go to, if any.
struct EarlierSplit {
    Text manifestPath;
    std::optional<Manifest> manifest;
};
EarlierSplit findEarlierSplit(FileSystem& fs, const Text& outputFolder, const Text& source);

// Where the manifest of `source`'s parts goes: "<base>.sha256" beside them, or the first variant
// "<base> (2).sha256" … that is neither a file of the job nor another source's manifest.
Text manifestPathFor(FileSystem& fs, const SplitJobState& state, const Text& source);

// After a source was split whole (`complete`): removes the earlier split's parts this one did not
// overwrite when they are unchanged, reports the others and any numbered leftovers, and writes
// (or drops) the manifest, then the recovery files and the companions asked for beside it (join
// scripts, a ".crc" file). After a failed split nothing is removed and none is written. False when
// a manifest or recovery files were due and could not be written (a failure, with its path and
// reason) or were refused: the source must then stay.
bool finishSplitSource(SplitContext& ctx, SplitJobState& state, const Text& source,
                       const EarlierSplit& earlier, bool complete, SplitSummary& summary);

}  // namespace pw
