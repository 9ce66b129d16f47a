#include "text/line_breaks.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "text/chars.h"

namespace pw {
namespace {

// The length of the space, tab or full-width space (`wide`) that starts at `pos`, or 0.
size_t blankAt(std::string_view text, size_t pos, std::string_view wide) {
    if (text[pos] == ' ' || text[pos] == '\t') return 1;
    return text.substr(pos, wide.size()) == wide ? wide.size() : 0;
}

// End of the run of spaces, tabs and full-width spaces that starts at `pos`.
size_t blankRunEnd(std::string_view text, size_t pos, std::string_view wide) {
    for (size_t blank; pos < text.size() && (blank = blankAt(text, pos, wide)) != 0;) pos += blank;
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

void trimBlankLinesAndEdgesInPlace(Text& text, bool utf8) {
    // The outcome of the pattern kBlankTrimPattern replaced globally by nothing, line by line: a
    // blank line goes with its CR LF, other lines lose the blanks that open and close them. The
    // lines are found with memchr; what is kept moves down, and the bytes ahead are still as
    // they were.
    const std::string_view wide = utf8 ? "\xE3\x80\x80" : "\xA1\xA1";
    const size_t n = text.size();
    char* const p = text.data();
    size_t out = 0;
    const auto keep = [&](size_t from, size_t to) {
        if (out != from) std::memmove(p + out, p + from, to - from);
        out += to - from;
    };
    const auto next = [&](char c, size_t from) {
        const void* at = std::memchr(p + from, c, n - from);
        return at ? size_t(static_cast<const char*>(at) - p) : n;
    };
    for (size_t start = 0, cr = next('\r', 0), lf = next('\n', 0);;) {
        if (cr < start) cr = next('\r', start);
        if (lf < start) lf = next('\n', start);
        const size_t end = std::min(cr, lf);
        const size_t breakLength = end == n ? 0 : end == cr && lf == cr + 1 && lf < n ? 2 : 1;
        const size_t first = blankRunEnd(text, start, wide);
        if (first != end || breakLength != 2) {
            // Only a line that ends with a byte of a blank needs its characters walked.
            size_t last = end;
            if (first < end &&
                (p[end - 1] == ' ' || p[end - 1] == '\t' || p[end - 1] == wide.back()))
                for (size_t pos = last = first; pos < end;) {
                    const size_t blank = blankAt(text, pos, wide);
                    pos += blank  ? blank
                           : utf8 ? utf8LengthOf(static_cast<unsigned char>(text[pos]))
                                  : charLengthAt(text, pos);
                    pos = std::min(pos, end);
                    if (!blank) last = pos;
                }
            keep(first, last);
            keep(end, end + breakLength);
        }
        if (end == n) break;
        start = end + breakLength;
    }
    text.resize(out);
}

Text trimBlankLinesAndEdges(std::string_view text) {
    Text out(text);
    trimBlankLinesAndEdgesInPlace(out);
    return out;
}

}  // namespace pw
