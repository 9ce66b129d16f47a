#pragma once
// The program code page: every text the program keeps is GB18030, a superset of GBK that can
// hold any Unicode character. UTF-8 exists only at the edges (native file names, Qt strings).

#include <string>
#include <string_view>

namespace pw {

// Text in the program code page; holds no NUL.
using Text = std::string;
// Any bytes: file contents, parts, conversion results.
using ByteBuffer = std::string;

inline constexpr const char* kCodePage = "GB18030";

// The one way the program's own texts (written in UTF-8 in the source) become code-page text.
Text lit(std::string_view utf8);

// Between the edges' UTF-8 and the code page. Nothing is lost in either direction for valid input.
Text fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view text);

// Between native file names (bytes, normally UTF-8) and the code page; used for every path that
// crosses the edge: arguments, folder listings, choosers, drops, the names of outputs.
Text fromNativeName(std::string_view native);
std::string toNativeName(std::string_view text);

// Bytes read as text: everything before the first NUL.
Text bytesAsText(std::string_view bytes);

}  // namespace pw
