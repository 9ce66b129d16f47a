#include "text/line_breaks.h"

#include <algorithm>
#include <cstddef>

#include "text/chars.h"

namespace pw {
namespace {

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// An ASCII character that is neither blank nor a line break.
bool isPlainAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != ' ' && c != '\t' && !isLineBreak(c);
}

// The end of the run from `pos` of ASCII characters and two-byte characters that are neither
// blank nor a line break: the bulk of a text, skipped without the general walk.
size_t plainRunEnd(std::string_view text, size_t pos) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    while (pos < n) {
        if (p[pos] < 0x80) {
            if (!isPlainAscii(char(p[pos]))) break;
            ++pos;
        } else if (n - pos >= 2 && (p[pos + 1] < '0' || p[pos + 1] > '9') &&
                   !(p[pos] == 0xA1 && p[pos + 1] == 0xA1)) {
            pos += 2;  // a lead byte not followed by a digit: a two-byte character
        } else {
            break;
        }
    }
    return pos;
}

// Whether a space, a tab or a full-width space starts at `pos`.
bool isBlankAt(std::string_view text, size_t pos) {
    return text[pos] == ' ' || text[pos] == '\t' || text.substr(pos, 2) == "\xA1\xA1";
}

// End of the run of spaces, tabs and full-width spaces that starts at `pos`.
size_t blankRunEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && isBlankAt(text, pos)) pos += text[pos] == '\xA1' ? 2 : 1;
    return pos;
}

}  // namespace

Text fixLineBreaks(std::string_view text) {
    Text out;
    appendFixedLineBreaks(text, out);
    return out;
}

void appendFixedLineBreaks(std::string_view text, Text& out) {
    // CR and LF are never part of a multi-byte character, so bytes can be scanned directly.
    out.reserve(out.size() + text.size() + text.size() / 16 + 2);
    const char* p = text.data();
    const char* end = p + text.size();
    bool afterCr = false;  // the byte before, in the text as it was
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n') ++q;
        if (q > p) {
            out.append(p, size_t(q - p));
            afterCr = false;
            p = q;
            continue;
        }
        if (*p == '\r') {
            out += (p + 1 < end && p[1] == '\n') ? "\r" : "\r\n";
            afterCr = true;
        } else {
            out += afterCr ? "\n" : "\r\n";
            afterCr = false;
        }
        ++p;
    }
}

void trimBlankLinesAndEdgesInPlace(Text& text) {
    // A direct scan with the outcome of the pattern kBlankTrimPattern replaced globally by
    // nothing: at each position, a blank line with its CR LF, else the blanks opening a line,
    // else blanks closing one. What is kept moves down; the bytes ahead are still as they were.
    const size_t n = text.size();
    const auto lineStart = [&](size_t i) { return i == 0 || isLineBreak(text[i - 1]); };
    const auto lineEnd = [&](size_t i) { return i == n || isLineBreak(text[i]); };
    size_t out = 0;
    const auto keep = [&](size_t from, size_t to) {
        if (out != from)
            std::copy(text.begin() + std::ptrdiff_t(from), text.begin() + std::ptrdiff_t(to),
                      text.begin() + std::ptrdiff_t(out));
        out += to - from;
    };
    for (size_t i = 0; i < n;) {
        const size_t run = blankRunEnd(text, i);
        const bool atStart = lineStart(i);
        if (atStart && lineEnd(run) && std::string_view(text).substr(run, 2) == "\r\n") {
            i = run + 2;
        } else if (run > i && (atStart || lineEnd(run))) {
            i = run;
        } else if (run > i) {
            // Blanks inside a line: no later position of the run starts a match either.
            keep(i, run);
            i = run;
        } else {
            // No match starts at a character that is neither blank nor a line break: keep all of
            // them up to the next blank or line start in one move.
            size_t end = i + charLengthAt(text, i);
            for (;;) {
                end = plainRunEnd(text, end);
                if (end == n || isBlankAt(text, end) || lineStart(end)) break;
                end += charLengthAt(text, end);
            }
            keep(i, end);
            i = end;
        }
    }
    text.resize(out);
}

Text trimBlankLinesAndEdges(std::string_view text) {
    Text out(text);
    trimBlankLinesAndEdgesInPlace(out);
    return out;
}

}  // namespace pw
