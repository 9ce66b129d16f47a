#pragma once
// A command's options in one table: how each is parsed into the command's settings, and the
// lines --help shows for it.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"

namespace pw::cli {

template <class Settings>
struct Option {
    std::string_view name;  // "--lines"; empty for a heading line of --help
    const char* value;      // the value's name in --help ("[N]": a count that may be left out);
                            // nullptr for a switch
    const char* help;       // marked with N_(); a line break continues under the first line
    // Takes the value (nullptr for a switch) into the settings. Anything but 0 is a refusal,
    // already said, and the exit status.
    int (*apply)(Settings&, const char* value);
};

// --help of a command: the text before the table, each row, the text after it.
std::string helpText(const char* head, std::span<const std::string_view> names,
                     std::span<const char* const> values, std::span<const char* const> helps,
                     const char* tail);

template <class Settings, size_t N>
std::string helpText(const char* head, const Option<Settings> (&table)[N], const char* tail) {
    std::vector<std::string_view> names;
    std::vector<const char*> values, helps;
    for (const Option<Settings>& o : table) {
        names.push_back(o.name);
        values.push_back(o.value);
        helps.push_back(o.help);
    }
    return helpText(head, names, values, helps, tail);
}

enum class Parsed { Run, Done };

int refuseUnknown(std::string_view arg);
int refuseMissingValue(std::string_view arg);
void printHelp(const std::string& help);
// Whether `arg` is the value of an option whose value may be left out: only a whole number is.
bool takesOptionalValue(const char* arg);

// Walks the arguments after the command's name: options through the table (--help prints the
// help), anything else is a path, of which there must be one. Done with `status` set when the
// command ends here.
template <class Settings, size_t N>
Parsed parseArguments(int argc, char** argv, const Option<Settings> (&table)[N],
                      const std::string& help, Settings& settings, std::vector<const char*>& paths,
                      int& status) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp(help);
            status = 0;
            return Parsed::Done;
        }
        if (!arg.starts_with("--")) {
            paths.push_back(argv[i]);
            continue;
        }
        const Option<Settings>* option = nullptr;
        for (const Option<Settings>& o : table)
            if (!o.name.empty() && o.name == arg) option = &o;
        if (!option) {
            status = refuseUnknown(arg);
            return Parsed::Done;
        }
        const char* value = nullptr;
        if (option->value && option->value[0] == '[') {
            if (i + 1 < argc && takesOptionalValue(argv[i + 1])) value = argv[++i];
        } else if (option->value) {
            if (i + 1 >= argc) {
                status = refuseMissingValue(arg);
                return Parsed::Done;
            }
            value = argv[++i];
        }
        if ((status = option->apply(settings, value)) != 0) return Parsed::Done;
    }
    status = paths.empty() ? refuseNoPaths(help) : 0;
    return status ? Parsed::Done : Parsed::Run;
}

}  // namespace pw::cli
