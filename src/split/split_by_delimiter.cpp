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

DelimiterSplitter::DelimiterSplitter(std::string_view delimiter, bool utf8, bool keepText)
    : delimiter_(delimiter), utf8_(utf8), keepText_(keepText) {}

void DelimiterSplitter::feed(std::string_view text) {
    // What was given out goes, and without the text kept, all the search has passed: the
    // boundary walk moves up to it first, short of the last three bytes, where a character may
    // not be whole yet (after a cut, characters may pair bytes otherwise than the pieces do).
    uint64_t keep = pieceStart_;
    if (!keepText_) {
        const uint64_t walked = std::min(scanned_, base_ + std::max<size_t>(text_.size(), 3) - 3);
        if (!utf8_ && boundary_ < walked) walkTo(text_, size_t(walked - base_));
        keep = utf8_ ? scanned_ : std::min(scanned_, boundary_);
    }
    text_.erase(0, size_t(keep - base_));
    base_ = keep;
    text_.append(text);
}

void DelimiterSplitter::walkTo(std::string_view text, size_t start) {
    // A byte below 80 that is no digit ends a character wherever it stands (a CR counts alone
    // here), so the walk may start after the last one before `start`.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t boundary = size_t(boundary_ - base_);
    for (size_t j = start; j > boundary && start - j < 256; --j) {
        if (p[j - 1] < 0x80 && (p[j - 1] < '0' || p[j - 1] > '9')) {
            boundary = j;
            break;
        }
    }
    while (boundary < start) boundary += stepAt(text, boundary);
    boundary_ = base_ + boundary;
}

void DelimiterSplitter::giveOut(std::string_view& piece, size_t end) {
    last_ = {pieceStart_, base_ + end};
    if (keepText_)
        piece = std::string_view(text_).substr(size_t(pieceStart_ - base_),
                                               size_t(last_.to - pieceStart_));
}

bool DelimiterSplitter::take(std::string_view& piece) {
    // Occurrences are found from the left with memmem; one counts when it starts at a character
    // boundary, and after one inside a character the next, perhaps overlapping it, is looked for.
    // The boundaries are walked forward only.
    const size_t m = delimiter_.size();
    const std::string_view text = text_;
    if (m == 0) return false;
    for (size_t from = size_t(scanned_ - base_); from + m <= text.size();) {
        const void* hit = memmem(text.data() + from, text.size() - from, delimiter_.data(), m);
        if (!hit) break;
        const size_t start = size_t(static_cast<const char*>(hit) - text.data());
        if (!utf8_) walkTo(text, start);
        if (utf8_ || boundary_ == base_ + start) {
            giveOut(piece, start);
            pieceStart_ = boundary_ = scanned_ = base_ + start + m;
            return true;
        }
        from = start + 1;
    }
    // An occurrence may still begin in the last m - 1 bytes, and end in the next feed.
    scanned_ = std::max(pieceStart_, base_ + (text.size() >= m ? text.size() - m + 1 : 0));
    return false;
}

bool DelimiterSplitter::takeLast(std::string_view& piece) {
    if (pieceStart_ >= base_ + text_.size()) return false;
    giveOut(piece, text_.size());
    pieceStart_ = base_ + text_.size();
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
    // A part that is the file's own bytes is copied from the file, not held: a delimiter that
    // comes seldom costs no memory. Naming after the text and a manifest take the text itself.
    FileHandle* const file =
        ctx.options.nameAfterText() || state.recording ? nullptr : text->textFile(utf8.has_value());
    DelimiterSplitter splitter(utf8 ? *utf8 : delimiter, utf8.has_value(), file == nullptr);
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
            if (file) {
                const DelimiterSplitter::Range r = splitter.lastRange();
                state.partContent.setRange(*file, text->textStart() + int64_t(r.from),
                                           int64_t(r.to - r.from), utf8.has_value());
                writePart(ctx, state);
                continue;
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
