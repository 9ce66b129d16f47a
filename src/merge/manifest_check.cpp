#include "merge/manifest_check.h"

#include <algorithm>

#include "files/manifest.h"
#include "files/path_ops.h"
#include "merge/part_set.h"

namespace pw {

bool honourManifests(FileSystem& fs, const Text& folder, std::vector<Text>& batch,
                     std::vector<Text>& damaged) {
    const Text prefix = folder.ends_with(kPathSeparator) ? folder : folder + kPathSeparator;
    const auto entries = fs.listFolder(folder);
    if (!entries) return true;  // the listing's own failure is the lister's to report
    const size_t before = damaged.size();
    for (const FolderEntry& e : *entries) {
        const Text path = prefix + e.name;
        if (e.isFolder || extensionOf(e.name) != kManifestExtension || !isManifestFile(fs, path))
            continue;
        std::erase(batch, path);
        std::string problem;
        const auto manifest = readManifest(fs, path, problem);
        if (!manifest) {
            damaged.push_back(path);
            continue;
        }
        for (const ManifestPart& p : manifest->parts) {
            const Text part = prefix + p.name;
            // A listed part that links out of the folder is never read, here or by the batch.
            if (!inSetFolder(fs, prefix, part)) {
                damaged.push_back(part);
                continue;
            }
            const bool inBatch = std::find(batch.begin(), batch.end(), part) != batch.end();
            if (!inBatch && fs.exists(part)) continue;
            int64_t length = -1;
            const auto digest = hashFile(fs, part, &length);
            if (!digest || length != p.size || hexDigest(*digest) != p.sha256)
                damaged.push_back(part);
        }
    }
    return damaged.size() == before;
}

}  // namespace pw
