// The kernels with AVX2, 32 bytes a load, for the CPUs that have it; each function is built for
// AVX2 alone, so the rest of the program runs on any x86-64.

#include "codec/kernel_sets.h"

#include <cstring>

#if PW_X86_KERNELS

namespace pw::simd::avx2 {
namespace {

__attribute__((target("avx2"))) size_t asciiPrefixAvx2(const char* p, size_t n) {
    size_t i = 0;
    for (; n - i >= 32; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const unsigned high = unsigned(_mm256_movemask_epi8(v));
        if (high) return i + __builtin_ctz(high);
    }
    return i + sse2::asciiPrefix(p + i, n - i);
}

// The lookup-table check of UTF-8 (three nibble tables and the continuation rule of the two
// bytes before), here for the structural rule: no value checks, only leads F5-FF refused. Four
// bits of the same tables mark the second bytes of values UTF-8 forbids, which well-formed bytes
// may hold, so they cost no instructions of their own.
constexpr char kTooShort = 1;  // a lead not followed by a continuation byte
constexpr char kTooLong = 2;   // a continuation byte after ASCII
constexpr char kTooLarge = 4;  // a continuation byte after F5-FF
constexpr char kTwoConts = char(0x80);
constexpr char kStructure = char(kTooShort | kTooLong | kTooLarge | kTwoConts);
constexpr char kOverlong3 = 0x08;  // E0 80-9F
constexpr char kSurrogate = 0x10;  // ED A0-BF
constexpr char kOverlong4 = 0x20;  // F0 80-8F
constexpr char kPastLimit = 0x40;  // F4 90-BF: past U+10FFFF

__attribute__((target("avx2"))) __m256i prevBytes(__m256i input, __m256i prev, int n) {
    const __m256i joined = _mm256_permute2x128_si256(prev, input, 0x21);
    switch (n) {
        case 1:
            return _mm256_alignr_epi8(input, joined, 15);
        case 2:
            return _mm256_alignr_epi8(input, joined, 14);
        default:
            return _mm256_alignr_epi8(input, joined, 13);
    }
}

__attribute__((target("avx2"))) __m256i highNibbles(__m256i v) {
    return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

__attribute__((target("avx2"))) __m256i equals(__m256i v, char b) {
    return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(b));
}

__attribute__((target("avx2"))) __m256i atMost(__m256i v, char b) {
    return equals(_mm256_max_epu8(v, _mm256_set1_epi8(b)), b);
}

// Checks whole 32-byte blocks that start at a sequence boundary; false when one breaks the rule.
// A sequence the last block leaves open is not an error here: the caller continues it.
__attribute__((target("avx2"))) bool structureBlocksAvx2(const unsigned char* p, size_t blocks,
                                                         bool& nonAscii, bool& odd) {
    const char s = kTooShort, l = kTooLong, g = kTooLarge, t = kTwoConts;
    const char e = char(s | kOverlong3 | kSurrogate), f = char(s | g | kOverlong4 | kPastLimit);
    const __m256i byte1High = _mm256_setr_epi8(          //
        l, l, l, l, l, l, l, l, t, t, t, t, s, s, e, f,  //
        l, l, l, l, l, l, l, l, t, t, t, t, s, s, e, f);
    const char a = char(s | l | t), b = char(s | l | t | g);
    const char a0 = char(a | kOverlong3 | kOverlong4), a4 = char(a | kPastLimit);
    const char bd = char(b | kSurrogate);
    const __m256i byte1Low = _mm256_setr_epi8(              //
        a0, a, a, a, a4, b, b, b, b, b, b, b, b, bd, b, b,  //
        a0, a, a, a, a4, b, b, b, b, b, b, b, b, bd, b, b);
    const char c = char(l | g | t);
    const char c8 = char(c | kOverlong3 | kOverlong4), c9 = char(c | kOverlong3 | kPastLimit);
    const char cab = char(c | kSurrogate | kPastLimit);
    const __m256i byte2High = _mm256_setr_epi8(                //
        s, s, s, s, s, s, s, s, c8, c9, cab, cab, s, s, s, s,  //
        s, s, s, s, s, s, s, s, c8, c9, cab, cab, s, s, s, s);
    const __m256i lastThree = _mm256_setr_epi8(                          //
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, char(0xEF), char(0xDF), char(0xBF));
    // `error` gathers the marks of both kinds; C0 and C1, overlong whatever follows, go apart.
    __m256i prev = _mm256_setzero_si256(), error = prev, incomplete = prev, any = prev, odds = prev;
    // A pointer, not an index: called through the table, the loop took two instructions more.
    for (const unsigned char* const end = p + 32 * blocks; p != end; p += 32) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        any = _mm256_or_si256(any, in);
        if (_mm256_movemask_epi8(in) == 0) {
            // A lead left open before ASCII: a structural mark, whatever its value.
            error = _mm256_or_si256(error, _mm256_min_epu8(incomplete, _mm256_set1_epi8(s)));
            incomplete = _mm256_setzero_si256();
            prev = in;
            continue;
        }
        const __m256i prev1 = prevBytes(in, prev, 1);
        const __m256i special = _mm256_and_si256(
            _mm256_and_si256(
                _mm256_shuffle_epi8(byte1High, highNibbles(prev1)),
                _mm256_shuffle_epi8(byte1Low, _mm256_and_si256(prev1, _mm256_set1_epi8(0x0F)))),
            _mm256_shuffle_epi8(byte2High, highNibbles(in)));
        const __m256i third =
            _mm256_subs_epu8(prevBytes(in, prev, 2), _mm256_set1_epi8(char(0xE0 - 0x80)));
        const __m256i fourth =
            _mm256_subs_epu8(prevBytes(in, prev, 3), _mm256_set1_epi8(char(0xF0 - 0x80)));
        const __m256i must =
            _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(kTwoConts));
        error = _mm256_or_si256(error, _mm256_xor_si256(special, must));
        odds = _mm256_or_si256(
            odds, equals(_mm256_and_si256(in, _mm256_set1_epi8(char(0xFE))), char(0xC0)));
        incomplete = _mm256_subs_epu8(in, lastThree);
        prev = in;
    }
    if (_mm256_movemask_epi8(any)) nonAscii = true;
    const __m256i oddMarks =
        _mm256_set1_epi8(char(kOverlong3 | kSurrogate | kOverlong4 | kPastLimit));
    if (_mm256_movemask_epi8(odds) || !_mm256_testz_si256(error, oddMarks)) odd = true;
    return _mm256_testz_si256(error, _mm256_set1_epi8(kStructure));
}

