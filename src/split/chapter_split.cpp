#include "split/chapter_split.h"

#include "platform/regex.h"
#include "split/decode_source.h"
#include "split/part_writer.h"
#include "split/split_by_bytes.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {

std::optional<ChapterRule> chapterRuleOf(const SplitOptions& options) {
    ChapterRule r;
    const int32_t maxChars = options.headingMaxChars();
    r.rule.maxChars = maxChars > 0 ? size_t(maxChars) : kDefaultHeadingMaxChars;
    const Text pattern = options.headingPattern();
    if (!pattern.empty()) {
        r.pattern =
            CompiledRegex::compile(toUtf8(pattern), RegexCase::Sensitive, RegexLines::Single);
        if (!r.pattern) return std::nullopt;
        r.rule.pattern = r.pattern.get();
    }
    return r;
}

ModeResult checkChapterOptions(SplitContext& ctx) {
    if (ctx.options.chaptersPerPart() < 1)
        return refuseOption(ctx, texts::kChaptersPerPartAtLeastOne, SplitOptionBox::ChapterCount);
    if (!chapterRuleOf(ctx.options)) {
        ctx.host.message(lit(texts::kBadHeadingPattern) + ctx.options.headingPattern(),
                         Buttons::Ok);
        ctx.options.focus(SplitOptionBox::HeadingPattern);
        return ModeResult::Abort;
    }
    return ModeResult::Done;
}

ModeResult splitByChapters(SplitContext& ctx, SplitJobState& state, const Text& source) {
    if (checkChapterOptions(ctx) == ModeResult::Abort) return ModeResult::Abort;
    const std::optional<Text> text = decodeSource(ctx, state, source);
    if (!text) return ModeResult::Done;

    // Read again after the decoding, which lets events run, as the other modes do.
    const std::optional<ChapterRule> rule = chapterRuleOf(ctx.options);
    if (!rule) return checkChapterOptions(ctx);
    ChapterPlanner planner(rule->rule);
    planChapters(planner, *text);
    if (!planner.foundHeading()) {
        // Nothing is written; the source stays, and the job says so at its end.
        state.withoutHeadings.push_back(source);
        state.sourceIntact = false;
        return ModeResult::Done;
    }
    const std::vector<PlannedPart> parts =
        groupChapters(planner.chapters(), ctx.options.chaptersPerPart());
    if (int64_t(parts.size()) > kMaxPartsPerFile)
        return refuseOption(ctx, texts::kTooManyParts, SplitOptionBox::ChapterCount);

    for (size_t k = 0; k < parts.size(); ++k) {
        state.partNumber = int64_t(k) + 1;
        state.partHeading = parts[k].heading;
        state.partContent.setBytes(ByteBuffer(text->substr(parts[k].offset, parts[k].bytes)));
        writePart(ctx, state);
        ctx.host.processEvents();
        if (ctx.stopRequested) {
            if (k + 1 < parts.size()) state.sourceIntact = false;
            break;
        }
    }
    state.partHeading.clear();
    return ModeResult::Done;
}

}  // namespace pw
