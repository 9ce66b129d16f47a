#include "platform/gf16.h"

// The library's header declares no C linkage.
extern "C" {
#include <gf_complete.h>
}

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <mutex>
#include <new>

#include "codec/kernels.h"

#if PW_X86_KERNELS
#include <immintrin.h>
#endif

namespace pw::gf16 {
namespace {

constexpr uint32_t kGenerator = 0x1100B;
constexpr uint32_t kOrder = 65535;

struct Tables {
    std::array<uint16_t, kOrder * 2> antilog{};
    std::array<uint16_t, 65536> log{};
    Tables() {
        uint32_t x = 1;
        for (uint32_t i = 0; i < kOrder; ++i) {
            antilog[i] = antilog[i + kOrder] = static_cast<uint16_t>(x);
            log[x] = static_cast<uint16_t>(i);
            x <<= 1;
            if (x & 0x10000) x ^= kGenerator;
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// gf-complete's default 16-bit field is this one; its region code uses the vector unit.
gf_t* library() {
    static gf_t gf;
    static bool ready = false;
    static std::once_flag once;
    std::call_once(once, [] { ready = gf_init_easy(&gf, 16) != 0; });
    return ready ? &gf : nullptr;
}

uint16_t loadWord(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void storeWord(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

}  // namespace

uint16_t multiply(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = tables();
    return t.antilog[t.log[a] + t.log[b]];
}

uint16_t inverse(uint16_t a) {
    if (a == 0) return 0;
    const Tables& t = tables();
    return t.antilog[(kOrder - t.log[a]) % kOrder];
}

uint16_t power(uint16_t base, uint32_t exponent) {
    if (exponent == 0) return 1;
    if (base == 0) return 0;
    const Tables& t = tables();
    return t.antilog[(static_cast<uint64_t>(t.log[base]) * exponent) % kOrder];
}

uint16_t exp2(uint32_t exponent) {
    return tables().antilog[exponent % kOrder];
}

namespace {

void tablesMultiplyAdd(unsigned char* out, const unsigned char* in, size_t bytes, uint16_t factor) {
    if (factor == 0) return;
    const Tables& t = tables();
    const uint32_t logFactor = t.log[factor];
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t v = loadWord(in + i);
        if (v != 0) storeWord(out + i, loadWord(out + i) ^ t.antilog[t.log[v] + logFactor]);
    }
}

// The library refuses regions aligned differently and gets short unaligned ones wrong: it takes
// the aligned middle, the tables the ends.
bool libraryMultiplyAdd(unsigned char* out, const unsigned char* in, size_t bytes,
                        uint16_t factor) {
    gf_t* gf = library();
    const auto t = reinterpret_cast<uintptr_t>(out), s = reinterpret_cast<uintptr_t>(in);
    if (!gf || t % 16 != s % 16 || std::endian::native != std::endian::little) return false;
    const size_t head = std::min(bytes, (16 - t % 16) % 16);
    tablesMultiplyAdd(out, in, head, factor);
    const size_t middle = (bytes - head) / 32 * 32;
    // Its length is an int: long regions go in pieces.
    constexpr size_t kPiece = size_t{1} << 30;
    for (size_t done = 0; done < middle; done += kPiece)
        gf->multiply_region.w32(gf, const_cast<unsigned char*>(in + head + done), out + head + done,
                                factor, static_cast<int>(std::min(kPiece, middle - done)), 1);
    tablesMultiplyAdd(out + head + middle, in + head + middle, bytes - head - middle, factor);
    return true;
}

#if PW_X86_KERNELS
// The codec's kernel sets say what the CPU runs; it is not asked again here.
bool avx2Present() {
    static const bool present = [] {
        const auto sets = simd::supportedKernelSets();
        return std::find(sets.begin(), sets.end(), simd::KernelSet::Avx2) != sets.end();
    }();
    return present;
}

__attribute__((target("avx2"))) inline __m256i lookUp(const __m256i* table, __m256i n0, __m256i n1,
                                                      __m256i n2, __m256i n3) {
    return _mm256_xor_si256(
        _mm256_xor_si256(_mm256_shuffle_epi8(table[0], n0), _mm256_shuffle_epi8(table[1], n1)),
        _mm256_xor_si256(_mm256_shuffle_epi8(table[2], n2), _mm256_shuffle_epi8(table[3], n3)));
}

// Each word in four 4-bit pieces; each piece's product looked up in a low-byte and a high-byte
// table of 16 entries. Two vectors of words are split into their low and high bytes (packus),
// and the products put back together in the same lane order (unpack).
__attribute__((target("avx2"))) void avx2MultiplyAdd(unsigned char* out, const unsigned char* in,
                                                     size_t bytes, uint16_t factor) {
    alignas(16) uint8_t lo[4][16], hi[4][16];
    for (int piece = 0; piece < 4; ++piece)
        for (int v = 0; v < 16; ++v) {
            const uint16_t p = multiply(static_cast<uint16_t>(v << (4 * piece)), factor);
            lo[piece][v] = static_cast<uint8_t>(p);
            hi[piece][v] = static_cast<uint8_t>(p >> 8);
        }
    __m256i tl[4], th[4];
    for (int i = 0; i < 4; ++i) {
        tl[i] =
            _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(lo[i])));
        th[i] =
            _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(hi[i])));
    }
    const __m256i nibble = _mm256_set1_epi8(0x0F), lowByte = _mm256_set1_epi16(0x00FF);
    size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 32));
        const __m256i l =
            _mm256_packus_epi16(_mm256_and_si256(a, lowByte), _mm256_and_si256(b, lowByte));
        const __m256i h = _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
        const __m256i n0 = _mm256_and_si256(l, nibble);
        const __m256i n1 = _mm256_and_si256(_mm256_srli_epi16(l, 4), nibble);
        const __m256i n2 = _mm256_and_si256(h, nibble);
        const __m256i n3 = _mm256_and_si256(_mm256_srli_epi16(h, 4), nibble);
        const __m256i pl = lookUp(tl, n0, n1, n2, n3), ph = lookUp(th, n0, n1, n2, n3);
        auto* o = reinterpret_cast<__m256i*>(out + i);
        _mm256_storeu_si256(o,
                            _mm256_xor_si256(_mm256_loadu_si256(o), _mm256_unpacklo_epi8(pl, ph)));
        _mm256_storeu_si256(
            o + 1, _mm256_xor_si256(_mm256_loadu_si256(o + 1), _mm256_unpackhi_epi8(pl, ph)));
    }
    tablesMultiplyAdd(out + i, in + i, bytes - i, factor);
}
#endif

}  // namespace

