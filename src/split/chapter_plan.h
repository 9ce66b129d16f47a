#pragma once
// Where a text's chapters begin, found one line at a time, and how they group into parts. The
// planner sees each line once and keeps only the chapters' places, so a reader may feed it
// from a buffer of any size.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/chapter_heading.h"

namespace pw {

struct ChapterEntry {
    size_t offset = 0;  // in bytes, from the start of the text
    size_t bytes = 0;
    int64_t chars = 0;
    Text heading;  // its heading line; empty for the text before the first heading
    std::optional<ChapterHeading> mark;
    bool volumeSeen = false;  // a volume began since the chapter before this one
};

// What a line read in pieces was, counted over all of it as it came.
struct LineShape {
    size_t bytes = 0;
    int64_t chars = 0;
    bool blank = true;  // nothing but spaces, tabs and line breaks
};

class ChapterPlanner {
  public:
    explicit ChapterPlanner(const HeadingRule& rule) : rule_(rule) {}

    // The next line of the text, with its line break.
    void addLine(std::string_view line);
    // The same for a line not held whole: `start`, when the line may be a heading, is what the
    // rule looks at (from its first character that is no space, without line breaks), in the
    // code page or, with `utf8`, as the source's own valid UTF-8.
    void addLine(std::optional<std::string_view> start, const LineShape& shape, bool utf8 = false);
    const HeadingRule& rule() const { return rule_; }

    // Every stretch of the text in order: the text before the first heading (when there is
    // any), then one entry a chapter. Together they cover the text.
    const std::vector<ChapterEntry>& chapters() const { return chapters_; }
    bool foundHeading() const { return found_; }

  private:
    void startChapter(std::string_view line, const ChapterHeading& mark);

    HeadingRule rule_;
    std::vector<ChapterEntry> chapters_;
    size_t offset_ = 0;
    bool found_ = false;
    bool blankSinceHeading_ = false;  // only blank lines since the last heading line
    bool volumeSinceChapter_ = false;
};

// Every line of `text`, each with its line break, fed to the planner.
void planChapters(ChapterPlanner& planner, std::string_view text);

class TextSource;

// Every line of a streamed text, read to its end (or to a read error), fed to the planner. With
// `asStored` and a source of valid UTF-8 the planner sees the file's own bytes, so the chapters'
// offsets and sizes are the file's (and nothing is decoded but the heading lines).
void planChapters(ChapterPlanner& planner, TextSource& text, bool asStored = false);

// Cuts text that comes in pieces into lines, each with its line break. Of a line that runs over a
// piece's end only what may still make a heading is held (all of it for the user's pattern, which
// may match anywhere), so a line longer than any heading costs no memory. finish() hands on a
// last line without a break.
class LineFeeder {
  public:
    // `utf8`: the pieces are the source's own valid UTF-8, not code-page text.
    explicit LineFeeder(ChapterPlanner& planner, bool utf8 = false);
    void feed(std::string_view piece);
    void finish();

  private:
    void take(std::string_view bytes);  // more of the line being read
    void endLine();

    ChapterPlanner& planner_;
    bool utf8_;
    size_t limit_;     // the longest start a heading line has
    bool skipSpaces_;  // leading spaces are no part of what the rule looks at
    bool inLine_ = false, started_ = false, tooLong_ = false;
    Text start_;         // the line from its first character that is no space, breaks not held
    size_t breaks_ = 0;  // CR and LF bytes after start_
    LineShape shape_;
};

struct PlannedPart {
    size_t firstChapter = 0;  // index into the planner's chapters
    size_t chapterCount = 0;
    size_t offset = 0;
    size_t bytes = 0;
    Text heading;  // of its first chapter; empty for the text before the first heading
};

// The text before the first heading is a part of its own; then `perPart` chapters a part.
std::vector<PlannedPart> groupChapters(const std::vector<ChapterEntry>& chapters, int64_t perPart);

}  // namespace pw
