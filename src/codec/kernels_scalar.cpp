// The kernels in plain C++: what every machine runs, and what the vector sets must answer.

#include <cstring>

#include "codec/byte_words.h"
#include "codec/kernel_sets.h"

namespace pw::simd::scalar {
namespace {

// Bit i for p[i] of 64 bytes, where `is` holds.
template <typename Is>
uint64_t bitsWhere(const unsigned char* p, Is is) {
    uint64_t bits = 0;
    for (size_t i = 0; i < 64; ++i) bits |= uint64_t(is(p[i])) << i;
    return bits;
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

size_t asciiPrefix(const char* p, size_t n) {
    size_t i = 0;
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

size_t firstOf(const char* p, size_t n, std::string_view bytes) {
    size_t i = 0;
    while (i < n && bytes.find(p[i]) == std::string_view::npos) ++i;
    return i;
}

size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    size_t i = 0;
    for (; i < units; ++i) {
        const unsigned lo = u[2 * i + (bigEndian ? 1 : 0)], hi = u[2 * i + (bigEndian ? 0 : 1)];
        if (hi != 0 || lo >= 0x80) break;
        out[i] = char(lo);
    }
    return i;
}

void widenAscii(const char* p, size_t n, bool bigEndian, char* out) {
    for (size_t i = 0; i < n; ++i) {
        out[2 * i + (bigEndian ? 1 : 0)] = p[i];
        out[2 * i + (bigEndian ? 0 : 1)] = 0;
    }
}

void byteBits(const char* p, const ByteSet& set, ByteBits& out) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    out.members = bitsWhere(
        u, [&](unsigned char c) { return (set.byLow[c & 15] & set.byHigh[c >> 4]) != 0; });
    out.high = bitsWhere(u, [](unsigned char c) { return c >= 0x80; });
    out.digitsOrNul = bitsWhere(u, [](unsigned char c) { return c == 0 || isDigit(c); });
    out.continuations = bitsWhere(u, [](unsigned char c) { return c >= 0x80 && c < 0xC0; });
}

// Eight bytes at a time, as the character split does for what is left after whole blocks.
size_t countUtf8Starts(const char* data, size_t blocks, bool crBefore) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t count = 0;
    uint64_t crEnds = crBefore ? 0x80 : 0;  // the high bit of a CR that ends the last word
    for (size_t i = 0; i < blocks * 64; i += 8) count += utf8StartsInWord(wordAt(p + i), crEnds);
    return count;
}

// A character at a time, but eight bytes at once where they are four pairs or eight ASCII
// characters; a block is counted only once it is known to hold no lead before a digit.
size_t countCodePageStarts(const char* data, size_t blocks, size_t& chars) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t pos = 0;
    for (size_t block = 0; block < blocks; ++block) {
        const size_t end = (block + 1) * 64;
        size_t at = pos, inBlock = 0;
        while (at < end) {
            if (end - at >= 8) {
                const uint64_t word = wordAt(p + at);
                if ((~word & kHighs) == 0) {  // four pairs: no digit follows a lead
                    at += 8;
                    inBlock += 4;
                    continue;
                }
                if ((word & kHighs) == 0 && zeroBytes(word ^ (kOnes * '\r')) == 0) {
                    at += 8;
                    inBlock += 8;
                    continue;
                }
            }
            const unsigned char c = p[at];
            if (c >= 0x80) {
                if (isDigit(p[at + 1])) return pos;  // reads at most the byte after the blocks
                at += 2;
            } else {
                at += c == '\r' && p[at + 1] == '\n' ? 2 : 1;
            }
            ++inBlock;
        }
        chars += inBlock;
        pos = at;
    }
    return pos;
}

size_t find(const char* p, size_t n, std::string_view needle) {
    const void* hit = memmem(p, n, needle.data(), needle.size());
    return hit ? size_t(static_cast<const char*>(hit) - p) : n;
}

const Kernels kKernels = {
    KernelSet::Scalar, "scalar",   asciiPrefix, firstOf,         find,
    narrowAsciiUtf16,  widenAscii, byteBits,    countUtf8Starts, countCodePageStarts,
    nullptr,           false};

}  // namespace pw::simd::scalar
