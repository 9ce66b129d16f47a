#pragma once
// The codec's charsets, one character at a time: a decoder takes the bytes of one character to its
// code point (a length of 0 when the bytes start no valid character, as iconv judges them), an
// encoder writes a code point (false when the charset cannot hold it). Only codec.cpp includes
// this: the tables are large.

#include <algorithm>
#include <cstdint>

#include "codec/codec_tables.h"

namespace pw::codec {

namespace tables = codec_tables;

constexpr uint32_t kGbBmpLinears = 39420;          // 81 30 81 30 to 84 31 A4 39
constexpr uint32_t kGbSupplementaryBase = 189000;  // 90 30 81 30 is U+10000
// Two-byte codes: lead 81-FE, trail 40-FE.
constexpr size_t twoByteIndex(unsigned lead, unsigned trail) {
    return (lead - 0x81) * 191 + (trail - 0x40);
}
constexpr bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}
constexpr bool isSurrogate(uint32_t cp) {
    return cp >= 0xD800 && cp < 0xE000;
}

struct Gb18030 {
    static uint32_t bmpOfLinear(uint32_t linear) {
        const auto* end = tables::kGbRangeLinear + std::size(tables::kGbRangeLinear);
        const auto* it = std::upper_bound(tables::kGbRangeLinear, end, linear);
        if (it == tables::kGbRangeLinear) return 0;
        const size_t k = size_t(it - tables::kGbRangeLinear) - 1;
        const uint32_t offset = linear - tables::kGbRangeLinear[k];
        return offset < tables::kGbRangeLength[k] ? tables::kGbRangeCp[k] + offset : 0;
    }
    // The four-byte linear number of a BMP code point without a two-byte code; -1 for none.
    static int64_t linearOfBmp(uint32_t cp) {
        const uint32_t* order = tables::kGbRangeByCp;
        const uint32_t* end = order + std::size(tables::kGbRangeByCp);
        const uint32_t* it = std::upper_bound(
            order, end, cp, [](uint32_t c, uint32_t k) { return c < tables::kGbRangeCp[k]; });
        if (it == order) return -1;
        const uint32_t k = *(it - 1);
        const uint32_t offset = cp - tables::kGbRangeCp[k];
        return offset < tables::kGbRangeLength[k] ? int64_t(tables::kGbRangeLinear[k] + offset)
                                                  : -1;
    }

    [[gnu::always_inline]] static size_t decode(const unsigned char* p, size_t left, uint32_t& cp) {
        const unsigned b = p[0];
        if (b < 0x80) {
            cp = b;
            return 1;
        }
        if (b == 0x80 || b == 0xFF || left < 2) return 0;
        const unsigned t = p[1];
        if (t >= 0x30 && t <= 0x39) {
            if (left < 4 || p[2] < 0x81 || p[2] == 0xFF || p[3] < 0x30 || p[3] > 0x39) return 0;
            const uint32_t linear =
                (((b - 0x81) * 10 + (t - 0x30)) * 126 + (p[2] - 0x81)) * 10 + (p[3] - 0x30);
            if (linear < kGbBmpLinears) {
                cp = bmpOfLinear(linear);
                return cp ? 4 : 0;
            }
            if (linear < kGbSupplementaryBase || linear - kGbSupplementaryBase >= 0x100000)
                return 0;
            cp = 0x10000 + (linear - kGbSupplementaryBase);
            return 4;
        }
        if (t < 0x40 || t == 0xFF) return 0;
        cp = tables::kGbTwoByte[twoByteIndex(b, t)];
        return cp ? 2 : 0;
    }

    static char* putLinear(uint32_t linear, char* o) {
        o[3] = char(0x30 + linear % 10);
        linear /= 10;
        o[2] = char(0x81 + linear % 126);
        linear /= 126;
        o[1] = char(0x30 + linear % 10);
        o[0] = char(0x81 + linear / 10);
        return o + 4;
    }
    [[gnu::always_inline]] static bool encode(uint32_t cp, char*& o) {
        if (cp < 0x80) {
            *o++ = char(cp);
            return true;
        }
        if (cp < 0x10000) {
            const uint16_t code =
                tables::kGbEncodePages[tables::kGbEncodeIndex[cp >> 8] << 8 | (cp & 0xFF)];
            if (code) {
                *o++ = char(code >> 8);
                *o++ = char(code);
                return true;
            }
            const int64_t linear = linearOfBmp(cp);
            if (linear < 0) return false;
            o = putLinear(uint32_t(linear), o);
            return true;
        }
        if (cp >= 0x110000) return false;
        o = putLinear(kGbSupplementaryBase + (cp - 0x10000), o);
        return true;
    }
};

