#pragma once
// Slow, obvious forms of the text search and the marker walk, for the targets to compare with:
// every character start is tried in turn, byte by byte.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/codepage.h"

namespace pw::fuzz {

// Valid code-page text: every character converts to Unicode and back unchanged.
inline bool isCodePageText(std::string_view text) {
    return fromUtf8(toUtf8(text)) == text;
}

inline unsigned char foldAscii(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? b + 0x20 : b;
}

// Bytes of the character at `pos` for the search: 80 or above starts a double-byte character,
// or a GB18030 four-byte one (lead 81-FE, then 30-39, 81-FE, 30-39).
inline size_t searchStep(std::string_view s, size_t pos) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    if (at(0) < 0x80) return 1;
    const size_t left = s.size() - pos;
    const auto digit = [](unsigned char c) { return c >= 0x30 && c <= 0x39; };
    const auto high = [](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
    if (left >= 4 && high(at(0)) && digit(at(1)) && high(at(2)) && digit(at(3))) return 4;
    return left >= 2 ? 2 : 1;
}

inline size_t naiveFind(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size()) return std::string_view::npos;
    for (size_t pos = from;; pos += searchStep(text, pos)) {
        if (text.size() - pos < needle.size()) return std::string_view::npos;
        bool equal = true;
        for (size_t i = 0; i < needle.size() && equal; ++i)
            equal = foldAscii(text[pos + i]) == foldAscii(needle[i]);
        if (equal) return pos;
        if (pos == text.size()) return std::string_view::npos;
    }
}

inline Text naiveExpandQuotes(std::string_view text) {
    Text out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'';
        out += pair ? '"' : text[i];
        i += pair;
    }
    return out;
}

// The marker walk: both markers tried as given, then once more without double quotes.
inline Text modelTextBetween(std::string_view text, std::string_view left, std::string_view right,
                             int64_t& position, bool keepQuotes, std::string_view head,
                             std::string_view tail) {
    if (position == -2) return Text();
    Text l = keepQuotes ? Text(left) : naiveExpandQuotes(left);
    Text r = keepQuotes ? Text(right) : naiveExpandQuotes(right);
    Text framed(text);
    if (l.empty()) {
        l = head;
        framed.insert(0, head);
    }
    if (r.empty()) {
        r = tail;
        framed += tail;
    }
    const int64_t entry = position;
    for (int pass = 1; pass <= 2; ++pass) {
        if (pass == 2) {
            std::erase(l, '"');
            std::erase(r, '"');
        }
        const size_t from = entry < 1 ? 0 : size_t(entry - 1);
        const size_t at = naiveFind(framed, l, from);
        if (at == std::string_view::npos) continue;
        const size_t end = naiveFind(framed, r, at + l.size());
        if (end == std::string_view::npos) continue;
        position = int64_t(end + r.size()) + 1;
        return framed.substr(at + l.size(), end - at - l.size());
    }
    position = -2;
    return Text();
}

inline size_t modelSequenceLength(unsigned char lead) {
    if (lead >= 0xC0 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The UTF-8 test a byte at a time: sequences of two to four bytes with their lead in C0-DF,
// E0-EF or F0-F4 and continuation bytes 80-BF, and at least one such sequence.
inline bool modelLooksLikeUtf8(std::string_view bytes) {
    bool sawLong = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const size_t len = modelSequenceLength(lead);
        if (len == 0 || len > bytes.size() - i) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        sawLong = true;
        i += len;
    }
    return sawLong;
}

}  // namespace pw::fuzz
