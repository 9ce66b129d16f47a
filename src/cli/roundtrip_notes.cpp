#include "cli/roundtrip_notes.h"

#include <string>

#include "cli/cli_support.h"
#include "platform/native_names.h"
#include "text/system_texts.h"

namespace pw::cli {

void reportEarlierParts(const SplitSummary& summary) {
    namespace t = texts::roundtrip;
    if (summary.staleRemoved > 0)
        printErr(std::string(t::kStaleRemoved) + std::to_string(summary.staleRemoved) + "\n");
    for (const Text& path : summary.staleKept)
        printErr("partwell-cli: " + toNativeName(path) + std::string(t::kStaleKept));
}

}  // namespace pw::cli

namespace pw::cli {

void reportDamagedParts(const std::vector<Text>& parts) {
    for (const Text& part : parts)
        printErr("partwell-cli: " + toNativeName(part) +
                 std::string(texts::roundtrip::kDamagedPart));
}

int reportProblems(const std::vector<SetProblem>& problems) {
    namespace t = texts::roundtrip;
    for (const SetProblem& p : problems) {
        std::string_view reason;
        switch (p.fault) {
            case SetFault::NoParts:
                reason = t::kNoParts;
                break;
            case SetFault::SeveralSets:
                reason = t::kSeveralSets;
                break;
            case SetFault::ManifestDamaged:
                reason = t::kManifestDamaged;
                break;
            case SetFault::Missing:
                reason = t::kPartMissing;
                break;
            case SetFault::Extra:
                reason = t::kPartExtra;
                break;
            case SetFault::WrongSize:
                reason = t::kPartWrongSize;
                break;
            case SetFault::Changed:
                reason = t::kPartChanged;
                break;
            case SetFault::NotExact:
                reason = t::kNotExact;
                break;
            case SetFault::Unreadable:
                reason = t::kUnreadable;
                break;
            case SetFault::WriteFailed:
                reason = t::kWriteFailed;
                break;
            case SetFault::OutputChanged:
                reason = t::kOutputChanged;
                break;
            case SetFault::Stopped:
                reason = t::kStopped;
                break;
        }
        std::string line = "partwell-cli: ";
        if (!p.path.empty()) line += toNativeName(p.path) + ": ";
        line += std::string(reason);
        if (!p.detail.empty()) line += " (" + p.detail + ")";
        if (p.fault == SetFault::NotExact) line += t::kUseMerge;
        printErr(line + "\n");
    }
    printErr(std::string(t::kNothingWritten));
    return 1;
}

}  // namespace pw::cli
