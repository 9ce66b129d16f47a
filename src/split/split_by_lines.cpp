#include "split/split_by_lines.h"

#include "split/decode_source.h"
#include "split/line_reader.h"
#include "split/part_writer.h"
#include "text/chars.h"
#include "text/line_breaks.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

void showStage(SplitContext& ctx, std::string_view caption) {
    ctx.options.showStage(lit(caption));
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

// Gathers lines into parts of a drawn count; the lines gathered when the data ends or a stop
// arrives make one more part. False when some of the source is in no part.
bool splitLineSource(SplitContext& ctx, SplitJobState& state, FileHandle& file, bool utf8) {
    LineReader reader(file);
    ByteBuffer lines;
    int64_t linesInPart = 0, target = 0, previous = 0;
    bool whole = true;
    LiveOption skipBlankLines(ctx.host, ctx.options, &SplitOptions::skipBlankLines);
    const auto writeLines = [&] {
        state.partContent.setBytes(std::move(lines), utf8);
        writePart(ctx, state);
        // The next part reuses the memory of this one.
        lines = std::move(state.partContent.bytes);
        lines.clear();
    };
    while (!reader.atEnd()) {
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            whole = false;
            break;
        }
        const std::string_view line = reader.readLine();
        // A read error cuts the line short: it and the lines gathered with it go in no part.
        if (reader.failed()) break;
        const int64_t position = reader.position();
        if (position == previous) {
            // Stopped at a NUL or Ctrl-Z: the byte is stepped over and in no part.
            reader.skipByte();
            whole = false;
        }
        previous = position;
        if (skipBlankLines() && isBlankLine(line, utf8)) continue;
        if (linesInPart == 0) {
            const CountRange range = ctx.options.lineCountRange();
            target = random(state.rng, range.low, range.high);
            ++state.partNumber;
        } else {
            lines += "\r\n";
        }
        lines += line;
        if (++linesInPart == target) {
            writeLines();
            linesInPart = 0;
        }
    }
    if (reader.failed()) {
        // Counted like a source that could not be opened: the rest of it is in no part.
        state.markUnreadable(file.error());
        return false;
    }
    (void)file.close();  // it was only read
    if (linesInPart > 0) writeLines();
    return whole;
}

}  // namespace

bool isBlankLine(std::string_view line, bool utf8) {
    if (utf8) {
        for (size_t i = 0; i < line.size(); i += line[i] == ' ' || line[i] == '\t' ? 1 : 3)
            if (line[i] != ' ' && line[i] != '\t' && line.substr(i, 3) != "\xE3\x80\x80")
                return false;
        return true;
    }
    Text rest;
    rest.reserve(line.size());
    for (char c : line) {
        if (c == '\t') continue;
        // Only a space or the lead byte of a full-width space can open a blank line.
        if (rest.empty() && c != ' ' && c != '\xA1') return false;
        rest += c;
    }
    return trimSpaces(rest).empty();
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
    state.partNumber = 0;
    if (lines.file && !splitLineSource(ctx, state, *lines.file, lines.utf8))
        state.sourceIntact = false;
    if (lines.text) finishSourceText(state, *lines.text);
    return ModeResult::Done;
}

}  // namespace pw
