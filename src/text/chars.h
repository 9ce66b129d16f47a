#pragma once
// The character rule: how many bytes make one character of code-page text.

#include <cstddef>
#include <string_view>

#include "text/codepage.h"

namespace pw {

// Length in bytes of the character that starts at `pos`: 1 for ASCII and for a lone CR or LF,
// 2 for CR LF and for a double-byte character, 4 for a GB18030 four-byte sequence. A lead byte
// cut off by the end of the text is a character of its own.
size_t charLengthAt(std::string_view text, size_t pos);

// Number of characters in the text.
size_t countChars(std::string_view text);

// The first n characters (n >= 1); the whole text when it has fewer.
Text leftChars(std::string_view text, size_t n);

}  // namespace pw
