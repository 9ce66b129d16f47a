#include "split/split_whole_lines.h"

#include <algorithm>

#include "split/part_writer.h"
#include "split/record_ends.h"
#include "split/split_by_bytes.h"
#include "text/encoding_stream.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr int64_t kHeadBytes = 4096;  // enough for a byte-order mark

// The source's bytes [from, to) as part `number`, after the header's copy when it has one. An
// empty range is an empty part, without the copy.
bool writeRange(SplitContext& ctx, SplitJobState& state, FileHandle& file, int64_t number,
                int64_t from, int64_t to, std::string_view header, bool oversized = false) {
    state.run.partNumber = number;
    Text path;
    bool ok;
    if (header.empty() || from == to) {
        // As the byte modes write: a part named after its text, or copied by the kernel.
        PartContent part;
        part.setRange(file, from, to - from);
        ok = writePart(ctx, state, part, &path);
    } else {
        PartStream stream(ctx, state, false);
        stream.writeCopy(header);
        stream.copy(file, from, to - from);
        path = stream.path();
        ok = stream.finish();
    }
    if (ok && oversized) state.tally.oversizedParts.push_back(path);
    return ok;
}

// GNU split -n l/N: part j ends at the first record end at or after byte j * (body / N) - 1 of
// the body (the source after its header); one that would start past that is empty.
void splitInto(SplitContext& ctx, SplitJobState& state, FileHandle& file, RecordEnds& ends,
               int64_t length, int64_t h, std::string_view header, int64_t n) {
    // As GNU split: a body shorter than N bytes is cut as if into chunks of one byte.
    const int64_t chunk = std::max<int64_t>((length - h) / n, 1);
    int64_t start = h;
    for (int64_t j = 1; j <= n; ++j) {
        int64_t end = length;
        if (j < n) {
            const int64_t last = h + j * chunk - 1;
            end = j > 1 && last < start ? start : ends.firstEndFrom(std::max(last, start));
        }
        writeRange(ctx, state, file, j, j == 1 ? 0 : start, end, j == 1 ? "" : header);
        start = end;
        ctx.host.processEvents();
        if (ctx.stopRequested || ends.failed()) break;
    }
    if (start < length) state.run.sourceIntact = false;
}

// GNU split -C: as many whole records as fit `size` bytes with the header's copy, but a record
// longer than that is a part of its own, not cut.
void splitUnder(SplitContext& ctx, SplitJobState& state, FileHandle& file, RecordEnds& ends,
                int64_t length, int64_t h, std::string_view header, int64_t size) {
    const int64_t room = size - h;
    int64_t start = h;
    for (int64_t j = 1; start < length || j == 1; ++j) {
        int64_t end = length;
        bool oversized = false;
        if (room <= 0 || start + room < length) {
            end = room > 0 ? ends.lastEndBefore(start, start + room) : -1;
            if (end <= start) {
                end = ends.firstEndFrom(start);
                oversized = h + end - start > size;
            }
        }
        writeRange(ctx, state, file, j, j == 1 ? 0 : start, end, j == 1 ? "" : header, oversized);
        start = end;
        ctx.host.processEvents();
        if (ctx.stopRequested || ends.failed()) break;
    }
    if (start < length) state.run.sourceIntact = false;
}

}  // namespace

bool cutsWholeLines(const SplitOptions& options) {
    const SplitMode mode = options.mode();
    return (mode == SplitMode::Parts || mode == SplitMode::Bytes) &&
           (options.wholeLines() || options.headerLines() > 0 || options.csvRecords());
}

ModeResult splitWholeLines(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const bool byCount = ctx.options.mode() == SplitMode::Parts;
    const int32_t count = ctx.options.partCount();
    if (byCount && count <= 0)
        return refuseOption(ctx, texts::kPartCountMustBePositive, SplitOptionBox::PartCount);
    const int64_t size = partSizeBytes(ctx.options.partSizeNumber(), ctx.options.partSizeUnit());
    if (!byCount && size < 1)
        return refuseOption(ctx, texts::kByteLengthNotZero, SplitOptionBox::PartSize);

    auto file = ctx.files.open(source, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    if (length < 0) {
        state.markUnreadable(file ? file->error() : ctx.files.lastError());
        return ModeResult::Done;
    }
    const ByteBuffer head = file->readBytes(std::min(length, kHeadBytes));
    const RecordFormat format = recordFormatOf(head, ctx.options.csvRecords());
    // Tests make the buffer tiny with the text's, so that records straddle its edges.
    RecordEnds ends(*file, length, format, std::min(size_t(1) << 17, textBufferSize()));

    int64_t h = 0;
    for (int32_t k = ctx.options.headerLines(); k > 0 && h < length; --k) h = ends.firstEndFrom(h);
    if (h > kMaxHeaderBytes)
        return refuseOption(ctx, texts::kHeaderTooLong, SplitOptionBox::LineCount);
    ByteBuffer header;
    if (h > 0) {
        if (!file->seek(0)) {
            state.markUnreadable(file->error());
            return ModeResult::Done;
        }
        header = file->readBytes(h);
        if (int64_t(header.size()) != h) {
            state.markUnreadable(file->error());
            return ModeResult::Done;
        }
    }
    if (byCount)
        splitInto(ctx, state, *file, ends, length, h, header, count);
    else if (length > 0)
        splitUnder(ctx, state, *file, ends, length, h, header, size);
    if (ends.failed()) state.markUnreadable(file->error());
    return ModeResult::Done;
}

}  // namespace pw
