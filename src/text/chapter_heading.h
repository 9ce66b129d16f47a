#pragma once
// Whether one line of decoded text is a chapter heading: "第十二章 风起", "第九卷 第二章 标题",
// "【第3回】", "序章", "Chapter 7". Volume-like units (卷 部 集 篇) open a volume, the others a
// chapter; a volume and a chapter on one line are one chapter-level heading.
//
// A unit that may also be a measure word ("第三部手机") counts only when it is followed by a
// separator, by the end of the line, or by a title: the rest of the line without sentence
// punctuation (。，、；：！？… and their ASCII forms). So "第一回见到他时，他笑了" is prose.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/text_bytes.h"

namespace pw {

class CompiledRegex;

enum class HeadingLevel { Volume, Chapter };

struct ChapterHeading {
    HeadingLevel level = HeadingLevel::Chapter;
    int64_t number = -1;  // -1: the heading has none (序章, 番外, a user's pattern)
    int64_t volume = -1;  // the volume named before the chapter on the same line
    bool alone = true;    // nothing after the heading but a title
};

inline constexpr size_t kDefaultHeadingMaxChars = 40;

struct HeadingRule {
    size_t maxChars = kDefaultHeadingMaxChars;  // longer lines are prose
    // The user's pattern (UTF-8, matched anywhere in the line) replaces the built-in rule.
    const CompiledRegex* pattern = nullptr;
};

// The text from its first character that is no space, tab or full-width space: what the built-in
// rule looks at.
std::string_view skipCodePageSpaces(std::string_view text);

// `line` is code-page text; a line break at its end is ignored.
std::optional<ChapterHeading> findChapterHeading(std::string_view line, const HeadingRule& rule);
// The same for a line of valid UTF-8: the user's pattern looks at it as it is.
std::optional<ChapterHeading> findUtf8ChapterHeading(std::string_view line,
                                                     const HeadingRule& rule);

// The heading line without its line break and surrounding spaces (for names and the preview).
Text headingText(std::string_view line);

}  // namespace pw
