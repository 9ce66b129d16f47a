#pragma once
// Arithmetic in GF(2^16) with the generator 0x1100B, the field of PAR 2.0 recovery data. Regions
// are little-endian 16-bit words, as recovery files store them.

#include <cstddef>
#include <cstdint>

namespace pw::gf16 {

uint16_t multiply(uint16_t a, uint16_t b);
// 0 has no inverse; its "inverse" is 0.
uint16_t inverse(uint16_t a);
uint16_t power(uint16_t base, uint32_t exponent);
// 2 to the power `exponent`.
uint16_t exp2(uint32_t exponent);

// target[i] ^= factor * source[i] over `bytes` bytes (an even count) of 16-bit words, the regions
// anywhere in memory. Through the fastest way the machine has (see Kernel).
void multiplyAdd(void* target, const void* source, size_t bytes, uint16_t factor);

// The ways: our split-table AVX2 kernel (measured faster than gf-complete where the CPU has
// AVX2), gf-complete's (its vector code elsewhere, for regions equally aligned to 16 bytes),
// and the log tables (the reference and the last fallback).
enum class Kernel { Avx2, Library, Tables };
bool hasKernel(Kernel kernel);
// Through one way only, when it is there (else the tables), for tests and benchmarks.
void multiplyAddWith(Kernel kernel, void* target, const void* source, size_t bytes,
                     uint16_t factor);
inline void multiplyAddScalar(void* target, const void* source, size_t bytes, uint16_t factor) {
    multiplyAddWith(Kernel::Tables, target, source, bytes, factor);
}

}  // namespace pw::gf16
