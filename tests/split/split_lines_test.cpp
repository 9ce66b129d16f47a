#include "split/split_by_lines.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "support/split_fixture.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using Lines = SplitFixture;
using Parts = std::vector<std::string>;

std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += "line" + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(Lines, PartsHoldTheirLinesJoinedByCrLf) {
    writeFile(dir.path("abc.txt"), "a\r\nb\r\nc\r\n");
    writeFile(dir.path("lf.txt"), "a\nb\nc");
    writeFile(dir.path("twelve.txt"), numberedLines(12));
    writeFile(dir.path("empty.txt"), "");
    byLines("2", "2");
    split({dir.path("abc.txt"), dir.path("lf.txt"), dir.path("empty.txt")});
    EXPECT_EQ(parts("abc", "abc"), (Parts{"a\r\nb", "c"}));
    EXPECT_EQ(parts("lf", "lf"), (Parts{"a\r\nb", "c"}));
    EXPECT_FALSE(fileExists(dir.path("empty")));

    byLines("5", "5");
    split({dir.path("twelve.txt")});
    const Parts twelve = parts("twelve", "twelve");
    ASSERT_EQ(twelve.size(), 3u);
    EXPECT_EQ(twelve[2], "line11\r\nline12");
}

TEST_F(Lines, ReversedRangeDrawsEveryPartFromIt) {
    writeFile(dir.path("many.txt"), numberedLines(400));
    byLines("10", "5");
    split({dir.path("many.txt")});
    const Parts got = parts("many", "many");
    std::string joined;
    std::set<size_t> sizes;
    for (size_t k = 0; k < got.size(); ++k) {
        const size_t lines = size_t(std::count(got[k].begin(), got[k].end(), '\n')) + 1;
        if (k + 1 < got.size()) {
            EXPECT_GE(lines, 5u);
            EXPECT_LE(lines, 10u);
            sizes.insert(lines);
        }
        joined += got[k] + "\r\n";
    }
    EXPECT_EQ(joined, numberedLines(400));
    EXPECT_GT(sizes.size(), 1u);  // drawn anew for every part
}

TEST_F(Lines, CountIsReadFromTheBoxesWhenEachPartStarts) {
    writeFile(dir.path("n.txt"), numberedLines(7));
    byLines("1", "1");
    int events = 0;
    host.onProcessEvents = [&] {
        if (++events == 2) options.set.lines = {3, 3};
    };
    split({dir.path("n.txt")});
    EXPECT_EQ(parts("n", "n"),
              (Parts{"line1", "line2\r\nline3\r\nline4", "line5\r\nline6\r\nline7"}));
}

TEST_F(Lines, BlankLinesSkippedOrKept) {
    const std::string blank = "\t" + lit("　") + " \t";
    writeFile(dir.path("b.txt"), "x\r\n" + blank + "\r\ny\r\n\r\n" + lit("　z") + "\r\n");
    byLines("2", "2");
    split({dir.path("b.txt")});
    EXPECT_EQ(parts("b", "b"), (Parts{"x\r\n" + blank, "y\r\n", lit("　z")}));

    options.set.skipBlankLines = true;
    std::filesystem::remove_all(dir.path("b"));
    split({dir.path("b.txt")});
    EXPECT_EQ(parts("b", "b"), (Parts{"x\r\ny", lit("　z")}));

    EXPECT_TRUE(isBlankLine(""));
    EXPECT_TRUE(isBlankLine(lit("　\t　 ")));
    EXPECT_FALSE(isBlankLine(lit("　x")));
    EXPECT_FALSE(isBlankLine("\xA1\xA2"));       // another character with the same lead byte
    EXPECT_FALSE(isBlankLine("\xB0\xA1\xA1 "));  // A1 A1 across two characters is no space
    EXPECT_TRUE(isBlankLine("\xE3\x80\x80\t \xE3\x80\x80", true));
    EXPECT_FALSE(isBlankLine("\xE3\x80\x80x", true));
    EXPECT_FALSE(isBlankLine("\xE3\x80\x81", true));  // 、 shares two bytes with the space
}

