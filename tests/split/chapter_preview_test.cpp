// The chapter plan's boundaries over volumes, and the preview's warnings.

#include <gtest/gtest.h>

#include "split/chapter_preview.h"
#include "text/codepage.h"

namespace pw {
namespace {

ChapterPlanner planOf(std::string_view utf8) {
    ChapterPlanner planner{HeadingRule{}};
    planChapters(planner, lit(utf8));
    return planner;
}

std::vector<std::pair<ChapterWarningKind, std::string>> warningsOf(const ChapterPlanner& p) {
    std::vector<std::pair<ChapterWarningKind, std::string>> out;
    for (const ChapterWarning& w : chapterWarnings(p.chapters()))
        out.push_back({w.kind, toUtf8(p.chapters()[w.chapter].heading)});
    return out;
}

TEST(ChapterPreview, WarnsOfSkipsRestartsLongChaptersAndCrowdedHeadings) {
    const std::string body(20, 'x');
    const std::string text = "第一章\n" + body + "\n第二章\n" + body + "\n第四章\n" + body +
                             "\n第二卷 江湖\n\n第一章 再起\n" + body +  // a new volume: no restart
                             "\n第二章\n" + body + "\n第一章\n" + body +
                             "\n第三章 来了。他说，走吧\n" + body + "\n第四章\n" +
                             std::string(400, 'y') + "\n";
    const ChapterPlanner p = planOf(text);
    ASSERT_TRUE(p.foundHeading());
    // The volume line and its first chapter are one chapter, named after both.
    ASSERT_EQ(p.chapters().size(), 8u);
    EXPECT_EQ(toUtf8(p.chapters()[3].heading), "第二卷 江湖 第一章 再起");
    EXPECT_EQ(p.chapters()[3].mark->volume, 2);

    using K = ChapterWarningKind;
    const std::vector<std::pair<K, std::string>> expected = {
        {K::NumberSkips, "第四章"},
        {K::NumberRestarts, "第一章"},
        {K::NotAlone, "第三章 来了。他说，走吧"},
        {K::NumberSkips, "第三章 来了。他说，走吧"},
        {K::TooLong, "第四章"},
    };
    EXPECT_EQ(warningsOf(p), expected);

    // The table: the text before the first heading is part 1, then two chapters a part.
    const ChapterPlanner book = planOf("封面\n第1章\n甲\n第2章\n乙乙\n第3章\n");
    EXPECT_EQ(toUtf8(chapterPreviewText(lit("书.txt"), book, 2, "\n")),
              "书.txt：共 3 章，分为 3 份\n份\t字数\t章节\n1\t3\t（第一个标题之前的文字）\n"
              "2\t6\t第1章\n2\t7\t第2章\n3\t4\t第3章\n");
    EXPECT_EQ(toUtf8(chapterPreviewText(lit("空.txt"), planOf("没有\n标题\n"), 1, "\n")),
              "空.txt：未找到章节标题，此文件不会被分割\n");
}

}  // namespace
}  // namespace pw
