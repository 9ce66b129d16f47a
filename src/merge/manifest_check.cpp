#include "merge/manifest_check.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "files/folder_lister.h"
#include "files/manifest.h"
#include "files/path_ops.h"
#include "merge/join_parts.h"
#include "merge/part_set.h"

namespace pw {
namespace {

// The manifests of ours in the folder, known by their first line. Nothing, with the failure
// noted, when the folder or a file that may be one cannot be read: merged as plain files, its
// parts could take in a manifest and files it does not list, and delete them.
std::optional<std::vector<Text>> manifestsIn(FileSystem& fs, const Text& prefix,
                                             MergeSummary& summary) {
    const auto failed = [&](FailureKind kind, const Text& path, std::error_code error) {
        ++summary.unreadableSources;
        summary.failures.push_back({kind, path, error ? error : errnoCode(EIO)});
        return std::nullopt;
    };
    const auto entries = fs.listFolder(prefix);
    if (!entries) return failed(FailureKind::List, prefix, fs.lastError());
    std::vector<Text> found;
    for (const FolderEntry& e : *entries) {
        if (e.isFolder || extensionOf(e.name) != kManifestExtension) continue;
        const Text path = prefix + e.name;
        auto file = fs.open(path, OpenMode::Read);
        if (!file) return failed(FailureKind::Read, path, fs.lastError());
        const ByteBuffer head = file->readBytes(64);
        if (head.size() < 64 && file->error())
            return failed(FailureKind::Read, path, file->error());
        if (looksLikeManifest(head)) found.push_back(path);
    }
    std::sort(found.begin(), found.end(),
              [](const Text& a, const Text& b) { return naturalLess(a, b); });
    return found;
}

// A set is the merge's when one of its parts matches the file types, or one is missing (its
// absence is then told).
bool takenByBatch(FileSystem& fs, const PartSet& set, const std::vector<Text>& batch) {
    return std::any_of(set.parts.begin(), set.parts.end(), [&](const Text& part) {
        return std::find(batch.begin(), batch.end(), part) != batch.end() || !fs.exists(part);
    });
}

bool addsNothingBetween(const MergeOptions& options) {
    return !options.handleEncoding() &&
           (options.joinWith() == JoinWith::Nothing ||
            (options.joinWith() == JoinWith::Text && options.joinText().empty()));
}

void deleteSource(MergeContext& ctx, const Text& path, MergeSummary& summary) {
    if (!ctx.files.remove(path)) {
        ++summary.undeletedSources;
        summary.failures.push_back({FailureKind::Delete, path, ctx.files.lastError()});
    }
}

// A manifest none of whose parts is left describes nothing: it goes with them.
void deleteManifestAfterParts(MergeContext& ctx, const PartSet& set, MergeSummary& summary) {
    if (!ctx.options.deleteSources()) return;
    for (const Text& part : set.parts)
        if (ctx.files.exists(part)) return;
    deleteSource(ctx, set.manifestPath, summary);
}

void noteJoinProblems(const std::vector<SetProblem>& problems, MergeSummary& summary) {
    bool failed = false;
    for (const SetProblem& p : problems) {
        switch (p.fault) {
            case SetFault::Stopped:
                summary.stopped = true;
                continue;
            case SetFault::Unreadable:
                ++summary.unreadableSources;
                summary.failures.push_back({FailureKind::Read, p.path, {}});
                continue;
            case SetFault::WriteFailed:
                summary.failures.push_back({FailureKind::Write, p.path, {}});
                break;
            default:
                summary.damagedParts.push_back(p.path);
                break;
        }
        failed = true;
    }
    if (failed) ++summary.failedOutputs;
}

// The original, joined as `join` joins it, where the merge puts its outputs.
void restoreOriginal(MergeContext& ctx, PartSet set, MergeSummary& summary) {
    set.outputPath = mergeOutputFolder(ctx, set.parts.front()) + set.manifest->sourceName;
    for (const Text& part : set.parts)
        if (auto id = ctx.files.fileId(part)) summary.jobFiles.insert(*id);
    const JoinOutcome outcome = joinPartSet(ctx, set, AfterJoin::KeepParts);
    if (outcome.outputPath.empty()) {
        noteJoinProblems(outcome.problems, summary);
        return;
    }
    summary.outputs.push_back(outcome.outputPath);
    summary.restoredOriginals.push_back(outcome.outputPath);
    if (auto id = ctx.files.fileId(outcome.outputPath)) summary.jobFiles.insert(*id);
    if (outcome.variantName) ++summary.renamedOutputs;
    if (!ctx.options.deleteSources()) return;
    // The joined bytes are the recorded original's: every part is in it whole.
    for (const Text& part : set.parts)
        if (ctx.files.exists(part)) deleteSource(ctx, part, summary);
    deleteManifestAfterParts(ctx, set, summary);
}

// The listed parts, in the manifest's order, once each holds what it records.
void mergeListedParts(MergeContext& ctx, const PartSet& set, MergeSummary& summary) {
    const std::vector<PartState> states = verifyParts(ctx.files, *set.manifest, set.folder).parts;
    bool intact = true;
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] != PartState::Ok) {
            summary.damagedParts.push_back(set.parts[i]);
            intact = false;
        }
    if (!intact) {
        ++summary.failedOutputs;
        return;
    }
    mergeBatch(ctx, set.parts, summary);
    deleteManifestAfterParts(ctx, set, summary);
}

}  // namespace

bool mergeManifestSets(MergeContext& ctx, const Text& folder, std::vector<Text>& batch,
                       MergeSummary& summary) {
    const Text prefix = folder.ends_with(kPathSeparator) ? folder : folder + kPathSeparator;
    const auto manifests = manifestsIn(ctx.files, prefix, summary);
    if (!manifests) return true;
    bool anyTaken = false;
    std::vector<Text> notSources = *manifests;
    for (const Text& manifestPath : *manifests) {
        if (ctx.stopRequested) return true;
        SetProblem problem;
        const auto set = findPartSet(ctx.files, manifestPath, problem);
        // The reader refuses a manifest whose names lead outside the folder.
        if (!set) {
            summary.unusableManifests.push_back(problem);
            ++summary.failedOutputs;
            anyTaken = true;
            continue;
        }
        notSources.insert(notSources.end(), set->unlisted.begin(), set->unlisted.end());
        if (!takenByBatch(ctx.files, *set, batch)) continue;
        anyTaken = true;
        summary.unlistedParts.insert(summary.unlistedParts.end(), set->unlisted.begin(),
                                     set->unlisted.end());
        if (addsNothingBetween(ctx.options) && set->manifest->exact)
            restoreOriginal(ctx, *set, summary);
        else
            mergeListedParts(ctx, *set, summary);
    }
    if (anyTaken) return true;
    // No set has files of the chosen types: the others are an ordinary batch.
    std::erase_if(batch, [&](const Text& path) {
        return std::find(notSources.begin(), notSources.end(), path) != notSources.end();
    });
    return false;
}

}  // namespace pw
