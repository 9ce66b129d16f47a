#include "codec/simd_text.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "codec/kernel_sets.h"

namespace pw::simd {
namespace {

// The table of `set` when this build has it and the CPU runs it; null else.
const Kernels* supported(KernelSet set) {
    switch (set) {
        case KernelSet::Scalar:
            return &scalar::kKernels;
#if PW_X86_KERNELS
        case KernelSet::Sse2:
            return &sse2::kKernels;  // the x86-64 baseline
        case KernelSet::Avx2: {
            static const bool has = [] {
                __builtin_cpu_init();  // a static constructor elsewhere may ask first
                return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
            }();
            return has ? &avx2::kKernels : nullptr;
        }
#else
        default:
            return nullptr;
#endif
    }
    return nullptr;
}

constexpr KernelSet kAllSets[] = {KernelSet::Scalar, KernelSet::Sse2, KernelSet::Avx2};

const Kernels* best() {
    const Kernels* found = &scalar::kKernels;
    for (const KernelSet set : kAllSets)
        if (const Kernels* k = supported(set)) found = k;
    return found;
}

// The best set, or the one PARTWELL_KERNELS names; a name that is none of them, or one this
// machine cannot run, is said once and the best taken instead.
const Kernels* choose() {
    const char* wanted = std::getenv("PARTWELL_KERNELS");
    if (wanted == nullptr || *wanted == '\0') return best();
    std::string runnable;
    for (const KernelSet set : kAllSets)
        if (const Kernels* k = supported(set)) {
            if (std::string_view(k->name) == wanted) return k;
            runnable += runnable.empty() ? "" : ", ";
            runnable += k->name;
        }
    std::fprintf(
        stderr,
        "PARTWELL_KERNELS=%s: not a kernel set of this build and processor (%s); using %s\n",
        wanted, runnable.c_str(), best()->name);
    return best();
}

// The chosen table; set once on first use, and again only by pinKernels().
std::atomic<const Kernels*> active{nullptr};

// Continuation bytes still due after a well-formed stretch whose last three bytes are given
// (the latest last); -1 when the last byte is a lead no sequence has.
int neededAfter(unsigned char b0, unsigned char b1, unsigned char b2) {
    if (b2 >= 0xF5) return -1;
    if (b2 >= 0xC0) return b2 >= 0xF0 ? 3 : b2 >= 0xE0 ? 2 : 1;
    if (b1 >= 0xE0) return b1 >= 0xF0 ? 2 : 1;
    return b0 >= 0xF0 ? 1 : 0;
}

// The table chosen before, or, the first time, the one chosen now.
[[gnu::noinline]] const Kernels& chooseOnFirstUse() {
    static const Kernels* const first = choose();  // once, whichever thread comes first
    const Kernels* none = nullptr;
    active.compare_exchange_strong(none, first);  // a pin made meanwhile stays
    return *active.load(std::memory_order_acquire);
}

inline const Kernels& chosen() {
    const Kernels* k = active.load(std::memory_order_acquire);
    return k != nullptr ? *k : chooseOnFirstUse();
}

}  // namespace

const Kernels& kernels() {
    return chosen();
}

const char* kernelSetName(KernelSet set) {
    switch (set) {
        case KernelSet::Scalar:
            return "scalar";
        case KernelSet::Sse2:
            return "sse2";
        case KernelSet::Avx2:
            return "avx2";
    }
    return "?";
}

std::vector<KernelSet> supportedKernelSets() {
    std::vector<KernelSet> sets;
    for (const KernelSet set : kAllSets)
        if (supported(set)) sets.push_back(set);
    return sets;
}

bool pinKernels(KernelSet set) {
    const Kernels* k = supported(set);
    if (k == nullptr) return false;
    active.store(k, std::memory_order_release);
    return true;
}

ByteSet::ByteSet(const std::array<bool, 256>& members) {
    uint8_t nextBit = 1;
    for (size_t row = 0; row < 16; ++row) {
        bool any = false;
        for (size_t low = 0; low < 16; ++low) any = any || members[row << 4 | low];
        if (!any) continue;
        if (nextBit == 0) throw std::logic_error("a byte set of more than eight rows");
        byHigh[row] = nextBit;
        for (size_t low = 0; low < 16; ++low)
            if (members[row << 4 | low]) byLow[low] |= nextBit;
        nextBit = uint8_t(nextBit << 1);
    }
}

void byteBits(const char* p, const ByteSet& set, ByteBits& out) {
    chosen().byteBits(p, set, out);
}

size_t countUtf8Starts(const char* p, size_t blocks, bool crBefore) {
    return chosen().countUtf8Starts(p, blocks, crBefore);
}

size_t countCodePageStarts(const char* p, size_t blocks, size_t& chars) {
    return chosen().countCodePageStarts(p, blocks, chars);
}

size_t asciiPrefix(const char* p, size_t n) {
    return chosen().asciiPrefix(p, n);
}

size_t firstOf(const char* p, size_t n, std::string_view bytes) {
    if (bytes.size() > 4) throw std::logic_error("firstOf() of more than four bytes");
    if (bytes.empty()) return n;
    return chosen().firstOf(p, n, bytes);
}

size_t find(const char* p, size_t n, std::string_view needle) {
    if (needle.empty() || needle.size() > n) return n;
    if (needle.size() == 1) {
        const void* hit = memchr(p, needle[0], n);
        return hit ? size_t(static_cast<const char*>(hit) - p) : n;
    }
    return chosen().find(p, n, needle);
}

size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out) {
    return chosen().narrowAsciiUtf16(p, units, bigEndian, out);
}

void widenAscii(const char* p, size_t n, bool bigEndian, char* out) {
    chosen().widenAscii(p, n, bigEndian, out);
}

void Utf8Structure::feed(const char* data, size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const Kernels& k = chosen();
    size_t i = 0;
    while (!failed_ && i < n) {
        if (needed_ == 0) {
            if (k.utf8Blocks && n - i >= 64) {
                const size_t blocks = (n - i) / 32;
                if (!k.utf8Blocks(p + i, blocks, sawNonAscii_, sawOddValues_)) {
                    failed_ = true;
                    break;
                }
                i += blocks * 32;
                const int needed = neededAfter(p[i - 3], p[i - 2], p[i - 1]);
                failed_ = needed < 0;
                needed_ = size_t(needed < 0 ? 0 : needed);
                // A lead that ends the blocks has its second byte checked below.
                pendingLead_ = needed_ && p[i - 1] >= 0xC0 ? p[i - 1] : 0;
                continue;
            }
            const size_t ascii = k.asciiPrefix(data + i, n - i);
            i += ascii;
            if (i == n) break;
            const unsigned char lead = p[i++];
            sawNonAscii_ = true;
            if (lead < 0xC0 || lead > 0xF4) failed_ = true;
            if (lead < 0xC2) sawOddValues_ = true;
            needed_ = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
            pendingLead_ = lead;
        } else {
            const unsigned char b = p[i++];
            if ((b & 0xC0) != 0x80) failed_ = true;
            if ((pendingLead_ == 0xE0 && b < 0xA0) || (pendingLead_ == 0xED && b >= 0xA0) ||
                (pendingLead_ == 0xF0 && b < 0x90) || (pendingLead_ == 0xF4 && b >= 0x90))
                sawOddValues_ = true;
            pendingLead_ = 0;
            --needed_;
        }
    }
}

}  // namespace pw::simd
