#include <cstdio>
#include <string_view>

#include "cli/commands.h"
#include "text/system_texts.h"

int main(int argc, char** argv) {
    using namespace pw;
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "split") return cli::runSplit(argc - 1, argv + 1);
    if (command == "merge") return cli::runMerge(argc - 1, argv + 1);
    if (command == "join") return cli::runJoin(argc - 1, argv + 1);
    if (command == "verify") return cli::runVerify(argc - 1, argv + 1);
    if (command == "detect") return cli::runDetect(argc - 1, argv + 1);
    if (command == "--version") {
        std::fwrite(texts::cli::kVersion.data(), 1, texts::cli::kVersion.size(), stdout);
        return 0;
    }
    if (command == "--help" || command == "-h" || command == "help") {
        std::fwrite(texts::cli::kUsage.data(), 1, texts::cli::kUsage.size(), stdout);
        return 0;
    }
    std::fprintf(stderr, "%.*s%s\n%.*s", int(texts::cli::kUnknownCommand.size()),
                 texts::cli::kUnknownCommand.data(), argc > 1 ? argv[1] : "",
                 int(texts::cli::kUsage.size()), texts::cli::kUsage.data());
    return 2;
}