struct Utf8 {
    [[gnu::always_inline]] static size_t decode(const unsigned char* p, size_t left, uint32_t& cp) {
        const unsigned b = p[0];
        if (b < 0x80) {
            cp = b;
            return 1;
        }
        if (b < 0xC2) return 0;
        if (b < 0xE0) {
            if (left < 2 || !isContinuation(p[1])) return 0;
            cp = (b & 0x1F) << 6 | (p[1] & 0x3F);
            return 2;
        }
        if (b < 0xF0) {
            const unsigned lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
            if (left < 3 || p[1] < lo || p[1] > hi || !isContinuation(p[2])) return 0;
            cp = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            return 3;
        }
        if (b < 0xF5) {
            const unsigned lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
            if (left < 4 || p[1] < lo || p[1] > hi || !isContinuation(p[2]) ||
                !isContinuation(p[3]))
                return 0;
            cp = (b & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            return 4;
        }
        return 0;
    }
    [[gnu::always_inline]] static bool encode(uint32_t cp, char*& o) {
        if (cp < 0x80) {
            *o++ = char(cp);
        } else if (cp < 0x800) {
            *o++ = char(0xC0 | cp >> 6);
            *o++ = char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            if (isSurrogate(cp)) return false;
            *o++ = char(0xE0 | cp >> 12);
            *o++ = char(0x80 | (cp >> 6 & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        } else if (cp < 0x110000) {
            *o++ = char(0xF0 | cp >> 18);
            *o++ = char(0x80 | (cp >> 12 & 0x3F));
            *o++ = char(0x80 | (cp >> 6 & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        } else {
            return false;
        }
        return true;
    }
};

template <bool BigEndian>
struct Utf16 {
    static unsigned unitAt(const unsigned char* p) {
        return BigEndian ? unsigned(p[0]) << 8 | p[1] : unsigned(p[1]) << 8 | p[0];
    }
    static void putUnit(unsigned u, char*& o) {
        *o++ = char(BigEndian ? u >> 8 : u & 0xFF);
        *o++ = char(BigEndian ? u & 0xFF : u >> 8);
    }
    [[gnu::always_inline]] static size_t decode(const unsigned char* p, size_t left, uint32_t& cp) {
        if (left < 2) return 0;
        const unsigned u = unitAt(p);
        if (!isSurrogate(u)) {
            cp = u;
            return 2;
        }
        if (u >= 0xDC00 || left < 4) return 0;
        const unsigned low = unitAt(p + 2);
        if (low < 0xDC00 || low >= 0xE000) return 0;
        cp = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        return 4;
    }
    [[gnu::always_inline]] static bool encode(uint32_t cp, char*& o) {
        if (cp < 0x10000) {
            if (isSurrogate(cp)) return false;
            putUnit(cp, o);
        } else if (cp < 0x110000) {
            putUnit(0xD800 + ((cp - 0x10000) >> 10), o);
            putUnit(0xDC00 + ((cp - 0x10000) & 0x3FF), o);
        } else {
            return false;
        }
        return true;
    }
};

// Big5 and Big5-HKSCS. A few HKSCS codes stand for a letter and a combining mark: the decoder
// gives them as kPairBase + index into the pair table.
constexpr uint32_t kPairBase = 0x110000;

template <const uint32_t* Single, const uint32_t* TwoByte, const uint16_t* EncodeIndex,
          const uint16_t* EncodePages, uint32_t EncodeLimit>
struct Big5Family {
    [[gnu::always_inline]] static size_t decode(const unsigned char* p, size_t left, uint32_t& cp) {
        const unsigned b = p[0];
        if (b < 0x80) {
            cp = b;
            return 1;
        }
        if ((cp = Single[b - 0x80]) != 0) return 1;
        if (b == 0x80 || b == 0xFF || left < 2 || p[1] < 0x40 || p[1] == 0xFF) return 0;
        cp = TwoByte[twoByteIndex(b, p[1])];
        return cp ? 2 : 0;
    }
    // The code of a code point: a byte below 100, or two bytes; 0 when there is none.
    static uint16_t codeOf(uint32_t cp) {
        return cp < EncodeLimit ? EncodePages[EncodeIndex[cp >> 8] << 8 | (cp & 0xFF)] : 0;
    }
    static void putCode(uint16_t code, char*& o) {
        if (code > 0xFF) *o++ = char(code >> 8);
        *o++ = char(code);
    }
    [[gnu::always_inline]] static bool encode(uint32_t cp, char*& o) {
        if (cp < 0x80) {
            *o++ = char(cp);
            return true;
        }
        const uint16_t code = codeOf(cp);
        if (code) {
            putCode(code, o);
            return true;
        }
        // glibc drops the language tags a charset cannot hold, without an error.
        return cp >= 0xE0000 && cp <= 0xE007F;
    }
};

using Big5 = Big5Family<tables::kBig5Single, tables::kBig5TwoByte, tables::kBig5EncodeIndex,
                        tables::kBig5EncodePages, tables::kBig5EncodeLimit>;
using Big5Hkscs = Big5Family<tables::kHkscsSingle, tables::kHkscsTwoByte, tables::kHkscsEncodeIndex,
                             tables::kHkscsEncodePages, tables::kHkscsEncodeLimit>;

}  // namespace pw::codec