// Blank as the code-page text of the whole line says: without its tabs, nothing but spaces and
// full-width spaces, character by character.
bool blankWhole(std::string_view line) {
    Text rest;
    for (char c : line)
        if (c != '\t') rest += c;
    return trimSpaces(rest).empty();
}

TEST(BlankLine, ToldByteByByteAsByTheWholeLine) {
    // The bytes of spaces, full-width spaces (A1 A1, E3 80 80) and of characters that share some.
    const std::vector<std::string> bytes = {" ", "\t", "\xA1", "\xA2", "\xB0",
                                            "x", "0",  "\xE3", "\x80", "\x81"};
    std::mt19937 gen(7);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (size_t n = gen() % 9; n > 0; --n) line += bytes[gen() % bytes.size()];
        ASSERT_EQ(isBlankLine(line), blankWhole(line)) << testing::PrintToString(line);
        // UTF-8 is valid here: its full-width space is whole or the line is not blank.
        std::string utf8;
        for (size_t n = gen() % 6; n > 0; --n)
            utf8 +=
                std::vector<std::string>{" ", "\t", "\xE3\x80\x80", "\xE3\x80\x81", "x"}[gen() % 5];
        const bool blank = blankWhole(convertEncoding(utf8, "UTF-8", kCodePage));
        ASSERT_EQ(isBlankLine(utf8, true), blank) << testing::PrintToString(utf8);
    }
}

TEST_F(Lines, LoneCrIsABreakOnlyWhenCorrected) {
    writeFile(dir.path("cr.txt"), "a\rb\rc");
    byLines("1", "1");
    split({dir.path("cr.txt")});
    EXPECT_EQ(parts("cr", "cr"), (Parts{"a\rb\rc"}));

    options.set.detectEncoding = true;
    split({dir.path("cr.txt")});
    EXPECT_EQ(parts("cr", "cr"), (Parts{"a\rb\rc"}));

    options.set.fixLineBreaks = true;
    split({dir.path("cr.txt")});
    EXPECT_EQ(parts("cr", "cr"), (Parts{"a", "b", "c"}));
}

TEST_F(Lines, NulEndsALineAndIsSteppedOver) {
    writeFile(dir.path("z.txt"), std::string("ab\0cd\r\nef", 9));
    byLines("1", "1");
    options.set.deleteSources = true;
    split({dir.path("z.txt")});
    EXPECT_EQ(parts("z", "z"), (Parts{"ab", "", "cd", "ef"}));
    // The NUL byte itself is in no part, so the source stays.
    EXPECT_TRUE(fileExists(dir.path("z.txt")));

    options.set.skipBlankLines = true;
    std::filesystem::remove_all(dir.path("z"));
    split({dir.path("z.txt")});
    EXPECT_EQ(parts("z", "z"), (Parts{"ab", "cd", "ef"}));

    // Decoded text ends at its NUL: the rest is in no part and the source stays.
    options.set.detectEncoding = true;
    std::filesystem::remove_all(dir.path("z"));
    split({dir.path("z.txt")});
    EXPECT_EQ(parts("z", "z"), (Parts{"ab"}));
    EXPECT_TRUE(fileExists(dir.path("z.txt")));
}

TEST_F(Lines, Utf8WithoutDetectionKeepsItsLinesWhole) {
    const std::string text = "中文\n第二行\n";  // UTF-8: 文 ends in 0x87, 行 in 0x8C
    writeFile(dir.path("u.txt"), text);
    byLines("1", "1");
    split({dir.path("u.txt")});
    EXPECT_EQ(parts("u", "u"), (Parts{"中文", "第二行"}));
}

TEST_F(Lines, DetectedEncodingsAreWrittenBack) {
    const Text lines = lit("第一行\r\n第二行\r\n第三行");
    writeFile(dir.path("gbk.txt"), lines);
    writeFile(dir.path("le.txt"), "\xFF\xFE" + convertEncoding(lines, kCodePage, "UTF-16LE"));
    byLines("2", "2");
    options.set.detectEncoding = true;
    split({dir.path("gbk.txt"), dir.path("le.txt")});
    EXPECT_EQ(parts("gbk", "gbk"), (Parts{lit("第一行\r\n第二行"), lit("第三行")}));
    EXPECT_EQ(parts("le", "le"),
              (Parts{"\xFF\xFE" + convertEncoding(lit("第一行\r\n第二行"), kCodePage, "UTF-16LE"),
                     "\xFF\xFE" + convertEncoding(lit("第三行"), kCodePage, "UTF-16LE")}));
}

