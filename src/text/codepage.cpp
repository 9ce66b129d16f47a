#include "text/codepage.h"

#include <algorithm>

#include "platform/charset.h"

namespace pw {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

Text lit(std::string_view utf8) {
    return fromUtf8(utf8);
}

Text fromUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return Text(utf8);
    return convertCharset(utf8, "UTF-8", kCodePage).value_or(Text());
}

std::string toUtf8(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    return convertCharset(text, kCodePage, "UTF-8").value_or(std::string());
}

Text bytesAsText(std::string_view bytes) {
    return Text(bytes.substr(0, bytes.find('\0')));
}

}  // namespace pw
