#pragma once
// What a converter calls for input that is not valid in the source charset: the codec and the
// charset port both take it, so it sits below them.

#include <cstddef>
#include <string>
#include <string_view>

namespace pw {

// Stands in for input that is not valid in the source charset: appends its substitute for the
// bytes at the start of `rest` to `out` and returns how many of them it took (at least one).
using InvalidInput = size_t (*)(std::string_view rest, std::string& out);

}  // namespace pw
