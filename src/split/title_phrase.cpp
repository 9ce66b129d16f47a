#include "split/title_phrase.h"

#include <algorithm>
#include <bitset>

#include "codec/kernels.h"
#include "codec/simd_text.h"
#include "platform/allocator.h"
#include "split/strip_tags.h"
#include "text/chars.h"
#include "text/encoding_convert.h"
#include "text/line_breaks.h"
#include "text/regex_helper.h"
#include "text/system_texts.h"

namespace pw {
namespace {

// Removes every occurrence of `what`; reports whether there was one.
bool removeAll(Text& text, std::string_view what) {
    bool found = false;
    for (size_t at; (at = text.find(what)) != Text::npos; found = true) text.erase(at, what.size());
    return found;
}

// The characters that end a phrase, as the separator pattern's class takes them: the set without
// its two sequences, and "." for the "?" a wildcard text turns into ".?".
std::vector<Text> separatorChars() {
    Text set = lit(texts::kTitleSeparators);
    removeAll(set, "\r\n");
    removeAll(set, ". ");
    std::vector<Text> chars;
    for (size_t pos = 0; pos < set.size();) {
        const size_t len = charLengthAt(set, pos);
        chars.push_back(set.substr(pos, len));
        if (len == 1 && (set[pos] == '?' || set[pos] == '*')) chars.emplace_back(".");
        pos += len;
    }
    return chars;
}

constexpr size_t kStartEvery = 64;
constexpr size_t kLengthCap = 255;
constexpr uint16_t kNoKey = 0;

// A character's length and its key in the separator table: ASCII by its value, other characters
// by their two bytes in the code page or their code point up to FFFF in UTF-8; kNoKey else.
struct CharKey {
    size_t len;
    uint16_t key;
};

// How a text's characters are told apart and which of them end a phrase, for code-page text or
// for valid UTF-8. Plain bytes are ASCII characters that neither end a phrase, nor are spaces,
// nor may start the marker: runs of them are skipped at once.
struct CharRules {
    bool utf8;
    std::array<bool, 128> single{};
    std::array<bool, 256> plain{};
    std::bitset<65536> separator;      // by key
    std::array<bool, 256> wideLead{};  // the first bytes of separators and of the full-width space
    uint16_t spaceKey;
    Text marker;
    simd::ByteSet events;  // the bytes a character that is not plain starts with

    explicit CharRules(bool utf8Text)
        : utf8(utf8Text),
          spaceKey(utf8 ? 0x3000 : 0xA1A1),
          marker(inText(lit(texts::kPhraseMarker))),
          events(eventBytes()) {}

    Text inText(const Text& codePage) const {
        return utf8 ? convertEncoding(codePage, kCodePage, "UTF-8") : codePage;
    }

    std::array<bool, 256> eventBytes() {
        for (const Text& sep : separatorChars()) {
            const Text c = inText(sep);
            const auto* b = reinterpret_cast<const unsigned char*>(c.data());
            if (c.size() == 1 && b[0] < 128) single[b[0]] = true;
            if (c.size() > 1) {
                separator.set(wideAt(c, 0).key);
                wideLead[b[0]] = true;
            }
        }
        separator.reset(kNoKey);
        wideLead[static_cast<unsigned char>(inText(lit(texts::kFullWidthSpace))[0])] = true;
        single['\r'] = single['\n'] = true;
        for (size_t c = 0; c < 128; ++c) separator[c] = single[c];
        std::array<bool, 256> members{};
        for (size_t c = 0; c < 256; ++c) {
            plain[c] = c < 128 && !single[c] && c != ' ' && c != '[';
            members[c] = c < 128 ? !plain[c] : wideLead[c];
        }
        return members;
    }

