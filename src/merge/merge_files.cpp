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

// A writer's temporary file and a split's manifest are never joined into an output, nor give
// the output its name.
std::vector<Text> joinableFiles(MergeContext& ctx, const std::vector<Text>& given) {
    std::vector<Text> files;
    files.reserve(given.size());
    for (const Text& f : given)
        if (!isTemporaryFileName(fileNameOf(f)) &&
            !(extensionOf(f) == kManifestExtension && isManifestFile(ctx.files, f)))
            files.push_back(f);
    return files;
}

// One batch joined into one output: the output, the bytes between sources and what became of
// each source.
class BatchJoin {
  public:
    enum class Pass { Done, Again, Failed };

    BatchJoin(MergeContext& ctx, const std::vector<Text>& files, MergeSummary& summary)
        : ctx_(ctx),
          files_(files),
          summary_(summary),
          outputPath_(
              freeOutputPath(ctx, files.front(), int64_t(files.size()), summary, renamed_)) {}

    bool openOutput() {
        out_ = std::make_unique<SafeWriter>(ctx_.files, outputPath_);
        if (out_->ok()) return true;
        ++summary_.failedOutputs;
        summary_.failures.push_back({FailureKind::Write, outputPath_, out_->error()});
        return false;
    }

    void takeSeparator() {
        std::error_code betweenError;
        between_ = intermediateData(ctx_.options, ctx_.files, &betweenError);
        if (betweenError && !summary_.separatorUnreadable) {
            // Joined with nothing between, as when no file is set; the user is told once.
            summary_.separatorUnreadable = true;
            summary_.failures.push_back(
                {FailureKind::Read, ctx_.options.joinFilePath(), betweenError});
        }
        // Valid UTF-8 sources are joined as they stand, so that their UTF-8 output is written
        // once; a source that is not has the batch joined again in the code page.
        if (ctx_.options.handleEncoding()) utf8_ = Utf8Join::of(between_);
    }

    // One pass over the sources; Again when one was not UTF-8 and the batch starts over.
    Pass joinSources() {
        const int64_t n = int64_t(files_.size());
        sources_.assign(files_.size(), BatchSource());
        unreadable_.clear();
        code_ = kEncodingUnknown;
        int64_t written = 0;
        for (int64_t i = 1; i <= n && out_->ok(); ++i) {
            const Text& file = files_[size_t(i - 1)];
            ctx_.host.showProgressText("(" + std::to_string(i) + "/" + std::to_string(n) + ")" +
                                       fileNameOf(file));
            ctx_.host.setProgressPosition(i);
            BatchSource& source = sources_[size_t(i - 1)];
            std::error_code readError;
            source.begin = written;
            source.outcome = appendSource(ctx_, *out_, file, code_, written, readError,
                                          utf8_ ? &*utf8_ : nullptr);
            if (source.outcome == SourceOutcome::NotUtf8) {
                utf8_.reset();
                return openOutput() ? Pass::Again : Pass::Failed;
            }
            source.read = true;
            source.end = written;
            if (source.outcome == SourceOutcome::Unreadable)
                unreadable_.push_back({FailureKind::Read, file, readError});
            const std::string_view next = utf8_ ? std::string_view(utf8_->between) : between_;
            if (i < n && (utf8_ ? utf8_->write(*out_, next) : out_->write(next)))
                written += int64_t(next.size());
            ctx_.host.processEvents();
            if (ctx_.stopRequested) {
                summary_.stopped = true;
                break;
            }
        }
        return Pass::Done;
    }

    // Nothing is written for a batch of which nothing could be read; a source that failed in
    // the middle of its copy is told as unreadable, and the output is not kept half-done.
    void finish() {
        summary_.unreadableSources += int64_t(unreadable_.size());
        summary_.failures.insert(summary_.failures.end(), unreadable_.begin(), unreadable_.end());
        const bool anyRead = std::any_of(sources_.begin(), sources_.end(), [](const auto& s) {
            return s.read && s.outcome != SourceOutcome::Unreadable;
        });
        if (!anyRead || (!out_->ok() && out_->readFailed())) return;
        std::error_code error;
        if (!out_->ok() ||
            !placeOutput(ctx_, *out_, outputPath_, code_, utf8_, files_, sources_, error)) {
            ++summary_.failedOutputs;
            summary_.failures.push_back(
                {FailureKind::Write, outputPath_, out_->ok() ? error : out_->error()});
            return;
        }
        summary_.outputs.push_back(outputPath_);
        if (auto id = ctx_.files.fileId(outputPath_)) summary_.jobFiles.insert(*id);
        if (renamed_) ++summary_.renamedOutputs;
        deleteMergedSources(ctx_, outputPath_, files_, sources_, summary_);
    }

  private:
    MergeContext& ctx_;
    const std::vector<Text>& files_;
    MergeSummary& summary_;
    bool renamed_ = false;
    Text outputPath_;
    std::unique_ptr<SafeWriter> out_;
    ByteBuffer between_;
    std::optional<Utf8Join> utf8_;
    std::vector<BatchSource> sources_;
    Failures unreadable_;
    EncodingCode code_ = kEncodingUnknown;
};

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

void mergeBatch(MergeContext& ctx, const std::vector<Text>& given, MergeSummary& summary) {
    const std::vector<Text> files = joinableFiles(ctx, given);
    const int64_t n = int64_t(files.size());
    if (n == 0) return;
    ctx.host.setProgressPosition(0);
    ctx.host.setProgressMaximum(n);
    for (const Text& f : files)
        if (auto id = ctx.files.fileId(f)) summary.jobFiles.insert(*id);
    BatchJoin join(ctx, files, summary);
    if (!join.openOutput()) return;
    join.takeSeparator();
    BatchJoin::Pass pass = BatchJoin::Pass::Again;
    while (pass == BatchJoin::Pass::Again) pass = join.joinSources();
    if (pass == BatchJoin::Pass::Failed) return;
    join.finish();
}

void mergeFolder(MergeContext& ctx, const Text& folder, MergeSummary& summary) {
    std::set<FileId> visited;
    mergeTree(ctx, folder, summary, visited);
}

}  // namespace pw
