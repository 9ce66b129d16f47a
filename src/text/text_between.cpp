#include "text/text_between.h"

#include <cstring>

#include "text/system_texts.h"

namespace pw {
namespace {

unsigned char folded(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? b + 0x20 : b;
}

// Length of the character at `pos` for the search: a byte of 0x80 or above starts a double-byte
// character (or a four-byte one, lead 81-FE then 30-39, 81-FE, 30-39).
size_t stepAt(std::string_view text, size_t pos) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    if (at(0) < 0x80) return 1;
    const size_t left = text.size() - pos;
    if (left >= 4 && at(1) >= 0x30 && at(1) <= 0x39 && at(2) >= 0x81 && at(2) <= 0xFE &&
        at(3) >= 0x30 && at(3) <= 0x39 && at(0) >= 0x81 && at(0) <= 0xFE)
        return 4;
    return left >= 2 ? 2 : 1;
}

bool allAscii8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ull) == 0;
}

// Moves a character start forward until it reaches or passes `target`.
size_t advanceTo(std::string_view text, size_t boundary, size_t target) {
    while (boundary < target) {
        if (target - boundary >= 8 && allAscii8(text.data() + boundary))
            boundary += 8;
        else
            boundary += stepAt(text, boundary);
    }
    return boundary;
}

bool equalsFolded(std::string_view text, size_t pos, std::string_view needle) {
    if (text.size() - pos < needle.size()) return false;
    for (size_t i = 0; i < needle.size(); ++i)
        if (folded(text[pos + i]) != folded(needle[i])) return false;
    return true;
}

// Next byte at or after `from` that may start the needle.
size_t nextCandidate(std::string_view text, unsigned char first, size_t from) {
    if (from >= text.size()) return std::string_view::npos;
    const char* base = text.data();
    const size_t n = text.size() - from;
    if (first < 'a' || first > 'z') {
        const void* hit = std::memchr(base + from, first, n);
        return hit ? size_t(static_cast<const char*>(hit) - base) : std::string_view::npos;
    }
    const void* lower = std::memchr(base + from, first, n);
    const size_t lowerAt = lower ? size_t(static_cast<const char*>(lower) - base) : text.size();
    const void* upper = std::memchr(base + from, first - 0x20, lowerAt - from);
    if (upper) return size_t(static_cast<const char*>(upper) - base);
    return lower ? lowerAt : std::string_view::npos;
}

Text withoutQuotes(std::string_view text) {
    Text out;
    for (char c : text)
        if (c != '"') out += c;
    return out;
}

// One pass of the marker search; false leaves `position` alone.
bool findBetween(std::string_view text, std::string_view left, std::string_view right,
                 int64_t& position, Text& enclosed) {
    const size_t from = position < 1 ? 0 : size_t(position - 1);
    const size_t l = findText(text, left, from);
    if (l == std::string_view::npos) return false;
    const size_t r = findText(text, right, l + left.size());
    if (r == std::string_view::npos) return false;
    position = int64_t(r + right.size()) + 1;
    enclosed.assign(text.substr(l + left.size(), r - l - left.size()));
    return true;
}

}  // namespace

Text expandQuotes(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
            out += '"';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

size_t findText(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    const unsigned char first = folded(needle[0]);
    size_t boundary = from;
    for (size_t c = nextCandidate(text, first, from); c != std::string_view::npos;
         c = nextCandidate(text, first, c + 1)) {
        boundary = advanceTo(text, boundary, c);
        if (boundary == c && equalsFolded(text, c, needle)) return c;
    }
    return std::string_view::npos;
}

Text textBetween(std::string_view text, std::string_view left, std::string_view right,
                 int64_t& position, bool keepQuotes) {
    if (position == kSearchExhausted) return Text();
    Text l = keepQuotes ? Text(left) : expandQuotes(left);
    Text r = keepQuotes ? Text(right) : expandQuotes(right);
    // A sentinel marker needs a copy of the text; otherwise the caller's text is searched as is.
    Text framed;
    if (l.empty() || r.empty()) {
        if (l.empty()) l = lit(texts::kHeadSentinel);
        if (r.empty()) r = lit(texts::kTailSentinel);
        framed = (left.empty() ? l : Text()) + Text(text) + (right.empty() ? r : Text());
        text = framed;
    }
    const int64_t entry = position;
    Text enclosed;
    if (findBetween(text, l, r, position, enclosed)) return enclosed;
    position = entry;
    const Text bareLeft = withoutQuotes(l), bareRight = withoutQuotes(r);
    // Markers without quotes would only repeat the search that just failed.
    const bool differ = bareLeft.size() != l.size() || bareRight.size() != r.size();
    if (differ && findBetween(text, bareLeft, bareRight, position, enclosed)) return enclosed;
    if (position == entry) position = kSearchExhausted;
    return Text();
}

}  // namespace pw
