#pragma once
// Path operations on code-page text; the separator is kPathSeparator.

#include "text/codepage.h"

namespace pw {
class FileSystem;
}

namespace pw {

Text folderOf(std::string_view path);     // before the last separator; empty when none
Text fileNameOf(std::string_view path);   // after the last separator; the whole path when none
Text baseNameOf(std::string_view path);   // the file name before its last "."
Text extensionOf(std::string_view path);  // after the last "." of the file name, without the dot

// `stem` cut on character boundaries until stem + tail fits the file system's name limit as a
// native name; empty when even the tail alone does not fit.
Text fitFileName(FileSystem& fs, std::string_view stem, std::string_view tail);

// Whether the file at `path` may be read as one of `folder`'s: a file there, or a link whose
// target lies in that same folder (links among a set's parts are fine, one leading out is not).
bool inSetFolder(FileSystem& fs, const Text& folder, const Text& path);

// Creates every missing folder of `path` (which ends in a separator); false at the first failure.
bool ensureFolder(FileSystem& fs, const Text& path);

}  // namespace pw
