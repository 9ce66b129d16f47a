#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <vector>

#include "platform/native_names.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw {
namespace {

TEST(CodePage, LiteralsBecomeGbkBytes) {
    EXPECT_EQ(lit("我是中间字符串"), "\xCE\xD2\xCA\xC7\xD6\xD0\xBC\xE4\xD7\xD6\xB7\xFB\xB4\xAE");
    EXPECT_EQ(lit(texts::kPartCountMustBePositive),
              "\xB7\xDD\xCA\xFD\xB1\xD8\xD0\xEB\xB4\xF3\xD3\xDA"
              "0");
    EXPECT_EQ(lit("plain"), "plain");
}

TEST(CodePage, TrimSpacesKeepsCharactersWhole) {
    EXPECT_EQ(trimSpaces(lit("　 a　b 　")), lit("a　b"));
    EXPECT_EQ(trimSpaces("  "), "");
    EXPECT_EQ(trimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");  // 啊 then a lone lead byte
    EXPECT_EQ(trimSpaces("\t x \t"), "\t x \t");            // tabs are not spaces here
}

TEST(CodePage, EveryCharacterSurvivesTheRoundTrip) {
    // An emoji and a Korean syllable are outside GBK; GB18030 holds them in four bytes.
    const std::string utf8 = "中文 \xF0\x9F\x98\x80 \xEA\xB0\x80 €";
    const Text text = fromUtf8(utf8);
    EXPECT_EQ(toUtf8(text), utf8);
    EXPECT_EQ(countChars(text), 8u);
    EXPECT_EQ(bytesAsText(std::string("ab\0cd", 5)), "ab");
}

TEST(CodePage, EveryNativeNameRoundTripsByteForByte) {
    const std::vector<std::string> names = {
        "bad\xFF.txt",
        "\xFF\xFE.txt",
        "\xEF\xBF\xBD\xEF\xBF\xBD.txt",            // two U+FFFD: another name than the one above
        "gbk\xC4\xE3\xBA\xC3.txt",                 // a GBK name from an archive
        "\xE4\xB8",                                // a character cut off at the end
        "\xC0\xAF \xED\xA0\x80 \xF5\x80\x80\x80",  // overlong, surrogate, beyond Unicode
        "\x80\xBF lone continuations",
        "\xF4\x8F\xB2\x80 \xF4\x8F\xB3\xBF",  // the escape characters themselves, valid UTF-8
        "\xF4\x8F\xB2\xF4\x8F\xB2\x80",       // one cut off just before a whole one
        "中文 \xF0\x9F\x98\x80 name",
    };
    std::set<Text> seen;
    for (const std::string& native : names) {
        const Text text = fromNativeName(native);
        EXPECT_EQ(toNativeName(text), native) << native;
        EXPECT_TRUE(seen.insert(text).second) << "two names became one: " << native;
        // Escapes are whole characters, so cutting names never splits one.
        EXPECT_EQ(countChars(text), countChars(fromNativeName(toNativeName(text))));
    }
    // Valid names are plain code-page text, as before.
    EXPECT_EQ(fromNativeName("中文.txt"), lit("中文.txt"));
    EXPECT_EQ(countChars(fromNativeName("a\xFF")), 2u);
}

TEST(Chars, CountingAndCutting) {
    EXPECT_EQ(countChars("a\r\nb\rc\n"), 6u);  // CR LF is one character
    EXPECT_EQ(countChars("\n\r"), 2u);
    EXPECT_EQ(leftChars("ab\r\ncd", 3), "ab\r\n");
    const Text mixed = lit("字a") + "\x81\x30\x81\x30" + "z";
    EXPECT_EQ(countChars(mixed), 4u);
    EXPECT_EQ(leftChars(mixed, 3), lit("字a") + "\x81\x30\x81\x30");
    EXPECT_EQ(leftChars(mixed, 99), mixed);
    EXPECT_EQ(countChars("\xB0"), 1u);  // a lead byte cut off by the end
}

TEST(NumericText, IntegersAndDecimalsFromEditBoxes) {
    EXPECT_EQ(textToInt("  42abc"), 42);
    EXPECT_EQ(textToInt("3.7"), 3);
    EXPECT_EQ(textToInt("-5"), -5);
    EXPECT_EQ(textToInt("abc"), 0);
    EXPECT_EQ(textToInt(lit("１２")), 12);
    EXPECT_EQ(textToInt(lit("　７")), 7);  // an ideographic space is white space too
    EXPECT_EQ(textToInt("99999999999"), 2147483647);
    EXPECT_EQ(textToFloat("123456789"), 123456792.0f);
    EXPECT_FLOAT_EQ(textToFloat("1.5e1x"), 15.0f);
    EXPECT_FLOAT_EQ(textToFloat(lit("３．５")), 3.5f);
    EXPECT_FLOAT_EQ(textToFloat("-0.25"), -0.25f);
    EXPECT_EQ(textToFloat("."), 0.0f);
    EXPECT_EQ(textToFloat("1e-999"), 0.0f);
    // A "-" after the number does not make a huge exponent tiny.
    EXPECT_EQ(textToFloat("1e999-"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(textToFloat("-1e999"), -std::numeric_limits<float>::infinity());
    // Out of range by its digits, not its exponent: the exponent's sign does not say which way.
    EXPECT_EQ(textToFloat(std::string(400, '4') + "e-0"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(textToFloat("0." + std::string(400, '0') + "1e+5"), 0.0f);
}

}  // namespace
}  // namespace pw
