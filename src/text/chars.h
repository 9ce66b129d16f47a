#pragma once
// Counting and cutting code-page text by the character rule.

#include <cstddef>
#include <string_view>

#include "platform/text_bytes.h"

namespace pw {

// Number of characters in the text.
size_t countChars(std::string_view text);

// The first n characters (n >= 1); the whole text when it has fewer.
Text leftChars(std::string_view text, size_t n);

// The text without the spaces and full-width spaces at its ends.
Text trimSpaces(std::string_view text);
std::string_view trimmedSpaces(std::string_view text);

}  // namespace pw
