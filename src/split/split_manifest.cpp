#include "split/split_manifest.h"

#include <algorithm>
#include <charconv>

#include "files/folder_lister.h"
#include "files/path_ops.h"
#include "split/join_scripts.h"
#include "split/split_by_bytes.h"
#include "split/split_recovery.h"

namespace pw {

static_assert(kMaxPartsPerFile == int64_t(kMaxManifestParts),
              "a manifest lists what a split writes");
namespace {

Text withExtension(const Text& base, std::string_view extension) {
    return extension.empty() ? base : base + "." + Text(extension);
}

// Whether `name` is "<base>_<K>.<extension>" with K above `count`.
bool numberedAbove(const Text& name, const Text& base, const Text& extension, int64_t count) {
    const Text tail = extension.empty() ? Text() : "." + extension;
    if (!name.starts_with(base + "_") || !name.ends_with(tail)) return false;
    const std::string_view digits(name.data() + base.size() + 1,
                                  name.size() - base.size() - 1 - tail.size());
    int64_t k = 0;
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), k);
    return !digits.empty() && digits[0] != '0' && r.ec == std::errc() &&
           r.ptr == digits.data() + digits.size() && k > count;
}

bool unchanged(FileSystem& fs, const Text& path, const ManifestPart& part) {
    int64_t length = -1;
    auto digest = hashFile(fs, path, &length);
    return digest && length == part.size && hexDigest(*digest) == part.sha256;
}

void settleEarlierParts(EngineContext& ctx, const SplitJobState& state, const Text& source,
                        const EarlierSplit& earlier, SplitSummary& summary) {
    const Text& folder = state.run.outputFolder;
    std::vector<Text> kept;
    if (earlier.manifest)
        for (const ManifestPart& p : earlier.manifest->parts) {
            if (state.run.partNamesOfSource.contains(p.name) || !ctx.files.exists(folder + p.name))
                continue;
            // A link out of the folder is not read to prove it unchanged: it is kept and named.
            if (inSetFolder(ctx.files, folder, folder + p.name) &&
                unchanged(ctx.files, folder + p.name, p) && ctx.files.remove(folder + p.name))
                ++summary.staleRemoved;
            else
                kept.push_back(folder + p.name);
        }
    // Numbered parts above this split's count, whatever wrote them, are kept and named.
    const Text base = baseNameOf(source), extension = extensionOf(source);
    if (auto entries = ctx.files.listFolder(folder))
        for (const FolderEntry& e : *entries)
            if (!e.isFolder && !state.run.partNamesOfSource.contains(e.name) &&
                numberedAbove(e.name, base, extension, state.run.partsOfSource) &&
                std::find(kept.begin(), kept.end(), folder + e.name) == kept.end())
                kept.push_back(folder + e.name);
    std::sort(kept.begin(), kept.end(),
              [](const Text& a, const Text& b) { return naturalLess(a, b); });
    summary.staleKept.insert(summary.staleKept.end(), kept.begin(), kept.end());
}

}  // namespace

EarlierSplit findEarlierSplit(FileSystem& fs, const Text& outputFolder, const Text& source) {
    EarlierSplit earlier;
    earlier.manifestPath = outputFolder + withExtension(baseNameOf(source), kManifestExtension);
    std::string problem;
    if (fs.exists(earlier.manifestPath)) {
        earlier.manifest = readManifest(fs, earlier.manifestPath, problem);
        if (earlier.manifest && earlier.manifest->sourceName != fileNameOf(source))
            earlier.manifest.reset();
    }
    return earlier;
}

Text manifestPathFor(FileSystem& fs, const SplitJobState& state, const Text& source) {
    const Text base = baseNameOf(source);
    for (int variant = 1;; ++variant) {
        const Text name = variant == 1 ? base : base + " (" + std::to_string(variant) + ")";
        const Text path = state.run.outputFolder + withExtension(name, kManifestExtension);
        const auto id = fs.fileId(path);
        if (!id) return path;
        if (state.tally.jobSources.contains(*id) || state.tally.jobParts.contains(*id)) continue;
        std::string problem;
        const auto other = readManifest(fs, path, problem);
        if (other && other->sourceName == fileNameOf(source)) return path;
        if (!other && !isManifestFile(fs, path)) continue;  // a file of the user's
        if (!other) return path;                            // a damaged one of ours
    }
}

