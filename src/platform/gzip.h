#pragma once
// gzip decoding over zlib.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pw {

// Decompresses every member of a gzip stream. Output beyond `limit` bytes, or a stream that does
// not even begin as gzip, gives nothing. A stream that breaks off (cut or damaged) gives what was
// decoded up to that point.
std::optional<std::string> gunzip(std::string_view input, size_t limit);

}  // namespace pw
