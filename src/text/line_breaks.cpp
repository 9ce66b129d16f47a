#include "text/line_breaks.h"

#include "text/chars.h"

namespace pw {
namespace {

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// End of the run of spaces, tabs and full-width spaces that starts at `pos`.
size_t blankRunEnd(std::string_view text, size_t pos) {
    const std::string_view wide = "\xA1\xA1";  // U+3000 in the code page
    for (;;) {
        if (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        else if (text.substr(pos, 2) == wide)
            pos += 2;
        else
            return pos;
    }
}

}  // namespace

Text fixLineBreaks(std::string_view text) {
    // CR and LF are never part of a multi-byte character, so bytes can be scanned directly.
    Text out;
    out.reserve(text.size() + text.size() / 16 + 2);
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
    return out;
}

Text trimBlankLinesAndEdges(std::string_view text) {
    // A direct scan with the outcome of the pattern kBlankTrimPattern replaced globally by
    // nothing: at each position, a blank line with its CR LF, else the blanks opening a line,
    // else blanks closing one.
    const size_t n = text.size();
    const auto lineStart = [&](size_t i) { return i == 0 || isLineBreak(text[i - 1]); };
    const auto lineEnd = [&](size_t i) { return i == n || isLineBreak(text[i]); };
    Text out;
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        const size_t run = blankRunEnd(text, i);
        const bool atStart = lineStart(i);
        if (atStart && lineEnd(run) && text.substr(run, 2) == "\r\n") {
            i = run + 2;
        } else if (run > i && (atStart || lineEnd(run))) {
            i = run;
        } else if (run > i) {
            // Blanks inside a line: no later position of the run starts a match either.
            out.append(text.substr(i, run - i));
            i = run;
        } else {
            const size_t len = charLengthAt(text, i);
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

}  // namespace pw
