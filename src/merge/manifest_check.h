#pragma once
// A folder merge and the checksum manifests in the folder.

#include <vector>

#include "platform/files.h"

namespace pw {

// Takes the manifests of ours in `folder` out of its batch, and checks every part they list that
// is in the batch or missing. False, with those parts in `damaged`, when one does not hold the
// bytes its manifest records.
bool honourManifests(FileSystem& fs, const Text& folder, std::vector<Text>& batch,
                     std::vector<Text>& damaged);

}  // namespace pw
