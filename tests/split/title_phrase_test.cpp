#include "split/title_phrase.h"

#include <gtest/gtest.h>

#include <set>

#include "app/control_table.h"
#include "platform/memory_form.h"

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
    EXPECT_EQ(titlePhrases(lit("第一章 开始\r\n他说：你好。")),
              gb({"第一章", "开始", "他说", "你好"}));
    // Tags go first; blank lines and line-edge blanks never become phrases.
    EXPECT_EQ(titlePhrases(lit("<p>Hello</p>\r\n   \r\n\t世界  ")), gb({"Hello", "世界"}));
    // Empty pieces between separators stay, "." alone is a separator, full-width spaces are not.
    EXPECT_EQ(titlePhrases(lit("a..b《书　名》")), gb({"a", "", "b", "书　名"}));
    EXPECT_EQ(titlePhrases("x\ny\rz"), gb({"x", "y", "z"}));
    EXPECT_TRUE(titlePhrases("").empty());
    EXPECT_TRUE(titlePhrases("<b></b>").empty());
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
    EXPECT_EQ(pickTitlePhrase(std::vector<Text>{}, 5, picker), "");
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
