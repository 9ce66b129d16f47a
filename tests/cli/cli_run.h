#pragma once
// Runs partwell-cli in a test's folder through the shell and captures what it printed.

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace pw::test {

struct CliRun {
    int status;
    std::string out, err;
};

// `args` is a shell command line after the program's name, run in `dir` with the variables of
// `environment` ("NAME=value ..."); without them in English whatever the test's locale.
inline CliRun cli(const TempDir& dir, const std::string& args,
                  const std::string& environment = "LANGUAGE= LC_ALL=C.UTF-8") {
    const std::string outFile = dir.path("stdout.log"), errFile = dir.path("stderr.log");
    const std::string command = "cd '" + dir.path() + "' && env " + environment + " '" +
                                std::string(PARTWELL_CLI) + "' " + args + " >'" + outFile +
                                "' 2>'" + errFile + "'";
    const int raw = std::system(command.c_str());
    CliRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(outFile), readFile(errFile)};
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return r;
}

}  // namespace pw::test
