#include "app/merge_job.h"

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/job_outcome.h"
#include "app/join_job.h"
#include "files/path_ops.h"
#include "merge/part_set.h"
#include "merge/recovery_lookup.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr std::string_view kButton = ctl::kMergeButton;
constexpr std::string_view kTypes = ctl::kMergeFileTypes;

Text mergeFailureNote(const MergeSummary& summary) {
    Text note = failureNote(summary.failedOutputs, texts::kFailedMergeOutputsBefore,
                            texts::kFailedMergeOutputsAfter, summary.unreadableSources,
                            summary.undeletedSources);
    Text more;
    if (summary.separatorUnreadable) more += "\n" + lit(texts::kSeparatorUnreadable);
    if (summary.renamedOutputs > 0)
        more += "\n" + lit(texts::kRenamedOutputsBefore) + std::to_string(summary.renamedOutputs) +
                lit(texts::kRenamedOutputsAfter);
    more += keptAndFailedLines(summary.keptForReplacements, summary.failures);
    more +=
        namedFilesNote(summary.damagedParts, texts::kDamagedPartsBefore, texts::kDamagedPartsAfter);
    for (const SetProblem& p : summary.unusableManifests) more += "\n" + setProblemLine(p);
    more += namedFilesNote(summary.unlistedParts, texts::kUnlistedPartsBefore,
                           texts::kUnlistedPartsAfter);
    if (note.empty() && !more.empty()) note = "\n";
    return note + more;
}

// The folder last merged through the chooser, else the folder last split as a whole.
Text chooseFolder(JobContext& ctx) {
    Text preselected = ctx.form.tag(kButton);
    if (preselected.empty()) preselected = ctx.form.tag(ctl::kSplitButton);
    const Text title = lit(texts::kChooseMergeFolderTitleBefore) + ctx.form.text(kTypes) +
                       lit(texts::kChooseMergeFolderTitleAfter);
    return ctx.shell.chooseFolder(preselected, title);
}

// A folder holding a split's manifest whose parts are damaged or missing, with recovery files
// beside it that can rebuild them (and protect nothing else): asked, then rebuilt before the merge.
void offerRepair(JobContext& ctx, const Text& folder) {
    SetProblem problem;
    const auto set = findPartSet(ctx.files, folder, problem);
    if (!set || !set->manifest) return;
    const auto found = findRecovery(ctx.files, set->folder, recoveryBaseOf(set->manifestPath),
                                    ctx.state.stopRequested);
    if (!found || found->check.badSlices == 0 || !found->check.repairable() ||
        !protectsOnlyParts(found->set, *set->manifest))
        return;
    const Text question = lit(texts::kRepairQuestionBefore) + std::to_string(found->badFiles()) +
                          lit(texts::kRepairQuestionAfter);
    if (ctx.form.message(question, Buttons::YesNo) != Answer::Yes) return;
    (void)repairRecoverySet(ctx.files, set->folder, found->set, found->check,
                            ctx.state.stopRequested);
}

MergeSummary runMerge(JobContext& ctx, Text folder, const std::vector<Text>& items,
                      MergeItems kind) {
    FormMergeOptions options(ctx.form);
    FormJobHost host(ctx.form, ctx.state.stopRequested);
    MergeContext engine{{host, ctx.files, ctx.clock}, options};
    MergeSummary summary;
    if (items.empty()) {
        if (folder.empty()) folder = chooseFolder(ctx);
        if (folder.empty()) return summary;
        ctx.form.setTag(kButton, folder);
        offerRepair(ctx, folder);
        mergeFolder(engine, folder, summary);
    } else if (kind == MergeItems::Folders) {
        ctx.state.mergeSaveFolder = items.front();
        for (const Text& item : items) {
            offerRepair(ctx, item);
            mergeFolder(engine, item, summary);
            if (ctx.state.stopRequested) break;
        }
    } else {
        mergeBatch(engine, items, summary);
        ctx.state.mergeSaveFolder = folderOf(items.front());
    }
    return summary;
}

}  // namespace

Text mergeCompletionText(const Text& folder, const MergeSummary& summary) {
    return lit(texts::kMergeDoneOpenFolder) + folder +
           namedFilesNote(summary.restoredOriginals, texts::kRestoredOriginalsBefore,
                          texts::kRestoredOriginalsAfter) +
           mergeFailureNote(summary);
}

void mergeJob(JobContext& ctx, const Text& folder, std::vector<Text> items, MergeItems kind,
              DoneQuestion question) {
    Form& form = ctx.form;
    MergeSummary summary;
    {
        // The stop flag is cleared once here rather than per batch, so a stop clicked while
        // folders are listed is not lost.
        const ButtonJob job(ctx, kButton, ctl::kSplitButton, kMergeCaptions);
        if (!job.started()) return;
        form.setVisible(kTypes, false);
        summary = runMerge(ctx, folder, items, kind);
        form.setVisible(kTypes, true);
    }
    // Nobody is left to answer when the window is closing.
    if (ctx.state.closePending) return;

    // A merge from the chooser, or the files of a drop that also held folders, asks no
    // question; what failed is said all the same.
    if (items.empty() || question == DoneQuestion::Skip) {
        if (summary.anyFailed() || summary.keptForReplacements > 0 || summary.renamedOutputs > 0 ||
            !summary.unlistedParts.empty())
            form.message(lit(texts::kMergeDone) + mergeFailureNote(summary), Buttons::Ok);
        return;
    }
    Text saveFolder = ctx.state.mergeSaveFolder;
    if (form.checked(ctl::kMergeIntoParent) && !folderOf(saveFolder).empty()) {
        saveFolder = folderOf(saveFolder);
        ctx.state.mergeSaveFolder = saveFolder;
    }
    offerFolder(ctx, mergeCompletionText(saveFolder, summary), saveFolder);
}

void chooseMergeDataFile(JobContext& ctx) {
    const Text chosen =
        ctx.shell.chooseFile(lit(texts::kChooseMergeDataTitle), lit(texts::kChooseMergeDataFilter),
                             ctx.form.text(ctl::kJoinFilePath));
    if (!chosen.empty()) ctx.form.setText(ctl::kJoinFilePath, chosen);
}

}  // namespace pw
