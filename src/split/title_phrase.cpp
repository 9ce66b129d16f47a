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

std::vector<Text> splitAtMarker(const Text& text, const Text& marker) {
    std::vector<Text> pieces;
    size_t pos = 0;
    for (size_t hit; (hit = text.find(marker, pos)) != Text::npos; pos = hit + marker.size())
        pieces.push_back(text.substr(pos, hit - pos));
    if (pos < text.size()) pieces.push_back(text.substr(pos));
    return pieces;
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

std::vector<Text> titlePhrases(std::string_view text) {
    const Text cleaned = trimBlankLinesAndEdges(stripTags(text));
    RegexHelper separators;
    separators.create(titleSeparatorPattern());
    const Text marker = lit(texts::kPhraseMarker);
    return splitAtMarker(separators.replace(cleaned, marker), marker);
}

Text trimSpaces(std::string_view text) {
    size_t first = text.size(), end = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t len = charLengthAt(text, pos);
        if (!isSpaceAt(text, pos, len)) {
            first = std::min(first, pos);
            end = pos + len;
        }
        pos += len;
    }
    return first < end ? Text(text.substr(first, end - first)) : Text();
}

Text pickTitlePhrase(const std::vector<Text>& phrases, int minChars, PhrasePicker& picker) {
    picker.rng.seed(picker.clock);
    if (phrases.empty()) return Text();
    const int64_t count = int64_t(phrases.size());
    NonRepeatingDraw draw;
    for (int64_t i = 0; i < count; ++i) {
        picker.form.processEvents();
        const size_t k = size_t(draw.draw(picker.rng, picker.clock, 1, count) - 1);
        Text phrase = trimSpaces(phrases[k]);
        if (!phrase.empty() && (minChars < 1 || countChars(phrase) >= size_t(minChars)))
            return phrase;
    }
    return phrases[size_t(random(picker.rng, 1, count) - 1)];
}

Text pickTitlePhrase(std::string_view text, int minChars, PhrasePicker& picker) {
    return pickTitlePhrase(titlePhrases(text), minChars, picker);
}

}  // namespace pw
