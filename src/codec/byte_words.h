#pragma once
// Eight bytes as one word: tests on every byte at once, in plain C++ (no vector unit needed).

#include <cstdint>
#include <cstring>

namespace pw::simd {

inline constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;

inline uint64_t wordAt(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The high bit of every byte of `word` that is zero.
inline uint64_t zeroBytes(uint64_t word) {
    constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    return ~(((word & kLows) + kLows) | word) & kHighs;
}

// How many of a word's eight UTF-8 bytes start a character: all but continuation bytes and the
// LF of CR LF. `crEnds` holds the high bit of a CR ending the word before, and is set for the next.
inline size_t utf8StartsInWord(uint64_t word, uint64_t& crEnds) {
    const uint64_t continuation = word & ~(word << 1) & kHighs;
    const uint64_t cr = zeroBytes(word ^ (kOnes * '\r')), lf = zeroBytes(word ^ (kOnes * '\n'));
    // One high bit for each byte that starts no character: a multiply adds them up (the baseline
    // instruction set has no population count).
    const uint64_t noStart = (continuation | (lf & (cr << 8 | crEnds))) >> 7;
    crEnds = cr >> 56;
    return 8 - size_t((noStart * kOnes) >> 56);
}

}  // namespace pw::simd
