#include <cstdio>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "text/system_texts.h"

namespace {

int runCommand(int argc, char** argv) {
    using namespace pw;
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "split") return cli::runSplit(argc - 1, argv + 1);
    if (command == "merge") return cli::runMerge(argc - 1, argv + 1);
    if (command == "join") return cli::runJoin(argc - 1, argv + 1);
    if (command == "verify") return cli::runVerify(argc - 1, argv + 1);
    if (command == "detect") return cli::runDetect(argc - 1, argv + 1);
    if (command == "--version") {
        cli::printOut(texts::cli::kVersion);
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        cli::printOut(texts::cli::kUsage);
        return 0;
    }
    std::fprintf(stderr, "%.*s%s\n%.*s", int(texts::cli::kUnknownCommand.size()),
                 texts::cli::kUnknownCommand.data(), argc > 1 ? argv[1] : "",
                 int(texts::cli::kUsage.size()), texts::cli::kUsage.data());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int status = runCommand(argc, argv);
    // What went to standard output counts only once it was written: a full disk is a failure.
    if (!pw::cli::closeStandardOutput() && status == 0) return 1;
    return status;
}