// The set's members, digits or NULs, and continuation bytes among 32 bytes.
struct Classes {
    __m256i member, digitOrNul, continuation;
};

__attribute__((target("avx2"))) __m256i atLeast(__m256i v, char b) {
    return _mm256_cmpeq_epi8(_mm256_max_epu8(v, _mm256_set1_epi8(b)), v);
}

__attribute__((target("avx2"))) __m256i digits(__m256i v) {
    return _mm256_and_si256(atLeast(v, '0'), atMost(v, '9'));
}

__attribute__((target("avx2"))) Classes classify(__m256i v, __m256i byLow, __m256i byHigh) {
    const __m256i rows =
        _mm256_and_si256(_mm256_shuffle_epi8(byLow, _mm256_and_si256(v, _mm256_set1_epi8(0x0F))),
                         _mm256_shuffle_epi8(byHigh, highNibbles(v)));
    return {_mm256_xor_si256(equals(rows, 0), _mm256_set1_epi8(-1)),
            _mm256_or_si256(digits(v), equals(v, 0)),
            _mm256_andnot_si256(atLeast(v, char(0xC0)), v)};  // 80 or more, not C0 or more
}

__attribute__((target("avx2"))) uint64_t bits64(__m256i lo, __m256i hi) {
    return uint64_t(uint32_t(_mm256_movemask_epi8(lo))) |
           uint64_t(uint32_t(_mm256_movemask_epi8(hi))) << 32;
}

