#include "split/title_phrase.h"

#include <algorithm>
#include <bitset>

#include "split/strip_tags.h"
#include "text/chars.h"
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
        if (len == 1 && (set[pos] == '?' || set[pos] == '*')) chars.push_back(".");
        pos += len;
    }
    return chars;
}

constexpr size_t kStartEvery = 64;
constexpr size_t kLengthCap = 255;

// Which characters end a phrase: ASCII bytes by value, double-byte characters by their two bytes.
// Plain bytes are ASCII characters that neither end a phrase, nor are spaces, nor may start the
// marker: runs of them are skipped at once.
struct SeparatorTable {
    std::array<bool, 128> single{};
    std::array<bool, 256> plain{};
    std::bitset<65536> wide;
    std::array<bool, 256> wideLead{};  // the first bytes of `wide` and of the full-width space

    SeparatorTable() {
        for (const Text& c : separatorChars()) {
            const auto b = [&](size_t i) { return static_cast<unsigned char>(c[i]); };
            if (c.size() == 1 && b(0) < 128) single[b(0)] = true;
            if (c.size() == 2) {
                wide.set(size_t(b(0)) << 8 | b(1));
                wideLead[b(0)] = true;
            }
        }
        wideLead[0xA1] = true;
        single['\r'] = single['\n'] = true;
        for (size_t c = 0; c < 128; ++c) plain[c] = !single[c] && c != ' ' && c != '[';
    }

    // Whether the eight bytes at `p`, from a character start, are four two-byte characters that
    // neither end a phrase nor are spaces: none of their first bytes one that may.
    bool fourPlainWide(const unsigned char* p) const {
        return fourTwoByteChars(p) && !wideLead[p[0]] && !wideLead[p[2]] && !wideLead[p[4]] &&
               !wideLead[p[6]];
    }
};

// Where the phrase that starts at `pos` ends and how long the separator there is: a character of
// the set, a line break (CR LF as one) or the marker that stands for a separator; 0 at the end of
// the text. Also counts the phrase's characters without its outer spaces, up to kLengthCap.
struct Cut {
    size_t end;
    size_t separator;
    size_t chars;
};

[[gnu::always_inline]] inline Cut cutAt(std::string_view text, size_t pos) {
    static const SeparatorTable table;
    static const Text marker = lit(texts::kPhraseMarker);
    const size_t n = text.size();
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t chars = 0;
    size_t spaces = 0;  // spaces since the last other character, counted once one follows
    const auto count = [&](bool space) {
        if (space) {
            spaces += chars > 0;
        } else {
            chars = std::min(chars + spaces + 1, kLengthCap);
            spaces = 0;
        }
    };
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    while (pos < n) {
        if (n - pos >= 8 && table.fourPlainWide(p + pos)) {
            chars = std::min(chars + spaces + 4, kLengthCap);
            spaces = 0;
            pos += 8;
            continue;
        }
        if (table.plain[byte(pos)]) {
            const size_t from = pos;
            while (++pos < n && table.plain[byte(pos)]) {
            }
            chars = std::min(chars + spaces + (pos - from), kLengthCap);
            spaces = 0;
            continue;
        }
        const unsigned char c = byte(pos);
        if (c < 0x80) {
            if (table.single[c])
                return {pos, c == '\r' && pos + 1 < n && text[pos + 1] == '\n' ? 2u : 1u, chars};
            if (c == '[' && text.substr(pos, marker.size()) == marker)
                return {pos, marker.size(), chars};
            count(c == ' ');
            ++pos;
            continue;
        }
        // A lead byte not followed by a digit opens a two-byte character: most of Chinese text.
        const unsigned char next = pos + 1 < n ? byte(pos + 1) : 0;
        const size_t len = next && (next < '0' || next > '9') ? 2 : charLengthAt(text, pos);
        const size_t pair = len == 2 ? size_t(c) << 8 | next : 0;
        if (table.wide[pair]) return {pos, 2, chars};
        count(pair == 0xA1A1);
        pos += len;
    }
    return {n, 0, chars};
}

// Whether the text has at least n characters; stops counting there.
bool hasChars(std::string_view text, size_t n) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size() && count < n; pos += charLengthAt(text, pos)) ++count;
    return count >= n;
}

bool isSpaceAt(std::string_view text, size_t pos, size_t len) {
    return (len == 1 && text[pos] == ' ') || (len == 2 && text.substr(pos, 2) == "\xA1\xA1");
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

TitlePhrases::TitlePhrases(Text cleaned) : text_(std::move(cleaned)) {
    lengths_.reserve(text_.size() / 8);  // prose has a phrase every few characters
    for (size_t pos = 0; pos < text_.size();) {
        if (lengths_.size() % kStartEvery == 0) starts_.push_back(pos);
        const Cut cut = cutAt(text_, pos);
        lengths_.push_back(uint8_t(cut.chars));
        ++perLength_[cut.chars];
        pos = cut.end + cut.separator;
    }
}

std::string_view TitlePhrases::operator[](size_t i) const {
    size_t pos = starts_[i / kStartEvery];
    for (size_t k = i % kStartEvery; k > 0; --k) {
        const Cut cut = cutAt(text_, pos);
        pos = cut.end + cut.separator;
    }
    return std::string_view(text_).substr(pos, cutAt(text_, pos).end - pos);
}

std::vector<Text> TitlePhrases::list() const {
    std::vector<Text> out;
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

bool TitlePhrases::isLongEnough(size_t phrase, size_t minChars) const {
    // Lengths are exact below the cap; a phrase at the cap is counted again when that is too few.
    if (lengths_[phrase] < kLengthCap || minChars <= kLengthCap)
        return lengths_[phrase] >= minChars;
    return hasChars(trimmedSpaces((*this)[phrase]), minChars);
}

size_t TitlePhrases::countLongEnough(int minChars) const {
    const size_t least = size_t(std::max(minChars, 1));
    if (least <= kLengthCap) {
        size_t count = 0;
        for (size_t len = least; len <= kLengthCap; ++len) count += perLength_[len];
        return count;
    }
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
        size_t count = 0;
        for (size_t k = phrase; k < phrase + kBlock; ++k) count += lengths_[k] >= least;
        if (count > i) break;
        i -= count;
    }
    for (; phrase < size(); ++phrase)
        if (isLongEnough(phrase, least) && i-- == 0) return phrase;
    return Text::npos;
}

TitlePhrases titlePhrases(Text text) {
    stripTagsInPlace(text);
    trimBlankLinesAndEdgesInPlace(text);
    return TitlePhrases(std::move(text));
}

std::string_view trimmedSpaces(std::string_view text) {
    size_t first = text.size(), end = 0;
    for (size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80 && text[pos] != ' ') {
            // A run of ASCII that holds no space, line breaks included, at once.
            first = std::min(first, pos);
            while (++pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80 &&
                   text[pos] != ' ') {
            }
            end = pos;
            continue;
        }
        const size_t len = charLengthAt(text, pos);
        if (!isSpaceAt(text, pos, len)) {
            first = std::min(first, pos);
            end = pos + len;
        }
        pos += len;
    }
    return first < end ? text.substr(first, end - first) : std::string_view();
}

Text trimSpaces(std::string_view text) {
    return Text(trimmedSpaces(text));
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
    const std::string_view phrase = phrases[number];
    return Text(phrases.countLongEnough(minChars) > 0 ? trimmedSpaces(phrase) : phrase);
}

Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker) {
    return pickTitlePhrase(titlePhrases(Text(text)), minChars, picker);
}

}  // namespace pw
