#pragma once
// The conversion by iconv alone, with the same substitutions: what the table-driven codec behind
// convertCharset must give, byte for byte. Tests and fuzz targets compare the two.

#include <optional>
#include <string>
#include <string_view>

#include "codec/invalid_input.h"

namespace pw {

std::optional<std::string> convertCharsetByIconv(std::string_view input, const char* from,
                                                 const char* to, InvalidInput onInvalid = nullptr);

}  // namespace pw
