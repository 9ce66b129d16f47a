#pragma once
// What partwell-cli says about checksum manifests and the parts of earlier splits.

#include "split/split_files.h"

namespace pw::cli {

// One line for the unchanged parts of an earlier split that were removed, and one naming each
// earlier part left in place.
void reportEarlierParts(const SplitSummary& summary);

}  // namespace pw::cli

#include <vector>

#include "merge/part_set.h"

namespace pw::cli {

// One line for the files numbered as a manifest's parts that it does not list: how many, and the
// first few.
void reportUnlistedParts(const std::vector<Text>& files);

// One line for each part a merge found changed against its manifest.
void reportDamagedParts(const std::vector<Text>& parts);

// One "partwell-cli: PATH: REASON" line a problem.
void printProblems(const std::vector<SetProblem>& problems);

// Those lines and that nothing was written; returns the exit status 1.
int reportProblems(const std::vector<SetProblem>& problems);

}  // namespace pw::cli
