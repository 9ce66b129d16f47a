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

// target[i] ^= factor * source[i] over `bytes` bytes (an even count) of 16-bit words. The
// regions may lie anywhere in memory; the fast path wants them equally aligned to 16 bytes.
void multiplyAdd(void* target, const void* source, size_t bytes, uint16_t factor);

// The same through the log tables alone, never the library: the reference and the fallback.
void multiplyAddScalar(void* target, const void* source, size_t bytes, uint16_t factor);

}  // namespace pw::gf16
