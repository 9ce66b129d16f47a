#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include "support/gzip_bytes.h"

#include "platform/charset.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "text/codepage.h"
#include "text/encoding_detect.h"

namespace pw {
namespace {

using test::TempDir;

ByteBuffer in(const char* charset, std::string_view utf8) {
    return convertCharset(utf8, "UTF-8", charset).value();
}

using pw::test::gzipped;

class Detect : public ::testing::Test {
  protected:
    DecodedText detect(const ByteBuffer& bytes) {
        test::writeFile(dir.path("f.txt"), bytes);
        auto decoded = detectAndDecode(posixFileSystem(), fromUtf8(dir.path("f.txt")));
        EXPECT_TRUE(decoded.has_value());
        EXPECT_EQ(test::readFile(dir.path("f.txt")), bytes);  // the source is never changed
        return decoded.value_or(DecodedText{});
    }
    void expect(const ByteBuffer& bytes, EncodingCode code, const Text& text) {
        const DecodedText d = detect(bytes);
        EXPECT_EQ(d.code, code) << testing::PrintToString(bytes);
        EXPECT_EQ(d.text, text) << testing::PrintToString(bytes);
    }
    TempDir dir;
};

const std::string kChinese = "中文，繁體與简体 mixed";

TEST_F(Detect, ByteOrderMarksWin) {
    const Text text = fromUtf8(kChinese);
    expect("\xEF\xBB\xBF" + kChinese, kEncodingUtf8, text);
    expect("\xFF\xFE" + in("UTF-16LE", kChinese), kEncodingUtf16Le, text);
    expect("\xFE\xFF" + in("UTF-16BE", kChinese), kEncodingUtf16Be, text);
    // A mark wins over a declaration and over the UTF-8 test.
    expect("\xFF\xFE" + in("UTF-16LE", "<head><meta charset=big5></head>"), kEncodingUtf16Le,
           "<head><meta charset=big5></head>");
    // FF FE decides even when what follows is no UTF-16 at all.
    EXPECT_EQ(detect("\xFF\xFE"
                     "abc")
                  .code,
              kEncodingUtf16Le);
    // A mark with nothing after it: the fallback keeps the mark's bytes as text.
    expect("\xEF\xBB\xBF", kEncodingCodePage, "\xEF\xBB\xBF");
    expect("\xFF\xFE", kEncodingCodePage, "\xFF\xFE");
    expect("", kEncodingCodePage, "");
    // Text that starts with U+0000 is empty, so the bytes are taken as they are.
    expect(std::string("\xFF\xFE\0\0a\0", 6), kEncodingCodePage, "\xFF\xFE");
    expect(std::string("\xEF\xBB\xBF\0abc", 7), kEncodingCodePage, "\xEF\xBB\xBF");
    // UTF-16 text that holds U+0000 ends there.
    expect("\xFF\xFE" + in("UTF-16LE", "ab") + std::string(2, '\0') + "c\0", kEncodingUtf16Le,
           "ab");
}

TEST_F(Detect, DeclarationsThenTheUtf8Test) {
    const std::string page = "<html><head><meta charset=big5></head><body>";
    expect(page + in("BIG5", "繁體字") + "</body>", kEncodingBig5,
           fromUtf8(page + "繁體字</body>"));
    // Declared Big5 beats bytes that would pass the UTF-8 test.
    EXPECT_EQ(detect(page + "\xC3\xA9").code, kEncodingBig5);
    const std::string hk = "<head><meta content='text/html; charset=Big5-HKSCS'></head>";
    expect(hk + in("BIG5-HKSCS", "香港"), kEncodingBig5Hkscs, fromUtf8(hk + "香港"));
    // A declaration outside the head is not seen: the UTF-8 test decides.
    const std::string outside = "<head><title>t</title></head><meta charset=big5>" + kChinese;
    expect(outside, kEncodingUtf8, fromUtf8(outside));
    // A declaration after a NUL is not part of the text the check reads.
    EXPECT_EQ(detect(std::string("x\0<meta charset=big5>", 21)).code, kEncodingCodePage);

    expect(kChinese, kEncodingUtf8, fromUtf8(kChinese));
    expect("plain ascii\r\n", kEncodingCodePage, "plain ascii\r\n");
    // Four-byte sequences are UTF-8 too: the emoji survives in the code page.
    const std::string emoji = "smile \xF0\x9F\x98\x80 笑";
    expect(emoji, kEncodingUtf8, fromUtf8(emoji));
    // GBK bytes fail the UTF-8 test and are kept as they are; a NUL ends the text.
    const ByteBuffer gbk = in("GB18030", kChinese);
    expect(gbk, kEncodingCodePage, gbk);
    expect(in("UTF-16LE", "ab"), kEncodingCodePage, "a");
}

TEST_F(Detect, GzipContentIsLookedInto) {
    const std::string utf8 = "\xEF\xBB\xBF" + kChinese;
    for (int level : {Z_NO_COMPRESSION, Z_BEST_COMPRESSION})
        expect(gzipped(utf8, level), kEncodingUtf8, fromUtf8(kChinese));
    // Every member of the stream counts.
    expect(gzipped("\xEF\xBB\xBF"
                   "first ") +
               gzipped("second 二"),
           kEncodingUtf8, fromUtf8("first second 二"));
    // An empty member unpacks to nothing, which is an empty text.
    expect(gzipped(""), kEncodingCodePage, "");
    // 1F 8B that does not go on as gzip is not compressed content.
    expect("\x1F\x8B plain", kEncodingCodePage, "\x1F\x8B plain");
    // A stream cut short gives what could be decoded.
    const ByteBuffer whole = gzipped(std::string(100000, 'x') + "\xE4\xB8\xAD", Z_NO_COMPRESSION);
    const DecodedText cut = detect(whole.substr(0, 50000));
    EXPECT_EQ(cut.code, kEncodingCodePage);
    EXPECT_GT(cut.text.size(), 40000u);
    EXPECT_EQ(cut.text.find_first_not_of('x'), Text::npos);
}

TEST_F(Detect, GzipThatUnpacksTooFarCountsAsNotCompressed) {
    EXPECT_EQ(gzipLimitFor(100), size_t(64) << 20);
    EXPECT_EQ(gzipLimitFor(size_t(2) << 20), size_t(200) << 20);
    EXPECT_EQ(gzipLimitFor(size_t(1) << 30), size_t(1) << 30);
    const ByteBuffer bomb = gzipped(ByteBuffer((size_t(64) << 20) + 1, 'a'));
    ASSERT_LT(bomb.size() * 100, size_t(64) << 20);
    EXPECT_FALSE(unwrapGzip(bomb).has_value());
    const DecodedText d = detect(bomb);
    EXPECT_EQ(d.code, kEncodingCodePage);
    EXPECT_EQ(d.text, bomb.substr(0, bomb.find('\0')));
}

TEST_F(Detect, UnreadableFilesAndBuffers) {
    EXPECT_FALSE(detectAndDecode(posixFileSystem(), fromUtf8(dir.path("none.txt"))));
    EXPECT_FALSE(detectAndDecode(posixFileSystem(), fromUtf8(dir.path())));  // a folder
    // A file larger than memory (sparse: it takes no disk) is not read, nor does it abort.
    test::writeFile(dir.path("huge.txt"), "");
    std::error_code error;
    std::filesystem::resize_file(dir.path("huge.txt"), uintmax_t(8) << 40, error);
    if (!error) {
        EXPECT_FALSE(detectAndDecode(posixFileSystem(), fromUtf8(dir.path("huge.txt"))));
    }
    EXPECT_EQ(decodeBytes("\xEF\xBB\xBF" + kChinese), fromUtf8(kChinese));
    EXPECT_EQ(decodeBytes(gzipped(in("UTF-16BE",
                                     "\xEF\xBB\xBF"
                                     "x"))),
              "x");
    // An empty head counts as none: the whole page is searched.
    EXPECT_EQ(decodeContent("<head></head><meta charset=big5>" + kChinese).code, kEncodingBig5);
    EXPECT_EQ(decodeContent(kChinese).code, kEncodingUtf8);

    // Kept as it stands: only UTF-8 the test found, and none that converts to a replacement.
    const DecodedText kept = decodeContent(kChinese, nullptr, true);
    EXPECT_TRUE(kept.utf8);
    EXPECT_EQ(kept.text, kChinese);
    EXPECT_FALSE(decodeContent(kChinese + "\xED\xA0\x80", nullptr, true).utf8);  // a surrogate
    EXPECT_FALSE(decodeContent("\xEF\xBB\xBF" + kChinese, nullptr, true).utf8);
    EXPECT_FALSE(decodeContent(kChinese).utf8);
}

TEST(LooksLikeUtf8, AcceptsOneToFourByteSequences) {
    EXPECT_FALSE(looksLikeUtf8(""));
    EXPECT_FALSE(looksLikeUtf8(std::string(100, 'a')));
    EXPECT_TRUE(looksLikeUtf8("\xC3\xA9"));
    EXPECT_TRUE(looksLikeUtf8("a\xE4\xB8\xAD"));
    EXPECT_TRUE(looksLikeUtf8("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(looksLikeUtf8("\xF4\x8F\xBF\xBF"));
    EXPECT_TRUE(looksLikeUtf8("\xC0\x80"));  // overlong forms pass, as they always did
    EXPECT_FALSE(looksLikeUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(looksLikeUtf8("\xF8\x88\x80\x80\x80"));
    EXPECT_FALSE(looksLikeUtf8("\xE4\xB8"));  // cut off by the end
    EXPECT_FALSE(looksLikeUtf8("\xF0\x9F\x98"));
    EXPECT_FALSE(looksLikeUtf8("\x80"));
    EXPECT_FALSE(looksLikeUtf8("\xD6\xD0\xCE\xC4"));  // 中文 in GBK
    // The ASCII fast path still sees a bad byte anywhere in a long run.
    for (size_t at : {0u, 7u, 8u, 15u, 16u, 999u}) {
        std::string s(1000, 'a');
        s[at] = '\xFF';
        EXPECT_FALSE(looksLikeUtf8("\xC3\xA9" + s)) << at;
        s[at] = '\xC3';
        s.insert(at + 1, "\xA9");
        EXPECT_TRUE(looksLikeUtf8(s)) << at;
    }
}

TEST(LooksLikeUtf8, LetsEventsRunNowAndThenNotPerByte) {
    test::TestJobHost host;
    const std::string big(4 << 20, 'a');
    EXPECT_FALSE(looksLikeUtf8(big, &host));
    EXPECT_GE(host.eventRounds, 4);
    EXPECT_LE(host.eventRounds, 64);
}

TEST(DeclarationText, EndsAtNulOrEndOfFileMarkAtACharacterStart) {
    EXPECT_EQ(declarationTextLength("abc"), 3u);
    EXPECT_EQ(declarationTextLength("ab\x1A"
                                    "cd"),
              2u);
    EXPECT_EQ(declarationTextLength("\xB0\x1A"
                                    "cd"),
              4u);  // 1A as a second byte is passed over
    EXPECT_EQ(declarationTextLength("\xB0\x1A"
                                    "c\x1A"),
              3u);
    EXPECT_EQ(declarationTextLength(std::string("ab\0c", 4)), 2u);
    EXPECT_EQ(declarationTextLength(std::string("ab\xB0\0c", 5)), 2u);  // a lead byte before NUL
    EXPECT_EQ(declarationTextLength(std::string("\xB0\xB0\0", 3)), 2u);
    EXPECT_EQ(declarationTextLength("ab\xB0"), 3u);  // a lead byte at the very end stays
    const std::string longRun = std::string(30, 'a') + "\xB0" + std::string(30, 'b');
    EXPECT_EQ(declarationTextLength(longRun + std::string("\0", 1)), longRun.size());
    EXPECT_EQ(declarationTextLength(longRun + "\xB0" + std::string("\0", 1)), longRun.size());
}

}  // namespace
}  // namespace pw
