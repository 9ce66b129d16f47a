// The table-driven codec against iconv (the reference path of the charset adapter): every code
// point of every charset both ways, every two-byte and four-byte sequence, invalid and cut-off
// input; and the GB18030 code points where the codec follows the standard instead of glibc.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "platform/charset.h"
#include "platform/charset_reference.h"

namespace pw {
namespace {

constexpr const char* kCharsets[] = {"GB18030",  "UTF-8", "UTF-16LE",
                                     "UTF-16BE", "BIG5",  "BIG5-HKSCS"};

std::string utf8Of(uint32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += char(cp);
    } else if (cp < 0x800) {
        s += {char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))};
    } else if (cp < 0x10000) {
        s += {char(0xE0 | cp >> 12), char(0x80 | (cp >> 6 & 0x3F)), char(0x80 | (cp & 0x3F))};
    } else {
        s += {char(0xF0 | cp >> 18), char(0x80 | (cp >> 12 & 0x3F)), char(0x80 | (cp >> 6 & 0x3F)),
              char(0x80 | (cp & 0x3F))};
    }
    return s;
}

std::string hex(std::string_view bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}

// The first place where the two differ, with a little context, or "" when they are equal.
std::string firstDifference(const std::string& ours, const std::string& theirs) {
    if (ours == theirs) return "";
    const auto at = size_t(
        std::mismatch(ours.begin(), ours.end(), theirs.begin(), theirs.end()).first - ours.begin());
    const size_t from = at < 12 ? 0 : at - 12;
    return "at byte " + std::to_string(at) + " of " + std::to_string(ours.size()) + "/" +
           std::to_string(theirs.size()) + ": codec " + hex(ours.substr(from, 24)) + " iconv " +
           hex(theirs.substr(from, 24));
}

void expectSameAsIconv(std::string_view input, const char* from, const char* to) {
    const auto ours = convertCharset(input, from, to);
    const auto theirs = convertCharsetByIconv(input, from, to);
    ASSERT_TRUE(ours && theirs);
    EXPECT_EQ(firstDifference(*ours, *theirs), "") << from << " -> " << to;
}

// The GB18030 standard's codes of the private-use code points glibc cannot convert.
struct StandardCode {
    uint32_t cp;
    const char* bytes;
};
const StandardCode kStandard[] = {
    {0xE78D, "\x84\x31\x82\x36"}, {0xE78E, "\x84\x31\x82\x38"}, {0xE78F, "\x84\x31\x82\x37"},
    {0xE790, "\x84\x31\x82\x39"}, {0xE791, "\x84\x31\x83\x30"}, {0xE792, "\x84\x31\x83\x31"},
    {0xE793, "\x84\x31\x83\x32"}, {0xE794, "\x84\x31\x83\x33"}, {0xE795, "\x84\x31\x83\x34"},
    {0xE796, "\x84\x31\x83\x35"}, {0xE81E, "\x82\x35\x90\x37"}, {0xE826, "\x82\x35\x90\x38"},
    {0xE82B, "\x82\x35\x90\x39"}, {0xE82C, "\x82\x35\x91\x30"}, {0xE832, "\x82\x35\x91\x31"},
    {0xE843, "\x82\x35\x91\x32"}, {0xE854, "\x82\x35\x91\x33"}, {0xE864, "\x82\x35\x91\x34"},
    {0xE816, "\xFE\x51"},         {0xE817, "\xFE\x52"},         {0xE818, "\xFE\x53"},
    {0xE831, "\xFE\x6C"},         {0xE83B, "\xFE\x76"},         {0xE855, "\xFE\x91"},
};
// Characters whose GB18030 codes glibc gives to the six ideographs above instead.
constexpr uint32_t kMovedIdeographs[] = {0x20087, 0x20089, 0x200CC, 0x215D7, 0x2298F, 0x241FE};

bool standardOverGlibc(uint32_t cp) {
    return std::any_of(std::begin(kStandard), std::end(kStandard),
                       [&](const StandardCode& s) { return s.cp == cp; }) ||
           std::find(std::begin(kMovedIdeographs), std::end(kMovedIdeographs), cp) !=
               std::end(kMovedIdeographs);
}

// One code point into `to` by iconv itself: "?" when it has no code for it.
std::string iconvOne(iconv_t cd, uint32_t cp) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* in = reinterpret_cast<char*>(&cp);
    char* o = out;
    size_t inLeft = 4, outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1)) return "?";
    iconv(cd, nullptr, nullptr, &o, &outLeft);
    return std::string(out, sizeof out - outLeft);
}

