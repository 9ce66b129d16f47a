#include "text/chars.h"

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

}  // namespace pw
