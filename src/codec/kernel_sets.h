#pragma once
// The kernels of each instruction set, for their tables and the choice among them (simd_text.cpp);
// a set takes a plainer set's kernel where it has no better one. Only the codec includes this.

#include "codec/kernels.h"
#include "codec/simd_text.h"

#if PW_X86_KERNELS
#include <immintrin.h>
#endif

namespace pw::simd {

namespace scalar {
size_t asciiPrefix(const char* p, size_t n);
size_t firstOf(const char* p, size_t n, std::string_view bytes);
size_t find(const char* p, size_t n, std::string_view needle);
size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out);
void widenAscii(const char* p, size_t n, bool bigEndian, char* out);
void byteBits(const char* p, const ByteSet& set, ByteBits& out);
size_t countUtf8Starts(const char* p, size_t blocks, bool crBefore);
size_t countCodePageStarts(const char* p, size_t blocks, size_t& chars);
extern const Kernels kKernels;
}  // namespace scalar

#if PW_X86_KERNELS
namespace sse2 {
// Inline, so that the AVX2 kernel takes it for the bytes after its whole blocks.
inline size_t asciiPrefix(const char* p, size_t n) {
    size_t i = 0;
    for (; n - i >= 16; i += 16) {
        const int high =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (high) return i + __builtin_ctz(unsigned(high));
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}
size_t firstOf(const char* p, size_t n, std::string_view bytes);
size_t find(const char* p, size_t n, std::string_view needle);
size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out);
void widenAscii(const char* p, size_t n, bool bigEndian, char* out);
extern const Kernels kKernels;
}  // namespace sse2

namespace avx2 {
extern const Kernels kKernels;
}  // namespace avx2
#endif

}  // namespace pw::simd