TEST_F(Lines, StopWritesTheGatheredLinesAndKeepsTheSource) {
    writeFile(dir.path("s.txt"), numberedLines(20));
    writeFile(dir.path("t.txt"), numberedLines(3));
    byLines("4", "4");
    options.set.deleteSources = true;
    int events = 0;
    host.onProcessEvents = [&] {
        if (++events == 7) stop = 1;  // before line 7 is read
    };
    auto summary = split({dir.path("s.txt"), dir.path("t.txt")});
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(parts("s", "s"), (Parts{"line1\r\nline2\r\nline3\r\nline4", "line5\r\nline6"}));
    EXPECT_TRUE(fileExists(dir.path("s.txt")));
    EXPECT_FALSE(fileExists(dir.path("t")));

    // Split to its end, with LF breaks turned into CR LF and blank lines skipped, it goes.
    host.onProcessEvents = nullptr;
    writeFile(dir.path("whole.txt"), "a\n\nb\nc\n");
    options.set.skipBlankLines = true;
    split({dir.path("whole.txt")});
    EXPECT_EQ(parts("whole", "whole"), (Parts{"a\r\nb\r\nc"}));
    EXPECT_FALSE(fileExists(dir.path("whole.txt")));
}

TEST_F(Lines, UnreadableSourcesWriteNothingAndTheJobGoesOn) {
    writeFile(dir.path("ok.txt"), "x\r\ny");
    byLines("1", "1");
    for (bool detect : {false, true}) {
        SCOPED_TRACE(detect);
        options.set.detectEncoding = detect;
        auto summary = split({dir.path("missing.txt"), dir.path("ok.txt")});
        EXPECT_EQ(summary.unreadableSources, 1);
        EXPECT_EQ(summary.partsWritten, 2);
        EXPECT_EQ(parts("ok", "ok"), (Parts{"x", "y"}));
    }
}

TEST_F(Lines, RangeBelowOneEndsTheJobInBothTextModes) {
    writeFile(dir.path("a.txt"), "a\r\nb");
    writeFile(dir.path("b.txt"), "c");
    struct Case {
        bool lines;
        const char *low, *high;
    };
    for (const Case& c : {Case{true, "0", "5"},
                          {true, "5", "0"},
                          {true, "x", "5"},
                          {true, "3", ""},
                          {false, "0", "3"},
                          {false, "3", "-1"}}) {
        SCOPED_TRACE(std::string(c.low) + ".." + c.high);
        host.messages.clear();
        splitHost.focused.reset();
        c.lines ? byLines(c.low, c.high) : byChars(c.low, c.high);
        auto summary = split({dir.path("a.txt"), dir.path("b.txt")});
        EXPECT_TRUE(summary.aborted);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text,
                  lit(c.lines ? texts::kLineCountAtLeastOne : texts::kCharCountAtLeastOne));
        EXPECT_EQ(splitHost.focused,
                  c.lines ? SplitOptionBox::LineCount : SplitOptionBox::CharCount);
        EXPECT_FALSE(fileExists(dir.path("a")));
        EXPECT_FALSE(fileExists(dir.path("b")));
    }
}

TEST_F(Lines, StageCaptionsOnTheStartButton) {
    writeFile(dir.path("u.txt"), "中文\n");
    byLines("1", "1");
    options.set.detectEncoding = true;
    options.set.fixLineBreaks = true;
    std::vector<std::string> captions;
    host.onProcessEvents = [&] {
        const std::string c = toUtf8(splitHost.stage);
        if (captions.empty() || captions.back() != c) captions.push_back(c);
    };
    split({dir.path("u.txt")});
    // The UTF-8 test lets events run while reading; the split shows its own stage afterwards.
    EXPECT_EQ(captions, (std::vector<std::string>{"读入文件..", "开始分割.."}));
    EXPECT_EQ(parts("u", "u"), (Parts{"\xEF\xBB\xBF中文"}));
}

}  // namespace
}  // namespace pw::test