namespace {

// The recovery files asked for, named as the manifest at `manifestPath` is ("<base>.par2").
bool writeRecovery(SplitContext& ctx, SplitJobState& state, const Text& source,
                   const Text& manifestPath, const Manifest& manifest, SplitSummary& summary) {
    const RecoveryAmount recovery = ctx.options.recovery();
    if (!recovery.wanted()) return true;
    const Text manifestName = fileNameOf(manifestPath);
    const Text base = manifestName.substr(0, manifestName.size() - kManifestExtension.size() - 1);
    std::vector<Text> written;
    Failure failure{};
    RecoveryWriting how;
    how.pass = state.run.recoveryPass.get();
    how.sizesOnly = ctx.options.countsOnly();
    how.stopped = [&ctx] {
        ctx.host.processEvents();
        return ctx.stopRequested != 0;
    };
    const RecoveryResult result = writeRecoveryFiles(ctx.files, state.run.outputFolder, base,
                                                     manifest, recovery, how, written, failure);
    state.run.recoveryPass.reset();
    switch (result) {
        case RecoveryResult::Stopped:
            // The split stops here; the source stays, as after any stopped split.
            return false;
        case RecoveryResult::NotUtf8:
            summary.recoveryRefused.push_back(source);
            return false;
        case RecoveryResult::Failed:
            ++summary.failedOutputs;
            state.tally.failures.push_back(failure);
            return false;
        case RecoveryResult::Written:
            break;
    }
    if (!written.empty()) {
        summary.recoveryIndexes.push_back(written.back());
        summary.recoveryVolumes += int64_t(written.size()) - 1;
    }
    return true;
}

// A file the split writes beside its parts; never over a source or a part of the job.
bool writeBeside(SplitContext& ctx, SplitJobState& state, const Text& path, std::string_view bytes,
                 SplitSummary& summary) {
    if (auto id = ctx.files.fileId(path);
        id && (state.tally.jobSources.contains(*id) || state.tally.jobParts.contains(*id))) {
        ++summary.failedOutputs;
        state.tally.failures.push_back(
            {FailureKind::Write, path, std::make_error_code(std::errc::file_exists)});
        return false;
    }
    SafeWriter out(ctx.files, path);
    (void)out.write(bytes);
    if (out.commit()) return true;
    ++summary.failedOutputs;
    state.tally.failures.push_back({FailureKind::Write, path, out.error()});
    return false;
}

// join.sh and join.cmd in the source's own folder of parts; "<name>-join.sh" … beside others.
bool writeCompanions(SplitContext& ctx, SplitJobState& state, const Text& source,
                     const Manifest& manifest, uint32_t crc, SplitSummary& summary) {
    const Text base = baseNameOf(source);
    const Text prefix = state.run.outputFolder + (ctx.options.intoSubfolder() ? "" : base + "-");
    bool ok = true;
    if (ctx.options.writeJoinScripts()) {
        ok = writeBeside(ctx, state, prefix + "join.sh", joinShellScript(manifest), summary) && ok;
        ok = writeBeside(ctx, state, prefix + "join.cmd", joinCmdScript(manifest), summary) && ok;
    }
    if (ctx.options.writeCrcFile())
        ok = writeBeside(ctx, state, state.run.outputFolder + withExtension(base, "crc"),
                         crcFileText(manifest, crc), summary) &&
             ok;
    return ok;
}

}  // namespace

bool finishSplitSource(SplitContext& ctx, SplitJobState& state, const Text& source,
                       const EarlierSplit& earlier, bool complete, SplitSummary& summary) {
    std::unique_ptr<ManifestRecording> recording = std::move(state.run.recording);
    if (state.run.recoveryPass) state.run.recoveryPass->finish();
    if (!complete) state.run.recoveryPass.reset();
    if (!complete) return !recording;
    settleEarlierParts(ctx, state, source, earlier, summary);
    if (!recording) {
        // It described parts that were just overwritten or removed.
        if (earlier.manifest) (void)ctx.files.remove(earlier.manifestPath);
        return true;
    }
    const auto manifest = recording->finish(ctx.files, source);
    if (!manifest) {
        // The source could not be read again for its digest.
        ++summary.failedOutputs;
        state.tally.failures.push_back({FailureKind::Read, source, ctx.files.lastError()});
        return false;
    }
    const uint32_t crc = recording->crc();
    if (!ctx.options.writeManifest() && !ctx.options.recovery().wanted()) {
        // Only the ".crc" file was asked for: an earlier manifest described other parts.
        if (earlier.manifest) (void)ctx.files.remove(earlier.manifestPath);
        return writeCompanions(ctx, state, source, *manifest, crc, summary);
    }
    const Text path = manifestPathFor(ctx.files, state, source);
    std::error_code error;
    if (!writeManifest(ctx.files, path, *manifest, &error)) {
        ++summary.failedOutputs;
        state.tally.failures.push_back({FailureKind::Write, path, error});
        return false;
    }
    ++summary.manifestsWritten;
    if (!writeRecovery(ctx, state, source, path, *manifest, summary)) return false;
    return writeCompanions(ctx, state, source, *manifest, crc, summary);
}

}  // namespace pw
