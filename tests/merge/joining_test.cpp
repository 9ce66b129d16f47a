#include <gtest/gtest.h>

#include "support/merge_fixture.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"

namespace pw::test {
namespace {

using Joining = MergeFixture;

std::string gbk(const std::string& utf8) {
    return fromUtf8(utf8);
}

TEST_F(Joining, IntermediateDataStandsOnlyBetweenFiles) {
    writeFile(dir.path("a.txt"), "AAA");
    writeFile(dir.path("b.txt"), "");
    writeFile(dir.path("c.txt"), "C\nC");
    const std::vector<std::string> abc = {dir.path("a.txt"), dir.path("b.txt"), dir.path("c.txt")};

    useText("我是中间字符串");
    MergeSummary s = mergeFiles(abc);
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("a等3个文件.txt"));
    const std::string d = "\xCE\xD2\xCA\xC7\xD6\xD0\xBC\xE4\xD7\xD6\xB7\xFB\xB4\xAE";  // 14 bytes
    EXPECT_EQ(readFile(dir.path("a等3个文件.txt")), "AAA" + d + d + "C\nC");
    EXPECT_EQ(host.progressMaximum, 3);
    EXPECT_EQ(toUtf8(host.progressText), "(3/3)c.txt");

    // Line breaks of the two-line box are CR LF.
    useText("--\r\n--");
    mergeFiles(abc);
    EXPECT_EQ(readFile(dir.path("a等3个文件.txt")), "AAA--\r\n----\r\n--C\nC");

    // The file option: its bytes as they are, NULs included; a missing file gives nothing.
    writeFile(dir.path("sep.bin"), std::string("\0|\xFF", 3));
    useFile(dir.path("sep.bin"));
    mergeFiles({dir.path("a.txt"), dir.path("c.txt")});
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "AAA" + std::string("\0|\xFF", 3) + "C\nC");
    useFile(dir.path("missing.bin"));
    mergeFiles({dir.path("a.txt"), dir.path("c.txt")});
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "AAAC\nC");

    // Nothing between: nothing.
    options.set.joinWith = JoinWith::Nothing;
    mergeFiles({dir.path("a.txt"), dir.path("c.txt")});
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "AAAC\nC");
    mergeFiles({dir.path("c.txt"), dir.path("a.txt")});
    EXPECT_EQ(readFile(dir.path("c等2个文件.txt")), "C\nCAAA");

    // One file: a copy of it, no intermediate data.
    useText("x");
    mergeFiles({dir.path("a.txt")});
    EXPECT_EQ(readFile(dir.path("a等1个文件.txt")), "AAA");
}

TEST_F(Joining, WithoutEncodingHandlingBytesAreCopiedExactly) {
    const std::string utf16 = "\xFF\xFEh\0i\0";  // UTF-16LE with its mark
    const std::string binary("\x00\x01\x02\xFF\x00zz", 7);
    writeFile(dir.path("1.txt"), "one");
    writeFile(dir.path("2.txt"), std::string(utf16.data(), 6));
    writeFile(dir.path("3.bin"), binary);
    writeFile(dir.path("empty"), "");
    mergeFiles({dir.path("1.txt"), dir.path("2.txt"), dir.path("3.bin")});
    EXPECT_EQ(readFile(dir.path("1等3个文件.txt")), "one" + std::string(utf16.data(), 6) + binary);

    // A first file without extension names an output without a trailing dot.
    mergeFiles({dir.path("empty"), dir.path("empty")});
    EXPECT_TRUE(fileExists(dir.path("empty等2个文件")));
    EXPECT_EQ(readFile(dir.path("empty等2个文件")), "");
}

TEST_F(Joining, EncodingHandlingBringsTheOutputToTheLastFilesEncoding) {
    options.set.handleEncoding = true;
    writeFile(dir.path("u.txt"), "\xEF\xBB\xBF中文");  // UTF-8 with its mark
    writeFile(dir.path("g.txt"), gbk("汉字"));
    writeFile(dir.path("x.txt"), std::string("ab\0cd", 5));

    // UTF-8 then the code page: all in the code page, no mark.
    mergeFiles({dir.path("u.txt"), dir.path("g.txt")});
    EXPECT_EQ(readFile(dir.path("u等2个文件.txt")), gbk("中文汉字"));

    // The code page then UTF-8: all of it in UTF-8, the intermediate text too, the mark first.
    useText("、");
    mergeFiles({dir.path("g.txt"), dir.path("u.txt")});
    EXPECT_EQ(readFile(dir.path("g等2个文件.txt")), "\xEF\xBB\xBF汉字、中文");

    // A binary file is cut at its first zero byte.
    options.set.joinWith = JoinWith::Nothing;
    mergeFiles({dir.path("x.txt"), dir.path("g.txt")});
    EXPECT_EQ(readFile(dir.path("x等2个文件.txt")), "ab" + gbk("汉字"));

    // UTF-16LE last: the output is UTF-16LE with its mark.
    writeFile(dir.path("w.txt"), std::string("\xFF\xFEO\0K\0", 6));
    mergeFiles({dir.path("g.txt"), dir.path("w.txt")});
    EXPECT_EQ(readFile(dir.path("g等2个文件.txt")),
              std::string("\xFF\xFE\x49\x6C\x57\x5BO\0K\0", 10));
}

}  // namespace
}  // namespace pw::test
