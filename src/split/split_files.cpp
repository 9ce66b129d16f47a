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
#include "split/split_whole_lines.h"
#include "text/system_texts.h"

namespace pw {
namespace {

ModeResult runModeRoutine(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (cutsWholeLines(ctx.options)) return splitWholeLines(ctx, state, source);
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
    if (state.run.partsOfSource == 0)
        for (auto it = state.run.createdFolders.rbegin(); it != state.run.createdFolders.rend();
             ++it)
            (void)fs.removeFolder(*it);
    state.run.createdFolders.clear();
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

std::string_view templateRefusal(NameTemplateError error) {
    switch (error) {
        case NameTemplateError::NoNumber:
            return texts::kNameTemplateNoNumber;
        case NameTemplateError::PhraseFirst:
            return texts::kNameTemplatePhraseFirst;
        case NameTemplateError::PhraseJoins:
            return texts::kNameTemplatePhraseJoins;
        case NameTemplateError::Separator:
            return texts::kNameTemplateSeparator;
        case NameTemplateError::None:
        case NameTemplateError::Unknown:
            break;
    }
    return texts::kNameTemplateUnknown;
}

// The template is checked once for the job; {count} needs a mode that knows it before the parts.
ModeResult takeNameTemplate(SplitContext& ctx, SplitJobState& state) {
    const Text text = ctx.options.nameTemplate();
    if (text.empty()) return ModeResult::Done;
    NameTemplateError error = NameTemplateError::None;
    state.names = NameTemplate::parse(text, &error);
    if (!state.names)
        return refuseOption(ctx, templateRefusal(error), SplitOptionBox::NameTemplate);
    const SplitMode mode = ctx.options.mode();
    if (state.names->usesCount() && mode != SplitMode::Parts && mode != SplitMode::Bytes)
        return refuseOption(ctx, texts::kNameTemplateCount, SplitOptionBox::NameTemplate);
    return ModeResult::Done;
}

// The folder a part will be in, or the nearest one of its parents there is already.
Text existingFolderOf(FileSystem& fs, Text folder) {
    while (!folder.empty() && !fs.isFolder(folder)) {
        const Text parent = folderOf(
            folder.ends_with(kPathSeparator) ? folder.substr(0, folder.size() - 1) : folder);
        if (parent == folder) break;
        folder = parent;
    }
    return folder;
}

// A part larger than its folder's file system takes (FAT32) is refused before any is written.
ModeResult refuseOverFileLimit(SplitContext& ctx, const std::vector<Text>& files) {
    for (const Text& f : files) {
        const SourceNames names{f, folderOf(f), baseNameOf(f), extensionOf(f)};
        const Text folder = existingFolderOf(ctx.files, outputFolderFor(ctx.options, names));
        const int64_t limit = ctx.files.maxFileSize(folder);
        if (limit <= 0) continue;
        auto file = ctx.files.open(f, OpenMode::Read);
        const int64_t length = file ? file->length() : -1;
        if (largestPart(ctx.options, length, ctx.files.blockSize(f)) > limit)
            return refuseOption(ctx, texts::kFat32PartTooLarge,
                                ctx.options.mode() == SplitMode::Parts ? SplitOptionBox::PartCount
                                                                       : SplitOptionBox::PartSize);
    }
    return ModeResult::Done;
}

bool isByteMode(SplitMode mode) {
    return mode == SplitMode::Parts || mode == SplitMode::Bytes;
}

// The job's sets, the random draw and the checks made once before any source.
ModeResult startJob(SplitContext& ctx, SplitJobState& state, const std::vector<Text>& files,
                    SplitSummary& summary) {
    state.rng.seed(ctx.clock);
    for (const Text& f : files)
        if (auto id = ctx.files.fileId(f)) state.tally.jobSources.insert(*id);
    if (ctx.options.mode() == SplitMode::Bytes) summary.presetBytes = ctx.options.presetPartSize();
    ctx.host.setProgressPosition(0);
    ctx.host.setProgressMaximum(int64_t(files.size()));
    ctx.stopRequested = 0;
    if (refuseTooManyParts(ctx, ctx.options.mode(), files) == ModeResult::Abort ||
        takeNameTemplate(ctx, state) == ModeResult::Abort ||
        refuseOverFileLimit(ctx, files) == ModeResult::Abort)
        return ModeResult::Abort;
    return ModeResult::Done;
}

void showSourceProgress(SplitContext& ctx, SplitJobState& state, int64_t i, int64_t n,
                        const Text& source) {
    state.run.progressText =
        "(" + std::to_string(i) + "/" + std::to_string(n) + ")" + fileNameOf(source);
    ctx.host.setProgressPosition(i);
    ctx.host.showProgressText(state.run.progressText);
}

void beginSource(SplitContext& ctx, SplitJobState& state, const Text& source) {
    state.startSource(source);
    // Created when the first part is written: a source that gives none leaves no folder.
    state.run.outputFolder = outputFolderFor(ctx.options, state.run.source);
    state.run.outputFolderReady = false;
    const bool byteMode = isByteMode(ctx.options.mode());
    if (ctx.options.writeManifest() || ctx.options.recovery().wanted() ||
        (byteMode && ctx.options.writeCrcFile()))
        state.run.recording = std::make_unique<ManifestRecording>(ctx.options, !byteMode);
}

// A byte mode that left bytes out, or any failed part, stop or unreadable source, leaves the
// folder as it was and writes no manifest.
bool sourceWhollyWritten(const SplitContext& ctx, const SplitJobState& state,
                         int64_t failedBefore) {
    return state.run.partsOfSource > 0 && !ctx.stopRequested && !state.run.sourceUnreadable &&
           state.tally.failedOutputs == failedBefore &&
           (state.run.sourceIntact || !isByteMode(ctx.options.mode()));
}

void countSource(SplitSummary& summary, const SplitJobState& state, const Text& source,
                 bool& severalFolders) {
    ++summary.sourcesDone;
    if (state.run.sourceUnreadable) ++summary.unreadableSources;
    if (summary.presetBytes > 0 && state.run.partsOfSource > 0)
        summary.presetParts.push_back({source, state.run.partsOfSource});
    if (state.run.partsOfSource > 0)
        notePartsFolder(summary, state.run.outputFolder, severalFolders);
}

// A source goes only when every byte of it is in parts that were written and closed, and the
// manifest and recovery files asked for are beside them.
void deleteWrittenSource(SplitContext& ctx, SplitJobState& state, const Text& source,
                         bool manifestDone, SplitSummary& summary) {
    if (!ctx.options.deleteSources()) return;
    if (state.run.sourceReplaced) ++summary.keptForReplacements;
    if (state.run.sourceIntact && state.run.partsOfSource > 0 && manifestDone &&
        !ctx.files.remove(source)) {
        ++summary.undeletedSources;
        state.tally.failures.push_back({FailureKind::Delete, source, ctx.files.lastError()});
    }
}

ModeResult splitSource(SplitContext& ctx, SplitJobState& state, const Text& source,
                       SplitSummary& summary, bool& severalFolders) {
    beginSource(ctx, state, source);
    const EarlierSplit earlier = findEarlierSplit(ctx.files, state.run.outputFolder, source);
    const int64_t failedBefore = state.tally.failedOutputs;
    const ModeResult result = runMode(ctx, state, source);
    removeUnusedFolders(ctx.files, state);
    if (result == ModeResult::Abort) return result;
    countSource(summary, state, source, severalFolders);
    const bool manifestDone = finishSplitSource(
        ctx, state, source, earlier, sourceWhollyWritten(ctx, state, failedBefore), summary);
    deleteWrittenSource(ctx, state, source, manifestDone, summary);
    return ModeResult::Done;
}

}  // namespace

SplitSummary splitFiles(SplitContext& ctx, const std::vector<Text>& files) {
    SplitSummary summary;
    SplitJobState state;
    if (startJob(ctx, state, files, summary) == ModeResult::Abort) {
        summary.aborted = true;
        return summary;
    }
    bool severalFolders = false;
    const int64_t n = int64_t(files.size());
    for (int64_t i = 1; i <= n; ++i) {
        const Text& source = files[size_t(i - 1)];
        showSourceProgress(ctx, state, i, n, source);
        if (splitSource(ctx, state, source, summary, severalFolders) == ModeResult::Abort) {
            summary.aborted = true;
            break;
        }
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            summary.stopped = true;
            break;
        }
    }
    summary.partsWritten = state.tally.partsWritten;
    summary.failedOutputs += state.tally.failedOutputs;
    summary.failures = std::move(state.tally.failures);
    summary.withoutHeadings = std::move(state.tally.withoutHeadings);
    summary.oversizedParts = std::move(state.tally.oversizedParts);
    return summary;
}

}  // namespace pw
