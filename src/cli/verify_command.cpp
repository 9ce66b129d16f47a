#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/roundtrip_notes.h"
#include "files/path_ops.h"
#include "merge/part_set.h"
#include "platform/native_names.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

namespace t = texts::roundtrip;

std::string_view stateWord(PartState state) {
    switch (state) {
        case PartState::Ok:
            return t::kOk;
        case PartState::Missing:
            return t::kMissing;
        case PartState::WrongSize:
            return t::kWrongSize;
        case PartState::Changed:
            return t::kChanged;
    }
    return t::kChanged;
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

}  // namespace

int runVerify(int argc, char** argv) {
    const char* given = nullptr;
    const char* source = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printOut(t::kVerifyUsage);
            return 0;
        } else if (arg == "--source") {
            if (i + 1 >= argc) return refuse(texts::cli::kMissingValue, arg);
            source = argv[++i];
        } else if (arg.starts_with("--")) {
            return refuse(texts::cli::kUnknownOption, arg);
        } else if (given) {
            return refuse(t::kOnePath, arg);
        } else {
            given = argv[i];
        }
    }
    if (!given) return refuse(texts::cli::kNoPaths, t::kVerifyUsage);

    FileSystem& fs = posixFileSystem();
    const Text path = absolutePath(given);
    SetProblem problem;
    auto set = fs.isFolder(path) || isManifestFile(fs, path) ? findPartSet(fs, path, problem)
                                                             : std::nullopt;
    if (!set) {
        if (problem.path.empty()) problem = {SetFault::ManifestDamaged, path, "not a manifest"};
        return reportProblems({problem});
    }
    if (!set->manifest) return reportProblems({{SetFault::NoParts, path, "no manifest"}});

    const auto states = verifyParts(fs, *set->manifest, set->folder);
    size_t good = 0;
    for (size_t i = 0; i < states.size(); ++i) {
        good += states[i] == PartState::Ok;
        printOut(toNativeName(set->manifest->parts[i].name) + ": " +
                 std::string(stateWord(states[i])) + "\n");
    }
    const bool sourceOk = !source || checkSource(fs, *set->manifest, source);
    printErr(std::string(t::kVerifySummaryBefore) + std::to_string(good) +
             std::string(t::kVerifySummaryOf) + std::to_string(states.size()) +
             std::string(t::kVerifySummaryAfter));
    return good == states.size() && sourceOk ? 0 : 1;
}

}  // namespace pw::cli
