#pragma once
// The program's string types and the character rule, at the bottom so that every port can use
// them. Every text the program keeps is GB18030, a superset of GBK that can hold any Unicode
// character. UTF-8 exists only at the edges (native file names, Qt strings).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pw {

// Text in the program code page; holds no NUL.
using Text = std::string;
// Any bytes: file contents, parts, conversion results.
using ByteBuffer = std::string;

inline constexpr const char* kCodePage = "GB18030";

// Length in bytes of the character that starts at `pos`: 1 for ASCII and for a lone CR or LF,
// 2 for CR LF and for a double-byte character, 4 for a GB18030 four-byte sequence. A lead byte
// cut off by the end of the text is a character of its own.
// Inline: every text scan calls it once per character.
inline size_t charLengthAt(std::string_view text, size_t pos) {
    const size_t left = text.size() - pos;
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const auto isHighByte = [](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
    const auto isDigitByte = [](unsigned char c) { return c >= 0x30 && c <= 0x39; };
    const unsigned char c = at(0);
    if (c == '\r') return left >= 2 && at(1) == '\n' ? 2 : 1;
    if (c < 0x80) return 1;
    if (left >= 4 && isHighByte(c) && isDigitByte(at(1)) && isHighByte(at(2)) && isDigitByte(at(3)))
        return 4;
    return left >= 2 ? 2 : 1;
}

// Length in bytes of the UTF-8 sequence that `lead` opens, in text known to be valid UTF-8.
inline size_t utf8LengthOf(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Whether the eight bytes at `p` are all 80 or more: from a character start, four two-byte
// characters (no digit among them, so no four-byte one). Chinese text is mostly such runs.
inline bool fourTwoByteChars(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (~word & 0x8080808080808080ull) == 0;
}

}  // namespace pw
