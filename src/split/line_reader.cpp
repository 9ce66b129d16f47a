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

LineReader::LineReader(FileHandle& file, size_t bufferSize)
    : file_(file), buffer_(new char[bufferSize]), capacity_(bufferSize) {}

bool LineReader::fill() {
    bufferStart_ += int64_t(end_);
    begin_ = end_ = 0;
    if (failed_) return false;
    const int64_t got = file_.read(buffer_.get(), capacity_);
    if (got < 0) failed_ = true;
    if (got <= 0) return false;
    end_ = size_t(got);
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

std::string_view LineReader::readLine() {
    carry_.clear();
    while (begin_ < end_ || fill()) {
        const char* p = buffer_.get() + begin_;
        const char* stop = buffer_.get() + lineEnd();
        if (stop == buffer_.get() + end_) {
            carry_.append(p, size_t(stop - p));
            begin_ = end_;
            continue;
        }
        const bool lf = *stop == '\n';
        begin_ = size_t(stop - buffer_.get()) + (lf ? 1 : 0);
        std::string_view line(p, size_t(stop - p));
        if (!carry_.empty()) {
            carry_.append(line);
            line = carry_;
        }
        if (lf && line.ends_with('\r')) line.remove_suffix(1);
        return line;
    }
    return carry_;
}

void LineReader::skipByte() {
    if (begin_ < end_ || fill()) ++begin_;
}

}  // namespace pw
