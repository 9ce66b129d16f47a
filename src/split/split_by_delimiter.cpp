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

DelimiterSplitter::DelimiterSplitter(std::string_view delimiter)
    : delimiter_(delimiter), border_(borders(delimiter)) {}

void DelimiterSplitter::feed(std::string_view text) {
    // What was given out goes; the piece being found moves to the front.
    text_.erase(0, pieceStart_);
    scanned_ -= pieceStart_;
    boundary_ -= pieceStart_;
    pieceStart_ = 0;
    text_.append(text);
}

bool DelimiterSplitter::take(std::string_view& piece) {
    // Every occurrence is found in one pass (Knuth-Morris-Pratt, with memchr over the stretches
    // that cannot start one); an occurrence counts when it starts at a character boundary. The
    // boundaries are walked forward only, so a match inside a character costs no rescan. The
    // state of the match carries over from one feed to the next.
    const size_t m = delimiter_.size();
    const std::string_view text = text_;
    if (m == 0) return false;
    const char first = delimiter_[0];
    for (size_t i = scanned_; i < text.size(); ++i) {
        if (matched_ == 0) {
            const void* hit = std::memchr(text.data() + i, first, text.size() - i);
            if (!hit) break;
            i = size_t(static_cast<const char*>(hit) - text.data());
        }
        while (matched_ > 0 && text[i] != delimiter_[matched_]) matched_ = border_[matched_ - 1];
        if (text[i] == delimiter_[matched_]) ++matched_;
        if (matched_ < m) continue;

        const size_t start = i + 1 - m;
        while (boundary_ < start) boundary_ += stepAt(text, boundary_);
        if (boundary_ == start) {
            piece = text.substr(pieceStart_, start - pieceStart_);
            pieceStart_ = boundary_ = scanned_ = i + 1;
            matched_ = 0;
            return true;
        }
        matched_ = border_[m - 1];  // inside a character: later, overlapping ones may count
    }
    scanned_ = text.size();
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
        ctx.form.message(lit(texts::kEnterDelimiter), Buttons::Ok);
        ctx.options.askDelimiter();
        return ModeResult::Abort;
    }
    const std::unique_ptr<TextSource> text = openSourceText(ctx, state, source);
    if (!text) return ModeResult::Done;

    // Read again: the delimiter may have been changed while the encoding was detected.
    DelimiterSplitter splitter(ctx.options.delimiter());
    std::string_view piece;
    int64_t k = 0;
    for (bool fed = true; fed;) {
        const std::string_view next = text->next();
        fed = !next.empty();
        // After a read error the text found so far is no whole piece.
        if (text->failed()) break;
        splitter.feed(next);
        while (fed ? splitter.take(piece) : splitter.takeLast(piece)) {
            state.partNumber = ++k;
            ctx.form.processEvents();
            if (ctx.stopRequested) {
                state.sourceIntact = false;
                finishSourceText(state, *text);
                return ModeResult::Done;
            }
            state.partContent.setBytes(ByteBuffer(piece));
            writePart(ctx, state);
        }
    }
    finishSourceText(state, *text);
    return ModeResult::Done;
}

}  // namespace pw
