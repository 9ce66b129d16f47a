#pragma once

#include "text/codepage.h"

namespace pw {

// Removes every "<...>" span that holds no other "<" or ">", in one pass over the text.
Text stripTags(std::string_view text);
void stripTagsInPlace(Text& text);

}  // namespace pw
