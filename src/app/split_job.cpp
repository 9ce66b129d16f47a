#include "app/split_job.h"

#include <string>

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/job_outcome.h"
#include "files/folder_lister.h"
#include "files/path_ops.h"
#include "text/system_texts.h"

namespace pw {
namespace {

constexpr std::string_view kButton = ctl::kSplitButton;
constexpr ButtonCaptions kSplitCaptions{texts::kSplitIdle, texts::kSplitRunning,
                                        texts::kSplitStopping};

std::vector<Text> gatherFromFolder(JobContext& ctx, JobHost& host, const Text& folder,
                                   std::error_code& error) {
    ctx.form.setTag(kButton, folder);
    ctx.state.splitSaveFolder = folder;
    // A stop clicked while the folder is listed must not be lost: the split would clear it.
    ctx.state.stopRequested = 0;
    return FolderLister(host, ctx.files, folder, ctx.form.text(ctl::kSplitFileTypes),
                        ListEntries::Files, &error);
}

// A folder that could not be listed counts as an unreadable source of the job.
void addListingFailure(SplitSummary& summary, const Text& folder, std::error_code error) {
    ++summary.unreadableSources;
    summary.failures.insert(summary.failures.begin(), {FailureKind::List, folder, error});
}

// How many parts each source gave under the size preset's limit, for the first few sources.
Text presetPartsNote(const SplitSummary& summary) {
    constexpr size_t kShown = 5;
    if (summary.presetParts.empty()) return Text();
    Text note = "\n" + lit(texts::kPresetPartsBefore) + std::to_string(summary.presetBytes) +
                lit(texts::kPresetPartsMiddle);
    for (size_t i = 0; i < summary.presetParts.size() && i < kShown; ++i)
        note += (i ? lit(texts::kNameSeparator) : Text()) +
                fileNameOf(summary.presetParts[i].source) + " " +
                std::to_string(summary.presetParts[i].parts) + lit(texts::kPresetPartsAfter);
    if (summary.presetParts.size() > kShown) note += lit(texts::kMoreNames);
    return note;
}

}  // namespace

Text splitCompletionText(const Text& folder, const SplitSummary& summary) {
    Text note =
        failureNote(summary.failedOutputs, texts::kFailedPartsBefore, texts::kFailedPartsAfter,
                    summary.unreadableSources, summary.undeletedSources);
    const Text more =
        presetPartsNote(summary) +
        keptAndFailedLines(summary.keptForReplacements, summary.failures) +
        namedFilesNote(summary.staleKept, texts::kStalePartsBefore, texts::kStalePartsAfter) +
        namedFilesNote(summary.withoutHeadings, texts::kWithoutHeadingsBefore,
                       texts::kWithoutHeadingsAfter) +
        namedFilesNote(summary.recoveryRefused, texts::kRecoveryNotUtf8Before,
                       texts::kRecoveryNotUtf8After);
    if (note.empty() && !more.empty()) note = "\n";
    return lit(texts::kSplitDoneOpenFolder) + folder + note + more;
}

namespace {

// The split of the files given, or of a folder's, or of those chosen now (`sources` then holds
// them).
SplitSummary runSplit(JobContext& ctx, const Text& folder, std::vector<Text>& sources) {
    Form& form = ctx.form;
    FormSplitOptions options(form);
    FormJobHost host(form, ctx.state.stopRequested);
    FormSplitHost splitHost(form);
    SplitContext engine{{host, ctx.files, ctx.clock}, options, splitHost};
    SplitSummary summary;
    if (!sources.empty()) {
        ctx.state.splitSaveFolder = folderOf(sources.front());
        summary = splitFiles(engine, sources);
    } else if (!folder.empty()) {
        std::error_code listError;
        sources = gatherFromFolder(ctx, host, folder, listError);
        if (!ctx.state.stopRequested) summary = splitFiles(engine, sources);
        if (listError) addListingFailure(summary, folder, listError);
    } else {
        // The chooser starts where it was last used; the tag is saved with the settings.
        sources = ctx.shell.chooseFiles(lit(texts::kChooseSplitFilesTitle),
                                        lit(texts::kChooseSplitFilesFilter), form.tag(kButton));
        if (!sources.empty()) {
            ctx.state.splitSaveFolder = folderOf(sources.front());
            form.setTag(kButton, ctx.state.splitSaveFolder);
            summary = splitFiles(engine, sources);
        }
    }
    return summary;
}

}  // namespace

void splitJob(JobContext& ctx, const Text& folder, std::vector<Text> sources) {
    SplitSummary summary;
    {
        const ButtonJob job(ctx, kButton, ctl::kMergeButton, kSplitCaptions);
        if (!job.started()) return;
        summary = runSplit(ctx, folder, sources);
    }
    // Offer the folder the parts are in when they all went into one.
    if (!summary.partsFolder.empty()) ctx.state.splitSaveFolder = summary.partsFolder;

    // Nobody is left to answer when the window is closing.
    if ((sources.empty() && summary.failures.empty()) || ctx.state.closePending) return;
    const Text saveFolder = ctx.state.splitSaveFolder;
    offerFolder(ctx, splitCompletionText(saveFolder, summary), saveFolder);
}

}  // namespace pw
