// The vector scans against byte-at-a-time models, with the interesting bytes at every offset of
// a vector block and the input fed whole or cut in two anywhere; once with each kernel set.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "codec/simd_text.h"
#include "platform/text_bytes.h"
#include "support/kernel_sets.h"

namespace pw {
namespace {

// The structural rule one byte at a time.
bool modelWellFormed(std::string_view bytes, bool& nonAscii) {
    nonAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        const size_t len = lead >= 0xC0 && lead <= 0xDF   ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        if (len == 0 || len > bytes.size() - i) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

void expectAsModel(const std::string& bytes, size_t cut) {
    bool modelNonAscii = false;
    const bool expected = modelWellFormed(bytes, modelNonAscii);
    simd::Utf8Structure s;
    s.feed(bytes.data(), cut);
    s.feed(bytes.data() + cut, bytes.size() - cut);
    ASSERT_EQ(s.wellFormed(), expected) << "cut at " << cut << " of " << bytes.size();
    if (expected) {
        ASSERT_EQ(s.sawNonAscii(), modelNonAscii);
        // Well-formed bytes are valid UTF-8 exactly when the converter needs no substitute.
        size_t substitutes = 0;
        (void)codec::convert(bytes, codec::Charset::Utf8, codec::Charset::Utf16Le, &substitutes);
        ASSERT_EQ(s.sawOddValues(), substitutes > 0) << "cut at " << cut << " of " << bytes.size();
    }
}

using Utf8Structure = test::EachKernelSet;
using SimdText = test::EachKernelSet;

TEST_P(Utf8Structure, AnswersAsTheByteRuleAtEveryOffset) {
    const std::vector<std::string> snippets = {
        "\xC3\xA9",
        "\xE4\xB8\xAD",
        "\xF0\x9F\x98\x80",
        "\xF4\x8F\xBF\xBF",
        "\xC0\x80",
        "\xE0\x80\x80",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",  // the rule checks no values, but they are told apart
        "\xC1\xBF",
        "\xE0\x9F\xBF",
        "\xE0\xA0\x80",
        "\xED\x9F\xBF",
        "\xED\xBF\xBF",
        "\xF0\x8F\xBF\xBF",
        "\xF0\x90\x80\x80",
        "\x80",
        "\xBF",
        "\xC0",
        "\xF5\x80\x80\x80",
        "\xF8\x88\x80\x80\x80",
        "\xFF",
        "\xE4\xB8",
        "\xE4\x41",
        "\xF0\x9F\x98\x41",
        "\xC3\xC3\xA9",
        "\xE4\xB8\xAD\x80",
        "\xF0\x9F\x98",
    };
    for (const std::string background : {"a", "\xE4\xB8\xAD"}) {
        std::string base;
        while (base.size() < 150) base += background;
        for (const std::string& snippet : snippets)
            for (size_t at = 0; at <= base.size(); at += background.size()) {
                std::string bytes = base;
                bytes.insert(at, snippet);
                expectAsModel(bytes, 0);
                expectAsModel(bytes, at + snippet.size() / 2);
                expectAsModel(bytes.substr(0, at + snippet.size()), 0);  // at the very end
            }
    }
    // Random bytes, mostly ASCII and sequence bytes, fed in two pieces.
    std::mt19937 random(7);
    const unsigned char alphabet[] = {'a', '\n', 0x80, 0xBF, 0xC3, 0xE4, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 200, 'a');
        for (char& c : bytes) c = char(alphabet[random() % (round % 2 ? 3 : std::size(alphabet))]);
        expectAsModel(bytes, bytes.empty() ? 0 : random() % bytes.size());
    }
}

TEST_P(SimdText, AsciiRunsWidenAndNarrowAtEveryLength) {
    using namespace std::string_view_literals;
    for (size_t n = 0; n < 150; ++n)
        for (size_t at = 0; at <= n; ++at) {
            std::string bytes(n, 'x');
            if (at < n) bytes[at] = '\x80';
            ASSERT_EQ(simd::asciiPrefix(bytes.data(), n), at) << n;
            // The first of a few bytes, each of them, with others of them later on.
            for (const char c : "\0\x1A<\xFF"sv) {
                if (at < n) bytes[at] = c;
                for (size_t later = at + 1; later < n; later += 37) bytes[later] = '<';
                ASSERT_EQ(simd::firstOf(bytes.data(), n, "\0\x1A<\xFF"sv), at) << n;
                ASSERT_EQ(simd::firstOf(bytes.data(), n, "\xFF"sv), c == '\xFF' ? at : n);
            }
        }
    for (bool bigEndian : {false, true}) {
        std::string ascii;
        for (int i = 0; i < 70; ++i) ascii += char(i + 1);
        std::string wide(2 * ascii.size(), '\0');
        simd::widenAscii(ascii.data(), ascii.size(), bigEndian, wide.data());
        for (size_t i = 0; i < ascii.size(); ++i)
            ASSERT_EQ(wide[2 * i + (bigEndian ? 1 : 0)], ascii[i]);
        std::string back(ascii.size(), '\0');
        EXPECT_EQ(simd::narrowAsciiUtf16(wide.data(), ascii.size(), bigEndian, back.data()),
                  ascii.size());
        EXPECT_EQ(back, ascii);
        // A unit of 80 or more, or with a high byte, ends the run wherever it is.
        for (size_t at = 0; at < ascii.size(); ++at)
            for (size_t half : {0, 1}) {
                std::string units = wide;
                units[2 * at + half] = half == (bigEndian ? 1u : 0u) ? '\x80' : '\x01';
                ASSERT_EQ(
                    simd::narrowAsciiUtf16(units.data(), ascii.size(), bigEndian, back.data()), at);
            }
    }
}

TEST_P(SimdText, FindsTheFirstOccurrenceAsAPlainSearchDoes) {
    // Needles whose first and last bytes come often alone, at every place up to past a block
    // edge, with near misses (first and last bytes right, a middle one wrong) before them.
    const std::string needles[] = {"\xA1\xBE\xB9\x9D\xA1\xBF",
                                   "\xE3\x80\x90\xE7\xAF\x80\xE3\x80\x91", "ab", "aba",
                                   std::string(40, 'a') + "b"};
    for (const std::string& needle : needles)
        for (size_t n = 0; n < 110; ++n)
            for (size_t at = 0; at + needle.size() <= n + needle.size(); ++at) {
                std::string bytes(n, needle[0]);
                for (size_t i = 1; i < n; i += 3) bytes[i] = needle.back();
                std::string miss = needle;
                if (miss.size() > 2) miss[1] ^= 1;
                if (at >= miss.size() && miss.size() > 2)
                    bytes.replace(at - miss.size(), miss.size(), miss);
                if (at + needle.size() <= n) bytes.replace(at, needle.size(), needle);
                const size_t want = std::string_view(bytes).find(needle);
                ASSERT_EQ(simd::find(bytes.data(), n, needle), want == std::string::npos ? n : want)
                    << n << " " << at << " " << needle.size();
            }
    // Random bytes of a small alphabet, where candidates are many.
    std::mt19937 random(39);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 300, 'a');
        for (char& c : bytes) c = "ab\xA1\xBF"[random() % 4];
        std::string needle(2 + random() % 5, 'a');
        for (char& c : needle) c = "ab\xA1\xBF"[random() % 4];
        const size_t want = std::string_view(bytes).find(needle);
        ASSERT_EQ(simd::find(bytes.data(), bytes.size(), needle),
                  want == std::string::npos ? bytes.size() : want);
    }
}

