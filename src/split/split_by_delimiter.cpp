#include "split/split_by_delimiter.h"

#include <string.h>

#include <algorithm>
#include <cstring>

#include "split/decode_source.h"
#include "split/part_writer.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// Bytes from one character start to the next. A CR is a character of its own here, so that a
// delimiter that begins with LF is found after a CR.
size_t stepAt(std::string_view text, size_t pos) {
    return text[pos] == '\r' ? 1 : charLengthAt(text, pos);
}

}  // namespace

DelimiterSplitter::DelimiterSplitter(std::string_view delimiter, bool utf8)
    : delimiter_(delimiter), utf8_(utf8) {}

void DelimiterSplitter::feed(std::string_view text) {
    // What was given out goes; the piece being found moves to the front.
    text_.erase(0, pieceStart_);
    scanned_ -= pieceStart_;
    boundary_ -= pieceStart_;
    pieceStart_ = 0;
    text_.append(text);
}

void DelimiterSplitter::walkTo(std::string_view text, size_t start) {
    // A byte below 80 that is no digit ends a character wherever it stands (a CR counts alone
    // here), so the walk may start after the last one before `start`.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t j = start; j > boundary_ && start - j < 256; --j) {
        if (p[j - 1] < 0x80 && (p[j - 1] < '0' || p[j - 1] > '9')) {
            boundary_ = j;
            break;
        }
    }
    while (boundary_ < start) boundary_ += stepAt(text, boundary_);
}

bool DelimiterSplitter::take(std::string_view& piece) {
    // Occurrences are found from the left with memmem; one counts when it starts at a character
    // boundary, and after one inside a character the next, perhaps overlapping it, is looked for.
    // The boundaries are walked forward only.
    const size_t m = delimiter_.size();
    const std::string_view text = text_;
    if (m == 0) return false;
    for (size_t from = scanned_; from + m <= text.size();) {
        const void* hit = memmem(text.data() + from, text.size() - from, delimiter_.data(), m);
        if (!hit) break;
        const size_t start = size_t(static_cast<const char*>(hit) - text.data());
        if (!utf8_) walkTo(text, start);
        if (utf8_ || boundary_ == start) {
            piece = text.substr(pieceStart_, start - pieceStart_);
            pieceStart_ = boundary_ = scanned_ = start + m;
            return true;
        }
        from = start + 1;
    }
    // An occurrence may still begin in the last m - 1 bytes, and end in the next feed.
    scanned_ = std::max(pieceStart_, text.size() >= m ? text.size() - m + 1 : 0);
    return false;
}

bool DelimiterSplitter::takeLast(std::string_view& piece) {
    if (pieceStart_ >= text_.size()) return false;
    piece = std::string_view(text_).substr(pieceStart_);
    pieceStart_ = text_.size();
    return true;
}

std::vector<Text> splitAtDelimiter(std::string_view text, std::string_view delimiter) {
    DelimiterSplitter splitter(delimiter);
    splitter.feed(text);
    std::vector<Text> pieces;
    std::string_view piece;
    while (splitter.take(piece)) pieces.emplace_back(piece);
    if (splitter.takeLast(piece)) pieces.emplace_back(piece);
    return pieces;
}

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (ctx.options.delimiter().empty()) {
        ctx.host.message(lit(texts::kEnterDelimiter), Buttons::Ok);
        ctx.options.askDelimiter();
        return ModeResult::Abort;
    }
    const std::unique_ptr<TextSource> text = openSourceText(ctx, state, source);
    if (!text) return ModeResult::Done;

    // Read again: the delimiter may have been changed while the encoding was detected.
    const Text& delimiter = ctx.options.delimiter();
    // Valid UTF-8 is searched and cut as it stands when the delimiter is whole characters: an
    // occurrence of their UTF-8 form is then one at a character start of the code-page text.
    const std::optional<Text> utf8 = text->validUtf8() ? wholeUtf8Form(delimiter) : std::nullopt;
    DelimiterSplitter splitter(utf8 ? *utf8 : delimiter, utf8.has_value());
    std::string_view piece;
    ByteBuffer part;  // one buffer for every part, not one allocated for each
    int64_t k = 0;
    for (bool fed = true; fed;) {
        const std::string_view next = utf8 ? text->nextUtf8() : text->next();
        fed = !next.empty();
        // After a read error the text found so far is no whole piece.
        if (text->failed()) break;
        splitter.feed(next);
        while (fed ? splitter.take(piece) : splitter.takeLast(piece)) {
            state.partNumber = ++k;
            ctx.host.processEvents();
            if (ctx.stopRequested) {
                state.sourceIntact = false;
                finishSourceText(state, *text);
                return ModeResult::Done;
            }
            part.assign(piece);
            state.partContent.setBytes(std::move(part), utf8.has_value());
            writePart(ctx, state);
            part = std::move(state.partContent.bytes);
        }
    }
    finishSourceText(state, *text);
    return ModeResult::Done;
}

}  // namespace pw
