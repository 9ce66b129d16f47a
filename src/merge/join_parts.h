#pragma once
// Joining a split's parts back into the original file.

#include "merge/merge_options.h"
#include "merge/part_set.h"

namespace pw {

struct JoinOutcome {
    Text outputPath;                   // where the original was written; empty when it was not
    bool variantName = false;          // the original's own name was taken by another file
    std::vector<SetProblem> problems;  // why the original was not written
    // Said beside a written original: what could not be checked or did not agree.
    std::vector<SetProblem> notes;
    int64_t undeletedParts = 0;
    std::vector<Text> unlisted;  // the set's, to be named
};

enum class AfterJoin { KeepParts, DeleteParts };

// Checks the set, then writes the original through a temporary file that is moved into place
// only when its SHA-256 (with a manifest) is the recorded one. It never replaces a file: a taken
// name gives the next free variant. Parts and manifest are deleted, when asked, only after that.
JoinOutcome joinPartSet(MergeContext& ctx, const PartSet& set, AfterJoin after);

}  // namespace pw
