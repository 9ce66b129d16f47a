#include "platform/charset.h"
#include "split/split_by_delimiter.h"
#include "support/split_fixture.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

std::vector<std::string> pieces(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> out;
    for (std::string_view p : splitAtDelimiter(text, delimiter)) out.emplace_back(p);
    return out;
}
using Pieces = std::vector<std::string>;

TEST(DelimiterScan, EmptyPiecesAreKeptExceptAnEmptyLastOne) {
    EXPECT_EQ(pieces("A##B##C", "##"), (Pieces{"A", "B", "C"}));
    EXPECT_EQ(pieces("A####B", "##"), (Pieces{"A", "", "B"}));
    EXPECT_EQ(pieces("##A##", "##"), (Pieces{"", "A"}));
    EXPECT_EQ(pieces("###", "##"), (Pieces{"", "#"}));  // taken from the left, no overlap
    EXPECT_EQ(pieces("", "##"), Pieces{});
    EXPECT_EQ(pieces("no mark", "##"), Pieces{"no mark"});
    EXPECT_EQ(pieces("ab", "abc"), Pieces{"ab"});           // a delimiter cut off by the end
    EXPECT_EQ(pieces("aXbxc", "x"), (Pieces{"aXb", "c"}));  // case counts
}

TEST(DelimiterScan, LineBreaksMatchByteForByte) {
    EXPECT_EQ(pieces("a\r\nb\nc\r\n", "\r\n"), (Pieces{"a", "b\nc"}));
    // A CR is a character of its own: the LF after it is found.
    EXPECT_EQ(pieces("a\r\nb", "\n"), (Pieces{"a\r", "b"}));
}

TEST(DelimiterScan, OccurrencesStartOnlyAtCharacterBoundaries) {
    // 中文 is D6 D0 CE C4: D0 CE would start on the second byte of 中.
    EXPECT_EQ(pieces("\xD6\xD0\xCE\xC4", "\xD0\xCE"), Pieces{"\xD6\xD0\xCE\xC4"});
    // B0 B0 inside C4 B0 is refused, the one overlapping it at the next boundary is taken.
    EXPECT_EQ(pieces("\xC4\xB0\xB0\xB0z", "\xB0\xB0"), (Pieces{"\xC4\xB0", "z"}));
    // ASCII bytes inside a GB18030 four-byte character are no characters of their own.
    EXPECT_EQ(pieces("\x81\x30\x81\x30"
                     "0z",
                     "0"),
              (Pieces{"\x81\x30\x81\x30", "z"}));
    EXPECT_EQ(pieces("x\x81\x30\x81\x30y", "\x30\x81"), Pieces{"x\x81\x30\x81\x30y"});
    // After a match the scan goes on at its end, whatever the bytes before.
    EXPECT_EQ(pieces("\xB0\xA1|\xA1|", "\xA1|"), (Pieces{"\xB0\xA1|"}));
}

class DelimiterSplit : public SplitFixture {
  protected:
    void byDelimiter(const Text& delimiter) {
        options.set.mode = SplitMode::Delimiter;
        options.set.delimiter = delimiter;
    }
};

TEST_F(DelimiterSplit, WithoutDelimiterTheJobAsksForOneAndEnds) {
    writeFile(dir.path("a.txt"), "A##B");
    byDelimiter("");
    splitHost.delimiterAnswers.push_back(Text("##"));
    SplitSummary summary = split({dir.path("a.txt"), dir.path("b.txt")});
    EXPECT_TRUE(summary.aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(toUtf8(host.messages[0].text), texts::kEnterDelimiter);
    EXPECT_EQ(splitHost.delimiterAsks, 1);
    EXPECT_EQ(options.delimiter(), "##");
    EXPECT_FALSE(fileExists(dir.path("a")));  // nothing written

    // The next run uses what was entered.
    summary = split({dir.path("a.txt")});
    EXPECT_EQ(summary.partsWritten, 2);
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")) + "|" + readFile(dir.path("a/a_2.txt")), "A|B");
}

TEST_F(DelimiterSplit, PartsGoBackIntoTheSourceEncoding) {
    const Text gbk = fromUtf8("第一章甲\r\n第一章乙\r\n");
    writeFile(dir.path("gbk.txt"), gbk);
    writeFile(dir.path("u16.txt"), "\xFF\xFE" + *convertCharset(gbk, kCodePage, "UTF-16LE"));
    byDelimiter(fromUtf8("第一章"));
    const SplitSummary summary = split({dir.path("gbk.txt"), dir.path("u16.txt")});
    EXPECT_EQ(summary.partsWritten, 6);
    EXPECT_EQ(listing(dir.path("gbk")), "gbk_1.txt gbk_2.txt gbk_3.txt");
    EXPECT_EQ(readFile(dir.path("gbk/gbk_1.txt")), "");
    EXPECT_EQ(readFile(dir.path("gbk/gbk_3.txt")), fromUtf8("乙\r\n"));
    EXPECT_EQ(readFile(dir.path("u16/u16_2.txt")),
              "\xFF\xFE" + *convertCharset(fromUtf8("甲\r\n"), kCodePage, "UTF-16LE"));
    EXPECT_EQ(host.progressText, "[3] (2/2)u16.txt");
}

TEST_F(DelimiterSplit, SourcesAreDeletedOnlyWhenAllTheirTextReachedParts) {
    writeFile(dir.path("whole.txt"), "A##B##");
    writeFile(dir.path("nul.txt"), std::string("A##B\0C##D", 9));
    writeFile(dir.path("empty.txt"), "");
    byDelimiter("##");
    options.set.deleteSources = true;
    const SplitSummary summary = split({dir.path("whole.txt"), dir.path("missing.txt"),
                                        dir.path("nul.txt"), dir.path("empty.txt")});
    EXPECT_EQ(summary.sourcesDone, 4);
    EXPECT_EQ(summary.unreadableSources, 1);
    EXPECT_FALSE(fileExists(dir.path("whole.txt")));
    // The bytes after the NUL are in no part, so the source stays.
    EXPECT_EQ(listing(dir.path("nul")), "nul_1.txt nul_2.txt");
    EXPECT_EQ(readFile(dir.path("nul/nul_2.txt")), "B");
    EXPECT_TRUE(fileExists(dir.path("nul.txt")));
    EXPECT_TRUE(fileExists(dir.path("empty.txt")));  // no part holds it
}

TEST_F(DelimiterSplit, StopWhilePartFourOfTenIsWrittenKeepsPartsOneToFour) {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += std::to_string(i) + (i < 10 ? "|" : "");
    writeFile(dir.path("ten.txt"), text);
    writeFile(dir.path("next.txt"), "x|y");
    byDelimiter("|");
    options.set.deleteSources = true;
    host.onProcessEvents = [&] {
        if (fileExists(dir.path("ten/ten_4.txt"))) stop = 1;
    };
    const SplitSummary summary = split({dir.path("ten.txt"), dir.path("next.txt")});
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(listing(dir.path("ten")), "ten_1.txt ten_2.txt ten_3.txt ten_4.txt");
    EXPECT_EQ(readFile(dir.path("ten/ten_4.txt")), "4");
    EXPECT_TRUE(fileExists(dir.path("ten.txt")));
    EXPECT_FALSE(fileExists(dir.path("next")));
}

}  // namespace
}  // namespace pw::test
