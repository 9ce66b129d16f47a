#include "platform/md5_pair.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pw {
namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t wordAt(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// `n` blocks of each of N streams, step by step side by side.
template <int N>
void compress(Md5Pair::Stream* const (&s)[N], const unsigned char* const (&in)[N], size_t n) {
    for (size_t block = 0; block < n; ++block) {
        uint32_t m[N][16], a[N], b[N], c[N], d[N];
        for (int j = 0; j < N; ++j) {
            for (int w = 0; w < 16; ++w) m[j][w] = wordAt(in[j] + block * 64 + w * 4);
            a[j] = s[j]->h[0], b[j] = s[j]->h[1], c[j] = s[j]->h[2], d[j] = s[j]->h[3];
        }
#pragma GCC unroll 64
        for (int i = 0; i < 64; ++i) {
            const int round = i / 16;
            const int g = round == 0   ? i
                          : round == 1 ? (5 * i + 1) % 16
                          : round == 2 ? (3 * i + 5) % 16
                                       : (7 * i) % 16;
            for (int j = 0; j < N; ++j) {
                // The same functions in forms with fewer steps after b is known.
                const uint32_t f = round == 0   ? d[j] ^ (b[j] & (c[j] ^ d[j]))
                                   : round == 1 ? c[j] ^ (d[j] & (b[j] ^ c[j]))
                                   : round == 2 ? b[j] ^ c[j] ^ d[j]
                                                : c[j] ^ (b[j] | ~d[j]);
                // a, the word and the constant are ready before f: they are added first.
                const uint32_t next =
                    b[j] + std::rotl((a[j] + (m[j][g] + kSine[i])) + f, kShift[round][i % 4]);
                a[j] = d[j], d[j] = c[j], c[j] = b[j], b[j] = next;
            }
        }
        for (int j = 0; j < N; ++j)
            s[j]->h[0] += a[j], s[j]->h[1] += b[j], s[j]->h[2] += c[j], s[j]->h[3] += d[j];
    }
}

void compressOne(Md5Pair::Stream& s, const unsigned char* in, size_t n) {
    compress<1>({&s}, {in}, n);
}

// Completes a stream's buffered block from `p`; the bytes taken.
size_t fill(Md5Pair::Stream& s, const unsigned char* p, size_t size) {
    if (s.used == 0) return 0;
    const size_t take = std::min(size, 64 - s.used);
    std::memcpy(s.buffer + s.used, p, take);
    s.used += take;
    if (s.used == 64) compressOne(s, s.buffer, 1), s.used = 0;
    return take;
}

// Bytes of one stream alone (its total is counted by the caller).
void absorb(Md5Pair::Stream& s, const unsigned char* p, size_t size) {
    const size_t at = fill(s, p, size);
    const size_t n = (size - at) / 64;
    compressOne(s, p + at, n);
    std::memcpy(s.buffer + s.used, p + at + n * 64, size - at - n * 64);
    s.used += size - at - n * 64;
}

}  // namespace

void Md5Pair::update(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    first_.total += size;
    second_.total += size;
    const size_t at1 = fill(first_, p, size), at2 = fill(second_, p, size);
    const size_t n1 = (size - at1) / 64, n2 = (size - at2) / 64, both = std::min(n1, n2);
    compress<2>({&first_, &second_}, {p + at1, p + at2}, both);
    // What is left of either (less than a block of the other) goes alone.
    absorb(first_, p + at1 + both * 64, size - at1 - both * 64);
    absorb(second_, p + at2 + both * 64, size - at2 - both * 64);
}

void Md5Pair::updateSecond(const void* data, size_t size) {
    second_.total += size;
    absorb(second_, static_cast<const unsigned char*>(data), size);
}

Md5Digest Md5Pair::finish(Stream& s) {
    const uint64_t bits = s.total * 8;
    unsigned char pad[128] = {0x80};
    const size_t padding = (s.used < 56 ? 56 : 120) - s.used;
    for (int i = 0; i < 8; ++i) pad[padding + i] = static_cast<unsigned char>(bits >> (8 * i));
    absorb(s, pad, padding + 8);
    Md5Digest out{};
    for (int i = 0; i < 16; ++i) out[i] = static_cast<uint8_t>(s.h[i / 4] >> (8 * (i % 4)));
    s = Stream{};
    return out;
}

}  // namespace pw
