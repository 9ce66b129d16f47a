#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/option_table.h"
#include "cli/roundtrip_notes.h"
#include "cli/watched_files.h"
#include "files/path_ops.h"
#include "merge/join_parts.h"
#include "merge/recovery_lookup.h"
#include "platform/native_names.h"

namespace pw::cli {
namespace {

// A join reads no option of a merge: these are never asked.
struct JoinSettings : MergeOptions {
    AfterJoin after = AfterJoin::KeepParts;
    Text outputDir;
    ConsoleSettings console;

    bool handleEncoding() const override { return false; }
    bool deleteSources() const override { return false; }
    bool intoParentFolder() const override { return false; }
    bool includeSubfolders() const override { return false; }
    Text fileTypes() const override { return {}; }
    JoinWith joinWith() const override { return JoinWith::Nothing; }
    Text joinText() const override { return {}; }
    Text joinFilePath() const override { return {}; }
};

constexpr Option<JoinSettings> kJoinOptions[] = {
    {"--delete-parts", nullptr,
     N_("delete the parts and the manifest once the original is in place"),
     [](JoinSettings& s, const char*) { return s.after = AfterJoin::DeleteParts, 0; }},
    {"--output-dir", "DIR", N_("write the original into DIR"),
     [](JoinSettings& s, const char* v) { return takeOutputFolder(v, s.outputDir); }},
    {"--progress", nullptr, N_("show the progress line even when standard error is no terminal"),
     [](JoinSettings& s, const char*) { return s.console.progress = ProgressLine::Always, 0; }},
    {"--quiet", nullptr, N_("show no progress line"),
     [](JoinSettings& s, const char*) { return s.console.quiet = true, 0; }},
};

// Damaged or missing parts that the split's recovery files can rebuild are rebuilt first, and
// said so; the join then names whatever is still wrong.
void repairBeforeJoin(FileSystem& fs, const PartSet& set, const StopFlag& stop) {
    if (!set.manifest) return;
    const auto found = findRecovery(fs, set.folder, recoveryBaseOf(set.manifestPath), stop);
    if (!found || found->check.badSlices == 0 || !protectsOnlyParts(found->set, *set.manifest))
        return;
    const RecoveryCheck& check = found->check;
    if (!check.repairable()) {
        char text[512];
        std::snprintf(text, sizeof text, tr(kNotEnoughRecovery), check.badSlices,
                      check.recoverySlices, check.badSlices - check.recoverySlices);
        printErr(std::string(kPrefix) + text + "\n");
        return;
    }
    say(kRepairingFirst, std::to_string(found->badFiles()));
    const RepairOutcome outcome = repairRecoverySet(fs, set.folder, found->set, check, stop);
    for (const Text& rebuilt : outcome.rebuilt) say(kRebuilt, shownPath(rebuilt));
    printFailures(outcome.failures);
    for (const Text& wrong : outcome.mismatched)
        printErr(std::string(kPrefix) + shownPath(wrong) + ": " + tr(kRebuiltWrong) + "\n");
}

}  // namespace

int runJoin(int argc, char** argv) {
    JoinSettings options;
    std::vector<const char*> paths;
    int status = 0;
    const std::string help = helpText(kJoinUsage, kJoinOptions, kJoinExit);
    if (parseArguments(argc, argv, kJoinOptions, help, options, paths, status) == Parsed::Done)
        return status;
    if (paths.size() > 1) return refuse(kOnePath, paths[1]);

    CountingFileSystem fs(posixFileSystem());
    SetProblem problem;
    auto set = findPartSet(fs, absolutePath(paths[0]), problem);
    if (!set) return reportProblems({problem});
    if (!options.outputDir.empty())
        set->outputPath = options.outputDir + kPathSeparator + fileNameOf(set->outputPath);

    StopFlag stop = 0;
    installStopSignals(stop);
    repairBeforeJoin(fs, *set, stop);
    int64_t total = 0;
    for (const Text& part : set->parts) total += fileSize(fs, part);
    ConsoleHost host(options.console, &fs, total, stop);
    MergeContext ctx{{host, fs, systemClock()}, options};
    const JoinOutcome outcome = joinPartSet(ctx, *set, options.after);
    host.finish();
    reportUnlistedParts(outcome.unlisted);
    if (!outcome.problems.empty()) {
        const int status = reportProblems(outcome.problems);
        return stopSignal() ? 128 + stopSignal() : status;
    }
    if (outcome.variantName)
        printErr(std::string(kPrefix) + shownPath(set->outputPath) + tr(kNameTaken) +
                 shownPath(fileNameOf(outcome.outputPath)) + "\n");
    printOut(toNativeName(outcome.outputPath) + "\n");
    printProblems(outcome.notes);
    if (outcome.undeletedParts > 0) {
        say(kUndeletedParts, std::to_string(outcome.undeletedParts));
        return 1;
    }
    return 0;
}

}  // namespace pw::cli
