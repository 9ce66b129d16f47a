#include "split/split_files.h"

#include <new>
#include <stdexcept>

#include "files/path_ops.h"
#include "split/chapter_split.h"
#include "split/split_by_bytes.h"
#include "split/split_by_chars.h"
#include "split/split_by_delimiter.h"
#include "split/split_by_lines.h"
#include "split/split_manifest.h"

namespace pw {
namespace {

ModeResult runModeRoutine(SplitContext& ctx, SplitJobState& state, const Text& source) {
    switch (ctx.options.mode()) {
        case SplitMode::Parts:
            return splitByCount(ctx, state, source);
        case SplitMode::Bytes:
            return splitBySize(ctx, state, source);
        case SplitMode::Delimiter:
            return splitByDelimiter(ctx, state, source);
        case SplitMode::Lines:
            return splitByLines(ctx, state, source);
        case SplitMode::Characters:
            return splitByCharacters(ctx, state, source);
        case SplitMode::Chapters:
            return splitByChapters(ctx, state, source);
    }
    return ModeResult::Done;
}

// A source whose text cannot be held counts as unreadable; the job goes on with the next.
ModeResult runMode(SplitContext& ctx, SplitJobState& state, const Text& source) {
    try {
        return runModeRoutine(ctx, state, source);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    state.markUnreadable(std::make_error_code(std::errc::not_enough_memory));
    return ModeResult::Done;
}

// Folders made for a source that got no part are removed again (only empty ones go).
void removeUnusedFolders(FileSystem& fs, SplitJobState& state) {
    if (state.partsOfSource == 0)
        for (auto it = state.createdFolders.rbegin(); it != state.createdFolders.rend(); ++it)
            (void)fs.removeFolder(*it);
    state.createdFolders.clear();
}

Text outputFolderFor(const SplitOptions& options, const SourceNames& source) {
    const Text chosen = options.outputFolder();
    const Text folder = (chosen.empty() ? source.folder : chosen) + kPathSeparator;
    if (!options.intoSubfolder()) return folder;
    // "..." and "." as names would leave the source's folder, or not enter one.
    const Text& base = source.stem;
    return folder + (base == "." || base == ".." ? "_" + base : base) + kPathSeparator;
}

void notePartsFolder(SplitSummary& summary, const Text& outputFolder, bool& severalFolders) {
    const Text folder = outputFolder.substr(0, outputFolder.size() - 1);
    if (summary.partsFolder.empty() && !severalFolders) {
        summary.partsFolder = folder;
    } else if (summary.partsFolder != folder) {
        summary.partsFolder.clear();
        severalFolders = true;
    }
}

}  // namespace

SplitSummary splitFiles(SplitContext& ctx, const std::vector<Text>& files) {
    SplitSummary summary;
    SplitJobState state;
    state.rng.seed(ctx.clock);
    for (const Text& f : files)
        if (auto id = ctx.files.fileId(f)) state.jobSources.insert(*id);

    bool severalFolders = false;
    const int64_t n = int64_t(files.size());
    ctx.host.setProgressPosition(0);
    ctx.host.setProgressMaximum(n);
    ctx.stopRequested = 0;
    if (refuseTooManyParts(ctx, ctx.options.mode(), files) == ModeResult::Abort) {
        summary.aborted = true;
        return summary;
    }

    for (int64_t i = 1; i <= n; ++i) {
        const Text& source = files[size_t(i - 1)];
        state.progressText =
            "(" + std::to_string(i) + "/" + std::to_string(n) + ")" + fileNameOf(source);
        ctx.host.setProgressPosition(i);
        ctx.options.showProgressText(state.progressText);

        state.startSource(source);
        // Created when the first part is written: a source that gives none leaves no folder.
        state.outputFolder = outputFolderFor(ctx.options, state.source);
        state.outputFolderReady = false;
        const SplitMode mode = ctx.options.mode();
        const bool byteMode = mode == SplitMode::Parts || mode == SplitMode::Bytes;
        if (ctx.options.writeManifest() || ctx.options.recovery().wanted())
            state.recording = std::make_unique<ManifestRecording>(ctx.options, !byteMode);
        const EarlierSplit earlier = findEarlierSplit(ctx.files, state.outputFolder, source);
        const int64_t failedBefore = state.failedOutputs;

        const ModeResult result = runMode(ctx, state, source);
        removeUnusedFolders(ctx.files, state);
        if (result == ModeResult::Abort) {
            summary.aborted = true;
            break;
        }
        ++summary.sourcesDone;
        if (state.sourceUnreadable) ++summary.unreadableSources;
        if (state.partsOfSource > 0) notePartsFolder(summary, state.outputFolder, severalFolders);
        // A byte mode that left bytes out, or any failed part, stop or unreadable source, leaves
        // the folder as it was and writes no manifest.
        const bool manifestDone = finishSplitSource(
            ctx, state, source, earlier,
            state.partsOfSource > 0 && !ctx.stopRequested && !state.sourceUnreadable &&
                state.failedOutputs == failedBefore && (state.sourceIntact || !byteMode),
            ctx.options.recovery(), summary);

        // A source goes only when every byte of it is in parts that were written and closed, and
        // the manifest and recovery files asked for are beside them.
        const bool deleting = ctx.options.deleteSources();
        if (deleting && state.sourceReplaced) ++summary.keptForReplacements;
        if (deleting && state.sourceIntact && state.partsOfSource > 0 && manifestDone &&
            !ctx.files.remove(source)) {
            ++summary.undeletedSources;
            state.failures.push_back({FailureKind::Delete, source, ctx.files.lastError()});
        }
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            summary.stopped = true;
            break;
        }
    }
    summary.partsWritten = state.partsWritten;
    summary.failedOutputs += state.failedOutputs;
    summary.failures = std::move(state.failures);
    summary.withoutHeadings = std::move(state.withoutHeadings);
    return summary;
}

}  // namespace pw
