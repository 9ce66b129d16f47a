// The kernels with SSE2, the x86-64 baseline: ASCII runs and byte searches sixteen bytes a load.
// The block kernels it has no better form of are the scalar ones.

#include "codec/kernel_sets.h"

#include <cstring>

#if PW_X86_KERNELS

namespace pw::simd::sse2 {
namespace {

// Where the first 16-byte block from `p` on that holds one of `bytes` holds it; else where the
// whole blocks end.
size_t firstOfBlocks(const char* p, size_t n, std::string_view bytes) {
    const auto wanted = [&](size_t k) { return _mm_set1_epi8(bytes[k < bytes.size() ? k : 0]); };
    const __m128i w0 = wanted(0), w1 = wanted(1), w2 = wanted(2), w3 = wanted(3);
    const auto hits = [&](size_t at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, w0), _mm_cmpeq_epi8(v, w1)),
                         _mm_or_si128(_mm_cmpeq_epi8(v, w2), _mm_cmpeq_epi8(v, w3)));
        return uint64_t(unsigned(_mm_movemask_epi8(any)));
    };
    size_t i = 0;
    for (; n - i >= 64; i += 64) {
        const uint64_t found =
            hits(i) | hits(i + 16) << 16 | hits(i + 32) << 32 | hits(i + 48) << 48;
        if (found) return i + size_t(__builtin_ctzll(found));
    }
    for (; n - i >= 16; i += 16)
        if (const uint64_t found = hits(i)) return i + size_t(__builtin_ctzll(found));
    return i;
}

}  // namespace

size_t firstOf(const char* p, size_t n, std::string_view bytes) {
    const size_t i = firstOfBlocks(p, n, bytes);
    // The bytes after the whole blocks; at once when a block held one.
    return i + scalar::firstOf(p + i, n - i, bytes);
}

size_t find(const char* p, size_t n, std::string_view needle) {
    const size_t m = needle.size();
    const __m128i first = _mm_set1_epi8(needle[0]), last = _mm_set1_epi8(needle[m - 1]);
    size_t i = 0;
    for (; n - i >= m + 15; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m - 1));
        for (unsigned hits = unsigned(_mm_movemask_epi8(
                 _mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
             hits; hits &= hits - 1) {
            const size_t at = i + size_t(__builtin_ctz(hits));
            if (memcmp(p + at + 1, needle.data() + 1, m - 2) == 0) return at;
        }
    }
    return i + scalar::find(p + i, n - i, needle);
}

size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out) {
    size_t i = 0;
    // Eight units a load: each must be 00xx with xx below 80.
    const __m128i high = _mm_set1_epi16(bigEndian ? int16_t(0x80FF) : int16_t(0xFF80));
    for (; units - i >= 8; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high), _mm_setzero_si128())) !=
            0xFFFF)
            break;
        if (bigEndian) v = _mm_srli_epi16(v, 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
    return i + scalar::narrowAsciiUtf16(p + 2 * i, units - i, bigEndian, out + i);
}

void widenAscii(const char* p, size_t n, bool bigEndian, char* out) {
    size_t i = 0;
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i zero = _mm_setzero_si128();
        const __m128i lo = bigEndian ? _mm_unpacklo_epi8(zero, v) : _mm_unpacklo_epi8(v, zero);
        const __m128i hi = bigEndian ? _mm_unpackhi_epi8(zero, v) : _mm_unpackhi_epi8(v, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), hi);
    }
    scalar::widenAscii(p + i, n - i, bigEndian, out + 2 * i);
}

const Kernels kKernels = {KernelSet::Sse2,
                          "sse2",
                          asciiPrefix,
                          firstOf,
                          find,
                          narrowAsciiUtf16,
                          widenAscii,
                          scalar::byteBits,
                          scalar::countUtf8Starts,
                          scalar::countCodePageStarts,
                          nullptr,
                          false};

}  // namespace pw::simd::sse2
#endif
