#pragma once
// Files that let a recipient without Partwell join the parts of a byte split back and know the
// result is whole: a POSIX shell script, a Windows cmd.exe script and a Total Commander /
// Krusader ".crc" file. Their bytes are native (UTF-8) text.

#include <cstdint>
#include <string>

#include "files/manifest.h"

namespace pw {

// join.sh: checks every part with sha256sum -c, refuses a missing one, joins them with cat into
// a temporary file, checks that, and renames it to the original's name; never replaces a file.
std::string joinShellScript(const Manifest& manifest);

// join.cmd: UTF-8 behind "chcp 65001" (cmd.exe reads each line in the code page then in force,
// so the names are right whatever the console's was); copy /b of the parts in order into a
// temporary file, certutil's SHA-256 of it against the manifest's, then its rename.
std::string joinCmdScript(const Manifest& manifest);

// filename=, size= and crc32= of the original, in CR LF lines.
std::string crcFileText(const Manifest& manifest, uint32_t crc);

}  // namespace pw
