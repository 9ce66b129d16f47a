#include "split/split_by_delimiter.h"

#include <algorithm>
#include <optional>

#include "codec/simd_text.h"
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

DelimiterSplitter::DelimiterSplitter(std::string_view delimiter, bool utf8, PieceText text)
    : delimiter_(delimiter), utf8_(utf8), keep_(text) {}

uint64_t DelimiterSplitter::settled() {
    // The boundary walk moves up to all the search has passed first, short of the last three
    // bytes, where a character may not be whole yet (after a cut, characters may pair bytes
    // otherwise than the pieces do).
    const uint64_t walked = std::min(scanned_, base_ + std::max<size_t>(text_.size(), 3) - 3);
    if (!utf8_ && boundary_ < walked) walkTo(text_, size_t(walked - base_));
    return utf8_ ? scanned_ : std::min(scanned_, boundary_);
}

void DelimiterSplitter::feed(std::string_view text) {
    // What was given out goes, and without the text kept, all the search has passed that was
    // handed on.
    uint64_t keep = pieceStart_;
    if (keep_ != PieceText::Kept) keep = settled();
    if (keep_ == PieceText::Passed) keep = std::min(keep, std::max(handed_, pieceStart_));
    text_.erase(0, size_t(keep - base_));
    base_ = keep;
    text_.append(text);
}

std::string_view DelimiterSplitter::passed() {
    const uint64_t from = std::max(handed_, pieceStart_), to = settled();
    if (to <= from) return {};
    handed_ = to;
    return std::string_view(text_).substr(size_t(from - base_), size_t(to - from));
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
    if (keep_ == PieceText::None) return;
    const uint64_t from = keep_ == PieceText::Kept ? pieceStart_ : std::max(handed_, pieceStart_);
    piece = std::string_view(text_).substr(size_t(from - base_), size_t(last_.to - from));
}

bool DelimiterSplitter::take(std::string_view& piece) {
    // Occurrences are found from the left; one counts when it starts at a character
    // boundary, and after one inside a character the next, perhaps overlapping it, is looked for.
    // The boundaries are walked forward only.
    const size_t m = delimiter_.size();
    const std::string_view text = text_;
    if (m == 0) return false;
    for (size_t from = size_t(scanned_ - base_); from + m <= text.size();) {
        const size_t start = from + simd::find(text.data() + from, text.size() - from, delimiter_);
        if (start == text.size()) break;
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

namespace {

// The parts of one source as the search finds them: copied from the file's own bytes when `file`
// is set, else streamed into their file as the search passes them, or held to be named after
// their text.
class DelimiterParts {
  public:
    DelimiterParts(SplitContext& ctx, SplitJobState& state, FileHandle* file, int64_t textStart,
                   bool utf8)
        : ctx_(ctx), state_(state), file_(file), textStart_(textStart), utf8_(utf8) {}

    void add(std::string_view bytes) {
        if (!partOpen_) {
            partOpen_ = true;
            state_.run.partNumber = k_ + 1;
            held_.clear();
            if (!namesPartsAfterText(ctx_.options)) stream_.emplace(ctx_, state_, utf8_);
        }
        if (stream_)
            stream_->write(bytes);
        else
            held_ += bytes;
    }
    // The search found the end of a part.
    void countEnded() { state_.run.partNumber = ++k_; }
    // Writes the part that ended, at `r` in the text.
    void write(const DelimiterSplitter::Range& r) {
        if (file_) {
            PartContent part;
            part.setRange(*file_, textStart_ + int64_t(r.from), int64_t(r.to - r.from), utf8_);
            writePart(ctx_, state_, part);
        } else if (stream_) {
            stream_->finish();
            stream_.reset();
        } else {
            PartContent part;
            part.setBytes(std::move(held_), utf8_);
            writePart(ctx_, state_, part);
            held_ = std::move(part.bytes);
        }
        partOpen_ = false;
    }

  private:
    SplitContext& ctx_;
    SplitJobState& state_;
    FileHandle* file_;
    int64_t textStart_;
    bool utf8_;
    std::optional<PartStream> stream_;
    ByteBuffer held_;  // a part to be named after its text
    bool partOpen_ = false;
    int64_t k_ = 0;
};

}  // namespace

ModeResult splitByDelimiter(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (ctx.options.delimiter().empty()) {
        ctx.host.message(lit(texts::kEnterDelimiter), Buttons::Ok);
        ctx.splitHost.askDelimiter();
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
    // comes seldom costs no memory. Converted text, and text a manifest hashes (which is read
    // anyway, so not read twice), go into their part as the search passes them.
    FileHandle* const file = state.run.recording ? nullptr : text->textFile(utf8.has_value());
    DelimiterSplitter splitter(utf8 ? *utf8 : delimiter, utf8.has_value(),
                               file ? PieceText::None : PieceText::Passed);
    DelimiterParts parts(ctx, state, file, text->textStart(), utf8.has_value());
    std::string_view piece;
    for (bool fed = true; fed;) {
        const std::string_view next = utf8 ? text->nextUtf8() : text->next();
        fed = !next.empty();
        // After a read error the text found so far is no whole piece.
        if (text->failed()) break;
        if (const std::string_view passed = file ? "" : splitter.passed(); !passed.empty())
            parts.add(passed);
        splitter.feed(next);
        while (fed ? splitter.take(piece) : splitter.takeLast(piece)) {
            if (!file) parts.add(piece);
            parts.countEnded();
            ctx.host.processEvents();
            if (ctx.stopRequested) {
                state.run.sourceIntact = false;
                finishSourceText(state, *text);
                return ModeResult::Done;
            }
            parts.write(splitter.lastRange());
        }
    }
    finishSourceText(state, *text);
    return ModeResult::Done;
}

}  // namespace pw
