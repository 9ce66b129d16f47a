#include "split/line_reader.h"

#include <cstring>

namespace pw {
namespace {

constexpr char kCtrlZ = '\x1A';

// The first LF, NUL or Ctrl-Z in [p, end), or end. Each search is bounded by the previous hit, so
// a line costs three scans of its own length, never of the whole buffer.
const char* lineEnd(const char* p, const char* end) {
    for (char c : {'\n', '\0', kCtrlZ})
        if (auto* hit = static_cast<const char*>(std::memchr(p, c, size_t(end - p)))) end = hit;
    return end;
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
    return true;
}

bool LineReader::atEnd() {
    return begin_ == end_ && !fill();
}

std::string_view LineReader::readLine() {
    carry_.clear();
    while (begin_ < end_ || fill()) {
        const char* p = buffer_.get() + begin_;
        const char* stop = lineEnd(p, buffer_.get() + end_);
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
