#pragma once
// A folder merge of a folder that holds split manifests: each one's set is merged as it was split.

#include <vector>

#include "merge/merge_files.h"

namespace pw {

// False, doing nothing, when `folder` holds no manifest of ours; also when no manifest's parts
// are among the files of the chosen types, `batch` then losing the manifests and the files they
// do not list. Else merges the set of each manifest there whose parts `batch` (the folder's files
// that match the types) holds or lacks, and leaves the folder's other files alone. With nothing
// between the files and no encoding handling, a set that can give back its original is joined into
// it (the original's name and bytes, checked against its SHA-256); otherwise the parts it lists are
// merged, in its order, once each holds what the manifest records. A damaged part or manifest fails
// its set. With sources to delete, a set's parts go once the output holding them is in place, and
// the manifest goes when none of its parts is left. A folder, or a file that may be a manifest,
// that cannot be read is a failure, and nothing of the folder is merged.
bool mergeManifestSets(MergeContext& ctx, const Text& folder, std::vector<Text>& batch,
                       MergeSummary& summary);

}  // namespace pw
