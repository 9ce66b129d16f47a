#pragma once
// The chapter mode's options of partwell-cli split, and its dry run.

#include <optional>
#include <vector>

#include "app/memory_form.h"
#include "split/split_files.h"

namespace pw::cli {

// Takes the chapter option at argv[i] (and its value), filling the form: nothing when argv[i]
// is no chapter option, else 0, or the exit status of a refusal. `dryRun` is set by --dry-run.
std::optional<int> takeChapterOption(MemoryForm& form, int argc, char** argv, int& i, bool& dryRun);

// Prints the chapter preview of every file; nothing is written.
int printChapterPreview(MemoryForm& form, FileSystem& fs, const std::vector<Text>& files,
                        Failures listFailures);

// Names the files the split left alone because they hold no heading.
void reportWithoutHeadings(const SplitSummary& summary);

}  // namespace pw::cli
