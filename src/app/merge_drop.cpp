#include <string>

#include "app/drop_callbacks.h"
#include "app/merge_job.h"
#include "text/system_texts.h"

namespace pw {

void onMergeDrop(JobContext& ctx, int count, int index, const Text& path, const Text&) {
    AppState& state = ctx.state;
    if (state.jobsRunning > 0) return;
    if (startsNewDrop(state, index)) {
        state.pendingMergeFiles.clear();
        state.pendingMergeFolders.clear();
    }
    if (droppedPathIsFolder(ctx.files, path))
        state.pendingMergeFolders.push_back(path);
    else
        state.pendingMergeFiles.push_back(path);
    if (index != count) return;

    std::vector<Text> files = std::move(state.pendingMergeFiles);
    std::vector<Text> folders = std::move(state.pendingMergeFolders);
    state.pendingMergeFiles.clear();
    state.pendingMergeFolders.clear();
    const Text question = lit(texts::kConfirmMergeDroppedBefore) +
                          std::to_string(files.size() + folders.size()) +
                          lit(texts::kConfirmMergeDroppedAfter);
    if (ctx.form.message(question, Buttons::OkCancel) != Answer::Ok) return;

    // A stop left over from an earlier job must not pass over the folders of this drop.
    state.stopRequested = 0;
    if (!files.empty()) mergeJob(ctx, {}, std::move(files), false, !folders.empty());
    if (!folders.empty() && state.stopRequested == 0)
        mergeJob(ctx, {}, std::move(folders), true, false);
}

}  // namespace pw
