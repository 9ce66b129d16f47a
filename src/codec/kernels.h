#pragma once
// The vector kernels behind simd_text.h: one table per instruction set, the best one the CPU runs
// chosen once, on first use. PARTWELL_KERNELS=scalar|sse2|avx2 in the environment pins one; a
// value that names no set this build and CPU have is said on standard error, and the best one
// taken instead. Every set answers every kernel exactly as the scalar one does.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Vector code is compiled only for x86-64, and not at all in a build configured with
// -DPARTWELL_KERNELS=scalar (which stands in for a machine without these instruction sets).
#if defined(__x86_64__) && !defined(PARTWELL_SCALAR_KERNELS)
#define PW_X86_KERNELS 1
#endif

namespace pw::simd {

struct ByteSet;
struct ByteBits;

enum class KernelSet { Scalar, Sse2, Avx2 };

struct Kernels {
    KernelSet set;
    const char* name;
    size_t (*asciiPrefix)(const char* p, size_t n);
    size_t (*firstOf)(const char* p, size_t n, std::string_view bytes);
    // Where `needle` (two bytes or more) first occurs in the n bytes at `p`; n when nowhere.
    size_t (*find)(const char* p, size_t n, std::string_view needle);
    size_t (*narrowAsciiUtf16)(const char* p, size_t units, bool bigEndian, char* out);
    void (*widenAscii)(const char* p, size_t n, bool bigEndian, char* out);
    void (*byteBits)(const char* p, const ByteSet& set, ByteBits& out);
    size_t (*countUtf8Starts)(const char* p, size_t blocks, bool crBefore);
    size_t (*countCodePageStarts)(const char* p, size_t blocks, size_t& chars);
    // The structural UTF-8 check of whole 32-byte blocks from a sequence boundary: false when one
    // breaks the rule. Null in a set without one: Utf8Structure then reads runs of ASCII.
    bool (*utf8Blocks)(const unsigned char* p, size_t blocks, bool& nonAscii, bool& odd);
    // Whether byteBits() and a population count cost a fraction of a byte-at-a-time loop, so that
    // a scan is best done 64 bytes at a time, in code built with PW_BLOCK_TARGET.
    bool fastBlocks;
};

// The chosen set.
const Kernels& kernels();

// "scalar", "sse2" or "avx2", as PARTWELL_KERNELS names them.
const char* kernelSetName(KernelSet set);

// The sets this build has and this CPU runs, the plainest first.
std::vector<KernelSet> supportedKernelSets();

// Makes `set` the chosen one from now on, for tests that run once with each set; false, with
// nothing changed, when the CPU or the build lacks it. Not to be called while another thread
// scans.
bool pinKernels(KernelSet set);

}  // namespace pw::simd

// The target of code that runs only when kernels().fastBlocks: it may use the population count.
#if PW_X86_KERNELS
#define PW_BLOCK_TARGET [[gnu::target("popcnt")]]
#else
#define PW_BLOCK_TARGET
#endif
