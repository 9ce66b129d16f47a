#include <gtest/gtest.h>

#include "platform/charset.h"
#include "support/temp_dir.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"

namespace pw {
namespace {

using test::TempDir;

// Bytes of a UTF-8 text in another charset, made with iconv.
ByteBuffer in(const char* charset, std::string_view utf8) {
    return convertCharset(utf8, "UTF-8", charset).value();
}

TEST(ConvertEncoding, ReencodesWithoutMarks) {
    const std::string utf8 = "中文 text 繁體";
    const Text text = fromUtf8(utf8);
    EXPECT_EQ(convertEncoding(text, "GB18030", "UTF-8"), utf8);
    EXPECT_EQ(convertEncoding(text, "GB18030", "UTF-16LE"), in("UTF-16LE", utf8));
    EXPECT_EQ(convertEncoding(text, "GB18030", "UTF-16LE").substr(0, 2), "\x2D\x4E");
    EXPECT_EQ(convertEncoding(text, "GB18030", "UTF-16BE").substr(0, 2), "\x4E\x2D");
    for (const char* charset : {"UTF-8", "UTF-16LE", "UTF-16BE", "BIG5", "BIG5-HKSCS"})
        EXPECT_EQ(convertEncoding(convertEncoding(text, "GB18030", charset), charset, "GB18030"),
                  text)
            << charset;

    EXPECT_EQ(convertEncoding("", "UTF-8", "GB18030"), "");
    EXPECT_EQ(convertEncoding("abc", "NO-SUCH-CHARSET", "GB18030"), "");
    EXPECT_EQ(convertEncoding("abc", "UTF-8", "NO-SUCH-CHARSET"), "");
}

TEST(ConvertEncoding, SubstitutesInsteadOfDropping) {
    // Big5 has no emoji and no simplified 们: each becomes "?", everything around survives.
    const Text text = fromUtf8("a\xF0\x9F\x98\x80们b");
    EXPECT_EQ(convertEncoding(text, "GB18030", "BIG5"), "a??b");
    EXPECT_EQ(convertEncoding(text, "GB18030", "UTF-16BE"), in("UTF-16BE", toUtf8(text)));
    // Invalid input becomes the replacement character, which GB18030 holds (84 31 A4 37).
    EXPECT_EQ(convertEncoding("a\xFF"
                              "b",
                              "UTF-8", "GB18030"),
              "a\x84\x31\xA4\x37"
              "b");
    EXPECT_EQ(convertEncoding("a\xE4\xB8", "UTF-8", "GB18030").substr(0, 5), "a\x84\x31\xA4\x37");
    // A cut-off UTF-16 unit at the end is invalid, not lost silently with what comes before.
    EXPECT_EQ(convertEncoding(std::string("a\0b", 3), "UTF-16LE", "GB18030").substr(0, 1), "a");
    // An emoji survives UTF-8 -> code page -> UTF-16 -> UTF-8.
    const std::string emoji = "\xF0\x9F\x98\x80";
    EXPECT_EQ(convertEncoding(convertEncoding(convertEncoding(emoji, "UTF-8", "GB18030"), "GB18030",
                                              "UTF-16LE"),
                              "UTF-16LE", "UTF-8"),
              emoji);
}

TEST(EncodeText, MarksForTheUnicodeCodesOnly) {
    const Text text = fromUtf8("甲乙 ab");
    EXPECT_EQ(encodeText(text, kEncodingUtf8, true), "\xEF\xBB\xBF" + toUtf8(text));
    EXPECT_EQ(encodeText(text, kEncodingUtf16Le, true), "\xFF\xFE" + in("UTF-16LE", "甲乙 ab"));
    EXPECT_EQ(encodeText(text, kEncodingUtf16Be, true), "\xFE\xFF" + in("UTF-16BE", "甲乙 ab"));
    EXPECT_EQ(encodeText(text, kEncodingBig5, true), in("BIG5", "甲乙 ab"));
    EXPECT_EQ(encodeText(text, kEncodingBig5Hkscs, true), in("BIG5-HKSCS", "甲乙 ab"));
    EXPECT_EQ(encodeText(text, kEncodingUtf8, false), toUtf8(text));
    EXPECT_EQ(encodeText(text, kEncodingCodePage, true), text);
    EXPECT_EQ(encodeText(text, kEncodingUnknown, true), text);
    // The text ends at a NUL; an empty text gets no mark.
    EXPECT_EQ(encodeText(std::string("ab\0cd", 5), kEncodingUtf8, true),
              "\xEF\xBB\xBF"
              "ab");
    EXPECT_EQ(encodeText("", kEncodingUtf8, true), "");
}

TEST(WriteTextInEncoding, WritesWholeFilesAndReportsFailures) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    const Text path = fromUtf8(dir.path("部分.txt"));
    test::writeFile(dir.path("部分.txt"), "old content that is longer");
    EXPECT_TRUE(writeTextInEncoding(fs, path, fromUtf8("新"), kEncodingUtf16Be, true));
    EXPECT_EQ(test::readFile(dir.path("部分.txt")), "\xFE\xFF\x65\xB0");
    EXPECT_TRUE(writeTextInEncoding(fs, path, "", kEncodingUtf8, true));
    EXPECT_EQ(test::readFile(dir.path("部分.txt")), "");

    EXPECT_FALSE(
        writeTextInEncoding(fs, fromUtf8(dir.path("missing/x.txt")), "x", kEncodingUtf8, true));
    EXPECT_EQ(test::listing(dir.path()), "部分.txt");  // no temporary file left behind
}

}  // namespace
}  // namespace pw
