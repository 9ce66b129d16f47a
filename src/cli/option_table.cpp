#include "cli/option_table.h"

#include "cli/cli_support.h"
#include "cli/cli_texts.h"

namespace pw::cli {
namespace {

constexpr size_t kHelpColumn = 25;  // where the explanations start

}  // namespace

std::string helpText(const char* head, std::span<const std::string_view> names,
                     std::span<const char* const> values, std::span<const char* const> helps,
                     const char* tail) {
    std::string out = tr(head);
    const auto row = [&](std::string left, std::string_view help) {
        // The first line beside the option (or below it when the option is too long), the
        // others under it.
        size_t start = 0;
        bool first = true;
        while (start <= help.size()) {
            size_t end = help.find('\n', start);
            if (end == std::string_view::npos) end = help.size();
            std::string line = first ? left : std::string();
            if (line.size() + 1 > kHelpColumn) {
                out += line + "\n";
                line.clear();
            }
            line.resize(kHelpColumn, ' ');
            out += line + std::string(help.substr(start, end - start)) + "\n";
            first = false;
            start = end + 1;
        }
    };
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) {
            out += std::string(tr(helps[i])) + "\n";
            continue;
        }
        std::string left = "  " + std::string(names[i]);
        if (values[i]) left += std::string(" ") + values[i];
        row(left, tr(helps[i]));
    }
    row("  --help", tr(kHelpOption));
    return out + tr(tail);
}

int refuseUnknown(std::string_view arg) {
    return refuse(kUnknownOption, arg);
}

int refuseMissingValue(std::string_view arg) {
    return refuse(kMissingValue, arg);
}

void printHelp(const std::string& help) {
    printOut(help);
}

}  // namespace pw::cli

namespace pw::cli {

bool takesOptionalValue(const char* arg) {
    Text number;
    return parseWholeNumber(arg, number);
}

}  // namespace pw::cli
