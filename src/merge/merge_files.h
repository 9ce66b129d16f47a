#pragma once
// The merge engine: a batch of files joined into one new file, and folders turned into batches.

#include <cstdint>
#include <vector>

#include "merge/merge_options.h"

namespace pw {

// What a merge did, for the completion question and the command line's exit status.
struct MergeSummary {
    std::vector<Text> outputs;      // the files written, in order
    int64_t failedOutputs = 0;      // batches whose output could not be written
    int64_t unreadableSources = 0;  // sources that could not be opened or read
    int64_t undeletedSources = 0;   // sources due for deletion that the file system kept
    // Parts that do not hold what their folder's manifest records; their batch was not merged.
    std::vector<Text> damagedParts;
    bool stopped = false;

    bool anyFailed() const {
        return failedOutputs > 0 || unreadableSources > 0 || undeletedSources > 0;
    }
};

// Joins `files` in order into one output named after the first of them, beside it or, with
// the parent-folder option, one folder up. Does nothing for an empty list. Leaves early on a stop,
// keeping what was joined so far.
void mergeBatch(MergeContext& ctx, const std::vector<Text>& files, MergeSummary& summary);

// Merges the files of `folder` that match the file types and then, with subfolders included, each
// matching subfolder the same way, depth first.
void mergeFolder(MergeContext& ctx, const Text& folder, MergeSummary& summary);

// The output's path for a batch of `count` files whose first file is `first`, its base name cut
// until the name fits the file system.
Text mergeOutputPath(MergeContext& ctx, const Text& first, int64_t count);

}  // namespace pw
