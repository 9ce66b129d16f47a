#include "app/join_job.h"

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/job_outcome.h"
#include "files/path_ops.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr std::string_view kButton = ctl::kMergeButton;
constexpr size_t kShownProblems = 5;

std::string_view faultText(SetFault fault) {
    switch (fault) {
        case SetFault::NoParts:
        case SetFault::SeveralSets:
        case SetFault::ManifestDamaged:
            return texts::kJoinManifestUnusable;
        case SetFault::Missing:
            return texts::kJoinPartMissing;
        case SetFault::WrongSize:
            return texts::kJoinPartWrongSize;
        case SetFault::Changed:
            return texts::kJoinPartChanged;
        case SetFault::NotExact:
            return texts::kJoinNotExact;
        case SetFault::Unreadable:
            return texts::kJoinUnreadable;
        case SetFault::WriteFailed:
            return texts::kJoinWriteFailed;
        case SetFault::OutputChanged:
            return texts::kJoinOutputChanged;
        case SetFault::Stopped:
            return texts::kJoinStopped;
        case SetFault::OutsideLink:
            return texts::kJoinOutsideLink;
        case SetFault::SizeDisagrees:
            return texts::kJoinSizeDisagrees;
        case SetFault::Unchecked:
            return texts::kJoinUnchecked;
    }
    return texts::kJoinWriteFailed;
}

}  // namespace

Text setProblemLine(const SetProblem& p) {
    Text line = (p.path.empty() ? Text() : fileNameOf(p.path) + lit(texts::kJoinColon)) +
                lit(faultText(p.fault));
    if (p.detail.starts_with("line ")) {
        const size_t end = p.detail.find(':');
        line +=
            lit(texts::kJoinLineBefore) + p.detail.substr(5, end - 5) + lit(texts::kJoinLineAfter);
    }
    if (p.error) line += lit(texts::kJoinColon) + reasonText(p.error);
    return line;
}

Text joinCompletionText(const JoinOutcome& outcome) {
    const Text unlisted =
        namedFilesNote(outcome.unlisted, texts::kUnlistedPartsBefore, texts::kUnlistedPartsAfter);
    if (outcome.problems.empty()) {
        Text text = lit(texts::kJoinDone) + outcome.outputPath;
        for (const SetProblem& note : outcome.notes) text += "\n" + setProblemLine(note);
        if (outcome.undeletedParts > 0)
            text += "\n" + lit(texts::kJoinUndeletedBefore) +
                    std::to_string(outcome.undeletedParts) + lit(texts::kJoinUndeletedAfter);
        return text + unlisted + "\n\n" + lit(texts::kJoinOpenFolder);
    }
    Text text = lit(texts::kJoinFailed);
    for (size_t i = 0; i < outcome.problems.size() && i < kShownProblems; ++i) {
        text += "\n" + setProblemLine(outcome.problems[i]);
    }
    if (outcome.problems.size() > kShownProblems) text += "\n" + lit(texts::kMoreNames);
    return text + unlisted;
}

void joinJob(JobContext& ctx, const Text& manifestPath) {
    Form& form = ctx.form;
    JoinOutcome outcome;
    {
        const ButtonJob job(ctx, kButton, ctl::kSplitButton, kMergeCaptions);
        if (!job.started()) return;
        SetProblem problem;
        const auto set = findPartSet(ctx.files, manifestPath, problem);
        FormMergeOptions options(form);
        FormJobHost host(form, ctx.state.stopRequested);
        MergeContext engine{{host, ctx.files, ctx.clock}, options};
        // Parts go with 合并后删除 as merged sources do, and only once the original is in place.
        const AfterJoin after =
            options.deleteSources() ? AfterJoin::DeleteParts : AfterJoin::KeepParts;
        if (set)
            outcome = joinPartSet(engine, *set, after);
        else
            outcome.problems.push_back(problem);
    }
    if (ctx.state.closePending) return;
    if (!outcome.problems.empty()) {
        form.message(joinCompletionText(outcome), Buttons::Ok);
        return;
    }
    offerFolder(ctx, joinCompletionText(outcome), folderOf(outcome.outputPath));
}

}  // namespace pw
