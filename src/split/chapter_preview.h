#pragma once
// What a chapter split would write, shown before anything is written: each chapter with its part
// and its size in characters, and the signs of a heading missed or misread.

#include <vector>

#include "files/failure.h"
#include "split/chapter_plan.h"
#include "split/split_options.h"

namespace pw {

enum class ChapterWarningKind { NumberSkips, NumberRestarts, TooLong, NotAlone };

struct ChapterWarning {
    ChapterWarningKind kind;
    size_t chapter;         // index into the planner's chapters
    int64_t previous = -1;  // the number before a skip or restart
};

inline constexpr int64_t kTooLongFactor = 5;  // times the median chapter

// Numbers are followed within a volume: a new volume may start again from any number.
std::vector<ChapterWarning> chapterWarnings(const std::vector<ChapterEntry>& chapters);

// The preview of one source, its lines ending in `lineBreak`.
Text chapterPreviewText(const Text& name, const ChapterPlanner& planner, int64_t perPart,
                        std::string_view lineBreak);

struct ChapterPreview {
    Text text;
    int64_t sourcesWithChapters = 0;
    Failures failures;
};

// Every source decoded and planned as the split would; nothing is written. The options must
// have passed checkChapterOptions.
ChapterPreview previewChapters(SplitContext& ctx, const std::vector<Text>& files,
                               std::string_view lineBreak);

}  // namespace pw
