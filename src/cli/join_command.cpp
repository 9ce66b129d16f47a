#include <string>

#include "app/control_table.h"
#include "app/form_options.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/roundtrip_notes.h"
#include "files/path_ops.h"
#include "merge/join_parts.h"
#include "platform/native_names.h"
#include "text/system_texts.h"

namespace pw::cli {

int runJoin(int argc, char** argv) {
    namespace t = texts::roundtrip;
    AfterJoin after = AfterJoin::KeepParts;
    const char* given = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printOut(t::kJoinUsage);
            return 0;
        } else if (arg == "--delete-parts") {
            after = AfterJoin::DeleteParts;
        } else if (arg.starts_with("--")) {
            return refuse(texts::cli::kUnknownOption, arg);
        } else if (given) {
            return refuse(t::kOnePath, arg);
        } else {
            given = argv[i];
        }
    }
    if (!given) return refuse(texts::cli::kNoPaths, t::kJoinUsage);

    FileSystem& fs = posixFileSystem();
    SetProblem problem;
    const auto set = findPartSet(fs, absolutePath(given), problem);
    if (!set) return reportProblems({problem});

    MemoryForm form(mainWindowSpec());
    StopFlag stop = 0;
    installStopSignals(stop);
    attachConsole(form);
    FormJobHost host(form, stop);
    FormMergeOptions options(form);
    MergeContext ctx{{host, fs, systemClock()}, options};
    const JoinOutcome outcome = joinPartSet(ctx, *set, after);
    finishConsole();
    if (!outcome.problems.empty()) {
        const int status = reportProblems(outcome.problems);
        return stopSignal() ? 128 + stopSignal() : status;
    }
    if (outcome.variantName)
        printErr("partwell-cli: " + toNativeName(set->outputPath) + std::string(t::kNameTaken) +
                 toNativeName(fileNameOf(outcome.outputPath)) + "\n");
    printOut(toNativeName(outcome.outputPath) + "\n");
    if (outcome.undeletedParts > 0) {
        printErr(std::string(t::kUndeletedParts) + std::to_string(outcome.undeletedParts) + "\n");
        return 1;
    }
    return 0;
}

}  // namespace pw::cli
