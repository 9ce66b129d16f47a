#include "split/chapter_split.h"

#include <algorithm>
#include <optional>

#include "platform/regex.h"
#include "split/decode_source.h"
#include "split/part_writer.h"
#include "split/split_by_bytes.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr size_t kQuotedPatternChars = 80;

// The pattern's head (a pattern may be megabytes long), PCRE2's reason and where it found it.
Text badPatternMessage(const Text& pattern, const RegexError& error) {
    Text quoted = leftChars(pattern, kQuotedPatternChars);
    if (quoted.size() < pattern.size()) quoted += lit(texts::kMoreNames);
    return lit(texts::kBadHeadingPattern) + quoted + lit(texts::kRegexReasonBefore) +
           fromUtf8(error.reason) + lit(texts::kRegexReasonAt) + std::to_string(error.offset + 1) +
           lit(texts::kRegexReasonAfter);
}

}  // namespace

std::optional<ChapterRule> chapterRuleOf(const SplitOptions& options, RegexError* error) {
    ChapterRule r;
    const int32_t maxChars = options.headingMaxChars();
    r.rule.maxChars = maxChars > 0 ? size_t(maxChars) : kDefaultHeadingMaxChars;
    const Text pattern = options.headingPattern();
    if (!pattern.empty()) {
        r.pattern = CompiledRegex::compile(toUtf8(pattern), RegexCase::Sensitive,
                                           RegexLines::Single, error);
        if (!r.pattern) return std::nullopt;
        r.rule.pattern = r.pattern.get();
    }
    return r;
}

ModeResult checkChapterOptions(SplitContext& ctx) {
    if (ctx.options.chaptersPerPart() < 1)
        return refuseOption(ctx, texts::kChaptersPerPartAtLeastOne, SplitOptionBox::ChapterCount);
    RegexError error;
    if (!chapterRuleOf(ctx.options, &error)) {
        ctx.host.message(badPatternMessage(ctx.options.headingPattern(), error), Buttons::Ok);
        ctx.splitHost.focus(SplitOptionBox::HeadingPattern);
        return ModeResult::Abort;
    }
    return ModeResult::Done;
}

namespace {

// The second pass: each part is written as its text is read again, unless it is named after its
// text. With `utf8` the plan and the parts are the source's own UTF-8 bytes.
void cutChapters(SplitContext& ctx, SplitJobState& state, TextSource& text,
                 const std::vector<PlannedPart>& parts, bool utf8) {
    std::optional<PartStream> stream;
    ByteBuffer held;
    size_t k = 0, taken = 0;  // the part being cut, and its bytes so far
    bool stopped = false;
    std::string_view piece;
    const auto next = [&] { return utf8 ? text.nextUtf8() : text.next(); };
    while (!stopped && k < parts.size() && !(piece = next()).empty()) {
        while (!piece.empty() && k < parts.size()) {
            if (taken == 0) {
                state.run.partNumber = int64_t(k) + 1;
                state.run.partHeading = parts[k].heading;
                held.clear();
                if (!namesPartsAfterText(ctx.options)) stream.emplace(ctx, state, utf8);
            }
            const size_t take = std::min(parts[k].bytes - taken, piece.size());
            if (stream)
                stream->write(piece.substr(0, take));
            else
                held.append(piece.substr(0, take));
            taken += take;
            piece.remove_prefix(take);
            if (taken < parts[k].bytes) break;
            if (stream) {
                stream->finish();
                stream.reset();
            } else {
                PartContent part;
                part.setBytes(std::move(held), utf8);
                writePart(ctx, state, part);
                held = std::move(part.bytes);
            }
            taken = 0;
            ++k;
            ctx.host.processEvents();
            if (ctx.stopRequested) {
                stopped = true;
                break;
            }
        }
    }
    stream.reset();  // a part the text ended inside is in no file
    state.run.partHeading.clear();
    // A stop, or a source that changed between the passes, leaves text in no part.
    if (k < parts.size() || !piece.empty() || !next().empty()) state.run.sourceIntact = false;
}

}  // namespace

ModeResult splitByChapters(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (checkChapterOptions(ctx) == ModeResult::Abort) return ModeResult::Abort;
    // Two passes through a bounded buffer: the first finds the chapters, the second cuts.
    const std::unique_ptr<TextSource> text = openSourceText(ctx, state, source);
    if (!text) return ModeResult::Done;

    // Read again after the encoding was detected, which lets events run, as the other modes do.
    const std::optional<ChapterRule> rule = chapterRuleOf(ctx.options);
    if (!rule) return checkChapterOptions(ctx);
    ChapterPlanner planner(rule->rule);
    const bool utf8 = text->validUtf8();
    planChapters(planner, *text, utf8);
    if (text->failed()) {
        finishSourceText(state, *text);
        return ModeResult::Done;
    }
    if (!planner.foundHeading()) {
        // Nothing is written; the source stays, and the job says so at its end.
        state.tally.withoutHeadings.push_back(source);
        state.run.sourceIntact = false;
        return ModeResult::Done;
    }
    const std::vector<PlannedPart> parts =
        groupChapters(planner.chapters(), ctx.options.chaptersPerPart());
    if (int64_t(parts.size()) > kMaxPartsPerFile)
        return refuseOption(ctx, texts::kTooManyParts, SplitOptionBox::ChapterCount);

    if (!text->rewind()) {
        state.markUnreadable(text->error());
        return ModeResult::Done;
    }
    cutChapters(ctx, state, *text, parts, utf8);
    finishSourceText(state, *text);
    return ModeResult::Done;
}

}  // namespace pw
