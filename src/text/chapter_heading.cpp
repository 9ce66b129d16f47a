#include "text/chapter_heading.h"

#include <array>
#include <string>

#include "platform/regex.h"
#include "text/codepage.h"

namespace pw {
namespace {

using Chars = std::u32string_view;

constexpr char32_t kOrdinal = U'第';
constexpr int64_t kNumberCap = 1'000'000'000'000;

bool isSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\u3000' || c == U'\r' || c == U'\n';
}

// What may stand between a heading and its title.
bool isSeparator(char32_t c) {
    static constexpr Chars kSeparators = U" \t\u3000:：.．、·-—_";
    return kSeparators.find(c) != Chars::npos;
}

bool isSentencePunctuation(char32_t c) {
    static constexpr Chars kPunctuation = U"。，、；：！？…,;:!?";
    return kPunctuation.find(c) != Chars::npos;
}

int digitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') return int(c - U'0');
    if (c >= U'０' && c <= U'９') return int(c - U'０');
    static constexpr Chars kDigits = U"〇一二三四五六七八九";
    if (const size_t d = kDigits.find(c); d != Chars::npos) return int(d);
    if (c == U'零') return 0;
    if (c == U'两') return 2;
    return -1;
}

int64_t unitValue(char32_t c) {
    switch (c) {
        case U'十':
            return 10;
        case U'百':
            return 100;
        case U'千':
            return 1000;
        case U'万':
            return 10000;
        default:
            return 0;
    }
}

bool isNumeral(char32_t c) {
    return digitValue(c) >= 0 || unitValue(c) > 0;
}

// "十二" 12, "一百零五" 105, "二〇一" 201, "１２" 12, "两千" 2000.
int64_t numberValue(Chars s) {
    bool positional = true;
    for (char32_t c : s) positional = positional && digitValue(c) >= 0;
    int64_t total = 0, section = 0, digit = 0;
    for (char32_t c : s) {
        if (const int d = digitValue(c); d >= 0) {
            digit = positional ? std::min(digit * 10 + d, kNumberCap) : d;
        } else if (const int64_t u = unitValue(c); u == 10000) {
            total = std::min((total + section + digit) * u, kNumberCap);
            section = digit = 0;
        } else {
            section = std::min(section + (digit == 0 ? 1 : digit) * u, kNumberCap);
            digit = 0;
        }
    }
    return std::min(total + section + digit, kNumberCap);
}

std::optional<HeadingLevel> unitLevel(char32_t c) {
    static constexpr Chars kVolumeUnits = U"卷部集篇";
    static constexpr Chars kChapterUnits = U"章回节話话幕節";
    if (kVolumeUnits.find(c) != Chars::npos) return HeadingLevel::Volume;
    if (kChapterUnits.find(c) != Chars::npos) return HeadingLevel::Chapter;
    return std::nullopt;
}

// Headings without a number of their own (also in the traditional forms Big5 text decodes to).
constexpr std::array<Chars, 13> kNamedHeadings = {U"序章", U"楔子", U"引子", U"序言", U"前言",
                                                  U"尾声", U"后记", U"终章", U"番外", U"尾聲",
                                                  U"後記", U"終章", U"序幕"};

size_t skipSpaces(Chars s, size_t i) {
    while (i < s.size() && isSpace(s[i])) ++i;
    return i;
}

size_t skipNumerals(Chars s, size_t i) {
    while (i < s.size() && isNumeral(s[i])) ++i;
    return i;
}

struct Core {
    ChapterHeading heading;
    size_t end = 0;  // where the rest of the line begins
};

// "第" number unit, at the start of s.
std::optional<Core> ordinalHeading(Chars s) {
    if (s.empty() || s[0] != kOrdinal) return std::nullopt;
    const size_t from = skipSpaces(s, 1);
    const size_t to = skipNumerals(s, from);
    if (to == from) return std::nullopt;
    const size_t unit = skipSpaces(s, to);
    if (unit >= s.size()) return std::nullopt;
    const std::optional<HeadingLevel> level = unitLevel(s[unit]);
    if (!level) return std::nullopt;
    return Core{{*level, numberValue(s.substr(from, to - from)), -1, true}, unit + 1};
}

std::optional<Core> namedHeading(Chars s) {
    for (Chars word : kNamedHeadings) {
        if (!s.starts_with(word)) continue;
        Core core{{HeadingLevel::Chapter, -1, -1, true}, word.size()};
        const size_t from = skipSpaces(s, word.size());
        const size_t to = skipNumerals(s, from);
        if (to > from) core = {{HeadingLevel::Chapter, numberValue(s.substr(from, to - from))}, to};
        return core;
    }
    return std::nullopt;
}

std::optional<Core> englishHeading(Chars s) {
    if (!s.starts_with(U"Chapter") && !s.starts_with(U"CHAPTER")) return std::nullopt;
    const size_t from = skipSpaces(s, 7);
    size_t to = from;
    const auto isDigit = [](char32_t c) {
        return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９');
    };
    while (to < s.size() && isDigit(s[to])) ++to;
    if (from == 7 || to == from) return std::nullopt;
    return Core{{HeadingLevel::Chapter, numberValue(s.substr(from, to - from))}, to};
}

