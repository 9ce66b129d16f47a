#include "split/title_phrase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "split/strip_tags.h"
#include "support/kernel_sets.h"
#include "support/test_host.h"
#include "text/chars.h"
#include "text/encoding_convert.h"
#include "text/line_breaks.h"
#include "text/regex_helper.h"

namespace pw {
namespace {

std::vector<Text> gb(const std::vector<std::string>& utf8) {
    std::vector<Text> out;
    for (const auto& s : utf8) out.push_back(lit(s));
    return out;
}

// The cuts are made 64 bytes at a time or a character at a time, as the kernel set makes pay.
using TitlePhrase = test::EachKernelSet;

TEST_P(TitlePhrase, SeparatorPatternIsBuiltFromTheSeparatorSet) {
    EXPECT_EQ(
        titleSeparatorPattern(),
        lit("[,，。！!？.?;；<>/:：\\(\\)\\='\\{\\}《》（）、‘’\\- \\\"“”]|\\r\\n|\\r|\\n|\\. "));
}

TEST_P(TitlePhrase, TextIsCleanedAndCutIntoPhrases) {
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

TEST_P(TitlePhrase, OnePassCutsWhereTheSeparatorPatternCuts) {
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

    // Random prose, long enough to be cut in many blocks of 64 bytes: the same cuts, and the
    // lengths of the phrases without their outer spaces; the same from its UTF-8 form.
    const std::vector<Text> pieces =
        gb({"风起云涌", "啊", "，", "“", "　", " ", "\t", "a", "7", "\r\n", "，　风起云涌　",
            "\xF0\x9F\x98\x80", "[⊥]", "ア"});
    std::mt19937 gen(9);
    for (int round = 0; round < 300; ++round) {
        Text prose;
        for (int i = 0; i < round % 50 * 4; ++i) prose += pieces[gen() % pieces.size()];
        prose += "\x81\x30\x81\x30";  // a four-byte character among the two-byte ones
        const Text cut = separators.replace(trimBlankLinesAndEdges(prose), marker);
        std::vector<Text> want;
        for (size_t from = 0, hit;; from = hit + marker.size()) {
            hit = cut.find(marker, from);
            if (hit == Text::npos) {
                if (from < cut.size()) want.push_back(cut.substr(from));
                break;
            }
            want.push_back(cut.substr(from, hit - from));
        }
        const TitlePhrases phrases = titlePhrases(prose);
        const TitlePhrases fromUtf8 =
            titlePhrases(convertEncoding(prose, kCodePage, "UTF-8"), true);
        ASSERT_EQ(phrases.list(), want) << testing::PrintToString(prose);
        ASSERT_EQ(fromUtf8.list(), want) << testing::PrintToString(prose);
        // A head is the phrase's whole characters that start within the bound; when it is not
        // the whole phrase, its characters reach the bound.
        for (size_t i = 0; i < want.size(); i += 3)
            for (const TitlePhrases* from : {&phrases, &fromUtf8})
                for (const size_t bytes : {1, 5, 64}) {
                    const TitlePhrases::Head head = from->head(i, bytes);
                    const size_t chars = countChars(head.text);
                    ASSERT_EQ(leftChars(want[i], chars), head.text);
                    ASSERT_TRUE(!head.whole || head.text == want[i]);
                    if (from == &phrases && chars > 0) {
                        ASSERT_LT(leftChars(head.text, chars - 1).size(), bytes);
                        ASSERT_TRUE(head.whole || head.text.size() >= bytes);
                    }
                }
        for (int least = 1; least <= 12; ++least) {
            const size_t longEnough =
                size_t(std::count_if(want.begin(), want.end(), [&](const Text& w) {
                    return countChars(trimmedSpaces(w)) >= size_t(least);
                }));
            ASSERT_EQ(phrases.countLongEnough(least), longEnough) << testing::PrintToString(prose);
            ASSERT_EQ(fromUtf8.countLongEnough(least), longEnough);
        }
    }
}

PW_FOR_EACH_KERNEL_SET(TitlePhrase);

class Picker : public test::EachKernelSet {
  protected:
    test::TestJobHost host;
    RandomSource rng;
    PhrasePicker picker{rng, systemClock(), host};
};

TEST_P(Picker, PrefersPhrasesLongEnoughWithoutTheirOuterSpaces) {
    const TitlePhrases phrases = titlePhrases(lit("短，　这是一个足够长的句子　，又短，，"));
    ASSERT_EQ(phrases.list(), gb({"短", "　这是一个足够长的句子　", "又短", ""}));
    for (int round = 0; round < 20; ++round)
        EXPECT_EQ(pickTitlePhrase(phrases, 5, picker), lit("这是一个足够长的句子"));
    // With minChars below 1 any non-empty phrase will do.
    for (int round = 0; round < 20; ++round) {
        const Text any = pickTitlePhrase(phrases, 0, picker);
        EXPECT_FALSE(any.empty());
        EXPECT_NE(any.substr(0, 2), lit("　"));
    }
}

TEST_P(Picker, FallsBackToAnyPhraseAsItIsWithOneEventPointPerPick) {
    const TitlePhrases phrases = titlePhrases(lit("甲，　乙，，"));
    std::set<Text> seen;
    for (int round = 0; round < 200; ++round) {
        host.eventRounds = 0;
        seen.insert(pickTitlePhrase(phrases, 15, picker));
        EXPECT_EQ(host.eventRounds, 1);
    }
    EXPECT_EQ(seen, (std::set<Text>{lit("甲"), lit("　乙"), ""}));
    EXPECT_EQ(pickTitlePhrase(TitlePhrases{}, 5, picker), "");
    EXPECT_EQ(pickTitlePhrase(lit("一二三四五六，七"), 6, picker), lit("一二三四五六"));
}

TEST_P(Picker, LargeTextsAreIndexedWithoutLosingAPhrase) {
    // Phrases of every length from 0 to 299 characters, some with outer full-width spaces, cut
    // at every kind of separator: more than the 64 phrases between two stored starts, and
    // lengths beyond the 255 the index tells apart.
    const std::vector<Text> separators = gb({",", "。", "；", "[⊥]", "（", "“"});
    std::vector<Text> expected;
    Text text;
    for (size_t i = 0; i < 300; ++i) {
        Text phrase = i % 7 == 3 ? lit("　") : "";
        for (size_t c = 0; c < i; ++c) phrase += c % 3 ? "x" : lit("字");
        if (i % 7 == 3) phrase += lit("　");
        expected.push_back(phrase);
        text += phrase + separators[i % separators.size()];
    }
    const TitlePhrases phrases = titlePhrases(text);
    ASSERT_EQ(phrases.list(), expected);
    for (const int minChars : {-3, 0, 1, 5, 10, 15, 254, 255, 256, 299, 300}) {
        std::vector<Text> longEnough;
        for (const Text& p : expected)
            if (countChars(trimSpaces(p)) >= size_t(std::max(minChars, 1))) longEnough.push_back(p);
        ASSERT_EQ(phrases.countLongEnough(minChars), longEnough.size()) << minChars;
        for (size_t i = 0; i < longEnough.size(); ++i)
            ASSERT_EQ(phrases[phrases.nthLongEnough(minChars, i)], longEnough[i])
                << minChars << " " << i;
    }
    // Picks are spread over the whole text, not only its start.
    std::set<Text> seen;
    for (int round = 0; round < 2000; ++round) seen.insert(pickTitlePhrase(phrases, 100, picker));
    EXPECT_GT(seen.size(), 150u);
}

PW_FOR_EACH_KERNEL_SET(Picker);

}  // namespace
}  // namespace pw
