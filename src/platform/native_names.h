#pragma once
// Between native file names (bytes, normally UTF-8) and the code page; used for every path that
// crosses the edge: arguments, folder listings, choosers, drops, the names of outputs.

#include <string>
#include <string_view>

#include "platform/text_bytes.h"

namespace pw {

Text fromNativeName(std::string_view native);
std::string toNativeName(std::string_view text);

}  // namespace pw
