#include "merge/join_parts.h"

#include "files/path_ops.h"

namespace pw {
namespace {

// Appends one part, less the mark the split put on it, feeding `own` with every byte of the part
// (the mark too); false when it could not be read whole or written. `joined` gets the length.
bool appendPart(FileSystem& fs, SafeWriter& out, const Text& path, std::string_view addedMark,
                std::string_view header, Sha256* joined, Sha256* own, int64_t& joinedLength) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) {
        out.failRead(file ? file->error() : fs.lastError());
        return false;
    }
    int64_t skip = 0;
    if (!addedMark.empty() || !header.empty()) {
        const ByteBuffer head = file->readBytes(int64_t(addedMark.size() + header.size()));
        skip = int64_t(headerSkip(head, addedMark, header));
        if (own) own->update(std::string_view(head).substr(0, size_t(skip)));
    }
    out.hashInto(joined, own);
    const bool copied = out.copyFrom(*file, skip, length - skip);
    out.hashInto(joined);
    joinedLength += length - skip;
    return copied;
}

void deleteParts(FileSystem& fs, const PartSet& set, JoinOutcome& outcome) {
    for (const Text& part : set.parts)
        if (!fs.remove(part)) ++outcome.undeletedParts;
    if (set.manifest && !fs.remove(set.manifestPath)) ++outcome.undeletedParts;
}

// One pass: each part is hashed as it is copied, and the first that does not hold what its line
// records stops the join; the joined bytes are hashed in the same pass. False when a part was
// changed or the job stopped (said in `outcome`), and nothing more is to be done.
bool copyParts(MergeContext& ctx, const PartSet& set, SafeWriter& out, Sha256& joined,
               int64_t& joinedLength, JoinOutcome& outcome) {
    const Manifest* m = set.manifest ? &*set.manifest : nullptr;
    const auto put = [&](std::string_view bytes) {
        joinedLength += int64_t(bytes.size());
        return out.write(bytes);
    };
    if (m) out.hashInto(&joined);
    if (m && m->sourceMark) put(m->addedMark);
    const int64_t n = int64_t(set.parts.size());
    ctx.host.setProgressPosition(0);
    ctx.host.setProgressMaximum(n);
    for (int64_t i = 0; i < n && out.ok(); ++i) {
        const Text& part = set.parts[size_t(i)];
        ctx.host.setProgressPosition(i + 1);
        ctx.host.showProgressText("(" + std::to_string(i + 1) + "/" + std::to_string(n) + ")" +
                                  fileNameOf(part));
        if (m && i > 0) put(m->joiner);
        std::optional<Sha256> own;
        if (m) own.emplace();
        if (!appendPart(ctx.files, out, part, m ? m->addedMark : ByteBuffer(),
                        m && i > 0 ? m->header : ByteBuffer(), m ? &joined : nullptr,
                        own ? &*own : nullptr, joinedLength)) {
            if (out.readFailed())
                outcome.problems.push_back({SetFault::Unreadable, part, {}, out.error()});
            break;
        }
        if (own && hexDigest(own->finish()) != m->parts[size_t(i)].sha256) {
            outcome.problems.push_back({SetFault::Changed, part, {}});
            return false;
        }
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            outcome.problems.push_back({SetFault::Stopped, {}, {}});
            return false;
        }
    }
    if (m && m->trailingJoiner) put(m->joiner);
    return true;
}

}  // namespace

JoinOutcome joinPartSet(MergeContext& ctx, const PartSet& set, AfterJoin after) {
    JoinOutcome outcome;
    outcome.unlisted = set.unlisted;
    outcome.problems = checkPartSet(ctx.files, set);
    if (!outcome.problems.empty()) return outcome;

    const Text target = freeVariantPath(ctx.files, set.outputPath);
    SafeWriter out(ctx.files, target);
    Sha256 joined;
    int64_t joinedLength = 0;
    if (!copyParts(ctx, set, out, joined, joinedLength, outcome)) return outcome;
    const Manifest* m = set.manifest ? &*set.manifest : nullptr;
    if (!outcome.problems.empty()) return outcome;
    if (!out.ok()) {
        outcome.problems.push_back({SetFault::WriteFailed, target, {}, out.error()});
        return outcome;
    }
    // Every part holds what its line records: a different whole means the manifest was edited.
    if (m && hexDigest(joined.finish()) != m->sourceSha256) {
        outcome.problems.push_back({SetFault::OutputChanged, set.manifestPath, {}});
        return outcome;
    }
    // Taken meanwhile by another program (or a link put there): still never replaced.
    if (!out.commitNew()) {
        outcome.problems.push_back({SetFault::WriteFailed, target, {}, out.error()});
        return outcome;
    }
    outcome.outputPath = target;
    outcome.variantName = target != set.outputPath;
    // The bytes are the recorded original's, proved by its digest; the size line is what is wrong.
    if (m && joinedLength != m->sourceSize)
        outcome.notes.push_back({SetFault::SizeDisagrees, set.manifestPath, {}});
    if (!m) outcome.notes.push_back({SetFault::Unchecked, {}, {}});
    if (after == AfterJoin::DeleteParts) deleteParts(ctx.files, set, outcome);
    return outcome;
}

}  // namespace pw
