#include <gtest/gtest.h>

#include <chrono>

#include "platform/charset.h"

namespace pw {
namespace {

// Texts long enough to take many pieces of the converter, with substitutions across their edges.
std::string repeated(std::string_view unit, size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += unit;
    return s;
}

std::string times(std::string_view unit, size_t count) {
    std::string s;
    for (size_t i = 0; i < count; ++i) s += unit;
    return s;
}

TEST(Charset, LongConversionsMatchPieceByPiece) {
    const std::string line = times("ab中文 ", 100) + "\xF0\x9F\x98\x80";
    const std::string utf8 = times(line + "\xFF", 500);
    const auto gb = convertCharset(utf8, "UTF-8", "GB18030");
    ASSERT_TRUE(gb);
    EXPECT_TRUE(convertCharset(*gb, "GB18030", "UTF-8") == times(line + "\xEF\xBF\xBD", 500));
    // Big5 lacks the emoji but has 文: each emoji becomes one "?".
    const auto big5 = convertCharset(*gb, "GB18030", "BIG5");
    ASSERT_TRUE(big5);
    EXPECT_EQ(std::count(big5->begin(), big5->end(), '?'), 500 + 500);
}

TEST(Charset, InPlaceGivesTheSameBytesAsACopy) {
    struct Case {
        std::string input;
        size_t start;
        const char* from;
        const char* to;
    };
    const std::vector<Case> cases = {
        // Shrinking: the result fits behind what was read.
        {"\xEF\xBB\xBF" + repeated("中文 text，", 2 << 20), 3, "UTF-8", "GB18030"},
        // Growing: Arabic takes four bytes in GB18030 for two in UTF-8; ASCII doubles in UTF-16.
        {repeated("\xD8\xA7\xD8\xA8", 1 << 20), 0, "UTF-8", "GB18030"},
        {repeated("ascii ", 1 << 20), 0, "UTF-8", "UTF-16LE"},
        // Invalid input in the middle, and a cut-off character at the end.
        {"x" + repeated("a\xFF\xE4\xB8\xAD", 100000) + "\xE4\xB8", 1, "UTF-8", "GB18030"},
        {"", 0, "UTF-8", "GB18030"},
        {"abc", 3, "UTF-8", "GB18030"},
    };
    for (const Case& c : cases) {
        const auto copy = convertCharset(std::string_view(c.input).substr(c.start), c.from, c.to);
        std::string buffer = c.input;
        ASSERT_TRUE(convertCharsetInPlace(buffer, c.start, c.from, c.to));
        EXPECT_TRUE(buffer == *copy) << c.from << " -> " << c.to << ", " << c.input.size();
    }
    std::string unchanged = "abc";
    EXPECT_FALSE(convertCharsetInPlace(unchanged, 0, "UTF-8", "NO-SUCH-CHARSET"));
    EXPECT_EQ(unchanged, "abc");
}

TEST(Charset, RunsOfInvalidBytesAreReplacedOneByOneInLinearTime) {
    const std::string fffd = "\xEF\xBF\xBD";
    // Runs end where a valid character starts, whatever bytes it begins with.
    EXPECT_EQ(convertCharset("\x80\xFF\x81\x20\x81\x30\x81\x30\xB0\xA1\x80", "GB18030", "UTF-8"),
              times(fffd, 2) + fffd + " " + "\xC2\x80" + "\xE5\x95\x8A" + fffd);
    EXPECT_EQ(convertCharset("\x80\xBF\xC0\xC3\xA9\xF5\xE4\xB8\xAD\xE4", "UTF-8", "GB18030"),
              times("\x84\x31\xA4\x37", 3) + "\xA8\xA6" + "\x84\x31\xA4\x37" + "\xD6\xD0" +
                  "\x84\x31\xA4\x37");

    // 32 MiB of bytes that are no character: seconds at most, not one conversion per byte.
    const std::string invalid(32 << 20, '\x80');
    const auto start = std::chrono::steady_clock::now();
    const auto utf8 = convertCharset(invalid, "GB18030", "UTF-8");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->size(), invalid.size() * 3);
    EXPECT_EQ(utf8->substr(utf8->size() - 6), times(fffd, 2));
}

TEST(Charset, EverySubstituteIsCounted) {
    size_t n = 99;
    // Clean text: none.
    EXPECT_TRUE(convertCharset("ab\xE4\xB8\xAD", "UTF-8", "GB18030", &n));
    EXPECT_EQ(n, 0u);
    // An odd byte at the end of UTF-16: one U+FFFD.
    EXPECT_EQ(convertCharset(std::string("a\0b\0c", 5), "UTF-16LE", "UTF-8", &n), "ab\xEF\xBF\xBD");
    EXPECT_EQ(n, 1u);
    // Simplified characters Big5 lacks: one "?" each, the traditional one kept.
    const auto gb = convertCharset("\xE5\x9B\xBD\xE5\x9B\xBD\xE4\xB8\xAD", "UTF-8", "GB18030");
    ASSERT_TRUE(gb);
    EXPECT_EQ(convertCharset(*gb, "GB18030", "BIG5", &n)->substr(0, 2), "??");
    EXPECT_EQ(n, 2u);
    // A private-use character glibc's GB18030 has no code for takes the standard's code; invalid
    // bytes handled by the caller's substitute are counted.
    EXPECT_TRUE(convertCharset("x\xEE\xA0\x9E", "UTF-8", "GB18030", &n));
    EXPECT_EQ(n, 0u);
    const InvalidInput dropOne = [](std::string_view, std::string& out) -> size_t {
        out += '#';
        return 1;
    };
    EXPECT_EQ(convertCharset("a\xFF\xFE"
                             "b",
                             "UTF-8", "GB18030", dropOne, &n),
              "a##b");
    EXPECT_EQ(n, 2u);
    // In place, over many pieces.
    std::string buffer = times("ok\xFF", 200000);
    ASSERT_TRUE(convertCharsetInPlace(buffer, 0, "UTF-8", "UTF-16LE", &n));
    EXPECT_EQ(n, 200000u);
}

}  // namespace
}  // namespace pw
