#include "merge/merge_files.h"

#include <set>

#include "files/folder_lister.h"
#include "files/path_ops.h"
#include "merge/joining.h"
#include "merge/manifest_check.h"
#include "text/system_texts.h"

namespace pw {
namespace {

struct BatchSource {
    bool read = false;
    SourceOutcome outcome = SourceOutcome::Unreadable;
    int64_t end = 0;  // where its contribution ends in the joined bytes
};

// True unless the output would replace an input of the batch that did not reach it whole (one
// left unread after a stop, unreadable, or cut): that input would be lost.
bool replacesOnlyWhatWasRead(FileSystem& fs, const Text& outputPath, const std::vector<Text>& files,
                             const std::vector<BatchSource>& sources) {
    const auto outputId = fs.fileId(outputPath);
    if (!outputId) return true;
    for (size_t i = 0; i < files.size(); ++i) {
        const bool whole = sources[i].read && sources[i].outcome == SourceOutcome::Whole;
        if (!whole && fs.fileId(files[i]) == outputId) return false;
    }
    return true;
}

// Moves the joined bytes into place, through the final encoding step when it is due. Sources
// whose text the step cuts off are marked so.
bool placeOutput(MergeContext& ctx, SafeWriter& out, const Text& outputPath, EncodingCode code,
                 const std::vector<Text>& files, std::vector<BatchSource>& sources) {
    if (!out.ok()) return false;
    if (!ctx.options.handleEncoding() || code <= kEncodingCodePage)
        return replacesOnlyWhatWasRead(ctx.files, outputPath, files, sources) && out.commit();

    size_t textLength = 0;
    const auto content = reencodedOutput(ctx.files, out.temporaryPath(), code, textLength);
    if (!content) return false;
    for (BatchSource& s : sources)
        if (s.end > int64_t(textLength) && s.outcome == SourceOutcome::Whole)
            s.outcome = SourceOutcome::Cut;
    if (!replacesOnlyWhatWasRead(ctx.files, outputPath, files, sources)) return false;
    SafeWriter encoded(ctx.files, outputPath);
    encoded.write(*content);
    return encoded.commit();
}

// Sources go only once the output holding all of them is in place; the output itself stays even
// when an input had its name.
void deleteMergedSources(MergeContext& ctx, const Text& outputPath, const std::vector<Text>& files,
                         const std::vector<BatchSource>& sources, MergeSummary& summary) {
    if (!ctx.options.deleteSources()) return;
    const auto outputId = ctx.files.fileId(outputPath);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!sources[i].read || sources[i].outcome != SourceOutcome::Whole) continue;
        const auto id = ctx.files.fileId(files[i]);
        // A file listed twice is gone by its second turn.
        if (id && id != outputId && !ctx.files.remove(files[i])) ++summary.undeletedSources;
    }
}

void mergeTree(MergeContext& ctx, const Text& folder, MergeSummary& summary,
               std::set<FileId>& visited) {
    // A link back to a folder already merged would lead round in circles.
    if (auto id = ctx.files.fileId(folder); id && !visited.insert(*id).second) return;
    std::vector<Text> batch =
        FolderLister(ctx.form, ctx.files, folder, ctx.options.fileTypes(), false);
    // A split's manifest is never joined in, and a part that changed since fails the batch.
    if (honourManifests(ctx.files, folder, batch, summary.damagedParts))
        mergeBatch(ctx, batch, summary);
    else
        ++summary.failedOutputs;
    if (!ctx.options.includeSubfolders() || ctx.stopRequested) return;
    const auto subfolders =
        FolderLister(ctx.form, ctx.files, folder, ctx.options.fileTypes(), true);
    for (const Text& sub : subfolders) {
        if (ctx.stopRequested) break;
        ctx.form.processEvents();
        if (ctx.stopRequested) break;
        mergeTree(ctx, sub, summary, visited);
    }
    if (ctx.stopRequested) summary.stopped = true;
}

}  // namespace

Text mergeOutputPath(MergeContext& ctx, const Text& first, int64_t count) {
    Text folder = ctx.options.intoParentFolder() ? folderOf(folderOf(first)) : Text();
    if (folder.empty()) folder = folderOf(first);
    if (!folder.empty() || first.starts_with(kPathSeparator)) folder += kPathSeparator;
    // Without an extension the name has no trailing dot.
    const Text extension = extensionOf(first);
    const Text tail = lit(texts::kMergeNameCountBefore) + std::to_string(count) +
                      lit(texts::kMergeNameCountAfter) + (extension.empty() ? "" : "." + extension);
    return folder + fitFileName(ctx.files, baseNameOf(first), tail) + tail;
}

void mergeBatch(MergeContext& ctx, const std::vector<Text>& files, MergeSummary& summary) {
    const int64_t n = int64_t(files.size());
    if (n == 0) return;
    Form& form = ctx.form;
    form.setProgressPosition(0);
    form.setProgressMaximum(n);

    const Text outputPath = mergeOutputPath(ctx, files.front(), n);
    SafeWriter out(ctx.files, outputPath);
    if (!out.ok()) {
        ++summary.failedOutputs;
        return;
    }
    const ByteBuffer between = intermediateData(ctx.options, ctx.files);

    std::vector<BatchSource> sources(files.size());
    EncodingCode code = kEncodingUnknown;
    int64_t written = 0;
    for (int64_t i = 1; i <= n && out.ok(); ++i) {
        const Text& file = files[size_t(i - 1)];
        ctx.options.showProgressText("(" + std::to_string(i) + "/" + std::to_string(n) + ")" +
                                     fileNameOf(file));
        form.setProgressPosition(i);

        BatchSource& source = sources[size_t(i - 1)];
        source.outcome = appendSource(ctx, out, file, code, written);
        source.read = true;
        source.end = written;
        if (source.outcome == SourceOutcome::Unreadable) ++summary.unreadableSources;
        if (i < n && out.write(between)) written += int64_t(between.size());

        form.processEvents();
        if (ctx.stopRequested) {
            summary.stopped = true;
            break;
        }
    }

    if (!placeOutput(ctx, out, outputPath, code, files, sources)) {
        ++summary.failedOutputs;
        return;
    }
    summary.outputs.push_back(outputPath);
    deleteMergedSources(ctx, outputPath, files, sources, summary);
}

void mergeFolder(MergeContext& ctx, const Text& folder, MergeSummary& summary) {
    std::set<FileId> visited;
    mergeTree(ctx, folder, summary, visited);
}

}  // namespace pw
