#include <string_view>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/allocator.h"

namespace {

int runCommand(int argc, char** argv) {
    using namespace pw::cli;
    if (argc < 2) {
        printErr(tr(kUsage));
        return 2;
    }
    const std::string_view command = argv[1];
    if (command == "split") return runSplit(argc - 1, argv + 1);
    if (command == "merge") return runMerge(argc - 1, argv + 1);
    if (command == "join") return runJoin(argc - 1, argv + 1);
    if (command == "verify") return runVerify(argc - 1, argv + 1);
    if (command == "repair") return runRepair(argc - 1, argv + 1);
    if (command == "detect") return runDetect(argc - 1, argv + 1);
    if (command == "--version") {
        printOut("partwell-cli " PARTWELL_VERSION "\n");
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        printOut(tr(kUsage));
        return 0;
    }
    say(kUnknownCommand, command);
    printErr(tr(kUsage));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    pw::reuseFreedBuffers();
    pw::cli::setUpLanguage();
    const int status = runCommand(argc, argv);
    // What went to standard output counts only once it was written: a full disk is a failure.
    if (!pw::cli::closeStandardOutput() && status == 0) return 1;
    return status;
}
