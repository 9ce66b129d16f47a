#include "split/split_job_state.h"

#include "files/path_ops.h"

namespace pw {

void SplitJobState::startSource(const Text& path) {
    source = {path, folderOf(path), baseNameOf(path), extensionOf(path)};
    sourceEncoding = kEncodingUnknown;
    sourceIntact = true;
    sourceUnreadable = false;
    sourceReplaced = false;
    partsOfSource = 0;
    partCount = 0;
    partNamesOfSource.clear();
    recoveryPass.reset();
    recoveryFeed = nullptr;
}

}  // namespace pw