// The characters countCodePageStarts() counts, walked as charLengthAt() walks them: whole blocks
// up to one with a lead before a digit.
size_t modelCodePageStarts(const std::string& bytes, size_t blocks, size_t& chars) {
    size_t pos = 0;
    for (size_t block = 0; block < blocks; ++block) {
        size_t at = pos, inBlock = 0;
        for (; at < (block + 1) * 64; ++inBlock) {
            const auto c = static_cast<unsigned char>(bytes[at]);
            if (c >= 0x80 && bytes[at + 1] >= '0' && bytes[at + 1] <= '9') return pos;
            at += charLengthAt(bytes, at);
        }
        chars += inBlock;
        pos = at;
    }
    return pos;
}

TEST_P(SimdText, ByteBitsAndCharacterStartsAgreeWithTheByteRules) {
    std::array<bool, 256> members{};
    for (unsigned char c : std::string("\r\n [,;\xA1\xA3\xE3\xEF")) members[c] = true;
    const simd::ByteSet set(members);
    std::mt19937 random(3);
    // Bytes of every kind: ASCII, digits and NUL, continuation bytes, leads, the set's members.
    const std::string alphabet("a09\0\r\n [,;\x80\xBF\xC0\xA1\xA3\xE3\xEF\xFE\xFF\x7F", 20);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(64 * 3, 'a');
        for (char& c : bytes) c = alphabet[random() % alphabet.size()];
        simd::ByteBits bits{};
        simd::byteBits(bytes.data(), set, bits);
        size_t starts = 0;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            const bool lfOfCrLf = c == '\n' && i > 0 && bytes[i - 1] == '\r';
            starts += (c < 0x80 || c >= 0xC0) && !lfOfCrLf;
            if (i >= 64) continue;
            const auto bit = [&](uint64_t mask) { return (mask >> i & 1) != 0; };
            ASSERT_EQ(bit(bits.members), members[c]) << i;
            ASSERT_EQ(bit(bits.high), c >= 0x80) << i;
            ASSERT_EQ(bit(bits.digitsOrNul), c == 0 || (c >= '0' && c <= '9')) << i;
            ASSERT_EQ(bit(bits.continuations), c >= 0x80 && c < 0xC0) << i;
        }
        ASSERT_EQ(simd::countUtf8Starts(bytes.data(), 3, false), starts);
    }
    // Code-page text of pairs, CR LF and ASCII with a digit now and then, which may follow a lead
    // and so open a four-byte character; a block holding one is not counted, nor any after it.
    const std::string pieces[] = {"a",        "\r",   "\n", "\r\n",
                                  "\xB0\xA1", "\xB0", "7",  "\x81\x30\x81\x30"};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        while (bytes.size() < 64 * 4 + 1) {
            const size_t k = random() % (round % 3 == 0 ? 97 : 6);
            bytes += k < 96 ? pieces[k % 6] : pieces[6 + random() % 2];
        }
        size_t chars = 0, expectedChars = 0;
        const size_t blocks = 1 + round % 4;
        ASSERT_EQ(simd::countCodePageStarts(bytes.data(), blocks, chars),
                  modelCodePageStarts(bytes, blocks, expectedChars))
            << testing::PrintToString(bytes);
        ASSERT_EQ(chars, expectedChars) << testing::PrintToString(bytes);
    }
}

PW_FOR_EACH_KERNEL_SET(Utf8Structure);
PW_FOR_EACH_KERNEL_SET(SimdText);

}  // namespace
}  // namespace pw