std::optional<Core> coreHeading(Chars s) {
    std::optional<Core> core = ordinalHeading(s);
    if (core && core->heading.level == HeadingLevel::Volume) {
        // "第九卷 第二章": the chapter, in its volume.
        const size_t next = skipSpaces(s, core->end);
        if (std::optional<Core> inner = ordinalHeading(s.substr(next))) {
            inner->heading.volume = core->heading.number;
            inner->end += next;
            return inner;
        }
    }
    if (!core) core = namedHeading(s);
    if (!core) core = englishHeading(s);
    return core;
}

Chars trimmedSpaces(Chars s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// A title without the separators that lead to it.
Chars trimmed(Chars s) {
    while (!s.empty() && isSeparator(s.front())) s.remove_prefix(1);
    return trimmedSpaces(s);
}

bool isTitle(Chars s) {
    for (char32_t c : s)
        if (isSentencePunctuation(c)) return false;
    return true;
}

// The heading at the start of `head`; `tail` is more of the line after a closing bracket.
std::optional<ChapterHeading> headingAt(Chars head, Chars tail) {
    std::optional<Core> core = coreHeading(head);
    if (!core) return std::nullopt;
    const Chars rest = head.substr(core->end);
    const bool separated = rest.empty() || isSeparator(rest[0]);
    const bool titled = isTitle(trimmed(rest)) && isTitle(trimmed(tail));
    // Text straight after the unit is a title or prose in which the unit is a measure word.
    if (!separated && !titled) return std::nullopt;
    core->heading.alone = titled;
    return core->heading;
}

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t n = utf8LengthOf(b);
        char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += n;
    }
    return out;
}

std::string_view withoutLineBreak(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

// The code-page forms of the characters a heading may start with, so that almost every line
// of prose is turned down without being decoded.
struct FirstChars {
    std::array<bool, 0x10000> pairs{};
    FirstChars() {
        for (std::string_view c :
             {"第", "【", "〔", "序", "楔", "引", "前", "尾", "后", "後", "终", "終", "番"}) {
            const Text t = lit(c);
            pairs[size_t(static_cast<unsigned char>(t[0])) << 8 |
                  static_cast<unsigned char>(t[1])] = true;
        }
    }
    bool mayStart(std::string_view s) const {
        if (s.empty()) return false;
        if (s[0] == 'C') return true;
        return s.size() >= 2 && pairs[size_t(static_cast<unsigned char>(s[0])) << 8 |
                                      static_cast<unsigned char>(s[1])];
    }
};

}  // namespace

std::string_view skipCodePageSpaces(std::string_view s) {
    const Text wide = lit("\u3000");
    for (;;) {
        if (!s.empty() && (s[0] == ' ' || s[0] == '\t'))
            s.remove_prefix(1);
        else if (s.starts_with(wide))
            s.remove_prefix(wide.size());
        else
            return s;
    }
}

std::optional<ChapterHeading> findChapterHeading(std::string_view line, const HeadingRule& rule) {
    line = withoutLineBreak(line);
    if (rule.pattern) {
        if (!rule.pattern->search(toUtf8(line))) return std::nullopt;
        return ChapterHeading{};
    }
    static const FirstChars firstChars;
    const std::string_view start = skipCodePageSpaces(line);
    // No character is longer than four bytes; trailing spaces may add a few more.
    if (!firstChars.mayStart(start) || start.size() > rule.maxChars * 4 + 16) return std::nullopt;

    const std::u32string decoded = decodeUtf8(toUtf8(start));
    const Chars s = trimmedSpaces(decoded);
    if (s.size() > rule.maxChars) return std::nullopt;
    const char32_t open = s.empty() ? 0 : s[0];
    if (open == U'【' || open == U'〔') {
        const size_t close = s.find(open == U'【' ? U'】' : U'〕');
        if (close == Chars::npos) return std::nullopt;
        return headingAt(trimmedSpaces(s.substr(1, close - 1)), s.substr(close + 1));
    }
    return headingAt(s, Chars());
}

std::optional<ChapterHeading> findUtf8ChapterHeading(std::string_view line,
                                                     const HeadingRule& rule) {
    if (!rule.pattern) return findChapterHeading(fromUtf8(line), rule);
    if (!rule.pattern->search(withoutLineBreak(line))) return std::nullopt;
    return ChapterHeading{};
}

Text headingText(std::string_view line) {
    line = skipCodePageSpaces(withoutLineBreak(line));
    const Text wide = lit("\u3000");
    size_t end = 0;
    for (size_t pos = 0; pos < line.size();) {
        const size_t len = charLengthAt(line, pos);
        const std::string_view c = line.substr(pos, len);
        pos += len;
        if (c != " " && c != "\t" && c != wide) end = pos;
    }
    return Text(line.substr(0, end));
}

}  // namespace pw
