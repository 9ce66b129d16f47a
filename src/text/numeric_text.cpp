#include "text/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/chars.h"

namespace pw {
namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// What follows the leading white space and an optional sign.
std::string_view unsignedPart(std::string_view s, bool& negative) {
    while (!s.empty() && isSpace(s[0])) s.remove_prefix(1);
    negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
    return s;
}

}  // namespace

Text foldFullWidth(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        size_t len = charLengthAt(text, pos);
        const auto lead = static_cast<unsigned char>(text[pos]);
        const auto trail = len == 2 ? static_cast<unsigned char>(text[pos + 1]) : 0;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            out += char(trail - 0x80);  // full-width ！ to ～
        else if (lead == 0xA1 && trail == 0xA1)
            out += ' ';  // ideographic space
        else
            out.append(text.substr(pos, len));
        pos += len;
    }
    return out;
}

int32_t textToInt(std::string_view text) {
    const Text folded = foldFullWidth(text);
    bool negative = false;
    std::string_view s = unsignedPart(folded, negative);
    int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), int64_t(1) << 32);
    }
    if (negative) value = -value;
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

float textToFloat(std::string_view text) {
    const Text folded = foldFullWidth(text);
    bool negative = false;
    std::string_view s = unsignedPart(folded, negative);
    // from_chars takes no sign and ignores the locale, unlike strtod.
    double value = 0;
    if (s.empty() || s[0] == '-' || s[0] == '+') return 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Out of range downwards only when the exponent itself is negative.
        const std::string_view number = s.substr(0, size_t(end - s.data()));
        const size_t e = number.find_first_of("eE");
        const bool tiny = e != number.npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0;
    }
    return float(negative ? -value : value);
}

}  // namespace pw
