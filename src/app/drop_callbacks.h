#pragma once
// What a drop onto an area means: the callbacks the two group boxes are registered with. Each is
// called once per dropped path; the last call asks for confirmation and starts the job. While a
// job runs, drops on either area are ignored without a question.

#include "app/job_context.h"

namespace pw {

// One dropped folder: splits its files of the types in 编辑框文件类型. Otherwise splits the dropped
// files; folders among several items are passed over.
void onSplitDrop(JobContext& ctx, int count, int index, const Text& path, const Text& extension);

// Merges the dropped files as one batch, then each dropped folder unless the batch was stopped.
void onMergeDrop(JobContext& ctx, int count, int index, const Text& path, const Text& extension);

}  // namespace pw
