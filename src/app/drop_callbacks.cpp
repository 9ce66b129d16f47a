#include "app/drop_callbacks.h"

#include <string>
#include <utility>

#include "app/join_job.h"
#include "app/merge_job.h"
#include "app/split_job.h"
#include "files/manifest.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// As the file system reports it; a path whose kind cannot be read counts as a folder.
bool isFolder(FileSystem& files, const Text& path) {
    return !files.exists(path) || files.isFolder(path);
}

// True when the path at `index` is the first one an area sees of its drop, which then forgets
// what it collected before. A drop whose first path was passed over starts at a later index; the
// registry's count of drops tells it from the rest of an earlier drop.
bool startsNewDrop(AppState& state, int index) {
    const unsigned drop = state.dropRegistry.drops();
    if (index != 1 && drop == state.pendingDrop) return false;
    state.pendingDrop = drop;
    return true;
}

Text countQuestion(std::string_view before, size_t count, std::string_view after) {
    return lit(before) + std::to_string(count) + lit(after);
}

}  // namespace

void onSplitDrop(JobContext& ctx, int count, int index, const Text& path, const Text&) {
    AppState& state = ctx.state;
    if (state.jobsRunning > 0) return;
    if (count == 1 && isFolder(ctx.files, path)) {
        if (ctx.form.message(lit(texts::kConfirmSplitDroppedFolder), Buttons::OkCancel) ==
            Answer::Ok)
            splitJob(ctx, path, {});
        return;
    }
    if (startsNewDrop(state, index)) state.pendingSplitDrops.clear();
    if (!isFolder(ctx.files, path)) state.pendingSplitDrops.push_back(path);
    if (index != count) return;

    // The drop is complete: its list leaves the shared state, and the job walks its own copy.
    std::vector<Text> files = std::exchange(state.pendingSplitDrops, {});
    const Text question = countQuestion(texts::kConfirmSplitDroppedBefore, files.size(),
                                        texts::kConfirmSplitDroppedAfter);
    if (ctx.form.message(question, Buttons::OkCancel) == Answer::Ok)
        splitJob(ctx, {}, std::move(files));
}

void onMergeDrop(JobContext& ctx, int count, int index, const Text& path, const Text&) {
    AppState& state = ctx.state;
    if (state.jobsRunning > 0) return;
    if (startsNewDrop(state, index)) {
        state.pendingMergeFiles.clear();
        state.pendingMergeFolders.clear();
    }
    (isFolder(ctx.files, path) ? state.pendingMergeFolders : state.pendingMergeFiles)
        .push_back(path);
    if (index != count) return;

    std::vector<Text> files = std::exchange(state.pendingMergeFiles, {});
    std::vector<Text> folders = std::exchange(state.pendingMergeFolders, {});
    const Text question =
        countQuestion(texts::kConfirmMergeDroppedBefore, files.size() + folders.size(),
                      texts::kConfirmMergeDroppedAfter);
    if (ctx.form.message(question, Buttons::OkCancel) != Answer::Ok) return;

    // One manifest dropped alone stands for its split: the parts go back into the original.
    if (files.size() == 1 && folders.empty() && isManifestFile(ctx.files, files.front())) {
        joinJob(ctx, files.front());
        return;
    }
    // A stop left over from an earlier job must not pass over the folders of this drop.
    state.stopRequested = 0;
    if (!files.empty())
        mergeJob(ctx, {}, std::move(files), MergeItems::Files,
                 folders.empty() ? DoneQuestion::Ask : DoneQuestion::Skip);
    if (!folders.empty() && state.stopRequested == 0)
        mergeJob(ctx, {}, std::move(folders), MergeItems::Folders, DoneQuestion::Ask);
}

}  // namespace pw
