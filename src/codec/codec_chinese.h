#pragma once
// The codec's tight loops for Chinese text, which is mostly two-byte GB18030 codes and
// three-byte UTF-8 sequences: flat tables between the two. Each converts from the start of
// p[0, n) for as long as it can and returns how many bytes it read; the general path takes what
// stops it, and agrees with it character for character. `o` may run up to `end`, and the output
// has slack for a few bytes past it. Inline, so that the conversion loop that calls them for
// every run of Chinese text takes them in, as when they were in its file (a call cost 3 % of a
// GBK decode).

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "codec/codec_charsets.h"

namespace pw::codec::chinese {

// The UTF-8 bytes of each two-byte code, by the code's two bytes (lead << 8 | trail), the length
// in the top byte; 0 for a pair that is no two-byte code and for what the general path takes.
// Indexed by both bytes, the table needs no range checks: they cost 15 % of a GBK decode.
inline const uint32_t* utf8OfTwoByteCodes() {
    static const auto table = [] {
        auto t = std::make_unique<uint32_t[]>(size_t(1) << 16);
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const uint32_t cp = tables::kGbTwoByte[twoByteIndex(lead, trail)];
                char bytes[4] = {};
                char* o = bytes;
                if (cp < 0x80 || cp >= 0x10000 || !Utf8::encode(cp, o)) continue;
                uint32_t packed = 0;
                std::memcpy(&packed, bytes, 3);
                t[lead << 8 | trail] = packed | uint32_t(o - bytes) << 24;
            }
        }
        return t;
    }();
    return table.get();
}

// An ASCII byte the loops copy themselves: a run of them too short for the vector loads.
inline bool shortAscii(const unsigned char* p, size_t left) {
    uint64_t word;
    if (left < 8) return true;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ull) != 0;
}

// The ASCII bytes that open the 16 at `p`, with no branch on how many.
inline size_t asciiOf16(const unsigned char* p) {
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    uint64_t words[2];
    std::memcpy(words, p, 16);
    const size_t low = size_t(std::countr_zero(words[0] & kHighs)) / 8;
    return low + (low == 8 ? size_t(std::countr_zero(words[1] & kHighs)) / 8 : 0);
}

[[gnu::always_inline]] inline size_t gbTwoBytesToUtf8(const unsigned char* p, size_t n, char*& o,
                                                      const char* end) {
    static const uint32_t* const table = utf8OfTwoByteCodes();
    // Both bytes in one load, swapped into the index (lead << 8 | trail).
    const auto pair = [&](size_t i) {
        uint16_t bytes;
        std::memcpy(&bytes, p + i, 2);
        if constexpr (std::endian::native == std::endian::little) bytes = __builtin_bswap16(bytes);
        return table[bytes];
    };
    size_t i = 0;
    // Prose changes between ASCII and Chinese every few characters. Sixteen bytes are copied
    // and kept up to the first one of 80 or more, so an ASCII run costs no branch on its length
    // and only the end of a run of two-byte codes may be guessed wrong; a run of 16 or more
    // goes back to the vector loop.
    while (n - i >= 32 && end - o >= 64) {
        const size_t ascii = asciiOf16(p + i);
        std::memcpy(o, p + i, 16);  // the output has slack past its end
        o += ascii;
        i += ascii;
        if (ascii == 16) return i;
        // A code reads two bytes and writes at most three: the room of the whole run is counted
        // down, not the input's and the output's ends tested at every code. A pair that starts
        // with ASCII has no entry either, so one test ends the run at whatever is no code.
        size_t codes = std::min((n - i) / 2, size_t(end - o) / 3);
        uint32_t e;
        while ((e = pair(i)) != 0) {
            std::memcpy(o, &e, 4);
            o += e >> 24;
            i += 2;
            if (!--codes) break;
        }
        if (!e && p[i] >= 0x80) return i;
    }
    while (n - i >= 2 && o < end) {
        const unsigned b = p[i];
        if (b < 0x80 && shortAscii(p + i, n - i)) {
            *o++ = char(b);
            ++i;
            continue;
        }
        const uint32_t e = pair(i);
        if (!e) break;
        std::memcpy(o, &e, 4);
        o += e >> 24;
        i += 2;
    }
    return i;
}

[[gnu::always_inline]] inline size_t utf8ThreeBytesToGb(const unsigned char* p, size_t n, char*& o,
                                                        const char* end) {
    size_t i = 0;
    // E0 and ED have narrower second bytes; the general path takes them.
    while (n - i >= 3 && o < end) {
        const unsigned b = p[i];
        if (b < 0x80 && shortAscii(p + i, n - i)) {
            *o++ = char(b);
            ++i;
            continue;
        }
        if (b < 0xE1 || b > 0xEF || b == 0xED || !isContinuation(p[i + 1]) ||
            !isContinuation(p[i + 2]))
            break;
        const uint32_t cp = (b & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F);
        const uint16_t code =
            tables::kGbEncodePages[tables::kGbEncodeIndex[cp >> 8] << 8 | (cp & 0xFF)];
        if (!code) break;
        o[0] = char(code >> 8);
        o[1] = char(code);
        o += 2;
        i += 3;
    }
    return i;
}

}  // namespace pw::codec::chinese
