#include "split/title_phrase.h"

#include <gtest/gtest.h>

#include <set>

#include "app/control_table.h"
#include "platform/memory_form.h"
#include "split/strip_tags.h"
#include "text/line_breaks.h"
#include "text/regex_helper.h"

namespace pw {
namespace {

std::vector<Text> gb(const std::vector<std::string>& utf8) {
    std::vector<Text> out;
    for (const auto& s : utf8) out.push_back(lit(s));
    return out;
}

TEST(TitlePhrase, SeparatorPatternIsBuiltFromTheSeparatorSet) {
    EXPECT_EQ(
        titleSeparatorPattern(),
        lit("[,，。！!？.?;；<>/:：\\(\\)\\='\\{\\}《》（）、‘’\\- \\\"“”]|\\r\\n|\\r|\\n|\\. "));
}

TEST(TitlePhrase, TextIsCleanedAndCutIntoPhrases) {
    EXPECT_EQ(titlePhrases(lit("第一章 开始\r\n他说：你好。")).list(),
              gb({"第一章", "开始", "他说", "你好"}));
    // Tags go first; blank lines and line-edge blanks never become phrases.
    EXPECT_EQ(titlePhrases(lit("<p>Hello</p>\r\n   \r\n\t世界  ")).list(), gb({"Hello", "世界"}));
    // Empty pieces between separators stay, "." alone is a separator, full-width spaces are not.
    EXPECT_EQ(titlePhrases(lit("a..b《书　名》")).list(), gb({"a", "", "b", "书　名"}));
    EXPECT_EQ(titlePhrases("x\ny\rz").list(), gb({"x", "y", "z"}));
    EXPECT_TRUE(titlePhrases("").empty());
    EXPECT_TRUE(titlePhrases("<b></b>").empty());
}

TEST(TitlePhrase, OnePassCutsWhereTheSeparatorPatternCuts) {
    // The pattern, replaced by the marker and cut there, is what the one pass must give.
    RegexHelper separators;
    separators.create(titleSeparatorPattern());
    const Text marker = lit("[⊥]");
    const Text text = lit("甲,乙，丙。丁！戊!己？庚?辛;壬；癸<a>b/c:d：e(f)g=h'i.j "
                          "k{l}m《n》o（p）q、r‘s’t-u v\"w“x”y\r\nz\rA\nB. C[⊥]D[⊥E[F]") +
                      "\xB0\xA1\xA3\xA3 end" + lit("，");
    const Text replaced = separators.replace(trimBlankLinesAndEdges(stripTags(text)), marker);
    std::vector<Text> expected;
    size_t pos = 0;
    for (size_t hit; (hit = replaced.find(marker, pos)) != Text::npos; pos = hit + marker.size())
        expected.push_back(replaced.substr(pos, hit - pos));
    if (pos < replaced.size()) expected.push_back(replaced.substr(pos));
    EXPECT_EQ(titlePhrases(text).list(), expected);
    EXPECT_GE(expected.size(), 40u);
}

class Picker : public ::testing::Test {
  protected:
    Picker() : form(mainWindowSpec()) {}
    MemoryForm form;
    RandomSource rng;
    PhrasePicker picker{rng, systemClock(), form};
};

TEST_F(Picker, PrefersPhrasesLongEnoughWithoutTheirOuterSpaces) {
    const std::vector<Text> phrases = gb({"短", " 　这是一个足够长的句子　 ", "又短", ""});
    for (int round = 0; round < 20; ++round)
        EXPECT_EQ(pickTitlePhrase(phrases, 5, picker), lit("这是一个足够长的句子"));
    // With minChars below 1 any non-empty phrase will do.
    const Text any = pickTitlePhrase(phrases, 0, picker);
    EXPECT_FALSE(any.empty());
    EXPECT_NE(any.front(), ' ');
}

TEST_F(Picker, FallsBackToAnyPhraseAsItIsAfterLookingAtEachOnce) {
    const std::vector<Text> phrases = gb({"甲", " 乙", ""});
    std::set<Text> seen;
    for (int round = 0; round < 200; ++round) {
        form.eventRounds = 0;
        seen.insert(pickTitlePhrase(phrases, 15, picker));
        EXPECT_EQ(form.eventRounds, 3);  // one event point per phrase looked at
    }
    EXPECT_EQ(seen, (std::set<Text>{lit("甲"), lit(" 乙"), ""}));
    EXPECT_EQ(pickTitlePhrase(TitlePhrases{}, 5, picker), "");
    EXPECT_EQ(pickTitlePhrase(lit("一二三四五六，七"), 6, picker), lit("一二三四五六"));
}

TEST(TitlePhrase, TrimSpacesKeepsCharactersWhole) {
    EXPECT_EQ(trimSpaces(lit("　 a　b 　")), lit("a　b"));
    EXPECT_EQ(trimSpaces("  "), "");
    EXPECT_EQ(trimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");  // 啊 then a lone lead byte
    EXPECT_EQ(trimSpaces("\t x \t"), "\t x \t");            // tabs are not spaces here
}

}  // namespace
}  // namespace pw
