#include "split/split_by_lines.h"

#include <algorithm>
#include <optional>

#include "split/decode_source.h"
#include "split/line_reader.h"
#include "split/part_writer.h"
#include "split/split_whole_lines.h"
#include "text/chars.h"
#include "text/line_breaks.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

void showStage(SplitContext& ctx, std::string_view caption) {
    ctx.splitHost.showStage(lit(caption));
}

// An option read for every line. It is read again only after events ran, as nothing else
// changes it, and reading the window for each of millions of lines would cost more than the line
// itself.
class LiveOption {
  public:
    using Reader = bool (SplitOptions::*)() const;
    LiveOption(const JobHost& host, const SplitOptions& options, Reader read)
        : host_(host), options_(options), read_(read) {}
    bool operator()() {
        const uint64_t runs = host_.eventRuns();
        if (!known_ || runs != runs_) {
            value_ = (options_.*read_)();
            runs_ = runs;
            known_ = true;
        }
        return value_;
    }

  private:
    const JobHost& host_;
    const SplitOptions& options_;
    Reader read_;
    uint64_t runs_ = 0;
    bool known_ = false, value_ = false;
};

// The lines to split: the decoded (and perhaps corrected) text read piece by piece, or the file
// itself. Nothing when the source cannot be read.
struct LineSource {
    std::unique_ptr<TextSource> text;  // when decoded
    std::unique_ptr<FileHandle> file;
    bool utf8 = false;  // the lines are valid UTF-8 as it stands, not code-page text
};

LineSource openLineSource(SplitContext& ctx, SplitJobState& state, const Text& source) {
    LineSource lines;
    if (!ctx.options.detectEncoding()) {
        lines.file = ctx.files.open(source, OpenMode::Read);
        if (!lines.file) state.markUnreadable(ctx.files.lastError());
        return lines;
    }
    showStage(ctx, texts::kStageReading);
    lines.text = openSourceText(ctx, state, source);
    // The breaks are corrected piece by piece as the lines are read; the stages still show.
    const bool fixBreaks = ctx.options.fixLineBreaks();
    if (lines.text && fixBreaks) showStage(ctx, texts::kStageFixingBreaks);
    showStage(ctx, texts::kStageToMemory);
    // Lines of valid UTF-8 are cut from the source's own bytes: line breaks, NUL and Ctrl-Z are
    // the same bytes in both.
    lines.utf8 = lines.text && lines.text->validUtf8();
    if (lines.text) lines.file = textSourceFile(*lines.text, fixBreaks, lines.utf8);
    return lines;
}

// Whether a line is blank, told from its bytes as they come: a line of any length is never held
// whole to find out.
class BlankLineScan {
  public:
    explicit BlankLineScan(bool utf8) : utf8_(utf8) {}
    // False once the line can no longer be blank.
    bool feed(std::string_view bytes) {
        for (size_t i = 0; i < bytes.size() && !failed_; ++i) failed_ = !step(bytes[i]);
        return !failed_;
    }
    bool blank() const { return !failed_ && partial_ == 0; }

  private:
    // Tabs, spaces and full-width spaces: A1 A1 in the code page (tabs may stand between its two
    // bytes, as they are dropped first), E3 80 80 in UTF-8.
    bool step(char c) {
        if (utf8_) {
            if (partial_ > 0) {
                partial_ = partial_ == 1 ? 2 : 0;
                return c == '\x80';
            }
            if (c == '\xE3') partial_ = 1;
            return c == ' ' || c == '\t' || c == '\xE3';
        }
        if (c == '\t') return true;
        if (c == '\xA1') {
            partial_ ^= 1;
            return true;
        }
        return c == ' ' && partial_ == 0;
    }

    bool utf8_;
    int partial_ = 0;  // bytes of a full-width space seen so far
    bool failed_ = false;
};

