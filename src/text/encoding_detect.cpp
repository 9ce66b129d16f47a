#include "text/encoding_detect.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "codec/simd_text.h"
#include "platform/charset.h"
#include "platform/gzip.h"
#include "text/encoding_convert.h"
#include "text/html_charset.h"

namespace pw {
namespace {

// How much of the UTF-8 test runs between two event points.
constexpr size_t kEventStride = 256 * 1024;
constexpr size_t kGzipCeiling = size_t(1) << 30;
constexpr size_t kGzipFloor = size_t(64) << 20;
constexpr size_t kGzipRatio = 100;

bool allAscii8(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ull) == 0;
}

std::optional<ByteBuffer> readWholeFile(FileSystem& fs, const Text& path, std::error_code& error) {
    auto file = fs.open(path, OpenMode::Read);
    if (!file) {
        error = fs.lastError();
        return std::nullopt;
    }
    const int64_t length = file->length();
    if (length < 0 || !fitsInMemory(length)) {
        error = length < 0 ? file->error() : std::make_error_code(std::errc::file_too_large);
        return std::nullopt;
    }
    ByteBuffer content(size_t(length), '\0');
    size_t filled = 0;
    while (filled < content.size()) {
        const int64_t got = file->read(content.data() + filled, content.size() - filled);
        if (got < 0) {
            error = file->error();
            return std::nullopt;
        }
        if (got == 0) break;
        filled += size_t(got);
    }
    // The length is only a hint: a file that grew meanwhile is read to its end.
    char more[64 * 1024];
    for (int64_t got; filled == content.size() && (got = file->read(more, sizeof more)) != 0;) {
        if (got < 0) {
            error = file->error();
            return std::nullopt;
        }
        content.append(more, size_t(got));
        filled = content.size();
    }
    content.resize(filled);
    return content;
}

// Whether the text converted from `data` would begin with a NUL, which ends it at once. The first
// character is at most four bytes long in every charset used here.
bool startsWithNul(std::string_view data, const char* charset) {
    const ByteBuffer first = convertEncoding(data.substr(0, 8), charset, kCodePage);
    return first.empty() || first[0] == '\0';
}

bool cutAtNul(ByteBuffer& bytes) {
    const size_t nul = bytes.find('\0');
    if (nul == ByteBuffer::npos) return false;
    bytes.resize(nul);
    return true;
}

}  // namespace

EncodingCode markedEncoding(std::string_view content, size_t& dataStart) {
    for (EncodingCode code : {kEncodingUtf8, kEncodingUtf16Le, kEncodingUtf16Be}) {
        const std::string_view mark = byteOrderMarkOf(code);
        if (content.starts_with(mark)) {
            dataStart = mark.size();
            return code;
        }
    }
    dataStart = 0;
    return kEncodingUnknown;
}

EncodingCode declaredEncoding(std::string_view content) {
    switch (htmlDeclaredCharset(content.substr(0, declarationTextLength(content)))) {
        case DeclaredCharset::Utf8:
            return kEncodingUtf8;
        case DeclaredCharset::Big5:
            return kEncodingBig5;
        case DeclaredCharset::Big5Hkscs:
            return kEncodingBig5Hkscs;
        default:
            return kEncodingUnknown;
    }
}

size_t gzipLimitFor(size_t compressedSize) {
    const size_t scaled =
        compressedSize > kGzipCeiling / kGzipRatio ? kGzipCeiling : compressedSize * kGzipRatio;
    return std::min(kGzipCeiling, std::max(kGzipFloor, scaled));
}

std::optional<ByteBuffer> unwrapGzip(std::string_view bytes) {
    return gunzip(bytes, gzipLimitFor(bytes.size()));
}

