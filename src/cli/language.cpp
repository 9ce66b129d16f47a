#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "cli/cli_texts.h"

namespace pw::cli {
namespace {

constexpr const char* kDomain = "partwell-cli";

// The catalogues where they are installed beside the program (bin/../share/locale, whatever
// the prefix), or in a build tree (bin/../locale); else where this build would install them.
std::string catalogueFolder() {
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        const std::string program(exe, size_t(n));
        const std::string bin = program.substr(0, program.rfind('/'));
        for (const char* folder : {"/../share/locale", "/../locale"}) {
            const std::string path = bin + folder;
            if (::access((path + "/zh_CN/LC_MESSAGES/partwell-cli.mo").c_str(), R_OK) == 0)
                return path;
        }
    }
    return PARTWELL_LOCALEDIR;
}

const char* firstSet(std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (const char* value = std::getenv(name); value && *value) return value;
    return nullptr;
}

}  // namespace

const char* tr(const char* english) {
    return ::dgettext(kDomain, english);
}

void setUpLanguage() {
    // Only the messages and the characters follow the user: numbers on the command line are
    // read with a point whatever the locale.
    if (!std::setlocale(LC_CTYPE, "") || !std::setlocale(LC_MESSAGES, "")) {
        // A locale that is not installed (as on a fresh system) still chooses the language.
        std::setlocale(LC_CTYPE, "C.UTF-8");
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        const char* wanted = firstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
        if (wanted && !firstSet({"LANGUAGE"})) ::setenv("LANGUAGE", wanted, 1);
    }
    // The one Chinese catalogue serves every Chinese locale (zh_TW, zh_HK, zh_SG too).
    const char* wanted = firstSet({"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"});
    if (wanted && std::string_view(wanted).starts_with("zh") &&
        std::string_view(wanted).find("zh_CN") == std::string_view::npos)
        ::setenv("LANGUAGE", (std::string(wanted) + ":zh_CN").c_str(), 1);
    ::bindtextdomain(kDomain, catalogueFolder().c_str());
    ::bind_textdomain_codeset(kDomain, "UTF-8");
}

}  // namespace pw::cli
