#include "platform/simd_text.h"

#include <cstring>
#include <stdexcept>

#if defined(__x86_64__)
#include <immintrin.h>
#define PW_X86 1
#endif

namespace pw::simd {
namespace {

#if PW_X86

size_t asciiPrefixSse2(const char* p, size_t n) {
    size_t i = 0;
    for (; n - i >= 16; i += 16) {
        const int high =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (high) return i + __builtin_ctz(unsigned(high));
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

__attribute__((target("avx2"))) size_t asciiPrefixAvx2(const char* p, size_t n) {
    size_t i = 0;
    for (; n - i >= 32; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const unsigned high = unsigned(_mm256_movemask_epi8(v));
        if (high) return i + __builtin_ctz(high);
    }
    return i + asciiPrefixSse2(p + i, n - i);
}

// Where the first 16-byte block from `p` on that holds one of `bytes` holds it; else where the
// whole blocks end.
size_t firstOfSse2(const char* p, size_t n, std::string_view bytes) {
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

// The lookup-table check of UTF-8 (three nibble tables and the continuation rule of the two
// bytes before), here for the structural rule: no value checks, only leads F5-FF refused.
constexpr char kTooShort = 1;  // a lead not followed by a continuation byte
constexpr char kTooLong = 2;   // a continuation byte after ASCII
constexpr char kTooLarge = 4;  // a continuation byte after F5-FF
constexpr char kTwoConts = char(0x80);

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

// Where well-formed bytes hold a value UTF-8 forbids: a lead C0 or C1, or a second byte after E0,
// ED, F0 or F4 out of its narrower range (overlong forms, surrogates, past U+10FFFF).
__attribute__((target("avx2"))) __m256i oddValuesAvx2(__m256i in, __m256i prev1) {
    const __m256i low = atMost(in, char(0x9F)), below90 = atMost(in, char(0x8F));
    const __m256i twoByteOverlong =
        equals(_mm256_and_si256(in, _mm256_set1_epi8(char(0xFE))), char(0xC0));
    return _mm256_or_si256(
        _mm256_or_si256(twoByteOverlong, _mm256_and_si256(equals(prev1, char(0xE0)), low)),
        _mm256_or_si256(_mm256_or_si256(_mm256_andnot_si256(low, equals(prev1, char(0xED))),
                                        _mm256_and_si256(equals(prev1, char(0xF0)), below90)),
                        _mm256_andnot_si256(below90, equals(prev1, char(0xF4)))));
}

// Checks whole 32-byte blocks that start at a sequence boundary; false when one breaks the rule.
// A sequence the last block leaves open is not an error here: the caller continues it.
__attribute__((target("avx2"))) bool structureBlocksAvx2(const unsigned char* p, size_t blocks,
                                                         bool& nonAscii, bool& odd) {
    const char s = kTooShort, l = kTooLong, g = kTooLarge, t = kTwoConts;
    const __m256i byte1High = _mm256_setr_epi8(                    //
        l, l, l, l, l, l, l, l, t, t, t, t, s, s, s, char(s | g),  //
        l, l, l, l, l, l, l, l, t, t, t, t, s, s, s, char(s | g));
    const char a = char(s | l | t), b = char(s | l | t | g);
    const __m256i byte1Low = _mm256_setr_epi8(           //
        a, a, a, a, a, b, b, b, b, b, b, b, b, b, b, b,  //
        a, a, a, a, a, b, b, b, b, b, b, b, b, b, b, b);
    const char c = char(l | g | t);
    const __m256i byte2High = _mm256_setr_epi8(          //
        s, s, s, s, s, s, s, s, c, c, c, c, s, s, s, s,  //
        s, s, s, s, s, s, s, s, c, c, c, c, s, s, s, s);
    const __m256i lastThree = _mm256_setr_epi8(                          //
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, char(0xEF), char(0xDF), char(0xBF));
    __m256i prev = _mm256_setzero_si256(), error = prev, incomplete = prev, any = prev, odds = prev;
    for (size_t k = 0; k < blocks; ++k) {
        const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
        any = _mm256_or_si256(any, in);
        if (_mm256_movemask_epi8(in) == 0) {
            error = _mm256_or_si256(error, incomplete);
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
        odds = _mm256_or_si256(odds, oddValuesAvx2(in, prev1));
        incomplete = _mm256_subs_epu8(in, lastThree);
        prev = in;
    }
    if (_mm256_movemask_epi8(any)) nonAscii = true;
    if (_mm256_movemask_epi8(odds)) odd = true;
    return _mm256_testz_si256(error, error);
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

bool hasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();  // a static constructor elsewhere may ask first
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

#endif

// Continuation bytes still due after a well-formed stretch whose last three bytes are given
// (the latest last); -1 when the last byte is a lead no sequence has.
int neededAfter(unsigned char b0, unsigned char b1, unsigned char b2) {
    if (b2 >= 0xF5) return -1;
    if (b2 >= 0xC0) return b2 >= 0xF0 ? 3 : b2 >= 0xE0 ? 2 : 1;
    if (b1 >= 0xE0) return b1 >= 0xF0 ? 2 : 1;
    return b0 >= 0xF0 ? 1 : 0;
}

}  // namespace

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

bool hasByteBits() {
#if PW_X86
    return hasAvx2();
#else
    return false;
#endif
}

void byteBits(const char* p, const ByteSet& set, ByteBits& out) {
#if PW_X86
    byteBitsAvx2(p, set, out);
#else
    (void)p, (void)set, (void)out;
#endif
}

size_t countUtf8Starts(const char* p, size_t blocks, bool crBefore) {
#if PW_X86
    return countUtf8StartsAvx2(p, blocks, crBefore);
#else
    (void)p, (void)blocks, (void)crBefore;
    return 0;
#endif
}

size_t countCodePageStarts(const char* p, size_t blocks, size_t& chars) {
#if PW_X86
    return countCodePageStartsAvx2(p, blocks, chars);
#else
    (void)p, (void)blocks, (void)chars;
    return 0;
#endif
}

size_t asciiPrefix(const char* p, size_t n) {
#if PW_X86
    return hasAvx2() ? asciiPrefixAvx2(p, n) : asciiPrefixSse2(p, n);
#else
    size_t i = 0;
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
#endif
}

size_t firstOf(const char* p, size_t n, std::string_view bytes) {
    if (bytes.size() > 4) throw std::logic_error("firstOf() of more than four bytes");
    if (bytes.empty()) return n;
    size_t i = 0;
#if PW_X86
    i = firstOfSse2(p, n, bytes);
#endif
    // The bytes after the whole blocks; at once when a block held one.
    while (i < n && bytes.find(p[i]) == std::string_view::npos) ++i;
    return i;
}

size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out) {
    size_t i = 0;
#if PW_X86
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
#endif
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    for (; i < units; ++i) {
        const unsigned lo = u[2 * i + (bigEndian ? 1 : 0)], hi = u[2 * i + (bigEndian ? 0 : 1)];
        if (hi != 0 || lo >= 0x80) break;
        out[i] = char(lo);
    }
    return i;
}

void widenAscii(const char* p, size_t n, bool bigEndian, char* out) {
    size_t i = 0;
#if PW_X86
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i zero = _mm_setzero_si128();
        const __m128i lo = bigEndian ? _mm_unpacklo_epi8(zero, v) : _mm_unpacklo_epi8(v, zero);
        const __m128i hi = bigEndian ? _mm_unpackhi_epi8(zero, v) : _mm_unpackhi_epi8(v, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), hi);
    }
#endif
    for (; i < n; ++i) {
        out[2 * i + (bigEndian ? 1 : 0)] = p[i];
        out[2 * i + (bigEndian ? 0 : 1)] = 0;
    }
}

void Utf8Structure::feed(const char* data, size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t i = 0;
    while (!failed_ && i < n) {
        if (needed_ == 0) {
#if PW_X86
            if (hasAvx2() && n - i >= 64) {
                const size_t blocks = (n - i) / 32;
                if (!structureBlocksAvx2(p + i, blocks, sawNonAscii_, sawOddValues_)) {
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
#endif
            const size_t ascii = asciiPrefix(data + i, n - i);
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