// Gathers lines into parts of a drawn count; the lines gathered when the data ends or a stop
// arrives make one more part. Each line goes into its part as it is read, so neither a part nor
// a line is held whole, except a part named after its text and the start of a line that may be
// a blank one to skip. False when some of the source is in no part.
// Quotes seen in a record so far (csv): odd while a quoted field runs on over line ends.
bool oddQuotes(std::string_view bytes, bool odd) {
    for (char c : bytes) odd ^= c == '"';
    return odd;
}

// The first `count` records joined with CR LF, as the parts hold them; false on a read error or
// when they are longer than a header may be.
bool readHeader(LineReader& reader, int32_t count, bool csv, ByteBuffer& header) {
    bool quoted = false;
    for (int32_t k = 0, lines = 0; k < count && !reader.atEnd(); ++lines) {
        if (lines > 0) header += "\r\n";
        for (bool ends = false; !ends;) {
            const std::string_view piece = reader.readPiece(ends);
            if (reader.failed() || int64_t(header.size() + piece.size()) > kMaxHeaderBytes)
                return false;
            header += piece;
            if (csv) quoted = oddQuotes(piece, quoted);
        }
        if (!(csv && quoted)) ++k;
    }
    return !reader.failed();
}

// The parts of one source, line by line: each streamed into its file, or held to be named after
// its text, with the header at the head of every part.
class LineParts {
  public:
    LineParts(SplitContext& ctx, SplitJobState& state, bool utf8, const ByteBuffer& header)
        : ctx_(ctx), state_(state), utf8_(utf8), header_(header) {}

    void add(std::string_view bytes) {
        if (stream_)
            stream_->write(bytes);
        else
            held_ += bytes;
    }
    // The line being read joins the part: the part begins with it, or a line break goes first.
    void joinLine() {
        if (partOpen_) return add("\r\n");
        partOpen_ = true;
        const CountRange range = ctx_.options.lineCountRange();
        target_ = random(state_.rng, range.low, range.high);
        ++state_.run.partNumber;
        if (!namesPartsAfterText(ctx_.options)) stream_.emplace(ctx_, state_, utf8_);
        if (header_.empty()) return;
        // The first part holds the source's own header; the others a copy of it.
        if (state_.run.partNumber == 1 || !stream_) {
            add(header_);
            add("\r\n");
        } else {
            stream_->writeCopy(header_ + "\r\n");
        }
    }
    // A whole line (or record) went in: the part is written once it holds its count.
    void lineEnded() {
        if (++linesInPart_ != target_) return;
        writeLines();
        linesInPart_ = 0;
        partOpen_ = false;
    }
    // At the source's end: the open part, or a header that is all there is as the one part.
    void finish() {
        if (partOpen_) return writeLines();
        if (state_.run.partNumber != 0 || header_.empty()) return;
        ++state_.run.partNumber;
        if (!namesPartsAfterText(ctx_.options)) stream_.emplace(ctx_, state_, utf8_);
        add(header_);
        writeLines();
    }

  private:
    void writeLines() {
        if (stream_) {
            stream_->finish();
            stream_.reset();
            return;
        }
        PartContent part;
        part.setBytes(std::move(held_), utf8_);
        writePart(ctx_, state_, part);
        // The next part reuses the memory of this one.
        held_ = std::move(part.bytes);
        held_.clear();
    }

    SplitContext& ctx_;
    SplitJobState& state_;
    bool utf8_;
    const ByteBuffer& header_;
    std::optional<PartStream> stream_;
    ByteBuffer held_;  // a part to be named after its text
    int64_t linesInPart_ = 0, target_ = 0;
    bool partOpen_ = false;  // a line of the current part went in: the next one follows a break
};

