#pragma once
// Another program run on the files a test wrote: par2cmdline, sh, a generated script.

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace pw::test {

inline bool haveParCmdline() {
    return std::system("command -v par2 > /dev/null 2>&1") == 0;
}

// Runs `command` through sh in `folder` (any name: it is quoted), its output discarded; its exit
// status, or -1 when it did not exit.
inline int shellIn(const std::string& folder, const std::string& command) {
    std::string quoted = "'";
    for (char c : folder) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const int raw = std::system(("cd " + quoted + "' && " + command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace pw::test
