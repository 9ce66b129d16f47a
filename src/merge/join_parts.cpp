#include "merge/join_parts.h"

#include "files/path_ops.h"

namespace pw {
namespace {

// Appends one part, less the mark the split put on it; false when it could not be read whole.
bool appendPart(FileSystem& fs, SafeWriter& out, const Text& path, std::string_view addedMark) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) return false;
    int64_t skip = 0;
    if (!addedMark.empty() && file->readBytes(int64_t(addedMark.size())) == addedMark)
        skip = int64_t(addedMark.size());
    return out.copyFrom(*file, skip, length - skip);
}

// Which parts no longer hold their recorded bytes; read again only after the join failed.
void nameChangedParts(FileSystem& fs, const PartSet& set, std::vector<SetProblem>& problems) {
    const std::vector<PartState> states = verifyParts(fs, *set.manifest, set.folder);
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i] != PartState::Ok)
            problems.push_back({states[i] == PartState::WrongSize ? SetFault::WrongSize
                                : states[i] == PartState::Missing ? SetFault::Missing
                                                                  : SetFault::Changed,
                                set.parts[i],
                                {}});
    if (problems.empty()) problems.push_back({SetFault::OutputChanged, set.manifestPath, {}});
}

void deleteParts(FileSystem& fs, const PartSet& set, JoinOutcome& outcome) {
    for (const Text& part : set.parts)
        if (!fs.remove(part)) ++outcome.undeletedParts;
    if (set.manifest && !fs.remove(set.manifestPath)) ++outcome.undeletedParts;
}

}  // namespace

JoinOutcome joinPartSet(MergeContext& ctx, const PartSet& set, AfterJoin after) {
    JoinOutcome outcome;
    outcome.unlisted = set.unlisted;
    outcome.problems = checkPartSet(ctx.files, set);
    if (!outcome.problems.empty()) return outcome;

    const Text target = freeVariantPath(ctx.files, set.outputPath);
    SafeWriter out(ctx.files, target);
    // One pass: the parts are hashed as they are copied; a mismatch names them afterwards.
    Sha256 joined;
    const Manifest* m = set.manifest ? &*set.manifest : nullptr;
    if (m) out.hashInto(&joined);
    if (m && m->sourceMark) out.write(m->addedMark);
    const int64_t n = int64_t(set.parts.size());
    ctx.host.setProgressPosition(0);
    ctx.host.setProgressMaximum(n);
    for (int64_t i = 0; i < n && out.ok(); ++i) {
        ctx.host.setProgressPosition(i + 1);
        ctx.options.showProgressText("(" + std::to_string(i + 1) + "/" + std::to_string(n) + ")" +
                                     fileNameOf(set.parts[size_t(i)]));
        if (m && i > 0) out.write(m->joiner);
        if (!appendPart(ctx.files, out, set.parts[size_t(i)], m ? m->addedMark : ByteBuffer())) {
            if (out.ok())
                outcome.problems.push_back({SetFault::Unreadable, set.parts[size_t(i)], {}});
            break;
        }
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            outcome.problems.push_back({SetFault::Stopped, {}, {}});
            return outcome;
        }
    }
    if (m && m->trailingJoiner) out.write(m->joiner);
    if (!outcome.problems.empty()) return outcome;
    if (!out.ok()) {
        outcome.problems.push_back({SetFault::WriteFailed, target, {}});
        return outcome;
    }
    if (m && hexDigest(joined.finish()) != m->sourceSha256) {
        nameChangedParts(ctx.files, set, outcome.problems);
        return outcome;
    }
    // Taken meanwhile by another program: still never replaced.
    if (ctx.files.exists(target) || !out.commit()) {
        outcome.problems.push_back({SetFault::WriteFailed, target, {}});
        return outcome;
    }
    outcome.outputPath = target;
    outcome.variantName = target != set.outputPath;
    if (after == AfterJoin::DeleteParts) deleteParts(ctx.files, set, outcome);
    return outcome;
}

}  // namespace pw