    // The key of the UTF-8 sequence of `len` bytes at `p`: its code point up to FFFF.
    [[gnu::always_inline]] static uint16_t utf8Key(const unsigned char* p, size_t len) {
        if (len == 1) return p[0];
        if (len == 2) return uint16_t((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        if (len == 3) return uint16_t((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        return kNoKey;
    }

    [[gnu::always_inline]] CharKey wideAt(std::string_view text, size_t pos) const {
        const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + pos;
        const size_t left = text.size() - pos;
        if (utf8) {
            const size_t len = std::min(utf8LengthOf(p[0]), left);
            return {len, utf8Key(p, len)};
        }
        // A lead byte not followed by a digit opens a two-byte character: most of Chinese text.
        const unsigned char next = left > 1 ? p[1] : 0;
        const size_t len = next && (next < '0' || next > '9') ? 2 : charLengthAt(text, pos);
        return {len, len == 2 ? uint16_t(p[0] << 8 | next) : kNoKey};
    }

    // The character at `p`, ASCII keyed by its value, with no branch on which it is. Past the
    // text's end there must be three bytes to read; a code-page lead must not be followed by a
    // digit or a NUL.
    template <bool kUtf8>
    [[gnu::always_inline]] static CharKey keyAt(const unsigned char* p) {
        const unsigned c = p[0];
        if constexpr (kUtf8) {
            const size_t len = utf8LengthOf(p[0]);
            return {len, utf8Key(p, len)};
        }
        const unsigned ascii = c < 0x80;
        return {2 - ascii, uint16_t((c << 8 | p[1]) >> (8 * ascii))};
    }

    // Whether the eight bytes at `p`, from a character start, are four two-byte code-page
    // characters that neither end a phrase nor are spaces: none of their first bytes one that
    // may.
    bool fourPlainWide(const unsigned char* p) const {
        return !utf8 && fourTwoByteChars(p) && !wideLead[p[0]] && !wideLead[p[2]] &&
               !wideLead[p[4]] && !wideLead[p[6]];
    }
};

const CharRules& charRules(bool utf8) {
    static const CharRules codePage(false);
    static const CharRules utf8Rules(true);
    return utf8 ? utf8Rules : codePage;
}

// A phrase's characters without its outer spaces, up to kLengthCap.
struct PhraseCount {
    size_t chars = 0;
    size_t spaces = 0;  // spaces since the last other character, counted once one follows

    void add(size_t others) {
        if (others == 0) return;  // spaces count only once another character follows
        chars = std::min(chars + spaces + others, kLengthCap);
        spaces = 0;
    }
    void space() { spaces += chars > 0; }
};

// Where a scan from `pos` stopped: at a separator (a character of the set, a line break, CR LF
// as one, or the marker that stands for a separator), with its length; or, with length 0, at
// the first character that starts at or after `stop`, or at the end of the text.
struct Cut {
    size_t end;
    size_t separator;
};

[[gnu::always_inline]] inline Cut scanUntil(const CharRules& r, std::string_view text, size_t pos,
                                            size_t stop, PhraseCount& count) {
    const size_t n = text.size();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    while (pos < stop) {
        if (stop - pos >= 8 && r.fourPlainWide(p + pos)) {
            count.add(4);
            pos += 8;
            continue;
        }
        if (r.plain[p[pos]]) {
            const size_t from = pos;
            while (++pos < stop && r.plain[p[pos]]) {
            }
            count.add(pos - from);
            continue;
        }
        const unsigned char c = p[pos];
        if (c < 0x80) {
            if (r.single[c]) return {pos, c == '\r' && pos + 1 < n && p[pos + 1] == '\n' ? 2u : 1u};
            if (c == '[' && text.substr(pos, r.marker.size()) == r.marker)
                return {pos, r.marker.size()};
            c == ' ' ? count.space() : count.add(1);
            ++pos;
            continue;
        }
        const CharKey w = r.wideAt(text, pos);
        if (r.separator[w.key]) return {pos, w.len};
        w.key == r.spaceKey ? count.space() : count.add(1);
        pos += w.len;
    }
    return {pos, 0};
}

Cut cutAt(const CharRules& r, std::string_view text, size_t pos) {
    PhraseCount unused;
    return scanUntil(r, text, pos, text.size(), unused);
}

// Cuts a whole text into phrases into `index`. kVector takes 64 bytes at a time: their character
// starts and the bytes that may start a separator or a space are found with vector
// instructions, and only those bytes are looked at one by one. The state lives in locals, which
// the compiler keeps in registers. kUtf8 is r.utf8, known when compiled, so that a character's
// key is read without testing which encoding it is in.
template <bool kVector, bool kUtf8>
// NOLINTNEXTLINE(readability-function-size): inlined into each kernel's loop, kept whole for speed
[[gnu::always_inline]] inline void cutPhrases(std::string_view text, const CharRules& r,
                                              TitlePhrases::Index& index) {
    const size_t n = text.size();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    // A phrase takes at least its separator's byte; pages past the last phrase stay untouched.
    index.lengths.reset(new uint8_t[n + 1]);
    adviseLargePages(index.lengths.get(), n + 1);
    uint8_t* const first = index.lengths.get();
    uint8_t* out = first;
    size_t pos = 0;
    size_t start = 0;  // of the phrase being cut
    PhraseCount count;
    const auto end = [&](size_t at, size_t separator) {
        if (size_t(out - first) % kStartEvery == 0) index.starts.push_back(start);
        *out++ = uint8_t(count.chars);
        start = pos = at + separator;
        count = {};
    };
    // The character at `at` is one that may end the phrase: ends it or counts. Returns where
    // the next character starts. Branches only on what it is, which in prose is mostly a
    // separator, not on whether it is ASCII.
    const auto event = [&](size_t at) {
        const CharKey w = CharRules::keyAt<kUtf8>(p + at);
        if (r.separator[w.key]) {
            const size_t length = w.len + (w.key == '\r' && p[at + 1] == '\n');
            end(at, length);
            return at + length;
        }
        if (w.key == '[' && text.substr(at, r.marker.size()) == r.marker) {
            end(at, r.marker.size());
            return at + r.marker.size();
        }
        w.key == ' ' || w.key == r.spaceKey ? count.space() : count.add(1);
        return at + w.len;
    };
    constexpr size_t kBlock = 64;
    constexpr size_t kSlack = 8;  // bytes past a block that a separator there may take
    simd::ByteBits bits{};
    size_t scalarUntil = 0;  // the end of a block that is cut a character at a time
    while (pos < n) {
        if (kVector && pos >= scalarUntil && n - pos >= kBlock + kSlack) {
            const size_t base = pos;
            simd::byteBits(text.data() + base, r.events, bits);
            uint64_t starts;
            size_t next = base + kBlock;
            if constexpr (kUtf8) {
                starts = ~bits.continuations;
                while (next < n && (p[next] & 0xC0) == 0x80) ++next;
            } else {
                const uint64_t leads = simd::gbLeads(bits.high);
                const bool lastLead = leads >> 63;
                starts = ~(leads << 1);
                // Before a digit a lead may open a four-byte character: such blocks, and NULs,
                // are cut a character at a time.
                if ((leads & (bits.digitsOrNul >> 1)) != 0 ||
                    (lastLead && (p[next] == 0 || (p[next] >= '0' && p[next] <= '9'))))
                    scalarUntil = next;
                next += lastLead;
            }
            if (pos >= scalarUntil) {
                size_t from = 0;  // the first character not yet counted, from `base`
                for (uint64_t events = bits.members & starts; events != 0; events &= events - 1) {
                    const size_t e = size_t(__builtin_ctzll(events));
                    if (e < from) continue;  // inside a separator already taken
                    count.add(
                        size_t(__builtin_popcountll(starts & ((1ull << e) - 1) & (~0ull << from))));
                    from = event(base + e) - base;
                }
                if (from < kBlock)
                    count.add(size_t(__builtin_popcountll(starts & (~0ull << from))));
                pos = std::max(next, base + from);
                continue;
            }
        }
        // A character at a time, up to the end of a block that needs it, else to the end.
        const Cut cut = scanUntil(r, text, pos, pos < scalarUntil ? scalarUntil : n, count);
        if (cut.separator == 0)
            pos = cut.end;
        else
            end(cut.end, cut.separator);
    }
    if (start < n) end(n, 0);
    index.count = size_t(out - first);
}

PW_BLOCK_TARGET void cutPhrasesVector(std::string_view text, const CharRules& r,
                                      TitlePhrases::Index& index) {
    if (r.utf8)
        cutPhrases<true, true>(text, r, index);
    else
        cutPhrases<true, false>(text, r, index);
}

// How many of the n bytes at `p` are at least `least`, in byte-wide steps the compiler
// vectorizes.
size_t countAtLeast(const uint8_t* p, size_t n, uint8_t least) {
    size_t count = 0;
    for (size_t from = 0; from < n; from += 255) {
        uint8_t some = 0;
        for (size_t i = from; i < std::min(n, from + 255); ++i) some += p[i] >= least;
        count += some;
    }
    return count;
}

// Whether the text has at least n characters; stops counting there.
bool hasChars(std::string_view text, size_t n) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size() && count < n; pos += charLengthAt(text, pos)) ++count;
    return count >= n;
}

}  // namespace

Text titleSeparatorPattern() {
    // CR LF and ". " are sequences, not characters: they become alternatives after the class.
    Text set = lit(texts::kTitleSeparators);
    const bool lineBreaks = removeAll(set, "\r\n");
    const bool stopSpace = removeAll(set, ". ");
    Text pattern = "[" + RegexHelper::wildcardToPattern(set) + "]";
    if (lineBreaks) pattern += R"(|\r\n|\r|\n)";
    if (stopSpace) pattern += R"(|\. )";
    return pattern;
}

TitlePhrases::TitlePhrases(Text cleaned, bool utf8) : text_(std::move(cleaned)), utf8_(utf8) {
    const CharRules& rules = charRules(utf8_);
    // 64 bytes at a time where the chosen kernel set makes that pay; a character at a time else.
    if (simd::kernels().fastBlocks)
        cutPhrasesVector(text_, rules, index_);
    else if (utf8_)
        cutPhrases<false, true>(text_, rules, index_);
    else
        cutPhrases<false, false>(text_, rules, index_);
}

TitlePhrases::Head TitlePhrases::head(size_t i, size_t bytes) const {
    const CharRules& rules = charRules(utf8_);
    size_t pos = index_.starts[i / kStartEvery];
    for (size_t k = i % kStartEvery; k > 0; --k) {
        const Cut cut = cutAt(rules, text_, pos);
        pos = cut.end + cut.separator;
    }
    const size_t n = text_.size();
    PhraseCount unused;
    const Cut cut = scanUntil(rules, text_, pos, bytes < n - pos ? pos + bytes : n, unused);
    const std::string_view phrase = std::string_view(text_).substr(pos, cut.end - pos);
    return {utf8_ ? convertEncoding(phrase, "UTF-8", kCodePage) : Text(phrase),
            cut.separator != 0 || cut.end == n};
}

Text TitlePhrases::operator[](size_t i) const {
    return head(i, Text::npos).text;
}

std::vector<Text> TitlePhrases::list() const {
    std::vector<Text> out;
    for (size_t i = 0; i < size(); ++i) out.push_back((*this)[i]);
    return out;
}

bool TitlePhrases::isLongEnough(size_t phrase, size_t least) const {
    // Lengths are exact below the cap; a phrase at the cap is counted again when that is too few.
    if (index_.lengths[phrase] < kLengthCap || least <= kLengthCap)
        return index_.lengths[phrase] >= least;
    return hasChars(trimmedSpaces((*this)[phrase]), least);
}

size_t TitlePhrases::countLongEnough(int minChars) const {
    const size_t least = size_t(std::max(minChars, 1));
    if (least <= kLengthCap) return countAtLeast(index_.lengths.get(), size(), uint8_t(least));
    size_t count = 0;
    for (size_t i = 0; i < size(); ++i) count += isLongEnough(i, least);
    return count;
}

size_t TitlePhrases::nthLongEnough(int minChars, size_t i) const {
    const size_t least = size_t(std::max(minChars, 1));
    size_t phrase = 0;
    // Below the cap, blocks with too few long phrases are passed over on a count the compiler
    // vectorizes.
    constexpr size_t kBlock = 256;
    for (; least <= kLengthCap && size() - phrase >= kBlock; phrase += kBlock) {
        const size_t count = countAtLeast(index_.lengths.get() + phrase, kBlock, uint8_t(least));
        if (count > i) break;
        i -= count;
    }
    for (; phrase < size(); ++phrase)
        if (isLongEnough(phrase, least) && i-- == 0) return phrase;
    return Text::npos;
}

TitlePhrases titlePhrases(Text text, bool utf8) {
    stripTagsInPlace(text);
    trimBlankLinesAndEdgesInPlace(text, utf8);
    return TitlePhrases(std::move(text), utf8);
}

size_t pickTitlePhraseNumber(const TitlePhrases& phrases, int minChars, PhrasePicker& picker) {
    picker.rng.seed(picker.clock);
    if (phrases.empty()) return Text::npos;
    picker.host.processEvents();
    // The first phrase long enough in a random order of all is any of them with equal chance.
    const int64_t longEnough = int64_t(phrases.countLongEnough(minChars));
    if (longEnough > 0)
        return phrases.nthLongEnough(minChars, size_t(random(picker.rng, 1, longEnough) - 1));
    return size_t(random(picker.rng, 1, int64_t(phrases.size())) - 1);
}

Text pickTitlePhrase(const TitlePhrases& phrases, int minChars, PhrasePicker& picker) {
    const size_t number = pickTitlePhraseNumber(phrases, minChars, picker);
    if (number == Text::npos) return Text();
    // The phrase drawn is long enough exactly when any is.
    Text phrase = phrases[number];
    return phrases.isLongEnough(number, size_t(std::max(minChars, 1))) ? trimSpaces(phrase)
                                                                       : phrase;
}

Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker) {
    return pickTitlePhrase(titlePhrases(Text(text)), minChars, picker);
}

}  // namespace pw
