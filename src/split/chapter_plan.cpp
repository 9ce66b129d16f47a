#include "split/chapter_plan.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "split/split_by_chars.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_stream.h"

namespace pw {
namespace {

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// skipCodePageSpaces for UTF-8.
std::string_view skipUtf8Spaces(std::string_view s) {
    for (;;) {
        if (!s.empty() && (s[0] == ' ' || s[0] == '\t'))
            s.remove_prefix(1);
        else if (s.starts_with("\u3000"))
            s.remove_prefix(3);
        else
            return s;
    }
}

size_t countUtf8Chars(std::string_view bytes) {
    size_t end = 0;
    return size_t(skipUtf8Chars(bytes, INT64_MAX, end));
}

}  // namespace

void ChapterPlanner::startChapter(std::string_view line, const ChapterHeading& mark) {
    found_ = true;
    ChapterEntry& last = chapters_.back();
    // A volume line, then (after blank lines at most) its first chapter: one chapter named
    // after both, so a part never holds only the volume's title.
    if (last.mark && last.mark->level == HeadingLevel::Volume && blankSinceHeading_ &&
        mark.level == HeadingLevel::Chapter) {
        last.heading += " " + headingText(line);
        const int64_t volume = last.mark->number;
        last.mark = mark;
        if (last.mark->volume < 0) last.mark->volume = volume;
        volumeSinceChapter_ = false;
        return;
    }
    if (last.bytes == 0 && !last.mark) chapters_.pop_back();  // nothing before the first heading
    const bool isVolume = mark.level == HeadingLevel::Volume;
    const bool volumeSeen = isVolume || volumeSinceChapter_ || mark.volume >= 0;
    chapters_.push_back({offset_, 0, 0, headingText(line), mark, volumeSeen});
    volumeSinceChapter_ = isVolume;
}

void ChapterPlanner::addLine(std::string_view line) {
    addLine(line, {line.size(), int64_t(countChars(line)), isBlank(line)});
}

void ChapterPlanner::addLine(std::optional<std::string_view> start, const LineShape& shape,
                             bool utf8) {
    if (chapters_.empty()) chapters_.push_back({});
    const std::optional<ChapterHeading> mark = !start ? std::nullopt
                                               : utf8 ? findUtf8ChapterHeading(*start, rule_)
                                                      : findChapterHeading(*start, rule_);
    if (mark) {
        startChapter(utf8 ? fromUtf8(*start) : Text(*start), *mark);
        blankSinceHeading_ = true;
    } else if (!shape.blank) {
        blankSinceHeading_ = false;
    }
    ChapterEntry& last = chapters_.back();
    last.bytes += shape.bytes;
    last.chars += shape.chars;
    offset_ += shape.bytes;
}

void planChapters(ChapterPlanner& planner, std::string_view text) {
    LineFeeder feeder(planner);
    feeder.feed(text);
    feeder.finish();
}

// A heading is at most so many characters of at most four bytes, and a few spaces after them;
// its UTF-8 form is at most half as long again (a two-byte character takes three), the rule
// then applies the exact bound to the code-page form.
LineFeeder::LineFeeder(ChapterPlanner& planner, bool utf8)
    : planner_(planner),
      utf8_(utf8),
      limit_(planner.rule().pattern ? SIZE_MAX
             : utf8                 ? (planner.rule().maxChars * 4 + 16) * 3 / 2 + 1
                                    : planner.rule().maxChars * 4 + 16),
      skipSpaces_(!planner.rule().pattern) {}

void LineFeeder::feed(std::string_view piece) {
    while (!piece.empty()) {
        const void* lf = std::memchr(piece.data(), '\n', piece.size());
        if (!lf) {
            take(piece);
            return;
        }
        const size_t end = size_t(static_cast<const char*>(lf) - piece.data()) + 1;
        if (!inLine_ && !utf8_) {
            planner_.addLine(piece.substr(0, end));
        } else {
            take(piece.substr(0, end));
            endLine();
        }
        piece.remove_prefix(end);
    }
}

void LineFeeder::take(std::string_view bytes) {
    // Pieces end where characters end, so the counts add up.
    inLine_ = true;
    shape_.bytes += bytes.size();
    shape_.chars += int64_t(utf8_ ? countUtf8Chars(bytes) : countChars(bytes));
    shape_.blank = shape_.blank && isBlank(bytes);
    if (tooLong_) return;
    if (!started_ && skipSpaces_) bytes = utf8_ ? skipUtf8Spaces(bytes) : skipCodePageSpaces(bytes);
    if (bytes.empty()) return;
    started_ = true;
    // Line breaks at the end are no part of what the rule looks at; they are counted, not held
    // (only CRs stand inside a line).
    const size_t text = bytes.find_last_not_of("\r\n") + 1;
    if (text == 0) {
        breaks_ += bytes.size();
        return;
    }
    if (start_.size() + breaks_ + text > limit_) {
        tooLong_ = true;
        start_.clear();
        return;
    }
    start_.append(breaks_, '\r');
    start_.append(bytes.substr(0, text));
    breaks_ = bytes.size() - text;
}

void LineFeeder::endLine() {
    planner_.addLine(tooLong_ ? std::nullopt : std::optional<std::string_view>(start_), shape_,
                     utf8_);
    inLine_ = started_ = tooLong_ = false;
    start_.clear();
    breaks_ = 0;
    shape_ = {};
}

void LineFeeder::finish() {
    if (inLine_) endLine();
}

void planChapters(ChapterPlanner& planner, TextSource& text, bool asStored) {
    const bool utf8 = asStored && text.validUtf8();
    LineFeeder feeder(planner, utf8);
    for (std::string_view piece; !(piece = utf8 ? text.nextUtf8() : text.next()).empty();)
        feeder.feed(piece);
    feeder.finish();
}

std::vector<PlannedPart> groupChapters(const std::vector<ChapterEntry>& chapters, int64_t perPart) {
    std::vector<PlannedPart> parts;
    if (perPart < 1) perPart = 1;
    for (size_t i = 0; i < chapters.size(); ++i) {
        const ChapterEntry& c = chapters[i];
        const bool opensPart = parts.empty() || !c.mark ||
                               !chapters[parts.back().firstChapter].mark ||
                               int64_t(parts.back().chapterCount) >= perPart;
        if (opensPart) parts.push_back({i, 0, c.offset, 0, c.heading});
        PlannedPart& p = parts.back();
        ++p.chapterCount;
        p.bytes += c.bytes;
    }
    return parts;
}

}  // namespace pw