// Reads the next line, joining it to the part as soon as it is known not to be a blank line that
// is skipped; true when it joined. The start of a line that may yet be blank is kept in
// `mayBeBlank`. A read error cuts the line short: it goes in no part.
bool readLine(LineReader& reader, LineParts& parts, bool skipping, BlankLineScan& blank,
              ByteBuffer& mayBeBlank, bool csv, bool& quoted) {
    bool joined = false;
    mayBeBlank.clear();
    for (bool ends = false; !ends;) {
        const std::string_view piece = reader.readPiece(ends);
        if (reader.failed()) break;
        if (csv) quoted = oddQuotes(piece, quoted);
        if (!joined && skipping && blank.feed(piece)) {
            mayBeBlank += piece;
            continue;
        }
        if (!joined) {
            parts.joinLine();
            joined = true;
            if (!mayBeBlank.empty()) parts.add(mayBeBlank);
        }
        parts.add(piece);
    }
    return joined;
}

bool splitLineSource(SplitContext& ctx, SplitJobState& state, FileHandle& file, bool utf8,
                     bool& headerTooLong) {
    // Tests make the buffer tiny with the text's, so that lines run over many refills.
    LineReader reader(file, std::min(LineReader::kDefaultBufferSize, textBufferSize()));
    ByteBuffer mayBeBlank;  // the start of a line that may yet be blank
    int64_t previous = 0;
    bool whole = true;
    const bool csv = ctx.options.csvRecords();
    bool quoted = false;  // csv: the record runs on over the line end
    ByteBuffer header;
    if (const int32_t count = ctx.options.headerLines(); count > 0) {
        if (!readHeader(reader, count, csv, header) && !reader.failed()) {
            headerTooLong = true;
            return false;
        }
        // A NUL or Ctrl-Z that ended the header's last line is in no part.
        previous = reader.position();
    }
    LiveOption skipBlankLines(ctx.host, ctx.options, &SplitOptions::skipBlankLines);
    LineParts parts(ctx, state, utf8, header);
    while (!reader.atEnd()) {
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            whole = false;
            break;
        }
        // Nothing else changes the option while a line is read: it is read once for the line.
        // A line inside a quoted field is never skipped as blank.
        const bool skipping = skipBlankLines() && !quoted;
        BlankLineScan blank(utf8);
        const bool joined = readLine(reader, parts, skipping, blank, mayBeBlank, csv, quoted);
        if (reader.failed()) break;
        const int64_t position = reader.position();
        if (position == previous) {
            // Stopped at a NUL or Ctrl-Z: the byte is stepped over and in no part.
            reader.skipByte();
            whole = false;
        }
        previous = position;
        if (!joined) {
            if (skipping && blank.blank()) continue;
            parts.joinLine();
            parts.add(mayBeBlank);
        }
        if (csv && quoted) continue;  // the record goes on in the next line
        parts.lineEnded();
    }
    if (reader.failed()) {
        // Counted like a source that could not be opened: the rest of it is in no part.
        state.markUnreadable(file.error());
        return false;
    }
    (void)file.close();  // it was only read
    parts.finish();
    return whole;
}

}  // namespace

bool isBlankLine(std::string_view line, bool utf8) {
    BlankLineScan scan(utf8);
    scan.feed(line);
    return scan.blank();
}

ModeResult splitByLines(SplitContext& ctx, SplitJobState& state, const Text& source) {
    const CountRange range = ctx.options.lineCountRange();
    if (range.low < 1 || range.high < 1)
        return refuseOption(ctx, texts::kLineCountAtLeastOne, SplitOptionBox::LineCount);

    // A line too large for memory ends the source as unreadable in the split driver; the parts
    // written so far stay, the source too.
    LineSource lines = openLineSource(ctx, state, source);
    showStage(ctx, texts::kStageSplitting);
    state.rng.seed(ctx.clock);
    state.run.partNumber = 0;
    bool headerTooLong = false;
    if (lines.file && !splitLineSource(ctx, state, *lines.file, lines.utf8, headerTooLong))
        state.run.sourceIntact = false;
    if (headerTooLong) {
        if (lines.text) finishSourceText(state, *lines.text);
        return refuseOption(ctx, texts::kHeaderTooLong, SplitOptionBox::LineCount);
    }
    if (lines.text) finishSourceText(state, *lines.text);
    return ModeResult::Done;
}

}  // namespace pw
