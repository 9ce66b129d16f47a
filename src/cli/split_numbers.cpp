#include "cli/split_numbers.h"

#include <cctype>
#include <charconv>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "text/codepage.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

// A number the window's size box reads to its end: a sign, digits with at most one point, an
// exponent. Letters ("inf", "nan") are taken for a unit, and anything else after the number
// ("1.5%") is no number.
bool wholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    return !text.empty() && end == text.data() + text.size() &&
           (ec == std::errc() || ec == std::errc::result_out_of_range);
}

constexpr SizePreset kSizePresets[] = {
    {"fat32", 4294967295},  // FAT32's largest file: 4 GiB - 1
    {"mail", 18000000},     // 24.6 MB in base64 with line breaks: under a 25 MB limit
    {"dvd", 4700000000},    // a single-layer DVD as its label counts: 4.7 GB
    {"cd", 734003200},      // a 700 MB CD-R: 700 MiB
};

}  // namespace

SizeError parseSize(std::string_view arg, Text& number, int& unit) {
    const Text folded = foldFullWidth(fromUtf8(arg));
    size_t end = folded.size();
    while (end > 0 && std::isalpha(static_cast<unsigned char>(folded[end - 1]))) --end;
    number = folded.substr(0, end);
    std::string u = folded.substr(end);
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kUnits[] = {"B", "KB", "MB", "GB"};
    unit = -1;
    for (int i = 0; i < 4; ++i)
        if (u == kUnits[i]) unit = i;
    if (u.empty()) unit = kUnitlessSize;
    if (unit < 0)
        return !number.empty() && wholeNumber(number) ? SizeError::Unit : SizeError::Number;
    return wholeNumber(number) ? SizeError::None : SizeError::Number;
}

CountRange parseRange(std::string_view arg) {
    const Text folded = foldFullWidth(fromUtf8(arg));
    const bool signedNumber = !folded.empty() && (folded[0] == '-' || folded[0] == '+');
    const size_t dash = folded.find('-', signedNumber ? 1 : 0);
    if (dash == Text::npos) return {textToInt(folded), textToInt(folded)};
    return {textToInt(folded.substr(0, dash)), textToInt(folded.substr(dash + 1))};
}

int refuseCount(bool lines, const CountRange& range) {
    if (range.low >= 1 && range.high >= 1) return 0;
    printErr(std::string(kPrefix) +
             engineMessage(lit(lines ? texts::kLineCountAtLeastOne : texts::kCharCountAtLeastOne)) +
             "\n");
    return 2;
}

const SizePreset* findSizePreset(std::string_view arg) {
    std::string lowered(arg);
    for (char& c : lowered) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const SizePreset& p : kSizePresets)
        if (lowered == p.name) return &p;
    return nullptr;
}

}  // namespace pw::cli
