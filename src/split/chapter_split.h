#pragma once
// Splitting decoded text before its chapter headings, N chapters a part.

#include <memory>

#include "platform/regex.h"
#include "split/chapter_plan.h"
#include "split/mode_result.h"

namespace pw {

// The heading rule the options ask for, with the user's pattern compiled when there is one.
struct ChapterRule {
    std::unique_ptr<CompiledRegex> pattern;
    HeadingRule rule;
};

// Nothing when the user's pattern does not compile.
std::optional<ChapterRule> chapterRuleOf(const SplitOptions& options, RegexError* error = nullptr);

// Refuses options the chapter mode cannot use (the job ends); Done when they are usable.
ModeResult checkChapterOptions(SplitContext& ctx);

ModeResult splitByChapters(SplitContext& ctx, SplitJobState& state, const Text& source);

}  // namespace pw
