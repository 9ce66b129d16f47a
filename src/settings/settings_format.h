#pragma once
// Searches over the settings text. Positions are 0-based byte offsets; lines end in CR LF.

#include <string_view>

namespace pw::settings_format {

inline constexpr std::string_view kLineBreak = "\r\n";

// True when a whole header line ("[" ... "]" on a line of its own, after a line break) starts
// within [from, to).
bool headerLineBetween(std::string_view text, size_t from, size_t to);

// Where the value of `key` starts in the section whose header closes at `bodyStart`; npos when
// the key is missing there (a key found only below a later header belongs to that section).
size_t findValue(std::string_view text, size_t bodyStart, std::string_view key);

// One past the last byte of the value starting at `valueStart`.
size_t valueEnd(std::string_view text, size_t valueStart);

}  // namespace pw::settings_format
