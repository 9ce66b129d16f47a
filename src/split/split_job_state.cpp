#include "split/split_job_state.h"

#include "files/path_ops.h"

namespace pw {

void SplitJobState::startSource(const Text& path) {
    run.source = {path, folderOf(path), baseNameOf(path), extensionOf(path)};
    run.sourceEncoding = kEncodingUnknown;
    run.sourceIntact = true;
    run.sourceUnreadable = false;
    run.sourceReplaced = false;
    run.partsOfSource = 0;
    run.partCount = 0;
    run.partNamesOfSource.clear();
    run.recoveryPass.reset();
    run.recoveryFeed = nullptr;
}

}  // namespace pw
