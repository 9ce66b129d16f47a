#pragma once
// The split area's job: the run/stop toggle of its start button, gathering the sources, and the
// completion question.

#include <vector>

#include "app/job_context.h"
#include "split/split_files.h"

namespace pw {

// With sources: splits them. Else with a folder: splits the files in it that match the patterns
// of 编辑框文件类型. Else asks for files. While a split runs, a call only asks it to stop.
void splitJob(JobContext& ctx, const Text& folder, std::vector<Text> sources);

// The completion question for a split whose parts went to `folder`.
Text splitCompletionText(const Text& folder, const SplitSummary& summary);

}  // namespace pw
