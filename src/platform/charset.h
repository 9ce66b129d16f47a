#pragma once
// Charset conversion over iconv.

#include <optional>
#include <string>
#include <string_view>

#include "codec/invalid_input.h"

namespace pw {

// Converts `input` from one charset to another. A character the target cannot hold becomes "?";
// bytes that are not valid in the source charset become the target's replacement character
// (U+FFFD where the target has it, "?" otherwise). Yields nothing only when a charset is unknown.
// `replacements`, when given, receives how many substitutes were put in: a text that needed any
// is not the input's whole content.
std::optional<std::string> convertCharset(std::string_view input, const char* from, const char* to,
                                          size_t* replacements = nullptr);

// The same conversion appended to `out`, whose memory a caller may reuse from one text to the
// next. False, with `out` unchanged, only when a charset is unknown.
bool appendConvertedCharset(std::string_view input, const char* from, const char* to,
                            std::string& out, size_t* replacements = nullptr);

// The same conversion with invalid input replaced by what `onInvalid` makes of it.
std::optional<std::string> convertCharset(std::string_view input, const char* from, const char* to,
                                          InvalidInput onInvalid, size_t* replacements = nullptr);

// The same conversion with the result put in place of the whole buffer, of which the bytes from
// `start` on are converted. The buffer's memory is reused, so a large text is not held twice.
// False, with the buffer unchanged, only when a charset is unknown.
bool convertCharsetInPlace(std::string& buffer, size_t start, const char* from, const char* to,
                           size_t* replacements = nullptr);

// True when iconv knows the charset name.
bool charsetKnown(const char* name);

}  // namespace pw