TEST(Codec, EncodesEveryCodePointAsIconvDoes) {
    // As UTF-8, into each charset that holds every code point, in one stream.
    std::string all;
    for (uint32_t cp = 1; cp < 0x110000; ++cp)
        if (!(cp >= 0xD800 && cp < 0xE000) && !standardOverGlibc(cp)) all += utf8Of(cp);
    for (const char* to : {"GB18030", "UTF-16LE", "UTF-16BE"}) expectSameAsIconv(all, "UTF-8", to);

    // Into Big5 one at a time (the iconv path takes long over each character a charset lacks):
    // all of the BMP and plane 2 (Big5-HKSCS has characters there), and every 61st elsewhere.
    for (const char* to : {"BIG5", "BIG5-HKSCS"}) {
        const iconv_t cd = iconv_open(to, "UTF-32LE");
        ASSERT_NE(cd, iconv_t(-1));
        const auto target = *codec::charsetNamed(to);
        size_t wrong = 0;
        for (uint32_t cp = 1; cp < 0x110000; ++cp) {
            if ((cp >= 0xD800 && cp < 0xE000) || (cp >= 0x30000 && cp % 61 != 0)) continue;
            const std::string ours = codec::convert(utf8Of(cp), codec::Charset::Utf8, target);
            if (ours != iconvOne(cd, cp) && wrong++ < 5)
                ADD_FAILURE() << to << " U+" << std::hex << cp << ": " << hex(ours);
        }
        iconv_close(cd);
        EXPECT_EQ(wrong, 0u) << to;
    }
    // In a stream: letters that Big5-HKSCS composes with a following mark, and other followers.
    std::string composed;
    for (uint32_t base : {0xCAu, 0xEAu})
        for (uint32_t next : {0x304u, 0x30Cu, 0x301u, 0xCAu, 0x41u, 0x4E2Du, 0x1F600u, 0xE0041u})
            composed += utf8Of(base) + utf8Of(next);
    for (const char* to : {"BIG5", "BIG5-HKSCS"})
        expectSameAsIconv(composed + all.substr(0, 30000), "UTF-8", to);
}

