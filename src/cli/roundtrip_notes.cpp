#include "cli/roundtrip_notes.h"

#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "platform/native_names.h"

namespace pw::cli {

void reportEarlierParts(const SplitSummary& summary) {
    if (summary.staleRemoved > 0) say(kStaleRemoved, std::to_string(summary.staleRemoved));
    for (const Text& path : summary.staleKept)
        printErr(std::string(kPrefix) + toNativeName(path) + tr(kStaleKept) + "\n");
}

}  // namespace pw::cli

namespace pw::cli {

void reportUnlistedParts(const std::vector<Text>& files) {
    constexpr size_t kShown = 3;
    if (files.empty()) return;
    std::string line = std::string(kPrefix) + std::to_string(files.size()) + tr(kUnlistedParts);
    for (size_t i = 0; i < files.size() && i < kShown; ++i)
        line += (i ? ", " : "") + toNativeName(files[i]);
    printErr(line + (files.size() > kShown ? ", ...\n" : "\n"));
}

void reportDamagedParts(const std::vector<Text>& parts) {
    for (const Text& part : parts)
        printErr(std::string(kPrefix) + toNativeName(part) + tr(kDamagedPart) + "\n");
}

int reportProblems(const std::vector<SetProblem>& problems) {
    for (const SetProblem& p : problems) {
        const char* reason = kStopped;
        switch (p.fault) {
            case SetFault::NoParts:
                reason = kNoParts;
                break;
            case SetFault::SeveralSets:
                reason = kSeveralSets;
                break;
            case SetFault::ManifestDamaged:
                reason = kManifestDamaged;
                break;
            case SetFault::Missing:
                reason = kPartMissing;
                break;
            case SetFault::WrongSize:
                reason = kPartWrongSize;
                break;
            case SetFault::Changed:
                reason = kPartChanged;
                break;
            case SetFault::NotExact:
                reason = kNotExact;
                break;
            case SetFault::Unreadable:
                reason = kCannotBeRead;
                break;
            case SetFault::WriteFailed:
                reason = kWriteFailed;
                break;
            case SetFault::OutputChanged:
                reason = kOutputChanged;
                break;
            case SetFault::Stopped:
                reason = kStopped;
                break;
        }
        std::string line(kPrefix);
        if (!p.path.empty()) line += toNativeName(p.path) + ": ";
        line += tr(reason);
        if (!p.detail.empty()) line += std::string(" (") + tr(p.detail.c_str()) + ")";
        if (p.fault == SetFault::NotExact) line += tr(kUseMerge);
        printErr(line + "\n");
    }
    say(kNothingWritten);
    return 1;
}

}  // namespace pw::cli
