#pragma once
// How an edit box's text becomes a number: full-width characters fold to ASCII first, then the
// leading integer or decimal number is read; no number reads as 0.

#include <cstdint>

#include "text/codepage.h"

namespace pw {

Text foldFullWidth(std::string_view text);
int32_t textToInt(std::string_view text);  // like atoi, clamped to 32 bits
float textToFloat(std::string_view text);  // like atof, narrowed to single precision

}  // namespace pw
