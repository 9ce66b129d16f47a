#include "split/split_by_lines.h"

#include <new>

#include "split/decode_source.h"
#include "split/line_reader.h"
#include "split/part_writer.h"
#include "split/title_phrase.h"
#include "text/line_breaks.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr std::string_view kButton = "按钮开始分割";

void showStage(EngineContext& ctx, std::string_view caption) {
    ctx.form.setText(kButton, lit(caption));
}

// A checkbox read for every line. The window is asked again only after events ran, as nothing
// else changes a control, and asking by name for each of millions of lines would cost more than
// the line itself.
class LiveCheckbox {
  public:
    LiveCheckbox(const Form& form, std::string_view name) : form_(form), name_(name) {}
    bool operator()() {
        const uint64_t runs = form_.eventRuns();
        if (!known_ || runs != runs_) {
            value_ = form_.checked(name_);
            runs_ = runs;
            known_ = true;
        }
        return value_;
    }

  private:
    const Form& form_;
    std::string_view name_;
    uint64_t runs_ = 0;
    bool known_ = false, value_ = false;
};

// The lines to split: the decoded (and perhaps corrected) text held in memory, or the file
// itself. Nothing when the source cannot be read.
std::unique_ptr<FileHandle> openLineSource(EngineContext& ctx, SplitJobState& state,
                                           const Text& source) {
    if (!ctx.form.checked("选择框识别编码")) {
        auto file = ctx.files.open(source, OpenMode::Read);
        if (!file) state.sourceFailed(source, ctx.files.lastError());
        return file;
    }
    showStage(ctx, texts::kStageReading);
    std::optional<Text> text = decodeSource(ctx, state, source);
    if (text && ctx.form.checked("选择框矫正换行")) {
        showStage(ctx, texts::kStageFixingBreaks);
        *text = fixLineBreaks(*text);
    }
    showStage(ctx, texts::kStageToMemory);
    if (!text) return nullptr;
    return makeMemoryFile(std::move(*text));
}

// Gathers lines into parts of a drawn count; the lines gathered when the data ends or a stop
// arrives make one more part. False when some of the source is in no part.
bool splitLineSource(EngineContext& ctx, SplitJobState& state, const Text& source,
                     FileHandle& file) {
    LineReader reader(file);
    ByteBuffer lines;
    int64_t linesInPart = 0, target = 0, previous = 0;
    bool whole = true;
    LiveCheckbox skipBlankLines(ctx.form, "选择框忽略空行");
    const auto writeLines = [&] {
        state.partContent.setBytes(std::move(lines));
        writePart(ctx, state, source);
        // The next part reuses the memory of this one.
        lines = std::move(state.partContent.bytes);
        lines.clear();
    };
    while (!reader.atEnd()) {
        ctx.form.processEvents();
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
        if (skipBlankLines() && isBlankLine(line)) continue;
        if (linesInPart == 0) {
            target = random(state.rng, textToInt(ctx.form.text("编辑框行数1")),
                            textToInt(ctx.form.text("编辑框行数2")));
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
        state.sourceFailed(source, file.error());
        return false;
    }
    file.close();
    if (linesInPart > 0) writeLines();
    return whole;
}

}  // namespace

bool isBlankLine(std::string_view line) {
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

ModeResult splitByLines(EngineContext& ctx, SplitJobState& state, const Text& source) {
    if (textToInt(ctx.form.text("编辑框行数1")) < 1 || textToInt(ctx.form.text("编辑框行数2")) < 1)
        return refuseOption(ctx, texts::kLineCountAtLeastOne, "编辑框行数1");

    try {
        std::unique_ptr<FileHandle> file = openLineSource(ctx, state, source);
        showStage(ctx, texts::kStageSplitting);
        state.rng.seed(ctx.clock);
        state.partNumber = 0;
        if (file && !splitLineSource(ctx, state, source, *file)) state.sourceIntact = false;
    } catch (const std::bad_alloc&) {
        // A text or a line too large for memory: the parts written so far stay, the source too.
        state.sourceFailed(source, std::make_error_code(std::errc::not_enough_memory));
    }
    return ModeResult::Done;
}

}  // namespace pw
