#pragma once
// Naming and writing one part of a split source.

#include <cstdint>

#include "split/split_job_state.h"

namespace pw {

// Writes the current part of the state's source into the output folder and shows it in the progress
// text. False when the part could not be written (the failure is counted in the state).
bool writePart(SplitContext& ctx, SplitJobState& state);

// A name the file system takes: the eight characters it refuses become their full-width forms,
// double quotes, CR, LF and TAB are removed. At most `maxChars` characters are made.
Text cleanFileName(std::string_view text, size_t maxChars = SIZE_MAX);

// Cuts `stem` (keeping `suffix` whole) to at most 100 characters and then until
// stem + suffix + "." + extension fits the file system's name limit.
Text fitPartName(FileSystem& fs, std::string_view stem, std::string_view suffix,
                 std::string_view extension);

}  // namespace pw
