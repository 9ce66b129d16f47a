#pragma once
// Lines of an open file, read through one buffer. A line ends at LF (consumed; a CR just before
// it is dropped) or before a NUL or Ctrl-Z byte (not consumed). Every such byte ends a line
// wherever it stands: they never occur inside a code-page character, and taking a byte of 0x80
// or more together with the next one would swallow the LF after a UTF-8 character.

#include <memory>
#include <string_view>

#include "platform/files.h"

namespace pw {

class LineReader {
  public:
    explicit LineReader(FileHandle& file, size_t bufferSize = kDefaultBufferSize);

    // True when no byte is left; a read error also ends the data (see failed()).
    bool atEnd();
    // The next line; valid until the next call. The rest of the data when no end is found.
    std::string_view readLine();
    // The next piece of the line being read, valid until the next call: a line longer than the
    // buffer comes in several, so it is never held whole. `lineEnds` tells the last piece.
    std::string_view readPiece(bool& lineEnds);
    // Bytes consumed so far.
    int64_t position() const { return bufferStart_ + int64_t(begin_); }
    // Steps over the byte at the position (a NUL or Ctrl-Z that ended a line).
    void skipByte();
    bool failed() const { return failed_; }

    static constexpr size_t kDefaultBufferSize = size_t(128) << 10;

  private:
    // Reads on after the last `keep` bytes of the buffer, which move to its front.
    bool fill(size_t keep = 0);
    size_t lineEnd();  // index of the byte that ends the line at begin_, or end_

    FileHandle& file_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    size_t begin_ = 0, end_ = 0;
    size_t nextNul_ = 0, nextCtrlZ_ = 0;  // in the buffer, at or after begin_ (end_: none)
    int64_t bufferStart_ = 0;             // file position of buffer_[0]
    std::string carry_;                   // readLine's line that runs over the end of the buffer
    bool failed_ = false;
};

}  // namespace pw
