#include <gtest/gtest.h>

#include "text/regex_helper.h"

namespace pw {
namespace {

TEST(RegexHelper, WildcardsBecomePatterns) {
    EXPECT_EQ(RegexHelper::wildcardToPattern("a.b"), "a\\.b");
    EXPECT_EQ(RegexHelper::wildcardToPattern("*.txt"), ".*\\.txt");
    EXPECT_EQ(RegexHelper::wildcardToPattern("(x)"), "\\(x\\)");
    EXPECT_EQ(RegexHelper::wildcardToPattern("f?"), "f.?");
    EXPECT_EQ(RegexHelper::wildcardToPattern(""), "");
    EXPECT_EQ(RegexHelper::wildcardToPattern("\\"), "\\\\");
    EXPECT_EQ(RegexHelper::wildcardToPattern("a|b"), "a|b");
    EXPECT_EQ(RegexHelper::wildcardToPattern("^$+{}[]=-\""), "\\^\\$\\+\\{\\}\\[\\]\\=\\-\\\"");
    // The second byte of 乗 (81 5C) is a backslash byte, and of 乕 (81 5B) a "[": both stay.
    EXPECT_EQ(RegexHelper::wildcardToPattern("\x81\x5C\x81\x5B."), "\x81\x5C\x81\x5B\\.");

    // The pattern made from a wildcard matches what the wildcard means.
    RegexHelper r;
    r.create(RegexHelper::wildcardToPattern("(1+1)=2?"));
    EXPECT_EQ(r.replace("say (1+1)=2", "#"), "say #");
    EXPECT_EQ(r.replace("(1+1)=", "#"), "(1+1)=");
}

TEST(RegexHelper, OptionsDefaultToCaseFreeMultiLineAndGlobal) {
    RegexHelper r;
    r.create("abc");
    EXPECT_EQ(r.replace("ABC abc aBc", "x"), "x x x");

    r.create("abc", RegexCase::Sensitive);
    EXPECT_EQ(r.replace("ABC abc", "x"), "ABC x");

    r.create("^a", RegexCase::Ignored, RegexLines::Multi, RegexMatches::First);
    EXPECT_EQ(r.replace("a\na\ra", "-"), "-\na\ra");

    // Multi-line: CR, LF and CR LF all end lines; the subject's end closes a line too.
    r.create("^x|x$");
    EXPECT_EQ(r.replace("x1x\rx2x\nx3x\r\nx4x", "_"), "_1_\r_2_\n_3_\r\n_4_");
    r.create("^x|x$", RegexCase::Ignored, RegexLines::Single);
    EXPECT_EQ(r.replace("x1x\rx2x\nx3x", "_"), "_1x\rx2x\nx3_");
}

TEST(RegexHelper, LookAroundClassesOfChineseAndLiteralReplacements) {
    RegexHelper r;
    r.create("\\r(?!\\n)|(?<!\\r)\\n");
    EXPECT_EQ(r.replace("a\nb\rc", "\r\n"), "a\r\nb\r\nc");
    EXPECT_EQ(r.replace("\n\r", "\r\n"), "\r\n\r\n");

    // A class of double-byte characters matches each as one character, never half of one.
    r.create(lit("[，。]"));
    EXPECT_EQ(r.replace(lit("甲，乙。丙"), "|"), lit("甲|乙|丙"));
    // 。 is A1 A3; 啊＃ is B0 A1 A3 A3, which holds those bytes across two characters.
    EXPECT_EQ(r.replace("\xB0\xA1\xA3\xA3", "|"), "\xB0\xA1\xA3\xA3");

    // Replacements are literal: no group references, no escapes.
    r.create("(b)");
    EXPECT_EQ(r.replace("abc", "$1\\0[\xA1\xCD]"), "a$1\\0[\xA1\xCD]c");

    // Empty matches step over whole characters.
    r.create("x*");
    EXPECT_EQ(r.replace(lit("a中"), "-"), lit("-a-中-"));
}

TEST(RegexHelper, BytesThatFormNoCharacterStayAsTheyAre) {
    RegexHelper r;
    r.create("a");
    EXPECT_EQ(r.replace("a\xFF"
                        "a",
                        "b"),
              "b\xFF"
              "b");
    EXPECT_EQ(r.replace("\x80\xC0\xC1\x81 a\xFE", "b"), "\x80\xC0\xC1\x81 b\xFE");
    // No match takes such a byte, not even "anything".
    r.create(".+");
    EXPECT_EQ(r.replace("xy\x80z\xFF", "-"), "-\x80-\xFF");
    // The escape of a stray byte is no character the text could hold itself.
    r.create("q");
    const Text text = fromUtf8("\xC3\x80 q \xF4\x8F\xB2\x80");
    EXPECT_EQ(r.replace(text, "\xFF"),
              fromUtf8("\xC3\x80 ") + "\xFF" + fromUtf8(" \xF4\x8F\xB2\x80"));
}

TEST(RegexHelper, BrokenPatternsGiveTheEmptyTextAndCopiesKeepTheirPattern) {
    RegexHelper r;
    EXPECT_EQ(r.replace("abc", "x"), "");  // nothing created yet
    r.create("a(b");
    EXPECT_FALSE(r.compiled());
    EXPECT_EQ(r.replace("abc", "x"), "");

    r.create("b");
    RegexHelper copy = r;
    r.create("c");
    EXPECT_EQ(copy.replace("abc", "x"), "axc");
    EXPECT_EQ(r.replace("abc", "x"), "abx");
    EXPECT_EQ(r.replace("", "x"), "");
}

}  // namespace
}  // namespace pw
