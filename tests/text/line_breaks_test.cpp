#include <gtest/gtest.h>

#include <random>

#include "text/line_breaks.h"
#include "text/regex_helper.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// Random texts from pieces that meet at every kind of edge the patterns care about.
Text randomText(std::mt19937& gen, const std::vector<Text>& pieces, int length) {
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    Text text;
    for (int i = 0; i < length; ++i) text += pieces[pick(gen)];
    return text;
}

TEST(LineBreaks, EveryBreakBecomesCrLf) {
    EXPECT_EQ(fixLineBreaks("a\rb"), "a\r\nb");
    EXPECT_EQ(fixLineBreaks("a\nb"), "a\r\nb");
    EXPECT_EQ(fixLineBreaks("a\r\nb"), "a\r\nb");
    EXPECT_EQ(fixLineBreaks("\r\r\n"), "\r\n\r\n");
    EXPECT_EQ(fixLineBreaks("\n\r"), "\r\n\r\n");
    EXPECT_EQ(fixLineBreaks("\n\n"), "\r\n\r\n");
    EXPECT_EQ(fixLineBreaks("end\r"), "end\r\n");
    EXPECT_EQ(fixLineBreaks(""), "");
    EXPECT_EQ(fixLineBreaks(lit("中\n文")), lit("中\r\n文"));
}

TEST(LineBreaks, ScanAgreesWithThePattern) {
    RegexHelper pattern;
    pattern.create("\\r(?!\\n)|(?<!\\r)\\n");
    std::mt19937 gen(7);
    const std::vector<Text> pieces = {"\r", "\n", "\r\n", "a", lit("中"), " "};
    for (int round = 0; round < 500; ++round) {
        const Text text = randomText(gen, pieces, round % 12);
        ASSERT_EQ(fixLineBreaks(text), pattern.replace(text, "\r\n"))
            << testing::PrintToString(text);
    }
}

TEST(BlankTrim, BlankLinesAndLineEdgesGo) {
    EXPECT_EQ(trimBlankLinesAndEdges("  abc  \r\n\r\n\tdef"), "abc\r\ndef");
    EXPECT_EQ(trimBlankLinesAndEdges("a\r\n \r\nb"), "a\r\nb");
    EXPECT_EQ(trimBlankLinesAndEdges("a\r\n  "), "a\r\n");  // the last line stays, empty
    EXPECT_EQ(trimBlankLinesAndEdges("\r\n"), "");
    EXPECT_EQ(trimBlankLinesAndEdges(""), "");
    EXPECT_EQ(trimBlankLinesAndEdges("a  b"), "a  b");
    // A blank line ending in a lone LF keeps its break but loses its blanks.
    EXPECT_EQ(trimBlankLinesAndEdges("a\n \nb"), "a\n\nb");
    // Full-width spaces count as blanks; the same bytes across two characters do not.
    EXPECT_EQ(trimBlankLinesAndEdges(lit("　文字　\r\n　\r\nx")), lit("文字\r\nx"));
    EXPECT_EQ(trimBlankLinesAndEdges("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0");
    EXPECT_EQ(trimBlankLinesAndEdges("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

TEST(BlankTrim, ScanAgreesWithThePattern) {
    RegexHelper pattern;
    pattern.create(lit(texts::kBlankTrimPattern));
    std::mt19937 gen(11);
    const std::vector<Text> pieces = {"\r", "\n", "\r\n", " ", "\t", lit("　"), "a", lit("啊")};
    for (int round = 0; round < 2000; ++round) {
        const Text text = randomText(gen, pieces, round % 14);
        ASSERT_EQ(trimBlankLinesAndEdges(text), pattern.replace(text, ""))
            << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace pw
