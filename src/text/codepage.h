#pragma once
// Literal texts and the edges' UTF-8 as code-page text.

#include <string>
#include <string_view>

#include "platform/text_bytes.h"

namespace pw {

// The one way the program's own texts (written in UTF-8 in the source) become code-page text;
// each is converted once and kept.
const Text& lit(std::string_view utf8);

// Between the edges' UTF-8 and the code page. Nothing is lost in either direction for valid input.
Text fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view text);

// Bytes read as text: everything before the first NUL.
Text bytesAsText(std::string_view bytes);

}  // namespace pw
