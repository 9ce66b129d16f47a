#include "split/split_by_delimiter.h"

#include <cstring>

#include "split/decode_source.h"
#include "split/part_writer.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// Bytes from one character start to the next. A CR is a character of its own here, so that a
// delimiter that begins with LF is found after a CR.
size_t stepAt(std::string_view text, size_t pos) {
    return text[pos] == '\r' ? 1 : charLengthAt(text, pos);
}

// For each prefix of the pattern, the length of its longest proper prefix that is also its suffix.
std::vector<size_t> borders(std::string_view pattern) {
    std::vector<size_t> border(pattern.size(), 0);
    for (size_t i = 1, k = 0; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k]) k = border[k - 1];
        if (pattern[i] == pattern[k]) ++k;
        border[i] = k;
    }
    return border;
}

}  // namespace

std::vector<std::string_view> splitAtDelimiter(std::string_view text, std::string_view delimiter) {
    std::vector<std::string_view> pieces;
    if (delimiter.empty()) {
        if (!text.empty()) pieces.push_back(text);
        return pieces;
    }
    // Every occurrence is found in one pass (Knuth-Morris-Pratt, with memchr over the stretches
    // that cannot start one); an occurrence counts when it starts at a character boundary. The
    // boundaries are walked forward only, so a match inside a character costs no rescan.
    const std::vector<size_t> border = borders(delimiter);
    const size_t m = delimiter.size();
    const char first = delimiter[0];
    size_t pieceStart = 0;
    size_t boundary = 0;
    size_t matched = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (matched == 0) {
            const void* hit = std::memchr(text.data() + i, first, text.size() - i);
            if (!hit) break;
            i = size_t(static_cast<const char*>(hit) - text.data());
        }
        while (matched > 0 && text[i] != delimiter[matched]) matched = border[matched - 1];
        if (text[i] == delimiter[matched]) ++matched;
        if (matched < m) continue;

        const size_t start = i + 1 - m;
        while (boundary < start) boundary += stepAt(text, boundary);
        if (boundary == start) {
            pieces.push_back(text.substr(pieceStart, start - pieceStart));
            pieceStart = boundary = i + 1;
            matched = 0;
        } else {
            matched = border[m - 1];  // inside a character: later, overlapping ones may count
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (ctx.options.delimiter().empty()) {
        ctx.host.message(lit(texts::kEnterDelimiter), Buttons::Ok);
        ctx.options.askDelimiter();
        return ModeResult::Abort;
    }
    const std::optional<Text> text = decodeSource(ctx, state, source);
    if (!text) return ModeResult::Done;

    // Read again: the delimiter may have been changed while the text was decoded.
    const Text delimiter = ctx.options.delimiter();
    const std::vector<std::string_view> pieces = splitAtDelimiter(*text, delimiter);
    for (size_t k = 0; k < pieces.size(); ++k) {
        state.partNumber = int64_t(k) + 1;
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            state.sourceIntact = false;
            break;
        }
        state.partContent.setBytes(ByteBuffer(pieces[k]));
        writePart(ctx, state);
    }
    return ModeResult::Done;
}

}  // namespace pw