TEST(Codec, DecodesEverySequenceAsIconvDoes) {
    // Every lead byte with every second byte, each followed by LF so that it stands alone; into
    // UTF-8 and into a charset that lacks many of the characters.
    std::string twoBytes;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead)
        for (unsigned trail = 0; trail <= 0xFF; ++trail)
            if (trail != '\n' && !(lead == 0xFE && standardOverGlibc(0xE800 + trail)))
                twoBytes += {char(lead), char(trail), '\n'};
    for (const StandardCode& s : kStandard) {
        const std::string line = s.bytes + std::string("\n");
        if (line.size() == 3) twoBytes.erase(twoBytes.find(line), 3);
    }
    expectSameAsIconv(twoBytes, "GB18030", "UTF-8");
    expectSameAsIconv(twoBytes, "GB18030", "BIG5-HKSCS");
    for (const char* from : {"BIG5", "BIG5-HKSCS"})
        for (const char* to : {"UTF-8", "UTF-16BE"}) expectSameAsIconv(twoBytes, from, to);
    // Into GB18030 but for the ideographs whose codes the standard gives otherwise.
    std::string withoutMoved;
    for (size_t at = 0; at < twoBytes.size(); at += 3) {
        const std::string line = twoBytes.substr(at, 3);
        const auto utf8 = convertCharsetByIconv(line, "BIG5-HKSCS", "UTF-8");
        if (std::none_of(std::begin(kMovedIdeographs), std::end(kMovedIdeographs),
                         [&](uint32_t cp) { return utf8 == utf8Of(cp) + "\n"; }))
            withoutMoved += line;
    }
    for (const char* from : {"BIG5", "BIG5-HKSCS"})
        expectSameAsIconv(withoutMoved, from, "GB18030");
    expectSameAsIconv(twoBytes, "BIG5", "BIG5-HKSCS");

    // Every GB18030 four-byte form (but the standard's), and the same cut short.
    std::string fourBytes, cut;
    for (unsigned b0 = 0x81; b0 <= 0xFE; ++b0)
        for (unsigned b1 = 0x30; b1 <= 0x39; ++b1)
            for (unsigned b2 = 0x81; b2 <= 0xFE; ++b2) {
                for (unsigned b3 = 0x30; b3 <= 0x39; ++b3) {
                    const std::string code = {char(b0), char(b1), char(b2), char(b3)};
                    if (std::none_of(std::begin(kStandard), std::end(kStandard),
                                     [&](const StandardCode& s) { return code == s.bytes; }))
                        fourBytes += code + "\n";
                }
                cut += {char(b0), char(b1), char(b2), '\n', char(b0), char(b1), 'x'};
            }
    expectSameAsIconv(fourBytes, "GB18030", "UTF-8");
    expectSameAsIconv(cut, "GB18030", "UTF-8");

    // UTF-8: every lead and second byte with the third and fourth bytes of each class. (Ê and ê
    // before invalid input are left to the next test: iconv loses them on the way to Big5-HKSCS.)
    std::string utf8, utf8WithoutHeldLetters;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead)
        for (unsigned second = 0x00; second <= 0xFF; ++second)
            for (const char* tail :
                 {"", "\x80", "\xBF\x80", "\x80\xBF", "\x41", "\x80\x41", "\xC0"}) {
                const std::string sequence = std::string{char(lead), char(second)} + tail + "\n";
                utf8 += sequence;
                if (lead != 0xC3 || (second != 0x8A && second != 0xAA))
                    utf8WithoutHeldLetters += sequence;
            }
    for (const char* to : {"GB18030", "UTF-16LE", "BIG5"}) expectSameAsIconv(utf8, "UTF-8", to);
    expectSameAsIconv(utf8WithoutHeldLetters, "UTF-8", "BIG5-HKSCS");

    // UTF-16: every unit (but the standard's code points), lone and paired surrogates, an odd byte
    // at the end.
    std::string utf16le, utf16be;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        if (standardOverGlibc(u)) continue;
        utf16le += {char(u & 0xFF), char(u >> 8), '\n', '\0'};
        utf16be += {char(u >> 8), char(u & 0xFF), '\0', '\n'};
    }
    for (unsigned high : {0xD800u, 0xDBFFu, 0xDA12u})
        for (unsigned low : {0xDC00u, 0xDFFFu, 0xDE34u, 0xD800u, 0x0041u}) {
            utf16le += {char(high & 0xFF), char(high >> 8), char(low & 0xFF), char(low >> 8)};
            utf16be += {char(high >> 8), char(high & 0xFF), char(low >> 8), char(low & 0xFF)};
        }
    for (const char* to : {"GB18030", "UTF-8", "BIG5"}) {
        expectSameAsIconv(utf16le, "UTF-16LE", to);
        expectSameAsIconv(utf16be, "UTF-16BE", to);
        for (std::string ending : {"\x00\xD8", "\x41", "\x00\xD8\x41", "\x00\xD8\x00\xDC\x41"}) {
            expectSameAsIconv(std::string("a\0", 2) + ending, "UTF-16LE", to);
            expectSameAsIconv(std::string("\0a", 2) + ending, "UTF-16BE", to);
        }
    }
    // Characters cut off by the end of the input, in every charset.
    for (const char* from : {"UTF-8", "GB18030", "BIG5", "BIG5-HKSCS"})
        for (std::string_view whole : {"\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\x81\x30\x81\x30",
                                       "\x95\x32\x82\x36", "\xA4\xA4", "\x88\x62"})
            for (size_t n = 1; n < whole.size(); ++n)
                for (const char* to : kCharsets)
                    if (std::string_view(from) != to)
                        expectSameAsIconv(whole.substr(0, n), from, to);
}

TEST(Codec, DecodesLongRunsOfTwoByteCodesAcrossItsPieces) {
    // Runs of Chinese with no ASCII, whose UTF-8 fills the output piece (256 KiB) at every
    // offset around its end, broken by what leaves the fast loop: ASCII, a four-byte code, an
    // invalid byte, and a lead cut off by the end.
    std::mt19937 random(39);
    for (size_t codes = 87370; codes < 87400; ++codes) {
        std::string gbk;
        for (size_t k = 0; k < codes; ++k)
            gbk += {char(0xB0 + random() % 0x28), char(0xA1 + random() % 0x5E)};
        const size_t at = 2 * (random() % codes);
        const char* breaks[] = {"a", "\x81\x30\x81\x30", "\x80", "\xA1\xBF"};
        gbk.insert(at, breaks[codes % 4]);
        if (codes % 3 == 0) gbk += '\xB0';
        expectSameAsIconv(gbk, "GB18030", "UTF-8");
    }
}

