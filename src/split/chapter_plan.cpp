#include "split/chapter_plan.h"

#include <cstring>
#include <string>

#include "text/chars.h"
#include "text/encoding_stream.h"

namespace pw {
namespace {

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
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
    if (chapters_.empty()) chapters_.push_back({});
    if (const std::optional<ChapterHeading> mark = findChapterHeading(line, rule_)) {
        startChapter(line, *mark);
        blankSinceHeading_ = true;
    } else if (!isBlank(line)) {
        blankSinceHeading_ = false;
    }
    ChapterEntry& last = chapters_.back();
    last.bytes += line.size();
    last.chars += int64_t(countChars(line));
    offset_ += line.size();
}

void planChapters(ChapterPlanner& planner, std::string_view text) {
    LineFeeder feeder(planner);
    feeder.feed(text);
    feeder.finish();
}

void LineFeeder::feed(std::string_view piece) {
    while (!piece.empty()) {
        const void* lf = std::memchr(piece.data(), '\n', piece.size());
        if (!lf) {
            carry_.append(piece);
            return;
        }
        const size_t end = size_t(static_cast<const char*>(lf) - piece.data()) + 1;
        if (carry_.empty()) {
            planner_.addLine(piece.substr(0, end));
        } else {
            carry_.append(piece.substr(0, end));
            planner_.addLine(carry_);
            carry_.clear();
        }
        piece.remove_prefix(end);
    }
}

void LineFeeder::finish() {
    if (!carry_.empty()) planner_.addLine(carry_);
    carry_.clear();
}

void planChapters(ChapterPlanner& planner, TextSource& text) {
    LineFeeder feeder(planner);
    for (std::string_view piece; !(piece = text.next()).empty();) feeder.feed(piece);
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
