#include <gtest/gtest.h>

#include <random>

#include "files/path_ops.h"
#include "platform/files.h"
#include "split/part_writer.h"
#include "split/random_draw.h"
#include "split/strip_tags.h"

namespace pw {
namespace {

TEST(PathOps, NamesAndExtensions) {
    EXPECT_EQ(folderOf("/x/report.final.txt"), "/x");
    EXPECT_EQ(fileNameOf("/x/report.final.txt"), "report.final.txt");
    EXPECT_EQ(baseNameOf("/x/report.final.txt"), "report.final");
    EXPECT_EQ(extensionOf("/x/report.final.txt"), "txt");
    EXPECT_EQ(baseNameOf("/x/README"), "README");
    EXPECT_EQ(extensionOf("/x/README"), "");
    EXPECT_EQ(folderOf("plain"), "");
    EXPECT_EQ(fileNameOf("plain"), "plain");
    EXPECT_EQ(extensionOf("/a.d/b"), "");  // a dot in the folder is not an extension
    // 中文.txt: the dot search walks characters, never into a double-byte one.
    const Text chinese = lit("/资料/中文.txt");
    EXPECT_EQ(baseNameOf(chinese), lit("中文"));
    EXPECT_EQ(folderOf(chinese), lit("/资料"));
}

TEST(PartNames, CleaningRefusedCharacters) {
    EXPECT_EQ(cleanFileName("a/b?c"), lit("a／b？c"));
    EXPECT_EQ(cleanFileName("\\:*|<>"), lit("＼：＊｜＜＞"));
    EXPECT_EQ(cleanFileName("say \"hi\"\r\nnow\tand\rthen\n"), "say hinowandthen");
    // 0x5C is a second byte of 乗 in GBK (81 5C); it is no backslash there.
    EXPECT_EQ(cleanFileName("\x81\x5C"), "\x81\x5C");
}

TEST(PartNames, NamesFitTheFileSystemAndKeepTheirNumber) {
    FileSystem& fs = posixFileSystem();
    const Text ascii150(150, 'a');
    EXPECT_EQ(fitPartName(fs, ascii150, "", "txt"), Text(100, 'a'));
    EXPECT_EQ(fitPartName(fs, ascii150, "_12", "txt"), Text(97, 'a') + "_12");

    Text wide;
    for (int i = 0; i < 120; ++i) wide += lit("字");
    // 100 characters would be 300 bytes of UTF-8: cut to 83 (249 bytes + ".txt").
    const Text fitted = fitPartName(fs, wide, "", "txt");
    EXPECT_EQ(fitted.size(), 83u * 2);
    EXPECT_LE(fs.nativeNameBytes(fitted + ".txt"), 255u);
    Text narrowWide;
    for (int i = 0; i < 120; ++i) narrowWide += "\xA1\xA1";  // also 3 bytes in UTF-8
    EXPECT_EQ(fitPartName(fs, narrowWide, "_1", "").size(), 84u * 2 + 2);
}

TEST(StripTags, RemovesInnermostSpansInOnePass) {
    EXPECT_EQ(stripTags("<p>Hello</p>"), "Hello");
    EXPECT_EQ(stripTags("a<b>c"), "ac");
    EXPECT_EQ(stripTags("a<b<c>d"), "a<bd");
    EXPECT_EQ(stripTags("<a<b>c>"), "<ac>");
    EXPECT_EQ(stripTags("x>y"), "x>y");
    EXPECT_EQ(stripTags("x" + std::string(10, '\xFF') + "y"), "xy");
}

TEST(StripTags, AgreesWithMarkingSpansAndRemovingTheMarks) {
    // The written rule: each span becomes ten 0xFF bytes, then every occurrence of those ten
    // goes, so 0xFF bytes around a span join the mark. Random texts of the bytes that matter.
    const std::string mark(10, '\xFF');
    const auto byRule = [&](const std::string& text) {
        std::string marked;
        size_t open = std::string::npos, copied = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '<') open = i;
            if (text[i] != '>') continue;
            if (open != std::string::npos) {
                marked += text.substr(copied, open - copied) + mark;
                copied = i + 1;
            }
            open = std::string::npos;
        }
        marked += text.substr(copied);
        std::string out;
        size_t pos = 0;
        for (size_t hit; (hit = marked.find(mark, pos)) != std::string::npos; pos = hit + 10)
            out += marked.substr(pos, hit - pos);
        return out + marked.substr(pos);
    };
    std::mt19937 rng(7);
    const std::string bytes =
        "<>\xFF\xFF\xFF\xFF"
        "a";
    for (int round = 0; round < 20000; ++round) {
        std::string text(rng() % 40, ' ');
        for (char& c : text) c = bytes[rng() % bytes.size()];
        ASSERT_EQ(stripTags(text), byRule(text)) << ::testing::PrintToString(text);
    }
}

class FixedClock : public Clock {
  public:
    uint64_t tickMs() override { return 42; }
};

TEST(RandomDraw, RangesKeepTheirBounds) {
    FixedClock clock;
    RandomSource rng;
    rng.seed(clock);
    for (int i = 0; i < 1000; ++i) {
        int64_t v = random(rng, 10, 5);
        EXPECT_TRUE(v >= 5 && v <= 10);
        EXPECT_EQ(random(rng, -4, 0), 0);
    }
}

}  // namespace
}  // namespace pw
