#include "merge/merge_files.h"

#include <algorithm>
#include <set>

#include "files/folder_lister.h"
#include "files/manifest.h"
#include "files/path_ops.h"
#include "merge/joining.h"
#include "merge/manifest_check.h"
#include "text/system_texts.h"

namespace pw {
namespace {

struct BatchSource {
    bool read = false;
    SourceOutcome outcome = SourceOutcome::Unreadable;
    int64_t begin = 0, end = 0;  // where its contribution lies in the joined bytes
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
// whose text the step cuts off, or needed a substitute for, are marked so. `error` gets why it
// failed.
bool placeOutput(MergeContext& ctx, SafeWriter& out, const Text& outputPath, EncodingCode code,
                 const std::optional<Utf8Join>& utf8, const std::vector<Text>& files,
                 std::vector<BatchSource>& sources, std::error_code& error) {
    const auto refused = [&] {
        error = std::make_error_code(std::errc::file_exists);
        return false;
    };
    if (utf8 && code != kEncodingUtf8) {
        // The last source gave no text: the output is the joined text in the code page.
        SafeWriter converted(ctx.files, outputPath);
        if (!writeCodePageOfUtf8(ctx.files, out.temporaryPath(), *utf8, converted)) {
            error = std::make_error_code(std::errc::io_error);
            return false;
        }
        if (!replacesOnlyWhatWasRead(ctx.files, outputPath, files, sources)) return refused();
        const bool placed = converted.commit();
        error = converted.error();
        return placed;
    }
    if (!ctx.options.handleEncoding() || code <= kEncodingCodePage || utf8) {
        if (!replacesOnlyWhatWasRead(ctx.files, outputPath, files, sources)) return refused();
        const bool placed = out.commit();
        error = out.error();
        return placed;
    }
    std::vector<ByteSpan> spans;
    spans.reserve(sources.size());
    for (const BatchSource& s : sources) spans.emplace_back(s.begin, s.end);
    std::vector<bool> replacedIn;
    size_t textLength = 0;
    // The converted text goes straight to the output's temporary file, which is dropped unless
    // the output may replace what is at its path.
    SafeWriter encoded(ctx.files, outputPath);
    if (!writeReencoded(ctx.files, out.temporaryPath(), code, encoded, textLength, spans,
                        replacedIn)) {
        error = std::make_error_code(std::errc::io_error);
        return false;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        BatchSource& s = sources[i];
        if (s.outcome != SourceOutcome::Whole) continue;
        if (s.end > int64_t(textLength))
            s.outcome = SourceOutcome::Cut;
        else if (replacedIn[i])
            s.outcome = SourceOutcome::Replaced;
    }
    if (!replacesOnlyWhatWasRead(ctx.files, outputPath, files, sources)) return refused();
    const bool placed = encoded.commit();
    error = encoded.error();
    return placed;
}

// The output's path: the first variant that names no file this job read or wrote, and no link
// (an output never replaces one, nor writes through it).
Text freeOutputPath(MergeContext& ctx, const Text& first, int64_t count, MergeSummary& summary,
                    bool& renamed) {
    for (int variant = 1;; ++variant) {
        const Text path = mergeOutputPath(ctx, first, count, variant);
        if (ctx.files.isLink(path)) continue;
        const auto id = ctx.files.fileId(path);
        if (!id || !summary.jobFiles.contains(*id)) {
            renamed = variant > 1;
            return path;
        }
    }
}

// Sources go only once the output holding all of them is in place; the output itself stays even
// when an input had its name.
void deleteMergedSources(MergeContext& ctx, const Text& outputPath, const std::vector<Text>& files,
                         const std::vector<BatchSource>& sources, MergeSummary& summary) {
    if (!ctx.options.deleteSources()) return;
    const auto outputId = ctx.files.fileId(outputPath);
    for (size_t i = 0; i < files.size(); ++i) {
        if (sources[i].read && sources[i].outcome == SourceOutcome::Replaced)
            ++summary.keptForReplacements;
        if (!sources[i].read || sources[i].outcome != SourceOutcome::Whole) continue;
        const auto id = ctx.files.fileId(files[i]);
        // A file listed twice is gone by its second turn.
        if (id && id != outputId && !ctx.files.remove(files[i])) {
            ++summary.undeletedSources;
            summary.failures.push_back({FailureKind::Delete, files[i], ctx.files.lastError()});
        }
    }
}

// NOLINTNEXTLINE(misc-no-recursion): one call per subfolder level, as deep as the folder tree
void mergeTree(MergeContext& ctx, const Text& folder, MergeSummary& summary,
               std::set<FileId>& visited) {
    // A link back to a folder already merged would lead round in circles.
    if (auto id = ctx.files.fileId(folder); id && !visited.insert(*id).second) return;
    std::error_code listError;
    std::vector<Text> batch = FolderLister(ctx.host, ctx.files, folder, ctx.options.fileTypes(),
                                           ListEntries::Files, &listError);
    if (listError) {
        // A folder that cannot be listed is not an empty one: its files are unreadable sources.
        ++summary.unreadableSources;
        summary.failures.push_back({FailureKind::List, folder, listError});
        return;
    }
    // A split's manifest is never joined in: its folder is its set.
    if (!mergeManifestSets(ctx, folder, batch, summary)) mergeBatch(ctx, batch, summary);
    if (!ctx.options.includeSubfolders() || ctx.stopRequested) return;
    const auto subfolders = FolderLister(ctx.host, ctx.files, folder, ctx.options.fileTypes(),
                                         ListEntries::Folders, &listError);
    if (listError) {
        ++summary.unreadableSources;
        summary.failures.push_back({FailureKind::List, folder, listError});
    }
    for (const Text& sub : subfolders) {
        if (ctx.stopRequested) break;
        ctx.host.processEvents();
        if (ctx.stopRequested) break;
        mergeTree(ctx, sub, summary, visited);
    }
    if (ctx.stopRequested) summary.stopped = true;
}

}  // namespace

Text mergeOutputFolder(MergeContext& ctx, const Text& first) {
    Text folder = ctx.options.outputFolder();
    if (folder.empty() && ctx.options.intoParentFolder()) folder = folderOf(folderOf(first));
    if (folder.empty()) folder = folderOf(first);
    if (!folder.empty() || first.starts_with(kPathSeparator)) folder += kPathSeparator;
    return folder;
}

Text mergeOutputPath(MergeContext& ctx, const Text& first, int64_t count, int variant) {
    const Text folder = mergeOutputFolder(ctx, first);
    // Without an extension the name has no trailing dot.
    const Text extension = extensionOf(first);
    const Text tail = lit(texts::kMergeNameCountBefore) + std::to_string(count) +
                      lit(texts::kMergeNameCountAfter) +
                      (variant > 1 ? " (" + std::to_string(variant) + ")" : Text()) +
                      (extension.empty() ? "" : "." + extension);
    return folder + fitFileName(ctx.files, baseNameOf(first), tail) + tail;
}

// Long until the Files port and the readers answer with one result type instead of three ways
// of telling an error, and the job's state is cut as the split's; then about 30 lines.
// NOLINTNEXTLINE(readability-function-size)
void mergeBatch(MergeContext& ctx, const std::vector<Text>& given, MergeSummary& summary) {
    // Another writer's temporary file is never a source, nor gives the output its name.
    std::vector<Text> files;
    files.reserve(given.size());
    // A writer's temporary file and a split's manifest are never joined into an output.
    for (const Text& f : given)
        if (!isTemporaryFileName(fileNameOf(f)) &&
            !(extensionOf(f) == kManifestExtension && isManifestFile(ctx.files, f)))
            files.push_back(f);
    const int64_t n = int64_t(files.size());
    if (n == 0) return;
    JobHost& host = ctx.host;
    host.setProgressPosition(0);
    host.setProgressMaximum(n);

    for (const Text& f : files)
        if (auto id = ctx.files.fileId(f)) summary.jobFiles.insert(*id);
    bool renamed = false;
    const Text outputPath = freeOutputPath(ctx, files.front(), n, summary, renamed);
    std::unique_ptr<SafeWriter> out;
    const auto openOutput = [&] {
        out = std::make_unique<SafeWriter>(ctx.files, outputPath);
        if (out->ok()) return true;
        ++summary.failedOutputs;
        summary.failures.push_back({FailureKind::Write, outputPath, out->error()});
        return false;
    };
    if (!openOutput()) return;
    std::error_code betweenError;
    const ByteBuffer between = intermediateData(ctx.options, ctx.files, &betweenError);
    if (betweenError && !summary.separatorUnreadable) {
        // Joined with nothing between, as when no file is set; the user is told once.
        summary.separatorUnreadable = true;
        summary.failures.push_back({FailureKind::Read, ctx.options.joinFilePath(), betweenError});
    }

    // Valid UTF-8 sources are joined as they stand, so that their UTF-8 output is written once; a
    // source that is not has the batch joined again in the code page.
    std::optional<Utf8Join> utf8 =
        ctx.options.handleEncoding() ? Utf8Join::of(between) : std::nullopt;
    std::vector<BatchSource> sources;
    Failures unreadable;
    EncodingCode code = kEncodingUnknown;
    for (bool again = true; again;) {
        again = false;
        sources.assign(files.size(), BatchSource());
        unreadable.clear();
        code = kEncodingUnknown;
        int64_t written = 0;
        for (int64_t i = 1; i <= n && out->ok(); ++i) {
            const Text& file = files[size_t(i - 1)];
            host.showProgressText("(" + std::to_string(i) + "/" + std::to_string(n) + ")" +
                                  fileNameOf(file));
            host.setProgressPosition(i);

            BatchSource& source = sources[size_t(i - 1)];
            std::error_code readError;
            source.begin = written;
            source.outcome =
                appendSource(ctx, *out, file, code, written, readError, utf8 ? &*utf8 : nullptr);
            if (source.outcome == SourceOutcome::NotUtf8) {
                utf8.reset();
                if (!openOutput()) return;
                again = true;
                break;
            }
            source.read = true;
            source.end = written;
            if (source.outcome == SourceOutcome::Unreadable)
                unreadable.push_back({FailureKind::Read, file, readError});
            const std::string_view next = utf8 ? std::string_view(utf8->between) : between;
            if (i < n && (utf8 ? utf8->write(*out, next) : out->write(next)))
                written += int64_t(next.size());

            host.processEvents();
            if (ctx.stopRequested) {
                summary.stopped = true;
                break;
            }
        }
    }
    summary.unreadableSources += int64_t(unreadable.size());
    summary.failures.insert(summary.failures.end(), unreadable.begin(), unreadable.end());

    // Nothing is written for a batch of which nothing could be read; a source that failed in the
    // middle of its copy is told as unreadable, and the output is not kept half-done.
    const bool anyRead = std::any_of(sources.begin(), sources.end(), [](const BatchSource& s) {
        return s.read && s.outcome != SourceOutcome::Unreadable;
    });
    if (!anyRead || (!out->ok() && out->readFailed())) return;
    std::error_code error;
    if (!out->ok() || !placeOutput(ctx, *out, outputPath, code, utf8, files, sources, error)) {
        ++summary.failedOutputs;
        summary.failures.push_back(
            {FailureKind::Write, outputPath, out->ok() ? error : out->error()});
        return;
    }
    summary.outputs.push_back(outputPath);
    if (auto id = ctx.files.fileId(outputPath)) summary.jobFiles.insert(*id);
    if (renamed) ++summary.renamedOutputs;
    deleteMergedSources(ctx, outputPath, files, sources, summary);
}

void mergeFolder(MergeContext& ctx, const Text& folder, MergeSummary& summary) {
    std::set<FileId> visited;
    mergeTree(ctx, folder, summary, visited);
}

}  // namespace pw
