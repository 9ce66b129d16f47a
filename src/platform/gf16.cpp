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

void multiplyAddScalar(void* target, const void* source, size_t bytes, uint16_t factor) {
    if (factor == 0) return;
    auto* out = static_cast<unsigned char*>(target);
    const auto* in = static_cast<const unsigned char*>(source);
    const Tables& t = tables();
    const uint32_t logFactor = t.log[factor];
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t v = loadWord(in + i);
        if (v != 0) storeWord(out + i, loadWord(out + i) ^ t.antilog[t.log[v] + logFactor]);
    }
}

void multiplyAdd(void* target, const void* source, size_t bytes, uint16_t factor) {
    bytes &= ~size_t{1};
    if (factor == 0 || bytes == 0) return;
    const auto t = reinterpret_cast<uintptr_t>(target);
    const auto s = reinterpret_cast<uintptr_t>(source);
    gf_t* gf = library();
    // The library refuses regions aligned differently, and reads words in the machine's order.
    if constexpr (std::endian::native == std::endian::little) {
        if (gf && t % 16 == s % 16) {
            // Its length is an int: long regions go in pieces that keep the alignment.
            constexpr size_t kPiece = size_t{1} << 30;
            auto* out = static_cast<unsigned char*>(target);
            auto* in = static_cast<unsigned char*>(const_cast<void*>(source));
            for (size_t done = 0; done < bytes; done += kPiece) {
                const size_t n = std::min(kPiece, bytes - done);
                gf->multiply_region.w32(gf, in + done, out + done, factor, static_cast<int>(n), 1);
            }
            return;
        }
    }
    multiplyAddScalar(target, source, bytes, factor);
}

}  // namespace pw::gf16
