#pragma once
// The chapter preview of the split area: the chosen files' chapters and warnings in the input
// dialog; OK goes on with their split, Cancel writes nothing.

#include "app/job_context.h"

namespace pw {

void chapterPreviewJob(JobContext& ctx);

}  // namespace pw
