#include <gtest/gtest.h>

#include "text/html_charset.h"

namespace pw {
namespace {

DeclaredCharset inHead(const std::string& metas) {
    return htmlDeclaredCharset("<html><head><title>t</title>" + metas + "</head><body></body>");
}

TEST(HtmlCharset, RecognisedDeclarations) {
    EXPECT_EQ(inHead("<meta charset=\"utf-8\">"), DeclaredCharset::Utf8);
    EXPECT_EQ(inHead("<meta charset='utf-8'>"), DeclaredCharset::Utf8);
    EXPECT_EQ(inHead("<META HTTP-EQUIV=x CONTENT=\"text/html; CHARSET=UTF-8\">"),
              DeclaredCharset::Utf8);
    EXPECT_EQ(inHead("<meta content='text/html; charset=big5'>"), DeclaredCharset::Big5);
    EXPECT_EQ(inHead("<meta content='text/html; charset=Big5-HKSCS'>"), DeclaredCharset::Big5Hkscs);
    EXPECT_EQ(inHead("<meta charset=\"big5-hkscs\">"), DeclaredCharset::Big5Hkscs);
    // A page without a head section is searched whole.
    EXPECT_EQ(htmlDeclaredCharset("<meta charset=big5><p>x</p>"), DeclaredCharset::Big5);
    EXPECT_EQ(htmlDeclaredCharset("<head lang=zh><meta charset=big5></head>"),
              DeclaredCharset::Big5);
}

TEST(HtmlCharset, TheFirstDeclaringTagDecidesAndAnEmptyTagEndsTheScan) {
    EXPECT_EQ(inHead("<meta charset='gb2312'><meta charset='utf-8'>"), DeclaredCharset::Utf8);
    EXPECT_EQ(inHead("<meta charset=big5><meta charset=utf-8>"), DeclaredCharset::Big5);
    EXPECT_EQ(inHead("<meta><meta charset='utf-8'>"), DeclaredCharset::None);
    EXPECT_EQ(inHead("<meta charset='gb2312'>"), DeclaredCharset::None);
}

TEST(HtmlCharset, DeclarationsThatDoNotCount) {
    // Outside the head of a page that has one.
    EXPECT_EQ(htmlDeclaredCharset("<head><title>x</title></head><meta charset=utf-8>"),
              DeclaredCharset::None);
    // Not inside a meta tag.
    EXPECT_EQ(htmlDeclaredCharset("plain text about charset=utf-8"), DeclaredCharset::None);
    EXPECT_EQ(inHead("<meta charset = UTF-8>"), DeclaredCharset::None);
    EXPECT_EQ(htmlDeclaredCharset(""), DeclaredCharset::None);
    // A lead byte takes the "<" after it as its second byte, so no tag starts there.
    EXPECT_EQ(htmlDeclaredCharset("\xB0<meta charset=utf-8>"), DeclaredCharset::None);
}

TEST(HtmlCharset, ContainsAnyItemOfAList) {
    EXPECT_TRUE(containsAny("xx CHARSET=BIG5 yy", "charset=UTF-8[fg]charset=Big5"));
    EXPECT_FALSE(containsAny("charset=gbk", "charset=UTF-8[fg]charset=Big5"));
    EXPECT_FALSE(containsAny("anything", ""));
    EXPECT_FALSE(containsAny("anything", "zz[fg]"));       // the empty last item is dropped
    EXPECT_TRUE(containsAny("anything", "zz[fg][fg]yy"));  // an inner empty item occurs anywhere
}

}  // namespace
}  // namespace pw
