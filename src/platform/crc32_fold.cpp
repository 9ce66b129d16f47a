#include "platform/crc32_fold.h"

#include <zlib.h>

#include "codec/kernels.h"

#if PW_X86_KERNELS
#include <immintrin.h>
#endif

namespace pw {
namespace {

uint32_t zlibCrc(uint32_t crc, const unsigned char* data, size_t size) {
    return static_cast<uint32_t>(crc32_z(crc, data, static_cast<z_size_t>(size)));
}

#if PW_X86_KERNELS

// x^n modulo the CRC's polynomial, bit-reflected as the CRC's registers are. Folding a 128-bit
// lane d bits ahead multiplies its low half by x^(d+31) and its high half by x^(d-33).
constexpr long long xPowerReflected(unsigned n) {
    uint64_t r = 1;
    for (unsigned i = 0; i < n; ++i) {
        r <<= 1;
        if (r & 0x100000000ull) r ^= 0x104C11DB7ull;
    }
    uint64_t out = 0;
    for (unsigned i = 0; i < 32; ++i)
        if (r >> i & 1) out |= uint64_t{1} << (31 - i);
    return static_cast<long long>(out);
}

[[gnu::target("pclmul")]] __m128i fold(__m128i lane, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(lane, constants, 0x00),
                         _mm_clmulepi64_si128(lane, constants, 0x11));
}

[[gnu::target("pclmul")]] __m128i load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

#endif

}  // namespace

bool crc32FoldRuns() {
#if PW_X86_KERNELS
    static const bool cpu = __builtin_cpu_supports("pclmul");
    return cpu && simd::kernels().set != simd::KernelSet::Scalar;
#else
    return false;
#endif
}

#if PW_X86_KERNELS
// Four lanes fold 64 bytes ahead until the end is near, then into one lane 16 bytes at a time;
// zlib takes the last lane (its CRC from a zero register is the whole run's) and the tail.
[[gnu::target("pclmul")]] uint32_t crc32Folded(uint32_t crc, const unsigned char* p, size_t size) {
    if (size < 64) return zlibCrc(crc, p, size);
    __m128i x0 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(~crc)));
    __m128i x1 = load(p + 16), x2 = load(p + 32), x3 = load(p + 48);
    p += 64;
    size -= 64;
    const __m128i by64 = _mm_set_epi64x(xPowerReflected(512 - 33), xPowerReflected(512 + 31));
    for (; size >= 64; p += 64, size -= 64) {
        x0 = _mm_xor_si128(fold(x0, by64), load(p));
        x1 = _mm_xor_si128(fold(x1, by64), load(p + 16));
        x2 = _mm_xor_si128(fold(x2, by64), load(p + 32));
        x3 = _mm_xor_si128(fold(x3, by64), load(p + 48));
    }
    const __m128i by16 = _mm_set_epi64x(xPowerReflected(128 - 33), xPowerReflected(128 + 31));
    __m128i x = _mm_xor_si128(fold(x0, by16), x1);
    x = _mm_xor_si128(fold(x, by16), x2);
    x = _mm_xor_si128(fold(x, by16), x3);
    for (; size >= 16; p += 16, size -= 16) x = _mm_xor_si128(fold(x, by16), load(p));
    alignas(16) unsigned char last[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), x);
    return zlibCrc(zlibCrc(0xFFFFFFFFu, last, sizeof last), p, size);
}
#else
uint32_t crc32Folded(uint32_t crc, const unsigned char* p, size_t size) {
    return zlibCrc(crc, p, size);
}
#endif

}  // namespace pw
