#include "text/chars.h"

namespace pw {
namespace {

bool isDigitByte(unsigned char c) {
    return c >= 0x30 && c <= 0x39;
}
bool isHighByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace

size_t charLengthAt(std::string_view text, size_t pos) {
    const size_t left = text.size() - pos;
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char c = at(0);
    if (c == '\r') return left >= 2 && at(1) == '\n' ? 2 : 1;
    if (c < 0x80) return 1;
    if (left >= 4 && isHighByte(c) && isDigitByte(at(1)) && isHighByte(at(2)) && isDigitByte(at(3)))
        return 4;
    return left >= 2 ? 2 : 1;
}

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
