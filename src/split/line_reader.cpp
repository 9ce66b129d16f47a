#include "split/line_reader.h"

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

constexpr char kCtrlZ = '\x1A';

// Index of the first `c` in buffer[from, end), or end.
size_t indexOf(const char* buffer, size_t from, size_t end, char c) {
    const void* hit = std::memchr(buffer + from, c, end - from);
    return hit ? size_t(static_cast<const char*>(hit) - buffer) : end;
}

}  // namespace

// Two bytes at least: a CR that ends the buffer waits at its front for the byte after it.
LineReader::LineReader(FileHandle& file, size_t bufferSize)
    : file_(file),
      buffer_(new char[std::max<size_t>(bufferSize, 2)]),
      capacity_(std::max<size_t>(bufferSize, 2)) {}

bool LineReader::fill(size_t keep) {
    bufferStart_ += int64_t(end_ - keep);
    std::memmove(buffer_.get(), buffer_.get() + end_ - keep, keep);
    begin_ = 0;
    end_ = keep;
    if (failed_) return false;
    const int64_t got = file_.read(buffer_.get() + keep, capacity_ - keep);
    if (got < 0) failed_ = true;
    if (got <= 0) return false;
    end_ = keep + size_t(got);
    nextNul_ = indexOf(buffer_.get(), 0, end_, '\0');
    nextCtrlZ_ = indexOf(buffer_.get(), 0, end_, kCtrlZ);
    return true;
}

size_t LineReader::lineEnd() {
    // NUL and Ctrl-Z are rare: each is looked for again only once the position has passed it,
    // so a line costs one scan for its LF.
    if (nextNul_ < begin_) nextNul_ = indexOf(buffer_.get(), begin_, end_, '\0');
    if (nextCtrlZ_ < begin_) nextCtrlZ_ = indexOf(buffer_.get(), begin_, end_, kCtrlZ);
    return indexOf(buffer_.get(), begin_, std::min(nextNul_, nextCtrlZ_), '\n');
}

bool LineReader::atEnd() {
    return begin_ == end_ && !fill();
}

std::string_view LineReader::readPiece(bool& lineEnds) {
    lineEnds = true;
    if (begin_ == end_ && !fill()) return {};
    for (;;) {
        const char* p = buffer_.get() + begin_;
        const size_t stop = lineEnd();
        if (stop < end_) {
            const bool lf = buffer_[stop] == '\n';
            std::string_view piece(p, stop - begin_);
            begin_ = stop + (lf ? 1 : 0);
            if (lf && piece.ends_with('\r')) piece.remove_suffix(1);
            return piece;
        }
        // The line runs on; a CR at the buffer's end stays until it is known whether LF follows.
        const size_t cut = buffer_[end_ - 1] == '\r' ? end_ - 1 : end_;
        if (cut > begin_) {
            lineEnds = false;
            const std::string_view piece(p, cut - begin_);
            begin_ = cut;
            return piece;
        }
        if (!fill(1)) {
            // The data ends with the CR: it is the line's.
            begin_ = end_;
            return std::string_view(buffer_.get(), end_);
        }
    }
}

std::string_view LineReader::readLine() {
    carry_.clear();
    for (bool ends = false; !ends;) {
        const std::string_view piece = readPiece(ends);
        if (ends && carry_.empty()) return piece;
        carry_.append(piece);
    }
    return carry_;
}

void LineReader::skipByte() {
    if (begin_ < end_ || fill()) ++begin_;
}

}  // namespace pw
