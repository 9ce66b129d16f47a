// The kernels in plain C++: what every machine runs, and what the vector sets must answer.

#include <bit>

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

size_t countUtf8Starts(const char* p, size_t blocks, bool crBefore) {
    size_t count = 0;
    bool cr = crBefore;
    for (size_t i = 0; i < blocks * 64; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        count += (c & 0xC0) != 0x80 && !(cr && c == '\n');
        cr = c == '\r';
    }
    return count;
}

size_t countCodePageStarts(const char* data, size_t blocks, size_t& chars) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    uint64_t trail = 0, crBefore = 0;
    size_t i = 0;
    for (; i < blocks; ++i, p += 64) {
        const uint64_t leads =
            gbLeads(bitsWhere(p, [](unsigned char c) { return c >= 0x80; }) & ~trail);
        const uint64_t beforeDigit = bitsWhere(p, isDigit) >> 1 | uint64_t(isDigit(p[64])) << 63;
        if ((leads & beforeDigit) != 0) break;
        const uint64_t cr = bitsWhere(p, [](unsigned char c) { return c == '\r'; });
        const uint64_t lf = bitsWhere(p, [](unsigned char c) { return c == '\n'; });
        uint64_t starts = ~(leads << 1 | trail);
        const uint64_t crStarts = cr & starts;
        starts &= ~(lf & (crStarts << 1 | crBefore));
        chars += size_t(std::popcount(starts));
        trail = leads >> 63;
        crBefore = crStarts >> 63;
    }
    return i * 64 + size_t(trail | (crBefore & (p[0] == '\n')));
}

const Kernels kKernels = {KernelSet::Scalar,   "scalar",   asciiPrefix, firstOf,
                          narrowAsciiUtf16,    widenAscii, byteBits,    countUtf8Starts,
                          countCodePageStarts, nullptr,    false};

}  // namespace pw::simd::scalar
