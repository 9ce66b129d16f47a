#pragma once
// The charset an HTML page declares in a meta tag of its head, for the three it can tell.

#include "text/codepage.h"

namespace pw {

enum class DeclaredCharset { None = 0, Utf8 = 1, Big5 = 2, Big5Hkscs = 3 };

// Looks at the meta tags of the head section (the whole text when it has none); the first tag
// that declares UTF-8, Big5-HKSCS or Big5 decides, and an empty tag ends the search.
DeclaredCharset htmlDeclaredCharset(std::string_view text);

// True when one of the items of `list` (separated by "[fg]") occurs in the text.
bool containsAny(std::string_view text, std::string_view list);

}  // namespace pw
