#include "split/chapter_preview.h"

#include <algorithm>
#include <string>

#include "files/path_ops.h"
#include "split/chapter_split.h"
#include "text/codepage.h"
#include "text/encoding_stream.h"
#include "text/system_texts.h"

namespace pw {
namespace {

Text quoted(const Text& heading) {
    return lit("「") + heading + lit("」");
}

int64_t medianChars(const std::vector<ChapterEntry>& chapters) {
    std::vector<int64_t> sizes;
    for (const ChapterEntry& c : chapters)
        if (c.mark) sizes.push_back(c.chars);
    if (sizes.empty()) return 0;
    auto middle = sizes.begin() + std::ptrdiff_t(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    return *middle;
}

Text warningLine(const ChapterWarning& w, const std::vector<ChapterEntry>& chapters) {
    const ChapterEntry& c = chapters[w.chapter];
    switch (w.kind) {
        case ChapterWarningKind::NumberSkips:
        case ChapterWarningKind::NumberRestarts:
            return lit(w.kind == ChapterWarningKind::NumberSkips ? texts::kWarningNumberSkips
                                                                 : texts::kWarningNumberRestarts) +
                   std::to_string(w.previous) + lit(texts::kWarningNumberAfter) + quoted(c.heading);
        case ChapterWarningKind::TooLong:
            return lit(texts::kWarningTooLongBefore) + std::to_string(c.chars) +
                   lit(texts::kWarningTooLongAfter) + quoted(c.heading);
        case ChapterWarningKind::NotAlone:
            return lit(texts::kWarningNotAlone) + quoted(c.heading);
    }
    return Text();
}

}  // namespace

std::vector<ChapterWarning> chapterWarnings(const std::vector<ChapterEntry>& chapters) {
    std::vector<ChapterWarning> warnings;
    const int64_t median = medianChars(chapters);
    int64_t previous = -1;
    for (size_t i = 0; i < chapters.size(); ++i) {
        const ChapterEntry& c = chapters[i];
        if (!c.mark) continue;
        if (!c.mark->alone) warnings.push_back({ChapterWarningKind::NotAlone, i});
        if (c.volumeSeen) previous = -1;
        const int64_t number = c.mark->level == HeadingLevel::Chapter ? c.mark->number : -1;
        if (number >= 0) {
            if (previous >= 0 && number <= previous)
                warnings.push_back({ChapterWarningKind::NumberRestarts, i, previous});
            else if (previous >= 0 && number > previous + 1)
                warnings.push_back({ChapterWarningKind::NumberSkips, i, previous});
            previous = number;
        }
        if (median > 0 && c.chars > kTooLongFactor * median)
            warnings.push_back({ChapterWarningKind::TooLong, i});
    }
    return warnings;
}

Text chapterPreviewText(const Text& name, const ChapterPlanner& planner, int64_t perPart,
                        std::string_view lineBreak) {
    const Text br(lineBreak);
    if (!planner.foundHeading()) return name + lit(texts::kPreviewNoHeading) + br;
    const std::vector<ChapterEntry>& chapters = planner.chapters();
    const std::vector<PlannedPart> parts = groupChapters(chapters, perPart);
    const int64_t headed = int64_t(std::count_if(chapters.begin(), chapters.end(),
                                                 [](const ChapterEntry& c) { return c.mark; }));
    Text out = name + lit(texts::kPreviewChaptersBefore) + std::to_string(headed) +
               lit(texts::kPreviewChaptersMiddle) + std::to_string(parts.size()) +
               lit(texts::kPreviewChaptersAfter) + br + lit(texts::kPreviewColumns) + br;
    for (size_t k = 0; k < parts.size(); ++k)
        for (size_t i = 0; i < parts[k].chapterCount; ++i) {
            const ChapterEntry& c = chapters[parts[k].firstChapter + i];
            out += std::to_string(k + 1) + "\t" + std::to_string(c.chars) + "\t" +
                   (c.mark ? c.heading : lit(texts::kPreviewBeforeFirstHeading)) + br;
        }
    for (const ChapterWarning& w : chapterWarnings(chapters)) out += warningLine(w, chapters) + br;
    return out;
}

ChapterPreview previewChapters(SplitContext& ctx, const std::vector<Text>& files,
                               std::string_view lineBreak) {
    ChapterPreview preview;
    const std::optional<ChapterRule> rule = chapterRuleOf(ctx.options);
    if (!rule) return preview;
    for (const Text& source : files) {
        if (!preview.text.empty()) preview.text += Text(lineBreak);
        std::error_code error;
        const std::unique_ptr<TextSource> text =
            TextSource::open(ctx.files, source, &ctx.host, &error);
        ChapterPlanner planner(rule->rule);
        if (text) {
            planChapters(planner, *text);
            if (text->failed()) error = text->error();
        }
        if (!text || text->failed()) {
            preview.failures.push_back({FailureKind::Read, source, error});
            preview.text += fileNameOf(source) + lit(texts::kPreviewUnreadable) + Text(lineBreak);
            continue;
        }
        if (planner.foundHeading()) ++preview.sourcesWithChapters;
        preview.text += chapterPreviewText(fileNameOf(source), planner,
                                           ctx.options.chaptersPerPart(), lineBreak);
        if (ctx.stopRequested) break;
    }
    return preview;
}

}  // namespace pw
