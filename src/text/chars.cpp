#include "text/chars.h"

#include <algorithm>

namespace pw {

size_t countChars(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); pos += charLengthAt(text, pos)) ++count;
    return count;
}

Text leftChars(std::string_view text, size_t n) {
    size_t pos = 0;
    for (size_t count = 0; count < n && pos < text.size(); ++count) pos += charLengthAt(text, pos);
    return Text(text.substr(0, pos));
}

namespace {

bool isSpaceAt(std::string_view text, size_t pos, size_t len) {
    return (len == 1 && text[pos] == ' ') || (len == 2 && text.substr(pos, 2) == "\xA1\xA1");
}

}  // namespace

std::string_view trimmedSpaces(std::string_view text) {
    size_t first = text.size(), end = 0;
    for (size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80 && text[pos] != ' ') {
            // A run of ASCII that holds no space, line breaks included, at once.
            first = std::min(first, pos);
            while (++pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80 &&
                   text[pos] != ' ') {
            }
            end = pos;
            continue;
        }
        const size_t len = charLengthAt(text, pos);
        if (!isSpaceAt(text, pos, len)) {
            first = std::min(first, pos);
            end = pos + len;
        }
        pos += len;
    }
    return first < end ? text.substr(first, end - first) : std::string_view();
}

Text trimSpaces(std::string_view text) {
    return Text(trimmedSpaces(text));
}

}  // namespace pw
