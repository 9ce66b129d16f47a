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

namespace {

// Whether a number out of range is too small rather than too large: where its first significant
// digit stands (digits before the point, less the zeros after it) plus its exponent. A long run
// of digits with an exponent of -0 is too large, whatever the exponent's sign.
bool tooSmall(std::string_view number) {
    const size_t e = number.find_first_of("eE");
    int64_t order = 0;
    bool significant = false, afterPoint = false;
    for (const char c : number.substr(0, e)) {
        if (c == '.') {
            afterPoint = true;
        } else if (!significant && c == '0') {
            order -= afterPoint;
        } else {
            significant = true;
            order += !afterPoint;
        }
    }
    int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = !digits.empty() && digits[0] == '-';
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        for (const char c : digits)
            exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1 << 30);
        if (negative) exponent = -exponent;
    }
    return order + exponent <= 0;
}

}  // namespace

float textToFloat(std::string_view text) {
    const Text folded = foldFullWidth(text);
    bool negative = false;
    std::string_view s = unsignedPart(folded, negative);
    // from_chars takes no sign and ignores the locale, unlike strtod.
    double value = 0;
    if (s.empty() || s[0] == '-' || s[0] == '+') return 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = tooSmall(s.substr(0, size_t(end - s.data())))
                    ? 0
                    : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0;
    }
    return float(negative ? -value : value);
}

}  // namespace pw
