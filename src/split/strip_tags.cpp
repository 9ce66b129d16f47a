#include "split/strip_tags.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "codec/simd_text.h"

namespace pw {
namespace {

// Spans are first overwritten by a mark of ten 0xFF bytes, then every occurrence of the mark is
// removed, so a run of ten 0xFF bytes in the text goes with them. Removing the spans and then
// shortening every run of 0xFF bytes to its length modulo ten gives the same text.
constexpr size_t kMarkLength = 10;

// Position of the next `c` at or after `from` in text[0, end), or end.
size_t nextByte(const Text& text, size_t from, size_t end, char c) {
    const void* hit = std::memchr(text.data() + from, c, end - from);
    return hit ? size_t(static_cast<const char*>(hit) - text.data()) : end;
}

// Moves text[from, to) down to `out`, which is not after `from`.
void moveDown(Text& text, size_t from, size_t to, size_t out) {
    if (out != from) std::memmove(text.data() + out, text.data() + from, to - from);
}

// Shortens every run of 0xFF bytes to its length modulo the mark's, in place.
void dropMarkRuns(Text& text) {
    const size_t n = text.size();
    size_t out = 0;
    for (size_t in = 0; in < n;) {
        const size_t run = nextByte(text, in, n, '\xFF');
        moveDown(text, in, run, out);
        out += run - in;
        size_t end = run;
        while (end < n && text[end] == '\xFF') ++end;
        const size_t kept = (end - run) % kMarkLength;
        std::fill_n(text.begin() + std::ptrdiff_t(out), kept, '\xFF');
        out += kept;
        in = end;
    }
    text.resize(out);
}

}  // namespace

void stripTagsInPlace(Text& text) {
    // "<" and ">" never occur inside a multi-byte character, so bytes can be scanned directly.
    const size_t n = text.size();
    // Most text holds none of the bytes looked for: one pass instead of one for each.
    if (simd::firstOf(text.data(), n, "<>\xFF") == n) return;
    size_t out = 0;
    size_t open = Text::npos;  // where the last "<" since the last ">" went
    size_t nextOpen = nextByte(text, 0, n, '<');
    size_t nextClose = nextByte(text, 0, n, '>');
    for (size_t in = 0; in < n;) {
        const size_t at = std::min(nextOpen, nextClose);
        moveDown(text, in, at, out);
        out += at - in;
        if (at == n) break;
        if (at == nextOpen) {
            open = out;
            text[out++] = '<';
            nextOpen = nextByte(text, at + 1, n, '<');
        } else {
            if (open != Text::npos)
                out = open;  // the span from that "<" goes
            else
                text[out++] = '>';
            open = Text::npos;
            nextClose = nextByte(text, at + 1, n, '>');
        }
        in = at + 1;
    }
    text.resize(out);
    dropMarkRuns(text);
}

Text stripTags(std::string_view text) {
    Text out(text);
    stripTagsInPlace(out);
    return out;
}

}  // namespace pw
