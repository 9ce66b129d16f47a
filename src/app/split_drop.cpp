#include <string>

#include "app/drop_callbacks.h"
#include "app/split_job.h"
#include "text/system_texts.h"

namespace pw {

bool droppedPathIsFolder(FileSystem& files, const Text& path) {
    return !files.exists(path) || files.isFolder(path);
}

bool startsNewDrop(AppState& state, int index) {
    // A drop whose first path was passed over starts at a later index; the registry's count of
    // drops tells it from the rest of an earlier drop whose last path was passed over.
    const unsigned drop = state.dropRegistry.drops();
    if (index != 1 && drop == state.pendingDrop) return false;
    state.pendingDrop = drop;
    return true;
}

void onSplitDrop(JobContext& ctx, int count, int index, const Text& path, const Text&) {
    AppState& state = ctx.state;
    if (state.jobsRunning > 0) return;
    if (count == 1 && droppedPathIsFolder(ctx.files, path)) {
        if (ctx.form.message(lit(texts::kConfirmSplitDroppedFolder), Buttons::OkCancel) ==
            Answer::Ok)
            splitJob(ctx, path, {});
        return;
    }
    if (startsNewDrop(state, index)) state.pendingSplitDrops.clear();
    if (!droppedPathIsFolder(ctx.files, path)) state.pendingSplitDrops.push_back(path);
    if (index != count) return;

    // The drop is complete: its list leaves the shared state, so the next drop starts afresh.
    std::vector<Text> files = std::move(state.pendingSplitDrops);
    state.pendingSplitDrops.clear();
    const Text question = lit(texts::kConfirmSplitDroppedBefore) + std::to_string(files.size()) +
                          lit(texts::kConfirmSplitDroppedAfter);
    if (ctx.form.message(question, Buttons::OkCancel) == Answer::Ok)
        splitJob(ctx, {}, std::move(files));
}

}  // namespace pw