__attribute__((target("avx2"))) void byteBitsAvx2(const char* p, const ByteSet& set,
                                                  ByteBits& out) {
    const __m256i byLow = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(set.byLow.data())));
    const __m256i byHigh = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(set.byHigh.data())));
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const Classes ca = classify(a, byLow, byHigh);
    const Classes cb = classify(b, byLow, byHigh);
    out.members = bits64(ca.member, cb.member);
    out.high = bits64(a, b);
    out.digitsOrNul = bits64(ca.digitOrNul, cb.digitOrNul);
    out.continuations = bits64(ca.continuation, cb.continuation);
}

__attribute__((target("avx2,popcnt"))) size_t countUtf8StartsAvx2(const char* p, size_t blocks,
                                                                  bool crBefore) {
    size_t count = 0;
    uint64_t carry = crBefore;
    for (size_t i = 0; i < blocks; ++i, p += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        // Continuation bytes are the only ones below C0 as signed bytes read: -64.
        const uint64_t continuation = bits64(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), a),
                                             _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), b));
        const uint64_t cr = bits64(equals(a, '\r'), equals(b, '\r'));
        const uint64_t lf = bits64(equals(a, '\n'), equals(b, '\n'));
        count += 64 - size_t(__builtin_popcountll(continuation | (lf & (cr << 1 | carry))));
        carry = cr >> 63;
    }
    return count;
}

__attribute__((target("avx2,popcnt"))) size_t countCodePageStartsAvx2(const char* p, size_t blocks,
                                                                      size_t& chars) {
    // Carried from a block to the next: its first byte is the trail of a pair, or the LF after a
    // CR that starts a character.
    uint64_t trail = 0, crBefore = 0;
    size_t i = 0;
    for (; i < blocks; ++i, p += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const uint64_t leads = gbLeads(bits64(a, b) & ~trail);
        const uint64_t beforeDigit =
            bits64(digits(a), digits(b)) >> 1 | uint64_t(p[64] >= '0' && p[64] <= '9') << 63;
        if ((leads & beforeDigit) != 0) break;
        const uint64_t cr = bits64(equals(a, '\r'), equals(b, '\r'));
        const uint64_t lf = bits64(equals(a, '\n'), equals(b, '\n'));
        uint64_t starts = ~(leads << 1 | trail);
        const uint64_t crStarts = cr & starts;
        starts &= ~(lf & (crStarts << 1 | crBefore));
        chars += size_t(__builtin_popcountll(starts));
        trail = leads >> 63;
        crBefore = crStarts >> 63;
    }
    return i * 64 + size_t(trail | (crBefore & (p[0] == '\n')));
}

__attribute__((target("avx2"))) size_t findAvx2(const char* p, size_t n, std::string_view needle) {
    const size_t m = needle.size();
    const __m256i first = _mm256_set1_epi8(needle[0]), last = _mm256_set1_epi8(needle[m - 1]);
    size_t i = 0;
    for (; n - i >= m + 31; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + m - 1));
        for (unsigned hits = unsigned(_mm256_movemask_epi8(
                 _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
             hits; hits &= hits - 1) {
            const size_t at = i + size_t(__builtin_ctz(hits));
            if (memcmp(p + at + 1, needle.data() + 1, m - 2) == 0) return at;
        }
    }
    return i + sse2::find(p + i, n - i, needle);
}

}  // namespace

const Kernels kKernels = {KernelSet::Avx2,
                          "avx2",
                          asciiPrefixAvx2,
                          sse2::firstOf,
                          findAvx2,
                          sse2::narrowAsciiUtf16,
                          sse2::widenAscii,
                          byteBitsAvx2,
                          countUtf8StartsAvx2,
                          countCodePageStartsAvx2,
                          structureBlocksAvx2,
                          true};

}  // namespace pw::simd::avx2
#endif
