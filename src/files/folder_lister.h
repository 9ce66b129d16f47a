#pragma once
// Lists the files (or the subfolders) of one folder whose names match wildcard patterns.

#include <system_error>
#include <vector>

#include "platform/engine_context.h"

namespace pw {

enum class ListEntries { Files, Folders };

// `patterns` are separated by "|" ("*.*" when empty). The result holds full paths, pattern after
// pattern, each pattern's names in natural order; nothing is de-duplicated, no subfolder entered.
// The temporary files of a writer are never listed.
// A folder that cannot be listed gives nothing, and `listError`, when given, receives why.
std::vector<Text> FolderLister(JobHost& host, FileSystem& fs, const Text& folder,
                               const Text& patterns, ListEntries entries,
                               std::error_code* listError = nullptr);

// Wildcard match as on Windows: "*" and "?", ASCII case ignored, "*.*" matches every name.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Natural order: digit runs compare by value, other characters without regard to ASCII case.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace pw
