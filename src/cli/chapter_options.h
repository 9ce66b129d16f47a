#pragma once
// The chapter mode of partwell-cli split: its dry run and the files it left alone.

#include <vector>

#include "split/split_files.h"

namespace pw::cli {

// Prints the chapter preview of every file; nothing is written.
int printChapterPreview(SplitContext& ctx, const std::vector<Text>& files, Failures listFailures);

// Names the files the split left alone because they hold no heading.
void reportWithoutHeadings(const SplitSummary& summary);

}  // namespace pw::cli
