#pragma once
// Vector scans over text bytes: ASCII runs for the codec and the structural UTF-8 test. Each
// runs the kernel set chosen once for this CPU (kernels.h), and answers the same on every one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pw::simd {

// How many bytes from `p` on are below 0x80 (at most `n`).
size_t asciiPrefix(const char* p, size_t n);

// Where the first of the n bytes at `p` that is one of `bytes` (at most four) is; n when none is.
// One pass for what would take a memchr() for each.
size_t firstOf(const char* p, size_t n, std::string_view bytes);

// Where `needle` first occurs in the n bytes at `p`; n when nowhere (and for an empty needle).
// Candidates are the positions where its first and last bytes both match, sixteen or thirty-two
// at a time: far fewer than memmem() visits in text where the needle's bytes are common ones.
size_t find(const char* p, size_t n, std::string_view needle);

// How many 16-bit units from `p` on (at most `units`) hold a value below 0x80; each of them is
// written to `out` as one byte.
size_t narrowAsciiUtf16(const char* p, size_t units, bool bigEndian, char* out);

// Writes each of the `n` ASCII bytes at `p` as one 16-bit unit to `out`.
void widenAscii(const char* p, size_t n, bool bigEndian, char* out);

// A set of byte values, looked up sixteen or thirty-two bytes at a time by their two nibbles.
// At most eight rows of sixteen values (bytes that share their high nibble) may hold members.
struct ByteSet {
    explicit ByteSet(const std::array<bool, 256>& members);
    std::array<uint8_t, 16> byLow{};   // the rows, as bits, where a low nibble is a member
    std::array<uint8_t, 16> byHigh{};  // the bit of each row
};

// What the 64 bytes at `p` are, bit i for p[i].
struct ByteBits {
    uint64_t members;        // in the set
    uint64_t high;           // 80 or more
    uint64_t digitsOrNul;    // '0' to '9', or NUL
    uint64_t continuations;  // 80 to BF
};

// The bytes of a block of code-page text, starting where a character starts, that open a
// two-byte character, from `high`, its bytes of 80 or more: such a byte pairs with the next,
// whatever that is, so in a run of them every other byte opens one, from the run's first.
inline uint64_t gbLeads(uint64_t high) {
    constexpr uint64_t kEven = 0x5555555555555555ull;
    const uint64_t evenRuns = high & ~(high + (high & ~(high << 1) & kEven));
    return (evenRuns & kEven) | (high & ~evenRuns & ~kEven);
}

void byteBits(const char* p, const ByteSet& set, ByteBits& out);

// How many characters start in the `blocks` blocks of 64 bytes at `p`, read as UTF-8: at every
// byte but a continuation byte (80-BF) and the LF of CR LF; `crBefore` when the byte before `p`
// is a CR.
size_t countUtf8Starts(const char* p, size_t blocks, bool crBefore);

// Counts the characters of code-page text at `p`, which starts where a character starts, up to
// `blocks` blocks of 64 bytes, as charLengthAt() walks them, adding them to `chars`. Stops before
// a block where a lead byte comes before a digit, which may open a four-byte character. Returns
// the bytes counted: whole blocks, and the byte after them when the last character ends there
// (a pair, or CR LF). Reads one byte past the blocks.
size_t countCodePageStarts(const char* p, size_t blocks, size_t& chars);

// The structural UTF-8 rule, fed in pieces: every byte of 80 or more belongs to a sequence whose
// lead is C0-DF, E0-EF or F0-F4 followed by one, two or three bytes 80-BF. Values are not checked
// (overlong forms and surrogates pass).
class Utf8Structure {
  public:
    // Takes the next bytes; a sequence may continue into the next call.
    void feed(const char* p, size_t n);
    // Whether a byte fed so far broke the rule; then nothing fed later mends it.
    bool failed() const { return failed_; }
    // Whether everything fed so far is well formed and ends with a whole sequence.
    bool wellFormed() const { return !failed_ && needed_ == 0; }
    // Whether any byte of 80 or more was fed.
    bool sawNonAscii() const { return sawNonAscii_; }
    // Whether a well-formed sequence held a value UTF-8 forbids (an overlong form, a surrogate, a
    // value past U+10FFFF): without one, well-formed bytes are valid UTF-8.
    bool sawOddValues() const { return sawOddValues_; }

  private:
    bool failed_ = false;
    bool sawNonAscii_ = false;
    bool sawOddValues_ = false;
    unsigned char pendingLead_ = 0;  // a lead whose second byte is still due
    size_t needed_ = 0;              // continuation bytes the last sequence still needs
};

}  // namespace pw::simd
