#include "platform/native_names.h"

#include <algorithm>
#include <cstdint>

#include "platform/charset.h"

namespace pw {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string codePageToUtf8(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    return convertCharset(text, kCodePage, "UTF-8").value_or(std::string());
}

// A native name byte that is no part of a UTF-8 character stands for itself in the code page as
// one of 128 private-use characters at the end of Unicode, which GB18030 holds in four bytes.
constexpr char32_t kEscapeBase = 0x10FC00;  // + the byte, 0x80 to 0xFF
constexpr size_t kEscapeLength = 4;

Text escapeOf(unsigned char byte) {
    uint32_t linear = uint32_t(kEscapeBase + byte) - 0x10000;
    char out[kEscapeLength];
    out[3] = char(0x30 + linear % 10);
    linear /= 10;
    out[2] = char(0x81 + linear % 126);
    linear /= 126;
    out[1] = char(0x30 + linear % 10);
    out[0] = char(0x90 + linear / 10);
    return Text(out, kEscapeLength);
}

// The byte an escape at `pos` stands for, or -1 when the character there is none.
int escapedByteAt(std::string_view text, size_t pos, size_t length) {
    if (length != kEscapeLength) return -1;
    const auto b = [&](size_t i) { return uint32_t(static_cast<unsigned char>(text[pos + i])); };
    if (b(0) < 0x90) return -1;
    const uint32_t cp =
        (((b(0) - 0x90) * 10 + (b(1) - 0x30)) * 126 + (b(2) - 0x81)) * 10 + (b(3) - 0x30) + 0x10000;
    return cp >= kEscapeBase + 0x80 && cp <= kEscapeBase + 0xFF ? int(cp - kEscapeBase) : -1;
}

// The UTF-8 form of an escape character: F4 8F B2 80 to F4 8F B3 BF.
bool isNativeEscapeAt(std::string_view s, size_t pos) {
    return s.size() - pos >= 4 && s.substr(pos, 2) == "\xF4\x8F" &&
           (s[pos + 2] == '\xB2' || s[pos + 2] == '\xB3') &&
           (static_cast<unsigned char>(s[pos + 3]) & 0xC0) == 0x80;
}

size_t escapeInvalidByte(std::string_view rest, std::string& out) {
    out += escapeOf(static_cast<unsigned char>(rest[0]));
    return 1;
}

}  // namespace

Text fromNativeName(std::string_view native) {
    if (isAscii(native)) return Text(native);
    // An escape character the name holds itself is escaped byte by byte, so that it comes back
    // as itself and not as the byte it would stand for.
    Text out;
    size_t done = 0;
    for (size_t pos = native.find('\xF4'); pos != std::string_view::npos;
         pos = native.find('\xF4', pos + 1)) {
        if (!isNativeEscapeAt(native, pos)) continue;
        out +=
            convertCharset(native.substr(done, pos - done), "UTF-8", kCodePage, escapeInvalidByte)
                .value_or(Text());
        for (size_t i = 0; i < 4; ++i) out += escapeOf(static_cast<unsigned char>(native[pos + i]));
        done = pos + 4;
        pos += 3;
    }
    out +=
        convertCharset(native.substr(done), "UTF-8", kCodePage, escapeInvalidByte).value_or(Text());
    return out;
}

std::string toNativeName(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    std::string out;
    size_t done = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = charLengthAt(text, pos);
        const int byte = escapedByteAt(text, pos, length);
        if (byte >= 0) {
            out += codePageToUtf8(text.substr(done, pos - done));
            out += char(byte);
            done = pos + length;
        }
        pos += length;
    }
    return out + codePageToUtf8(text.substr(done));
}

}  // namespace pw
