#include "text/encoding_stream.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "codec/codec.h"
#include "codec/simd_text.h"
#include "platform/charset.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"
#include "text/line_breaks.h"

namespace pw {
namespace {

// Small enough that a buffer, the text converted from it and the kernel's copy into it stay in
// the processor's second-level cache: with 1 MiB the text modes took 2-10 % longer.
constexpr size_t kDefaultBufferSize = size_t(1) << 18;
// An HTML page declares its charset near its top: only so much of a file is searched for it.
constexpr size_t kDeclarationWindow = size_t(1) << 20;
constexpr size_t kEventStride = 256 * 1024;

std::atomic<size_t> bufferSize{kDefaultBufferSize};

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// How much of valid UTF-8 ends where a character ends, never between CR and LF.
size_t wholeUtf8Prefix(std::string_view text) {
    for (size_t k = text.size(); k-- > 1;) {
        const auto b = static_cast<unsigned char>(text[k]);
        if ((b & 0xC0) != 0x80 && !(b == '\n' && text[k - 1] == '\r')) return k;
    }
    return 0;
}

}  // namespace

size_t textBufferSize() {
    return bufferSize.load();
}

void setTextBufferSize(size_t bytes) {
    bufferSize.store(bytes ? bytes : kDefaultBufferSize);
}

size_t wholeCodePagePrefix(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    // A byte below 80 that is neither CR nor a digit ends a character wherever it stands: alone, as
    // the second byte of a pair, or as the LF of CR LF (a digit may open the second half of a
    // four-byte one). So a character starts after it.
    for (size_t k = n; k > 0 && n - k < (size_t(64) << 10); --k)
        if (p[k - 1] < 0x80 && p[k - 1] != '\r' && !isDigit(p[k - 1])) return k;
    // None near the end: the characters are walked from the start, which is a boundary.
    size_t i = 0;
    while (n - i >= 4) i += charLengthAt(text, i);
    return i;
}

StreamConverter::StreamConverter(const char* from, const char* to) : from_(from), to_(to) {
    const auto source = codec::charsetNamed(from), target = codec::charsetNamed(to);
    if (source && target && codec::converts(*source, *target)) {
        from_codec_ = int(*source);
        to_codec_ = int(*target);
    }
}

void StreamConverter::convertNow(std::string_view bytes, ByteBuffer& out) {
    if (bytes.empty()) return;
    if (from_codec_ >= 0) {
        replacements_ +=
            codec::convert(bytes, codec::Charset(from_codec_), codec::Charset(to_codec_),
                           [&](std::string_view piece, size_t) { out += piece; });
    } else {
        size_t count = 0;
        out += convertEncoding(bytes, from_, to_, &count);
        replacements_ += count;
    }
}

void StreamConverter::feed(std::string_view bytes, bool last, ByteBuffer& out) {
    if (!held_.empty() && from_codec_ >= 0) {
        // The held bytes take only as many new ones as finish their character, so that the new
        // ones are converted where they lie instead of being copied after them.
        const size_t before = held_.size();
        held_.append(bytes.substr(0, 64));
        const size_t cut =
            codec::wholePrefix(held_, codec::Charset(from_codec_), codec::Charset(to_codec_));
        if (cut >= before) {
            convertNow(std::string_view(held_).substr(0, cut), out);
            bytes.remove_prefix(cut - before);
            held_.clear();
        } else {
            held_.resize(before);
        }
    }
    std::string_view input = bytes;
    if (!held_.empty()) {
        held_.append(bytes);
        input = held_;
    }
    size_t cut = input.size();
    if (!last) {
        // Without the codec's knowledge of where characters start, all waits for the end.
        cut = from_codec_ < 0 ? 0
                              : codec::wholePrefix(input, codec::Charset(from_codec_),
                                                   codec::Charset(to_codec_));
    }
    convertNow(input.substr(0, cut), out);
    if (held_.empty())
        held_.assign(input.substr(cut));
    else
        held_.erase(0, cut);
}

TextSource::~TextSource() = default;

std::unique_ptr<TextSource> TextSource::open(FileSystem& fs, const Text& path, JobHost* host,
                                             std::error_code* error) {
    auto file = fs.open(path, OpenMode::Read);
    if (!file) {
        if (error)
            *error = fs.lastError() ? fs.lastError() : std::make_error_code(std::errc::io_error);
        return nullptr;
    }
    return open(std::move(file), host, error);
}

std::unique_ptr<TextSource> TextSource::open(std::unique_ptr<FileHandle> file, JobHost* host,
                                             std::error_code* error) {
    std::unique_ptr<TextSource> source(new TextSource);
    source->file_ = std::move(file);
    if (source->detect(host)) return source;
    if (error) *error = source->error_ ? source->error_ : std::make_error_code(std::errc::io_error);
    return nullptr;
}

int64_t TextSource::readFully(char* into, size_t count) {
    size_t filled = 0;
    while (filled < count) {
        const int64_t got = file_->read(into + filled, count - filled);
        if (got < 0) {
            failed_ = true;
            error_ = file_->error() ? file_->error() : std::make_error_code(std::errc::io_error);
            return -1;
        }
        if (got == 0) break;
        filled += size_t(got);
    }
    return int64_t(filled);
}

bool TextSource::readRaw(ByteBuffer& into, size_t count) {
    const size_t start = into.size();
    into.resize(start + count);
    const int64_t got = readFully(into.data() + start, count);
    into.resize(start + size_t(std::max(got, int64_t(0))));
    return got >= 0;
}

bool TextSource::readMore(ByteBuffer& into, size_t at, size_t& end) {
    const size_t count = textBufferSize();
    if (into.size() < at + count) into.resize(at + count);
    const int64_t got = readFully(into.data() + at, count);
    if (got < 0) return false;
    end = at + size_t(got);
    return true;
}

// Within the limit gzip input is held to.
bool TextSource::unpackGzip(ByteBuffer& head, bool& headIsAll) {
    ByteBuffer packed = std::move(head);
    for (bool more = !headIsAll; more;) {
        const size_t before = packed.size();
        if (!readRaw(packed, std::max(textBufferSize(), size_t(1) << 20))) return false;
        more = packed.size() > before;
    }
    if (auto unwrapped = unwrapGzip(packed)) packed = std::move(*unwrapped);
    file_ = makeMemoryFile(std::move(packed));
    head.clear();
    if (!readRaw(head, kDeclarationWindow)) return false;
    headIsAll = head.size() < kDeclarationWindow;
    return true;
}

bool TextSource::detect(JobHost* host) {
    ByteBuffer head;
    if (!file_->seek(0) || !readRaw(head, kDeclarationWindow)) return false;
    bool headIsAll = head.size() < kDeclarationWindow;
    if (head.size() >= 2 && head[0] == '\x1F' && head[1] == '\x8B' && !unpackGzip(head, headIsAll))
        return false;

    size_t dataStart = 0;
    code_ = markedEncoding(head, dataStart);
    if (code_ == kEncodingUnknown) code_ = declaredEncoding(head);
    const bool dataEmpty = headIsAll && head.size() == dataStart;
    bool ascii = false;  // the test saw only bytes below 80: valid UTF-8 and code-page text alike
    if (code_ == kEncodingUnknown && !dataEmpty) {
        simd::Utf8Structure structure;
        const std::string_view data = std::string_view(head).substr(dataStart);
        for (size_t i = 0; i < data.size() && !structure.failed(); i += kEventStride) {
            structure.feed(data.data() + i, std::min(kEventStride, data.size() - i));
            if (host) host->processEvents();
        }
        for (bool ended = headIsAll; !ended && !structure.failed();) {
            size_t got = 0;
            if (!readMore(raw_, 0, got)) return false;
            ended = got == 0;
            structure.feed(raw_.data(), got);
            if (host) host->processEvents();
        }
        if (structure.wellFormed() && structure.sawNonAscii()) code_ = kEncodingUtf8;
        validUtf8_ = code_ == kEncodingUtf8 && !structure.sawOddValues();
        ascii = structure.wellFormed() && !structure.sawNonAscii();
    }

    const char* charset = charsetNameOf(code_);
    bool convert = charset && !dataEmpty;
    if (convert) {
        // A text whose first character is a NUL is empty: the raw bytes stand instead.
        const std::string_view first = std::string_view(head).substr(dataStart, 8);
        const ByteBuffer converted = convertEncoding(first, charset, kCodePage);
        convert = !converted.empty() && converted[0] != '\0';
    }
    if (convert) {
        converter_ = std::make_unique<StreamConverter>(charset, kCodePage);
    } else {
        code_ = kEncodingCodePage;
        dataStart = 0;
        validUtf8_ = ascii;
    }
    // The text is read again from its start, a buffer at a time.
    dataStart_ = int64_t(dataStart);
    return file_->seek(dataStart_);
}

bool TextSource::rewind() {
    handed_ = pendingEnd_ = 0;
    rawEnded_ = textEnded_ = failed_ = cutAtNul_ = false;
    error_ = {};
    if (converter_) converter_ = std::make_unique<StreamConverter>(charsetNameOf(code_), kCodePage);
    if (file_->seek(dataStart_)) return true;
    failed_ = true;
    error_ = file_->error() ? file_->error() : std::make_error_code(std::errc::io_error);
    return false;
}

std::string_view TextSource::next() {
    return nextPiece(false);
}

std::string_view TextSource::nextUtf8() {
    return nextPiece(validUtf8_);
}

std::string_view TextSource::nextPiece(bool asStored) {
    // Valid UTF-8 taken as it stands needs no converter: every character converts to one that
    // converts back to itself.
    StreamConverter* converter = asStored ? nullptr : converter_.get();
    // The piece handed out last gives way to the text after it.
    std::memmove(pending_.data(), pending_.data() + handed_, pendingEnd_ - handed_);
    pendingEnd_ -= handed_;
    handed_ = 0;
    for (;;) {
        const std::string_view text(pending_.data(), pendingEnd_);
        const size_t cut = textEnded_ ? text.size()
                           : asStored ? wholeUtf8Prefix(text)
                                      : wholeCodePagePrefix(text);
        if (cut > 0) {
            handed_ = cut;
            return text.substr(0, cut);
        }
        if (textEnded_) {
            // Past a NUL the text is over, but what the rest needed in substitutes still counts.
            ByteBuffer ignored;
            for (size_t got = 0; converter && !rawEnded_ && !failed_ && readMore(raw_, 0, got);) {
                rawEnded_ = got == 0;
                ignored.clear();
                converter->feed(std::string_view(raw_.data(), got), rawEnded_, ignored);
            }
            return {};
        }
        const size_t start = pendingEnd_;
        size_t end = 0;
        // The text is read straight after what is pending, or converted there.
        if (!(converter ? readMore(raw_, 0, end) : readMore(pending_, start, end))) {
            textEnded_ = true;
            pendingEnd_ = 0;
            continue;
        }
        rawEnded_ = end == (converter ? 0 : start);
        if (converter) {
            pending_.resize(start);
            converter->feed(std::string_view(raw_.data(), end), rawEnded_, pending_);
            end = pending_.size();
        }
        pendingEnd_ = end;
        const void* nul = std::memchr(pending_.data() + start, '\0', end - start);
        if (nul) {
            pendingEnd_ = size_t(static_cast<const char*>(nul) - pending_.data());
            cutAtNul_ = true;
            textEnded_ = true;
        }
        if (rawEnded_) textEnded_ = true;
    }
}

namespace {

class TextSourceFile : public FileHandle {
  public:
    TextSourceFile(TextSource& source, bool fixBreaks, bool utf8)
        : source_(&source), fixBreaks_(fixBreaks), utf8_(utf8) {}

