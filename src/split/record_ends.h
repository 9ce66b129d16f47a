#pragma once
// Where the records of a file end, found without holding more than a buffer of it: a record ends
// after its line end (LF; in UTF-16 the two-byte LF at a character's place), and with `csv` a line
// end inside a double-quoted field (RFC 4180, "" standing for a quote) ends no record.

#include <memory>

#include "platform/files.h"

namespace pw {

struct RecordFormat {
    int unit = 1;            // 2: UTF-16
    bool bigEndian = false;  // UTF-16 BE
    bool csv = false;
};

// The record format of a file whose first bytes are `head`: UTF-16 when a byte-order mark says so
// (the text modes' test), else one-byte line ends.
RecordFormat recordFormatOf(std::string_view head, bool csv);

class RecordEnds {
  public:
    RecordEnds(FileHandle& file, int64_t length, RecordFormat format, size_t bufferSize);

    // The offset just past the first record end whose last byte is at `from` or later; the
    // file's length when there is none. With csv, `from` never goes back between calls.
    int64_t firstEndFrom(int64_t from);
    // The offset just past the last record end that lies wholly in [start, limit); -1 when there
    // is none. `start` is a record start (with csv: the last offset this reader returned, or 0).
    int64_t lastEndBefore(int64_t start, int64_t limit);
    bool failed() const { return failed_; }

  private:
    bool load(int64_t at);  // the buffer holds the bytes from `at` on
    int byteAt(int64_t offset);
    // Whether the '\n' byte at `offset` is a line end of the format (its place, the byte beside).
    bool isLineEnd(int64_t offset);
    bool isQuote(int64_t offset);
    int64_t scanForward(int64_t from);
    void countQuotes(int64_t from, int64_t to);

    FileHandle& file_;
    int64_t length_;
    RecordFormat format_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    int64_t bufferStart_ = 0;
    size_t bufferLength_ = 0;
    // csv: the quotes before scanned_ were counted; inQuote_ is their parity.
    int64_t scanned_ = 0;
    bool inQuote_ = false;
    int64_t pending_ = -1;  // csv: the record end lastEndBefore walked past, not yet taken
    bool failed_ = false;
};

}  // namespace pw
