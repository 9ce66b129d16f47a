#include "split/title_phrase.h"

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

// Length of the separator at `pos`, 0 when none starts there: a character of the set, a line
// break (CR LF as one), ". ", or the marker that stands for a separator.
size_t separatorAt(std::string_view text, size_t pos, const bool (&single)[128],
                   const std::vector<Text>& wide, std::string_view marker) {
    const size_t len = charLengthAt(text, pos);
    const auto c = static_cast<unsigned char>(text[pos]);
    if (len == 1 && c < 128) {
        if (single[c]) return 1;
        if (c == '\r' || c == '\n') return 1;
        if (c == '[' && text.substr(pos, marker.size()) == marker) return marker.size();
        return 0;
    }
    if (len == 2 && c == '\r') return 2;  // CR LF
    for (const Text& w : wide)
        if (w.size() == len && text.compare(pos, len, w) == 0) return len;
    return 0;
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

TitlePhrases::TitlePhrases(const std::vector<Text>& phrases) {
    for (const Text& p : phrases) {
        spans_.emplace_back(text_.size(), p.size());
        text_ += p;
    }
}

std::vector<Text> TitlePhrases::list() const {
    std::vector<Text> out;
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

TitlePhrases titlePhrases(std::string_view text) {
    static const std::vector<Text> chars = separatorChars();
    static const Text marker = lit(texts::kPhraseMarker);
    bool single[128] = {};
    std::vector<Text> wide;
    for (const Text& c : chars) {
        if (c.size() == 1 && static_cast<unsigned char>(c[0]) < 128)
            single[static_cast<unsigned char>(c[0])] = true;
        else
            wide.push_back(c);
    }
    Text cleaned = trimBlankLinesAndEdges(stripTags(text));
    std::vector<std::pair<size_t, size_t>> spans;
    size_t start = 0;
    for (size_t pos = 0; pos < cleaned.size();) {
        const size_t sep = separatorAt(cleaned, pos, single, wide, marker);
        if (sep == 0) {
            pos += charLengthAt(cleaned, pos);
            continue;
        }
        spans.emplace_back(start, pos - start);
        pos += sep;
        start = pos;
    }
    if (start < cleaned.size()) spans.emplace_back(start, cleaned.size() - start);
    return TitlePhrases(std::move(cleaned), std::move(spans));
}

std::string_view trimmedSpaces(std::string_view text) {
    size_t first = text.size(), end = 0;
    for (size_t pos = 0; pos < text.size();) {
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

Text pickTitlePhrase(const TitlePhrases& phrases, int minChars, PhrasePicker& picker) {
    picker.rng.seed(picker.clock);
    if (phrases.empty()) return Text();
    const int64_t count = int64_t(phrases.size());
    NonRepeatingDraw draw;
    for (int64_t i = 0; i < count; ++i) {
        picker.form.processEvents();
        const size_t k = size_t(draw.draw(picker.rng, picker.clock, 1, count) - 1);
        const std::string_view phrase = trimmedSpaces(phrases[k]);
        if (!phrase.empty() && (minChars < 1 || hasChars(phrase, size_t(minChars))))
            return Text(phrase);
    }
    return Text(phrases[size_t(random(picker.rng, 1, count) - 1)]);
}

Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker) {
    return pickTitlePhrase(titlePhrases(text), minChars, picker);
}

}  // namespace pw
