#pragma once
// Text read and converted through a bounded buffer, so that a file of any size is decoded in one
// pass with little memory. The pieces, put together, are exactly the text the in-memory cascade
// (decodeContent) gives, and every piece ends where a character ends.

#include <memory>
#include <optional>

#include "platform/files.h"
#include "platform/job_host.h"
#include "text/encoding_code.h"

namespace pw {

// How many bytes of a file are read at a time. Tests set tiny sizes, so that characters, CR LF
// pairs and marks straddle every edge; 0 restores the default.
size_t textBufferSize();
void setTextBufferSize(size_t bytes);

// How much of code-page text ends at a character boundary of any longer text that starts with it
// (charLengthAt's characters, a CR LF pair never cut): the rest waits for the bytes after it.
size_t wholeCodePagePrefix(std::string_view text);

// Converts between two charsets a piece at a time: what might be cut off inside a character is
// held back until the next piece or the end.
class StreamConverter {
  public:
    StreamConverter(const char* from, const char* to);
    // Appends the conversion of `bytes`, after what was held back, to `out`; `last` converts all.
    void feed(std::string_view bytes, bool last, ByteBuffer& out);
    size_t replacements() const { return replacements_; }

  private:
    void convertNow(std::string_view bytes, ByteBuffer& out);

    const char* from_;
    const char* to_;
    int from_codec_ = -1, to_codec_ = -1;
    ByteBuffer held_;
    size_t replacements_ = 0;
};

// The text of a source, detected as the in-memory cascade does (gzip, marks, an HTML declaration
// in the first MiB, the UTF-8 test over the whole file) and then handed out piece by piece.
class TextSource {
  public:
    // Nothing when the file cannot be opened or read; `error`, when given, says why. `host` lets
    // window events run during the UTF-8 test.
    static std::unique_ptr<TextSource> open(FileSystem& fs, const Text& path,
                                            JobHost* host = nullptr,
                                            std::error_code* error = nullptr);
    // The same over an open file, read from its start.
    static std::unique_ptr<TextSource> open(std::unique_ptr<FileHandle> file,
                                            JobHost* host = nullptr,
                                            std::error_code* error = nullptr);
    ~TextSource();

    EncodingCode code() const { return code_; }
    // The next piece of text, valid until the next call; empty at the end of the text or on a read
    // error (see failed()). It ends where a character ends.
    std::string_view next();
    // For valid UTF-8 (validUtf8()), the file's own bytes instead, its pieces ending where a
    // character ends, never between CR and LF; for other text the same as next(). Use one of
    // next() and nextUtf8() on a source, not both.
    std::string_view nextUtf8();
    // Whether nextUtf8() hands out the file's own bytes: UTF-8 found valid throughout by the test
    // over the whole file, which converts to text and back unchanged, or ASCII, which is its own
    // text in UTF-8 and in the code page (code() says which the source is taken for).
    bool validUtf8() const { return validUtf8_; }
    // The file whose bytes from textStart() on are the text that next() hands out, or nextUtf8()
    // with `utf8`, so that a stretch of it can be copied from there; nothing when it is converted.
    FileHandle* textFile(bool utf8) const {
        return (utf8 ? validUtf8_ : !converter_) ? file_.get() : nullptr;
    }
    int64_t textStart() const { return dataStart_; }
    // Starts the text again from its beginning, its encoding known: for a second pass. False
    // when the file cannot be read from there.
    bool rewind();
    bool failed() const { return failed_; }
    std::error_code error() const { return error_; }
    // Whether the text stopped at a NUL before the end of the content (known at the end).
    bool cutAtNul() const { return cutAtNul_; }
    // Substitutes the conversion put in so far.
    size_t replacements() const { return converter_ ? converter_->replacements() : 0; }

  private:
    TextSource() = default;
    bool detect(JobHost* host);
    // A gzip source whose first bytes are `head`: unpacked in memory, `head` read again from it.
    bool unpackGzip(ByteBuffer& head, bool& headIsAll);
    int64_t readFully(char* into, size_t count);
    bool readRaw(ByteBuffer& into, size_t count);
    bool readMore(ByteBuffer& into, size_t at, size_t& end);
    std::string_view nextPiece(bool asStored);

    std::unique_ptr<FileHandle> file_;
    EncodingCode code_ = kEncodingCodePage;
    int64_t dataStart_ = 0;  // where the text begins, after a byte-order mark
    std::unique_ptr<StreamConverter> converter_;
    // Buffers kept from read to read, so that reading into them neither zero-fills nor copies:
    // bytes read and not converted yet are in raw_; the text not handed out yet is
    // pending_[handed_, pendingEnd_), the piece handed out last pending_[0, handed_).
    ByteBuffer raw_, pending_;
    size_t handed_ = 0, pendingEnd_ = 0;
    bool validUtf8_ = false;
    bool rawEnded_ = false, textEnded_ = false;
    bool failed_ = false, cutAtNul_ = false;
    std::error_code error_;
};

// A file whose bytes are the source's text: for readers that take a file (the line reader).
// `fixBreaks` brings every line break to CR LF on the way; `utf8` gives the text of nextUtf8().
// Reading fails when the source does. The source must outlive the file.
std::unique_ptr<FileHandle> textSourceFile(TextSource& source, bool fixBreaks, bool utf8 = false);

}  // namespace pw
