#pragma once
// The merge area's job: the run/stop toggle of its start button, the folder chooser, the
// completion question, and the chooser of the intermediate data file.

#include <vector>

#include "app/job_context.h"
#include "merge/merge_files.h"

namespace pw {

// What the items of a merge are, and whether its end asks to open the output folder.
enum class MergeItems { Files, Folders };
enum class DoneQuestion { Ask, Skip };

// With items that are folders: merges each folder (its subfolders too, with 选择框遍历子目录).
// With items that are files: joins them into one output. Else merges `folder`, or a folder the
// user chooses, and asks no question. While a merge runs, a call only asks it to stop.
void mergeJob(JobContext& ctx, const Text& folder, std::vector<Text> items, MergeItems kind,
              DoneQuestion question);

// The completion question for a merge whose outputs went to `folder`.
Text mergeCompletionText(const Text& folder, const MergeSummary& summary);

// The click on 按钮选择文件: a chosen file replaces the text of 编辑框文件路径.
void chooseMergeDataFile(JobContext& ctx);

}  // namespace pw