bool hasKernel(Kernel kernel) {
    switch (kernel) {
        case Kernel::Avx2:
#if PW_X86_KERNELS
            return avx2Present() && std::endian::native == std::endian::little;
#else
            return false;
#endif
        case Kernel::Library:
            return library() != nullptr && std::endian::native == std::endian::little;
        case Kernel::Tables:
            return true;
    }
    return false;
}

void multiplyAddWith(Kernel kernel, void* target, const void* source, size_t bytes,
                     uint16_t factor) {
    bytes &= ~size_t{1};
    if (factor == 0 || bytes == 0) return;
    auto* out = static_cast<unsigned char*>(target);
    const auto* in = static_cast<const unsigned char*>(source);
#if PW_X86_KERNELS
    if (kernel == Kernel::Avx2 && hasKernel(Kernel::Avx2))
        return avx2MultiplyAdd(out, in, bytes, factor);
#endif
    if (kernel == Kernel::Library && hasKernel(Kernel::Library) &&
        libraryMultiplyAdd(out, in, bytes, factor))
        return;
    tablesMultiplyAdd(out, in, bytes, factor);
}

// The AVX2 kernel while the codec's chosen set is AVX2, so that PARTWELL_KERNELS pins this too.
void multiplyAdd(void* target, const void* source, size_t bytes, uint16_t factor) {
    const bool avx2 = simd::kernels().set == simd::KernelSet::Avx2;
    multiplyAddWith(avx2 ? Kernel::Avx2 : Kernel::Library, target, source, bytes, factor);
}

}  // namespace pw::gf16