TEST(Codec, KeepsALetterBigFiveHkscsHeldBackWhenInvalidInputFollows) {
    // Ê waits for a combining mark; iconv's reset after the replacement drops it, the codec
    // writes it.
    EXPECT_EQ(convertCharset("\xC3\x8A\xFF", "UTF-8", "BIG5-HKSCS"), "\x88\x66?");
    EXPECT_EQ(convertCharsetByIconv("\xC3\x8A\xFF", "UTF-8", "BIG5-HKSCS"), "?");
    EXPECT_EQ(convertCharset("\xC3\x8A\xCC\x84\xC3\xAA", "UTF-8", "BIG5-HKSCS"),
              "\x88\x62\x88\xA7");
}

TEST(Codec, FollowsTheGb18030StandardWhereGlibcLosesCodePoints) {
    for (const StandardCode& s : kStandard) {
        const std::string utf8 = utf8Of(s.cp);
        EXPECT_EQ(convertCharset(utf8, "UTF-8", "GB18030"), s.bytes) << std::hex << s.cp;
        EXPECT_EQ(convertCharset(s.bytes, "GB18030", "UTF-8"), utf8) << std::hex << s.cp;
        EXPECT_EQ(convertCharset(s.bytes, "GB18030", "UTF-16BE"),
                  convertCharset(utf8, "UTF-8", "UTF-16BE"));
        // glibc has no code for them: each would become replacement characters.
        EXPECT_NE(convertCharsetByIconv(utf8, "UTF-8", "GB18030"), s.bytes);
    }
    // The ideographs glibc gave those two-byte codes keep four-byte codes of their own, both ways.
    for (uint32_t cp : kMovedIdeographs) {
        const auto gb = convertCharset(utf8Of(cp), "UTF-8", "GB18030");
        ASSERT_TRUE(gb);
        EXPECT_EQ(gb->size(), 4u);
        EXPECT_EQ(convertCharset(*gb, "GB18030", "UTF-8"), utf8Of(cp));
        EXPECT_EQ(convertCharsetByIconv(*gb, "GB18030", "UTF-8"), utf8Of(cp));
    }
}

TEST(Codec, CountsWhatItReplaces) {
    using codec::Charset;
    size_t replaced = 99;
    // 中文 fits Big5; the emoji and the stray byte do not.
    EXPECT_EQ(codec::convert("\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80\xFF?", Charset::Utf8,
                             Charset::Big5, &replaced),
              "\xA4\xA4\xA4\xE5???");
    EXPECT_EQ(replaced, 2u);
    // One replacement for each unit of invalid input, none for clean text.
    codec::convert("\x80\x80\x81", Charset::Gb18030, Charset::Utf8, &replaced);
    EXPECT_EQ(replaced, 3u);
    codec::convert(std::string("a\0\x00\xD8", 4), Charset::Utf16Le, Charset::Gb18030, &replaced);
    EXPECT_EQ(replaced, 1u);
    codec::convert("plain 中文", Charset::Utf8, Charset::Gb18030, &replaced);
    EXPECT_EQ(replaced, 0u);
    // Simplified Chinese into Big5: nearly every character is one "?", each counted.
    std::string simplified;
    for (int i = 0; i < 100000; ++i) simplified += "\xE8\xBF\x99\xE4\xB8\xAA";  // 这个
    const std::string big5 = codec::convert(simplified, Charset::Utf8, Charset::Big5, &replaced);
    EXPECT_EQ(replaced, size_t(std::count(big5.begin(), big5.end(), '?')));
    EXPECT_GE(replaced, 100000u);
}

TEST(Codec, NamesTheCharsetsItConverts) {
    EXPECT_EQ(codec::charsetNamed("big5-hkscs"), codec::Charset::Big5Hkscs);
    EXPECT_EQ(codec::charsetNamed("UTF-16"), std::nullopt);  // iconv's, with its mark
    EXPECT_EQ(codec::charsetNamed("UTF-32LE"), std::nullopt);
    // Other charsets still convert, by iconv.
    EXPECT_EQ(convertCharset("\xE4\xB8\xAD", "UTF-8", "UTF-32LE"), std::string("\x2D\x4E\0\0", 4));
}

}  // namespace
}  // namespace pw
