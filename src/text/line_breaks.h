#pragma once
// Whole-text clean-ups: line breaks brought to CR LF, blank lines and line-end blanks removed.

#include "text/codepage.h"

namespace pw {

// Every CR not followed by LF and every LF not preceded by CR becomes CR LF.
Text fixLineBreaks(std::string_view text);
// The same appended to `out`, whose memory is reused from one piece of a text to the next.
void appendFixedLineBreaks(std::string_view text, Text& out);

// Removes every blank line (spaces, full-width spaces and tabs only) together with the CR LF
// that ends it, and the blanks at the start and end of every line. In place, the text may also
// be valid UTF-8.
Text trimBlankLinesAndEdges(std::string_view text);
void trimBlankLinesAndEdgesInPlace(Text& text, bool utf8 = false);

}  // namespace pw
