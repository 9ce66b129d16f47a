#include <set>

#include "platform/charset.h"
#include "split/part_writer.h"
#include "support/split_fixture.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

using PartText = SplitFixture;

TEST_F(PartText, PartsAreNamedAfterAPhraseOfTheirText) {
    writeFile(dir.path("book.txt"), "第一章 开始\r\n他说：你好。");  // UTF-8 without a mark
    options.set.nameAfterText = true;
    byCount("1");
    const SplitSummary summary = split({dir.path("book.txt")});
    EXPECT_EQ(summary.partsWritten, 1);
    const std::set<std::string> phrases = {"第一章.txt", "开始.txt", "他说.txt", "你好.txt"};
    EXPECT_TRUE(phrases.contains(listing(dir.path("book")))) << listing(dir.path("book"));
    EXPECT_EQ(readFile(dir.path("book/" + listing(dir.path("book")))),
              "第一章 开始\r\n他说：你好。");
}

TEST_F(PartText, ALongPhraseGivesTheNameOfItsFirstCharacters) {
    // Phrases longer than the head a name is first made from: what opens them is dropped or
    // trimmed, or full-width spaces only end the head (the name is cut to 255 bytes).
    const auto times = [](std::string_view s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a，" + times("\t", 5000) + times("x", 150), times("x", 100)},
        {"a，" + times("　", 2000) + times("汉", 80), times("汉", 80)},
        {"ab" + times("　", 2000) + "c", "ab" + times("　", 83)},
    };
    options.set.nameAfterText = true;
    byCount("1");
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string folder = dir.path("long" + std::to_string(i));
        writeFile(folder + ".txt", cases[i].first);
        split({folder + ".txt"});
        EXPECT_EQ(listing(folder), cases[i].second + ".txt") << i;
    }
}

TEST_F(PartText, TakenNamesFallBackToNumbersInsteadOfReplacingFiles) {
    // Both parts hold the same phrase: the second may not replace the first.
    writeFile(dir.path("same.txt"), "Chapter/Chapter");
    options.set.nameAfterText = true;
    options.set.intoSubfolder = false;
    byCount("2");
    split({dir.path("same.txt")});
    EXPECT_EQ(listing(dir.path()), "Chapter.txt same.txt same_2.txt");
    EXPECT_EQ(readFile(dir.path("Chapter.txt")) + readFile(dir.path("same_2.txt")),
              "Chapter/Chapter");

    // A phrase naming the source itself never replaces it.
    writeFile(dir.path("self/self.txt"), "self");
    byCount("1");
    split({dir.path("self/self.txt")});
    EXPECT_EQ(listing(dir.path("self")), "self.txt self_1.txt");
    EXPECT_EQ(readFile(dir.path("self/self.txt")), "self");

    // Characters a file name may not hold become their full-width forms.
    writeFile(dir.path("odd/odd.txt"), "a*b|c\\d");
    split({dir.path("odd/odd.txt")});
    EXPECT_EQ(listing(dir.path("odd")), "a＊b｜c＼d.txt odd.txt");
}

TEST_F(PartText, DetectedEncodingsAreWrittenBackWithTheirMark) {
    SplitContext ctx{{host, posixFileSystem(), systemClock()}, options, splitHost};
    SplitJobState state;
    state.startSource(fromUtf8(dir.path("src.txt")));
    state.run.outputFolder = fromUtf8(dir.path()) + "/";
    state.run.partNumber = 3;
    state.run.progressText = "(1/1)src.txt";
    const Text text = fromUtf8("文字 \xF0\x9F\x98\x80");
    PartContent part;
    part.setBytes(text);
    for (EncodingCode code : {kEncodingUtf8, kEncodingUtf16Be, kEncodingBig5}) {
        state.run.sourceEncoding = code;
        state.tally.jobParts.clear();  // each round stands for a job of its own
        ASSERT_TRUE(writePart(ctx, state, part));
        const std::string written = readFile(dir.path("src_3.txt"));
        const std::string expected =
            code == kEncodingUtf8 ? "\xEF\xBB\xBF" + toUtf8(text)
            : code == kEncodingUtf16Be
                ? "\xFE\xFF" + *convertCharset(text, "GB18030", "UTF-16BE")
                : *convertCharset(text, "GB18030", "BIG5");  // no mark; the emoji becomes "?"
        EXPECT_EQ(written, expected);
    }
    EXPECT_EQ(host.progressText, "[3] (1/1)src.txt");
    EXPECT_EQ(state.tally.partsWritten, 3);

    state.run.outputFolder = fromUtf8(dir.path("missing")) + "/";
    EXPECT_FALSE(writePart(ctx, state, part));
    EXPECT_EQ(state.tally.failedOutputs, 1);
    EXPECT_FALSE(state.run.sourceIntact);
}

}  // namespace
}  // namespace pw::test