    int64_t read(void* buffer, size_t size) override {
        while (piece_.empty()) {
            if (!source_) {
                fail(EBADF);
                return -1;
            }
            piece_ = utf8_ ? source_->nextUtf8() : source_->next();
            if (piece_.empty()) {
                if (!source_->failed()) return 0;
                error_ = source_->error();
                return -1;
            }
            // The source's piece stays valid until it is asked for the next one.
            if (fixBreaks_) {
                fixed_.clear();
                appendFixedLineBreaks(piece_, fixed_);
                piece_ = fixed_;
            }
        }
        const size_t n = std::min(size, piece_.size());
        std::memcpy(buffer, piece_.data(), n);
        piece_.remove_prefix(n);
        position_ += int64_t(n);
        return int64_t(n);
    }
    bool write(const void*, size_t) override { return fail(EBADF); }
    bool seek(int64_t) override { return fail(ESPIPE); }
    int64_t position() const override { return position_; }
    int64_t length() override {
        fail(ESPIPE);
        return -1;
    }
    bool close() override {
        source_ = nullptr;
        return true;
    }

  private:
    TextSource* source_;
    bool fixBreaks_, utf8_;
    std::string_view piece_;  // what is left of the source's piece, or of its fixed copy
    Text fixed_;
    int64_t position_ = 0;
};

}  // namespace

std::unique_ptr<FileHandle> textSourceFile(TextSource& source, bool fixBreaks, bool utf8) {
    return std::make_unique<TextSourceFile>(source, fixBreaks, utf8);
}

}  // namespace pw
