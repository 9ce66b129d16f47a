#include "cli/roundtrip_notes.h"

#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "platform/native_names.h"

namespace pw::cli {

void reportEarlierParts(const SplitSummary& summary) {
    if (summary.staleRemoved > 0) say(kStaleRemoved, std::to_string(summary.staleRemoved));
    for (const Text& path : summary.staleKept)
        printErr(std::string(kPrefix) + shownPath(path) + tr(kStaleKept) + "\n");
}

}  // namespace pw::cli

namespace pw::cli {
namespace {

// An engine's detail in the user's language; "line N: WHY" with its number kept.
std::string translatedDetail(const std::string& detail) {
    const size_t digits =
        detail.starts_with("line ") ? detail.find_first_not_of("0123456789", 5) : 0;
    if (digits <= 5 || digits == std::string::npos || detail.compare(digits, 2, ": ") != 0)
        return tr(detail.c_str());
    char line[64];
    std::snprintf(line, sizeof line, tr(kManifestLine), detail.substr(5, digits - 5).c_str());
    return line + std::string(tr(detail.c_str() + digits + 2));
}

}  // namespace

void reportUnlistedParts(const std::vector<Text>& files) {
    constexpr size_t kShown = 3;
    if (files.empty()) return;
    std::string line = std::string(kPrefix) + std::to_string(files.size()) + tr(kUnlistedParts);
    for (size_t i = 0; i < files.size() && i < kShown; ++i)
        line += (i ? ", " : "") + shownPath(files[i]);
    printErr(line + (files.size() > kShown ? ", ...\n" : "\n"));
}

void reportDamagedParts(const std::vector<Text>& parts) {
    for (const Text& part : parts)
        printErr(std::string(kPrefix) + shownPath(part) + tr(kDamagedPart) + "\n");
}

void printProblems(const std::vector<SetProblem>& problems) {
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
            case SetFault::OutsideLink:
                reason = kOutsideLink;
                break;
            case SetFault::SizeDisagrees:
                reason = kSizeDisagrees;
                break;
            case SetFault::Unchecked:
                reason = kCompletenessUnchecked;
                break;
        }
        std::string line(kPrefix);
        if (!p.path.empty()) line += shownPath(p.path) + ": ";
        line += tr(reason);
        if (p.error) line += ": " + p.error.message();
        if (!p.detail.empty()) line += " (" + translatedDetail(p.detail) + ")";
        if (p.fault == SetFault::NotExact) line += tr(kUseMerge);
        printErr(line + "\n");
    }
}

int reportProblems(const std::vector<SetProblem>& problems) {
    printProblems(problems);
    say(kNothingWritten);
    return 1;
}

}  // namespace pw::cli
