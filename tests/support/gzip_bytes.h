#pragma once

#include <string>
#include <string_view>

namespace pw::test {

// One gzip member holding the bytes; level 0 stores them without compressing.
std::string gzipped(std::string_view bytes, int level = 9);

}  // namespace pw::test
