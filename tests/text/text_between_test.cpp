#include <gtest/gtest.h>

#include "text/text_between.h"

namespace pw {
namespace {

constexpr size_t npos = std::string_view::npos;

TEST(FindText, IgnoresAsciiCaseAndStartsOnlyAtCharacters) {
    EXPECT_EQ(findText("xAbC", "abc"), 1u);
    EXPECT_EQ(findText("xabc", "ABC"), 1u);
    EXPECT_EQ(findText("abcabc", "abc", 1), 3u);
    EXPECT_EQ(findText("abc", "abcd"), npos);
    EXPECT_EQ(findText("abc", "c", 5), npos);
    // 癅 is B0 40: its second byte is "@", which is not an "@" of the text.
    EXPECT_EQ(findText("\xB0\x40@", "@"), 2u);
    EXPECT_EQ(findText("\xB0\x40", "@"), npos);
    // Case is folded in second bytes too: B0 61 ("a" as second byte) matches B0 41.
    EXPECT_EQ(findText("\xB0\x61", "\xB0\x41"), 0u);
    // A four-byte character (81 30 81 30) has no character start at its third byte.
    EXPECT_EQ(findText("\x81\x30\x81\x30\x41", "\x81\x30\x41"), npos);
    EXPECT_EQ(findText("\x81\x30\x81\x30\x81\x30\x41", "\x81\x30\x41"), 4u);
    // Long ASCII runs are skipped without losing the character starts: the first "<" is the
    // second byte of B0 3C.
    const Text longText = std::string(40, 'a') + "\xB0<" + std::string(40, 'b') + "<x";
    EXPECT_EQ(findText(longText, "<"), 82u);
}

TEST(TextBetween, WalksMarkedSpansWithThePosition) {
    int64_t pos = 0;
    EXPECT_EQ(textBetween("a<b>c<b>d", "<b>", "<b>", pos), "c");
    EXPECT_EQ(pos, 9);  // just past the second <b>
    EXPECT_EQ(textBetween("a<b>c<b>d", "<b>", "<b>", pos), "");
    EXPECT_EQ(pos, kSearchExhausted);
    EXPECT_EQ(textBetween("<b>x<b>", "<b>", "<b>", pos), "");  // exhausted: no search at all

    const Text page = "<i>1</i><i></i><I>3</I>";
    std::vector<Text> spans;
    std::vector<int64_t> positions;
    for (pos = 0; pos != kSearchExhausted;) {
        spans.push_back(textBetween(page, "<i>", "</i>", pos));
        positions.push_back(pos);
    }
    EXPECT_EQ(spans, (std::vector<Text>{"1", "", "3", ""}));
    EXPECT_EQ(positions, (std::vector<int64_t>{9, 16, 24, kSearchExhausted}));

    pos = -7;  // any value below 1 is the start
    EXPECT_EQ(textBetween("<META NAME=x>", "<meta", ">", pos), " NAME=x");
}

TEST(TextBetween, EmptyMarkersAndQuotes) {
    int64_t pos = 0;
    EXPECT_EQ(textBetween("ab|c", "", "|", pos), "ab");
    pos = 0;
    EXPECT_EQ(textBetween("ab|c", "|", "", pos), "c");
    pos = 0;
    EXPECT_EQ(textBetween("abc", "", "", pos), "abc");

    // Quoted markers are tried again without their quotes.
    pos = 0;
    EXPECT_EQ(textBetween("<div class=a>x</div>", "<div class=\"a\">", "</div>", pos), "x");
    EXPECT_EQ(pos, 21);
    pos = 0;
    EXPECT_EQ(textBetween("<p class=\"a\">y</p>", "<p class=''a''>", "</p>", pos), "y");
    pos = 0;
    EXPECT_EQ(textBetween("<p class=\"a\">y</p>", "<p class=''a''>", "</p>", pos, true), "");
    EXPECT_EQ(pos, kSearchExhausted);
    // A marker of two apostrophes stands for a double quote.
    pos = 0;
    EXPECT_EQ(textBetween("say \"hi\" now", "''", "''", pos), "hi");

    EXPECT_EQ(expandQuotes("charset=''UTF-8''"), "charset=\"UTF-8\"");
    EXPECT_EQ(expandQuotes("'''"), "\"'");
}

}  // namespace
}  // namespace pw
