#include "split/record_ends.h"

#include <algorithm>
#include <cstring>

#include "text/encoding_detect.h"

namespace pw {

RecordFormat recordFormatOf(std::string_view head, bool csv) {
    size_t dataStart = 0;
    const EncodingCode code = markedEncoding(head, dataStart);
    RecordFormat format;
    format.csv = csv;
    if (code == kEncodingUtf16Le || code == kEncodingUtf16Be) {
        format.unit = 2;
        format.bigEndian = code == kEncodingUtf16Be;
    }
    return format;
}

RecordEnds::RecordEnds(FileHandle& file, int64_t length, RecordFormat format, size_t bufferSize)
    : file_(file),
      length_(length),
      format_(format),
      buffer_(new char[std::max<size_t>(bufferSize, 4)]),
      capacity_(std::max<size_t>(bufferSize, 4) & ~size_t(1)) {}

// UTF-16 buffers start at a character: the two bytes of one are never in different loads.
bool RecordEnds::load(int64_t at) {
    if (at >= bufferStart_ && at < bufferStart_ + int64_t(bufferLength_)) return true;
    if (format_.unit == 2) at &= ~int64_t(1);
    bufferStart_ = at;
    bufferLength_ = 0;
    if (failed_ || at >= length_ || !file_.seek(at)) return false;
    const size_t want = size_t(std::min<int64_t>(int64_t(capacity_), length_ - at));
    while (bufferLength_ < want) {
        const int64_t got = file_.read(buffer_.get() + bufferLength_, want - bufferLength_);
        if (got <= 0) {
            failed_ = true;
            return bufferLength_ > 0;
        }
        bufferLength_ += size_t(got);
    }
    return true;
}

int RecordEnds::byteAt(int64_t offset) {
    if (offset < 0 || offset >= length_ || !load(offset)) return -1;
    return static_cast<unsigned char>(buffer_[size_t(offset - bufferStart_)]);
}

// A UTF-16 character is two bytes from an even offset: the '\n' or '"' byte is its low one.
bool RecordEnds::isLineEnd(int64_t offset) {
    if (format_.unit == 1) return true;
    if (format_.bigEndian) return offset % 2 == 1 && byteAt(offset - 1) == 0;
    return offset % 2 == 0 && byteAt(offset + 1) == 0;
}

bool RecordEnds::isQuote(int64_t offset) {
    return isLineEnd(offset);  // the same test: the byte at a character's low place
}

namespace {

// The offset of the first `c` in [from, to) of the buffer at `start`, or `to`.
int64_t find(const char* buffer, int64_t start, int64_t from, int64_t to, char c) {
    const void* hit = std::memchr(buffer + (from - start), c, size_t(to - from));
    return hit ? start + (static_cast<const char*>(hit) - buffer) : to;
}

}  // namespace

// Counts the quotes of [from, to), which lies in the buffer.
void RecordEnds::countQuotes(int64_t from, int64_t to) {
    for (int64_t q = find(buffer_.get(), bufferStart_, from, to, '"'); q < to;
         q = find(buffer_.get(), bufferStart_, q + 1, to, '"'))
        if (isQuote(q)) inQuote_ = !inQuote_;
    scanned_ = to;
}

// The first line end at `from` or later whose quotes before it (with csv) are balanced.
int64_t RecordEnds::scanForward(int64_t from) {
    const int64_t endByte = format_.unit == 2 && !format_.bigEndian ? 1 : 0;
    int64_t p = std::max<int64_t>(from - endByte, 0);
    if (format_.csv) {
        if (pending_ > from) {
            const int64_t end = pending_;
            pending_ = -1;
            return end;
        }
        pending_ = -1;
        p = std::max(p, scanned_);
        // The quotes before the search's start count, its line ends do not.
        for (int64_t q = scanned_; q < p && load(q);) {
            const int64_t stop = std::min(p, bufferStart_ + int64_t(bufferLength_));
            countQuotes(q, stop);
            q = stop;
        }
    }
    while (p < length_ && load(p)) {
        const int64_t stop = bufferStart_ + int64_t(bufferLength_);
        const int64_t lf = find(buffer_.get(), bufferStart_, p, stop, '\n');
        if (format_.csv) {
            // The quotes up to the candidate decide whether it is inside a field.
            countQuotes(p, lf);
        }
        if (lf < stop && isLineEnd(lf) && !(format_.csv && inQuote_)) {
            const int64_t end = lf + 1 + endByte;
            if (format_.csv) scanned_ = end;
            return std::min(end, length_);
        }
        p = lf < stop ? lf + 1 : stop;
        if (format_.csv) scanned_ = p;
    }
    return length_;
}

int64_t RecordEnds::firstEndFrom(int64_t from) {
    return scanForward(from);
}

int64_t RecordEnds::lastEndBefore(int64_t start, int64_t limit) {
    if (format_.csv) {
        // Quotes count from the start: the records are walked, the one that goes over is kept.
        int64_t best = -1;
        for (int64_t p = start; p < length_;) {
            if (pending_ < 0) pending_ = scanForward(p);
            if (pending_ > limit) break;
            best = p = pending_;
            pending_ = -1;
        }
        return best;
    }
    const int64_t endByte = format_.unit == 2 && !format_.bigEndian ? 1 : 0;
    // The last '\n' whose record end is at `limit` or before, a block at a time from the back.
    for (int64_t hi = limit - endByte; hi > start;) {
        const int64_t lo = std::max(start, hi - int64_t(capacity_));
        int64_t last = -1;
        for (int64_t p = lo; p < hi;) {
            if (!load(p)) return -1;
            const int64_t stop = std::min(hi, bufferStart_ + int64_t(bufferLength_));
            for (int64_t q = find(buffer_.get(), bufferStart_, p, stop, '\n'); q < stop;
                 q = find(buffer_.get(), bufferStart_, q + 1, stop, '\n'))
                last = q;
            p = stop;
        }
        if (last >= 0 && isLineEnd(last)) return last + 1 + endByte;
        if (last >= 0) {
            hi = last;  // a '\n' byte inside a UTF-16 character: look before it
            continue;
        }
        hi = lo;
    }
    return -1;
}

}  // namespace pw