namespace {

// Whether the bytes look like UTF-8, and whether they hold values that convert to replacements.
struct Utf8Test {
    bool looks = false, oddValues = false;
};

Utf8Test testUtf8(std::string_view bytes, JobHost* host) {
    simd::Utf8Structure structure;
    for (size_t i = 0; i < bytes.size(); i += kEventStride) {
        structure.feed(bytes.data() + i, std::min(kEventStride, bytes.size() - i));
        if (structure.failed()) return {};
        if (host) host->processEvents();
    }
    // Well-formed and not all ASCII: some sequence is longer than one byte.
    return {structure.wellFormed() && structure.sawNonAscii(), structure.sawOddValues()};
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes, JobHost* host) {
    return testUtf8(bytes, host).looks;
}

size_t declarationTextLength(std::string_view content) {
    // Only a 1A byte needs the character walk: a NUL ends the text either way, at its own
    // position or one byte earlier when it follows a lead byte.
    const size_t nul = std::min(content.find('\0'), content.size());
    const auto* p = reinterpret_cast<const unsigned char*>(content.data());
    size_t i = 0;
    for (size_t sub = content.find('\x1A'); sub < nul; sub = content.find('\x1A', sub + 1)) {
        while (i < sub) {
            if (sub - i >= 8 && allAscii8(p + i))
                i += 8;
            else
                i += p[i] >= 0x80 ? 2 : 1;
        }
        if (i == sub) return sub;
    }
    if (nul == content.size()) return nul;
    // The walk decides whether the byte before the NUL is a lead byte.
    while (i + 1 < nul) {
        if (nul - i >= 9 && allAscii8(p + i))
            i += 8;
        else
            i += p[i] >= 0x80 ? 2 : 1;
    }
    return i + 1 == nul && p[i] >= 0x80 ? i : nul;
}

DecodedText decodeContent(ByteBuffer content, JobHost* host, bool keepValidUtf8) {
    if (content.size() >= 2 && content[0] == '\x1F' && content[1] == '\x8B') {
        if (auto unwrapped = unwrapGzip(content)) content = std::move(*unwrapped);
    }
    // One pass over most text: without a "<" before a NUL or 1A there is no declaration, and
    // without a zero byte the text holds no NUL, converted or not.
    using namespace std::string_view_literals;
    const bool plain = simd::firstOf(content.data(), content.size(), "\0\x1A<"sv) == content.size();
    size_t dataStart = 0;
    EncodingCode code = markedEncoding(content, dataStart);
    if (code == kEncodingUnknown && !plain) code = declaredEncoding(content);
    const std::string_view data = std::string_view(content).substr(dataStart);
    Utf8Test tested;
    if (code == kEncodingUnknown && (tested = testUtf8(data, host)).looks) code = kEncodingUtf8;

    DecodedText result;
    const char* charset = charsetNameOf(code);
    if (charset && !data.empty() && !startsWithNul(data, charset)) {
        // The text cannot come out empty now, so the raw content is no longer needed.
        result.utf8 = keepValidUtf8 && tested.looks && !tested.oddValues;
        if (!result.utf8)
            convertCharsetInPlace(content, dataStart, charset, kCodePage, &result.replacements);
    } else {
        code = kEncodingCodePage;
    }
    result.text = std::move(content);
    result.cutAtNul = !plain && cutAtNul(result.text);
    result.code = code;
    return result;
}

Text decodeBytes(std::string_view bytes, JobHost* host) {
    return decodeContent(ByteBuffer(bytes), host).text;
}

std::optional<DecodedText> detectAndDecode(FileSystem& fs, const Text& path, JobHost* host,
                                           std::error_code* error) {
    std::error_code reason;
    try {
        if (auto content = readWholeFile(fs, path, reason))
            return decodeContent(std::move(*content), host);
    } catch (const std::bad_alloc&) {
        // A text too large to hold is as unreadable as a missing one.
        reason = std::make_error_code(std::errc::not_enough_memory);
    } catch (const std::length_error&) {
        reason = std::make_error_code(std::errc::not_enough_memory);
    }
    if (error) *error = reason ? reason : std::make_error_code(std::errc::io_error);
    return std::nullopt;
}

}  // namespace pw
