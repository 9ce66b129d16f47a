#include <gtest/gtest.h>

#include "platform/regex.h"
#include "text/chapter_heading.h"
#include "text/codepage.h"

namespace pw {
namespace {

constexpr auto V = HeadingLevel::Volume;
constexpr auto C = HeadingLevel::Chapter;

struct Case {
    const char* line;
    bool heading;
    HeadingLevel level = C;
    int64_t number = -1;
    int64_t volume = -1;
    bool alone = true;
};

TEST(ChapterHeading, TellsHeadingsFromProseOverATableOfLines) {
    const Case cases[] = {
        {"第一章 风起", true, C, 1},
        {"第十二章", true, C, 12},
        {"第一百零五回 大闹天宫\r\n", true, C, 105},
        {"第两千零一十节", true, C, 2010},
        {"第二〇一章", true, C, 201},
        {"第 12 章：归来", true, C, 12},
        {"第１２章", true, C, 12},
        {"第十万章", true, C, 100000},
        {"第三卷 江湖", true, V, 3},
        {"第二集", true, V, 2},
        {"第九卷 第二章 标题", true, C, 2, 9},
        {"第一部　第十回", true, C, 10, 1},
        {"　　第五章 初见", true, C, 5},  // full-width indent
        {" \t第六话", true, C, 6},
        {"【第七章】", true, C, 7},
        {"【第七章 夜雨】", true, C, 7},
        {"〔第八幕〕 终场", true, C, 8},
        {"【第七章 夜雨", false},  // the bracket never closes
        {"Chapter 3", true, C, 3},
        {"CHAPTER 14: The End", true, C, 14},
        {"chapter 3", false},
        {"Chapters 3", false},
        {"序章", true},
        {"楔子 往事", true},
        {"番外二 重逢", true, C, 2},
        {"后记", true},
        {"尾聲", true},
        // Measure words: only a line of heading and title is a heading.
        {"第一封信", false},
        {"第四本书", false},
        {"第三部手机", true, V, 3},
        {"第三部手机是他送的，我一直留着。", false},
        {"第一回见到他时，他笑了。", false},
        {"尾声渐渐远去，人群散了。", false},
        // A heading with prose after it on the same line.
        {"第一章 风起。那天早上，他出门了。", true, C, 1, -1, false},
        // Not at the start of the line, or in a line too long to be a heading.
        {"他读到了第一章 风起", false},
        {"第一章 这是一个很长很长很长很长很长很长很长很长很长很长很长很长很长很长很长的标题",
         false},
        {"第章", false},
        {"第一天", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const auto h = findChapterHeading(lit(c.line), {});
        ASSERT_EQ(h.has_value(), c.heading) << c.line;
        if (!h) continue;
        EXPECT_EQ(h->level, c.level) << c.line;
        EXPECT_EQ(h->number, c.number) << c.line;
        EXPECT_EQ(h->volume, c.volume) << c.line;
        EXPECT_EQ(h->alone, c.alone) << c.line;
    }
}

TEST(ChapterHeading, LengthLimitAndUserPatternReplaceTheRule) {
    const Text line = lit("第一章 风起云涌");  // 8 characters
    EXPECT_TRUE(findChapterHeading(line, {8, nullptr}));
    EXPECT_FALSE(findChapterHeading(line, {7, nullptr}));
    // Trailing spaces do not count against the limit.
    EXPECT_TRUE(findChapterHeading(line + lit("　　  "), {8, nullptr}));

    const auto pattern =
        CompiledRegex::compile("^卷[0-9]+$", RegexCase::Sensitive, RegexLines::Single);
    ASSERT_TRUE(pattern);
    const HeadingRule user{kDefaultHeadingMaxChars, pattern.get()};
    EXPECT_TRUE(findChapterHeading(lit("卷12\r\n"), user));
    EXPECT_FALSE(findChapterHeading(line, user));  // the built-in rule no longer applies
    EXPECT_FALSE(findChapterHeading(lit("卷12 x"), user));

    EXPECT_EQ(headingText(lit("　 第一章 风起　\r\n")), lit("第一章 风起"));
    // 0xB0 0xA1 ends in the lead byte of a full-width space: it stays whole.
    EXPECT_EQ(headingText("\xB0\xA1 "), "\xB0\xA1");
}

}  // namespace
}  // namespace pw
