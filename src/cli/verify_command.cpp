#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/roundtrip_notes.h"
#include "files/par2_format.h"
#include "files/path_ops.h"
#include "merge/part_set.h"
#include "merge/recovery_lookup.h"
#include "platform/native_names.h"

namespace pw::cli {
namespace {

const char* stateWord(PartState state) {
    switch (state) {
        case PartState::Ok:
            return tr(kOk);
        case PartState::Missing:
            return tr(kMissing);
        case PartState::WrongSize:
            return tr(kWrongSize);
        case PartState::Changed:
            return tr(kChanged);
        case PartState::Unreadable:
            return tr(kUnreadablePart);
        case PartState::OutsideLink:
            return tr(kOutsideLinkPart);
    }
    return tr(kChanged);
}

// The file against the recorded original: its size and SHA-256.
bool checkSource(FileSystem& fs, const Manifest& m, const char* argument) {
    int64_t length = -1;
    const auto digest = hashFile(fs, absolutePath(argument), &length);
    const PartState state = !digest                                ? PartState::Missing
                            : length != m.sourceSize               ? PartState::WrongSize
                            : hexDigest(*digest) != m.sourceSha256 ? PartState::Changed
                                                                   : PartState::Ok;
    printOut(std::string(argument) + ": " + std::string(stateWord(state)) + "\n");
    return state == PartState::Ok;
}

// A path as a shell reads it back: quoted when it holds more than plain characters.
std::string shellWord(const std::string& path) {
    const bool plain = std::all_of(path.begin(), path.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/._-+", c);
    });
    if (plain) return path;
    std::string out = "'";
    for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// What the split's recovery files beside the manifest could rebuild of the bad parts.
void reportRecovery(FileSystem& fs, const PartSet& set) {
    const StopFlag stop = 0;
    const auto found = findRecovery(fs, set.folder, recoveryBaseOf(set.manifestPath), stop);
    if (!found || found->check.badSlices == 0 || !protectsOnlyParts(found->set, *set.manifest))
        return;
    const RecoveryCheck& check = found->check;
    char text[512];
    if (check.repairable())
        std::snprintf(text, sizeof text, tr(kCanRebuild), found->badFiles());
    else
        std::snprintf(text, sizeof text, tr(kCannotRebuild), found->badFiles(),
                      check.badSlices - check.recoverySlices);
    std::string line = std::string(kPrefix) + text;
    if (check.repairable())
        line += shellWord(
            toNativeName(set.folder + par2::indexFileName(recoveryBaseOf(set.manifestPath))));
    printErr(line + "\n");
}

}  // namespace

int runVerify(int argc, char** argv) {
    const char* source = nullptr;
    int status = 0;
    const char* given = takeOnePath(argc, argv, kVerifyUsage, status, [&](int& i) {
        if (std::string_view(argv[i]) != "--source") return kNotOwnOption;
        if (i + 1 >= argc) return refuse(kMissingValue, argv[i]);
        source = argv[++i];
        return 0;
    });
    if (!given) return status;

    FileSystem& fs = posixFileSystem();
    const Text path = absolutePath(given);
    SetProblem problem;
    auto set = fs.isFolder(path) || isManifestFile(fs, path) ? findPartSet(fs, path, problem)
                                                             : std::nullopt;
    if (!set) {
        if (problem.path.empty()) problem = {SetFault::ManifestDamaged, path, kNotAManifest};
        return reportProblems({problem});
    }
    if (!set->manifest) return reportProblems({{SetFault::NoParts, path, kNoManifest}});

    const SetVerdict verdict = verifyParts(fs, *set->manifest, set->folder);
    const auto& states = verdict.parts;
    size_t good = 0;
    for (size_t i = 0; i < states.size(); ++i) {
        good += states[i] == PartState::Ok;
        std::string line =
            toNativeName(set->manifest->parts[i].name) + ": " + std::string(stateWord(states[i]));
        if (verdict.errors[i]) line += " (" + verdict.errors[i].message() + ")";
        printOut(line + "\n");
    }
    const bool sourceOk = !source || checkSource(fs, *set->manifest, source);
    char summary[128];
    std::snprintf(summary, sizeof summary, tr(kVerifySummary), good, states.size());
    printErr(std::string(kPrefix) + summary + "\n");
    // The parts hold what their lines say, yet the manifest disagrees with itself: as join says.
    if (verdict.whole) {
        printProblems({{*verdict.whole, set->manifestPath, {}}});
        return 1;
    }
    if (good < states.size()) reportRecovery(fs, *set);
    return good == states.size() && sourceOk ? 0 : 1;
}

}  // namespace pw::cli
