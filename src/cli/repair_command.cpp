#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "files/par2_reader.h"
#include "files/path_ops.h"
#include "merge/par2_repair.h"
#include "platform/native_names.h"

namespace pw::cli {
namespace {

bool endsWithPar2(std::string_view name) {
    if (name.size() < 5) return false;
    std::string tail(name.substr(name.size() - 5));
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return tail == ".par2";
}

// "x.vol03+04.par2" and "x.par2" both belong to the set "x".
std::string setBaseOf(std::string_view name) {
    std::string base(name.substr(0, name.size() - 5));
    const size_t vol = base.rfind(".vol");
    if (vol != std::string::npos && base.find('+', vol) != std::string::npos) base.resize(vol);
    return base;
}

const char* problemText(par2::SetProblem problem) {
    switch (problem) {
        case par2::SetProblem::NoMainPacket:
            return kNoMainPacket;
        case par2::SetProblem::BadMainPacket:
            return kBadMainPacket;
        case par2::SetProblem::BadFileName:
            return kBadFileName;
        case par2::SetProblem::TooManySlices:
            return kTooManySlices;
        default:
            return kMissingFilePackets;
    }
}

// The recovery files of the folder that may belong to the set asked for.
std::vector<Text> recoveryFiles(FileSystem& fs, const Text& folder, const Text& given,
                                bool& listed) {
    std::vector<Text> out;
    const auto entries = fs.listFolder(folder);
    listed = entries.has_value();
    if (!entries) return out;
    const bool byName = !given.empty() && endsWithPar2(given);
    const std::string base = byName ? setBaseOf(given) : std::string();
    for (const FolderEntry& e : *entries) {
        if (e.isFolder || !endsWithPar2(e.name)) continue;
        if (byName && setBaseOf(e.name) != base) continue;
        out.push_back(e.name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

const char* stateText(RecoveryFileState state) {
    return state == RecoveryFileState::Ok        ? tr(kOk)
           : state == RecoveryFileState::Missing ? tr(kMissing)
                                                 : tr(kDamaged);
}

// Every packet of the recovery files; a file without any, or with damage, is named.
par2::RecoverySetReader readRecoveryFiles(FileSystem& fs, const Text& folder,
                                          const std::vector<Text>& files) {
    par2::RecoverySetReader reader;
    for (const Text& file : files) {
        const Text filePath = folder + kPathSeparator + file;
        auto handle = fs.open(filePath, OpenMode::Read);
        if (!handle) {
            printFailures({{FailureKind::Read, filePath, fs.lastError()}});
            continue;
        }
        const par2::ScanResult scan = par2::scanPackets(*handle);
        if (scan.packets.empty())
            printErr(std::string(kPrefix) + shownPath(file) + tr(kNotRecoveryFile) + "\n");
        else if (scan.skippedBytes > 0)
            printErr(std::string(kPrefix) + shownPath(file) + tr(kDamagedPackets) +
                     std::to_string(scan.skippedBytes) + "\n");
        reader.add(filePath, scan);
    }
    return reader;
}

// The set PATH means: the one a part belongs to, else the folder's (or the named files') only one.
std::optional<par2::RecoverySet> pickSet(const par2::RecoverySetReader& reader, const Text& folder,
                                         const Text& path, const Text& name) {
    const std::vector<par2::Id> ids = reader.setIds();
    if (ids.empty()) {
        say(kNoRecoveryFiles, ": " + shownPath(folder));
        return std::nullopt;
    }

    std::optional<par2::RecoverySet> set;
    par2::SetProblem problem = par2::SetProblem::None;
    std::string detail;
    const bool aPart = !name.empty() && !endsWithPar2(name);
    for (const par2::Id& id : ids) {
        if (!aPart && ids.size() > 1) break;
        auto candidate = reader.build(id, problem, detail);
        if (!candidate) continue;
        if (aPart && std::find(candidate->names.begin(), candidate->names.end(), name) ==
                         candidate->names.end())
            continue;
        set = std::move(candidate);
        break;
    }
    if (!set) {
        if (!aPart && ids.size() > 1)
            say(kSeveralRecoverySets, ": " + shownPath(folder));
        else if (problem != par2::SetProblem::None)
            say(problemText(problem), detail);
        else
            say(kNotInRecoverySet, ": " + shownPath(path));
    }
    return set;
}

}  // namespace

int runRepair(int argc, char** argv) {
    int status = 0;
    const char* given = takeOnePath(argc, argv, kRepairUsage, status);
    if (!given) return status;

    StopFlag stop = 0;
    installStopSignals(stop);
    FileSystem& fs = posixFileSystem();
    const Text path = absolutePath(given);
    const bool isFolder = fs.isFolder(path);
    const Text folder = isFolder ? path : folderOf(path);
    const Text name = isFolder ? Text() : fileNameOf(path);
    bool listed = false;
    const auto files = recoveryFiles(fs, folder, name, listed);
    if (!listed) {
        printFailures({{FailureKind::List, folder, fs.lastError()}});
        return 1;
    }

    const par2::RecoverySetReader reader = readRecoveryFiles(fs, folder, files);
    const std::optional<par2::RecoverySet> set = pickSet(reader, folder, path, name);
    if (!set) return 1;

    const RecoveryCheck check = checkRecoverySet(fs, folder, *set, stop);
    for (size_t i = 0; i < set->names.size(); ++i)
        printOut(toNativeName(set->names[i]) + ": " + stateText(check.states[i]) + "\n");
    if (stop) {
        say(kStopped);
        return 128 + stopSignal();
    }
    if (check.badSlices == 0) {
        say(kAllWhole);
        return 0;
    }
    if (!check.repairable()) {
        char text[512];
        std::snprintf(text, sizeof text, tr(kNotEnoughRecovery), check.badSlices,
                      check.recoverySlices, check.badSlices - check.recoverySlices);
        printErr(std::string(kPrefix) + text + "\n");
        return 1;
    }
    const RepairOutcome outcome = repairRecoverySet(fs, folder, *set, check, stop);
    for (const Text& rebuilt : outcome.rebuilt) say(kRebuilt, shownPath(rebuilt));
    printFailures(outcome.failures);
    for (const Text& wrong : outcome.mismatched)
        printErr(std::string(kPrefix) + shownPath(wrong) + ": " + tr(kRebuiltWrong) + "\n");
    if (outcome.singular) say(kSingularRecovery);
    if (outcome.stopped) {
        say(kStopped);
        return 128 + stopSignal();
    }
    say(kRepairSummary, std::to_string(outcome.rebuilt.size()));
    return outcome.failures.empty() && outcome.mismatched.empty() && !outcome.singular ? 0 : 1;
}

}  // namespace pw::cli
