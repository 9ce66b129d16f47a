#include "split/split_by_chars.h"

#include <random>

#include "support/kernel_sets.h"
#include "support/split_fixture.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"

namespace pw::test {
namespace {

using Chars = SplitFixture;
using Parts = std::vector<std::string>;
using TakeChars = EachKernelSet;

TEST_P(TakeChars, AgreesWithTheCharacterRuleOneCharacterAtATime) {
    // Pieces that meet at every edge the eight-byte shortcut must respect.
    const std::vector<std::string> pieces = {"a",
                                             "bcdefgh",
                                             "\r",
                                             "\n",
                                             "\r\n",
                                             "\xB0\xA1",
                                             "\x81\x30\x81\x30",
                                             "12345678",
                                             "\x95\x32\x82\x36",
                                             "\xD6\xD0\xCE\xC4\xD7\xD6\xB0\xA1",
                                             "\xB0"};  // a lead that pairs with what follows
    std::mt19937 gen(5);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    // Counts of 64 and more go 64 bytes at a time, except in a block with a lead before a digit:
    // their texts have few of those.
    std::discrete_distribution<size_t> pickFewDigits({9, 9, 9, 9, 9, 9, 1, 1, 1, 9, 2});
    for (int round = 0; round < 600; ++round) {
        std::string content;
        for (int i = 0; i < (round % 2 ? round % 40 : 100 + round % 60); ++i)
            content += pieces[round % 2 ? pick(gen) : pickFewDigits(gen)];
        const int64_t n = round % 2 ? 1 + round % 13 : 64 + round * 37 % 300;
        size_t position = 0, expected = 0;
        for (bool more = !content.empty(); more;) {
            const size_t start = expected;
            for (int64_t c = 0; c < n && expected < content.size(); ++c)
                expected += charLengthAt(content, expected);
            const TakenChars taken = takeChars(content, n, position);
            ASSERT_EQ(position, expected) << testing::PrintToString(content) << " n=" << n;
            ASSERT_EQ(taken.part, std::string_view(content).substr(start, expected - start));
            more = taken.more;
            ASSERT_EQ(more, expected < content.size());
        }
    }
    size_t position = 0;
    EXPECT_FALSE(takeChars("abc", 0, position).more);
    EXPECT_EQ(position, 0u);

    // Over valid UTF-8, the count stops where it stops over the same text in the code page,
    // counted a character, eight bytes or 64 bytes at a time (valid text: no lone lead).
    std::uniform_int_distribution<size_t> pickValid(0, pieces.size() - 2);
    for (int round = 0; round < 600; ++round) {
        std::string content;
        for (int i = 0; i < round % 60 * 4; ++i) content += pieces[pickValid(gen)];
        const std::string utf8 = convertEncoding(content, kCodePage, "UTF-8");
        // Counts of many blocks too, which take them in more than one pass.
        const int64_t n = round < 300 ? 1 + round % 29 * 9 : 64 + round % 37 * 23;
        size_t inCodePage = 0, inUtf8 = 0;
        while (inCodePage < content.size()) {
            const int64_t counted = skipChars(content, n, inCodePage);
            ASSERT_EQ(skipUtf8Chars(utf8, n, inUtf8), counted) << testing::PrintToString(content);
            ASSERT_EQ(inUtf8,
                      convertEncoding(content.substr(0, inCodePage), kCodePage, "UTF-8").size())
                << testing::PrintToString(content) << " n=" << n;
        }
    }
}

PW_FOR_EACH_KERNEL_SET(TakeChars);

TEST_F(Chars, PartsNeverCutACharacterOrALineBreak) {
    writeFile(dir.path("five.txt"), lit("一二三四五"));
    writeFile(dir.path("crlf.txt"), "ab\r\ncd");
    writeFile(dir.path("wide.txt"), lit("😀a😀"));  // four bytes each in the code page
    writeFile(dir.path("empty.txt"), "");
    byChars("2", "2");
    split({dir.path("five.txt"), dir.path("empty.txt")});
    EXPECT_EQ(parts("five", "five"), (Parts{lit("一二"), lit("三四"), lit("五")}));
    EXPECT_FALSE(fileExists(dir.path("empty")));

    byChars("3", "3");
    split({dir.path("crlf.txt")});
    EXPECT_EQ(parts("crlf", "crlf"), (Parts{"ab\r\n", "cd"}));

    byChars("1", "1");
    split({dir.path("wide.txt")});
    EXPECT_EQ(parts("wide", "wide"), (Parts{lit("😀"), "a", lit("😀")}));
}

TEST_F(Chars, DecodedAlwaysAndWrittenBackInTheSourceEncoding) {
    writeFile(dir.path("u8.txt"), "一二三");  // UTF-8 without a mark
    byChars("2", "2");
    split({dir.path("u8.txt")});
    EXPECT_EQ(parts("u8", "u8"), (Parts{"\xEF\xBB\xBF一二", "\xEF\xBB\xBF三"}));
}

TEST_F(Chars, TextAfterANulAndAStopKeepTheSource) {
    options.set.deleteSources = true;
    writeFile(dir.path("z.txt"), std::string("abcd\0ef", 7));
    writeFile(dir.path("long.txt"), std::string(10, 'x'));
    writeFile(dir.path("whole.txt"), "abc");
    byChars("2", "2");
    split({dir.path("z.txt"), dir.path("whole.txt")});
    EXPECT_EQ(parts("z", "z"), (Parts{"ab", "cd"}));
    EXPECT_TRUE(fileExists(dir.path("z.txt")));
    EXPECT_EQ(parts("whole", "whole"), (Parts{"ab", "c"}));
    EXPECT_FALSE(fileExists(dir.path("whole.txt")));

    host.onProcessEvents = [&] {
        if (toUtf8(host.progressText).starts_with("[2]")) stop = 1;
    };
    auto summary = split({dir.path("long.txt")});
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(parts("long", "long"), (Parts{"xx", "xx"}));
    EXPECT_TRUE(fileExists(dir.path("long.txt")));
}

TEST_F(Chars, UnreadableSourceWritesNothingAndTheJobGoesOn) {
    writeFile(dir.path("a.txt"), "abc");
    byChars("4", "3");
    auto summary = split({dir.path("missing.txt"), dir.path("a.txt")});
    EXPECT_FALSE(summary.aborted);
    EXPECT_EQ(summary.unreadableSources, 1);
    EXPECT_EQ(parts("a", "a"), (Parts{"abc"}));
}

}  // namespace
}  // namespace pw::test
