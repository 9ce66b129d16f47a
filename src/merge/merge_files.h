#pragma once
// The merge engine: a batch of files joined into one new file, and folders turned into batches.

#include <cstdint>
#include <set>
#include <vector>

#include "files/failure.h"
#include "merge/merge_options.h"
#include "merge/part_set.h"

namespace pw {

// What a merge did, for the completion question and the command line's exit status.
struct MergeSummary {
    std::vector<Text> outputs;        // the files written, in order
    int64_t failedOutputs = 0;        // batches whose output could not be written
    int64_t unreadableSources = 0;    // sources that could not be opened or read
    int64_t undeletedSources = 0;     // sources due for deletion that the file system kept
    int64_t keptForReplacements = 0;  // sources due for deletion whose text needed substitutes
    int64_t renamedOutputs = 0;  // outputs that took a variant name ("… (2)") to spare a file
    bool separatorUnreadable = false;  // the intermediate file could not be read
    Failures failures;                 // every failure with its path, in order
    // Every file the job read or wrote: no output may replace one.
    std::set<FileId> jobFiles;
    // Parts that do not hold what their folder's manifest records; their batch was not merged.
    std::vector<Text> damagedParts;
    // A folder's manifests that could not be used, with why (the line, for a hostile name); their
    // folders were not merged.
    std::vector<SetProblem> unusableManifests;
    // Outputs that are a split's original, joined back as its manifest records and checked.
    std::vector<Text> restoredOriginals;
    // Files numbered as a manifest's parts that it does not list: neither joined nor deleted.
    std::vector<Text> unlistedParts;
    bool stopped = false;

    bool anyFailed() const {
        return failedOutputs > 0 || unreadableSources > 0 || undeletedSources > 0 ||
               separatorUnreadable;
    }
};

// Joins `files` in order into one output named after the first of them, beside it or, with
// the parent-folder option, one folder up. Does nothing for an empty list. Leaves early on a stop,
// keeping what was joined so far.
void mergeBatch(MergeContext& ctx, const std::vector<Text>& files, MergeSummary& summary);

// Merges the files of `folder` that match the file types and then, with subfolders included, each
// matching subfolder the same way, depth first. A folder that holds a split's manifest is merged
// as that split's set (see mergeManifestSets).
void mergeFolder(MergeContext& ctx, const Text& folder, MergeSummary& summary);

// The output's path for a batch of `count` files whose first file is `first`, its base name cut
// until the name fits the file system. A `variant` above 1 is added as " (2)" before the extension.
Text mergeOutputPath(MergeContext& ctx, const Text& first, int64_t count, int variant = 1);

// The folder, ending in a separator, that the output of a batch whose first file is `first` goes
// to (empty for the current folder).
Text mergeOutputFolder(MergeContext& ctx, const Text& first);

}  // namespace pw
