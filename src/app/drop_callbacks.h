#pragma once
// What a drop onto an area means: the callbacks the two group boxes are registered with. Each is
// called once per dropped path; the last call asks for confirmation and starts the job. While a
// job runs, drops on either area are ignored without a question.

#include "app/job_context.h"

namespace pw {

// One dropped folder: splits its files of the types in 编辑框文件类型. Otherwise splits the dropped
// files; folders among several items are passed over.
void onSplitDrop(JobContext& ctx, int count, int index, const Text& path, const Text& extension);

// Merges the dropped files as one batch, then each dropped folder.
void onMergeDrop(JobContext& ctx, int count, int index, const Text& path, const Text& extension);

// True for a folder, and for a path whose kind cannot be read.
bool droppedPathIsFolder(FileSystem& files, const Text& path);
// True when the path at `index` is the first one an area sees of its drop; the area then
// forgets what it collected before.
bool startsNewDrop(AppState& state, int index);

}  // namespace pw
