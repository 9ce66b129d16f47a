#include "app/job_outcome.h"

#include <string>

#include "files/path_ops.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {

OtherJobBlocked::OtherJobBlocked(Form& form, std::string_view otherButton)
    : form_(form), button_(otherButton), wasEnabled_(form.enabled(otherButton)) {
    form_.setEnabled(button_, false);
}

OtherJobBlocked::~OtherJobBlocked() {
    form_.setEnabled(button_, wasEnabled_);
}

ButtonJob::ButtonJob(JobContext& ctx, std::string_view button, std::string_view otherButton,
                     const ButtonCaptions& captions)
    : form_(ctx.form), button_(button), idle_(captions.idle) {
    if (form_.text(button_) != lit(captions.idle)) {
        ctx.state.stopRequested = 1;
        form_.setText(button_, lit(captions.stopping));
        return;
    }
    running_.emplace(ctx.state);
    blocked_.emplace(form_, otherButton);
    form_.setText(button_, lit(captions.running));
    ctx.state.stopRequested = 0;
}

ButtonJob::~ButtonJob() {
    if (started()) form_.setText(button_, lit(idle_));
}

Text failureNote(int64_t failedOutputs, std::string_view outputsBefore,
                 std::string_view outputsAfter, int64_t unreadableSources,
                 int64_t undeletedSources) {
    Text note;
    if (failedOutputs > 0)
        note += "\n" + lit(outputsBefore) + std::to_string(failedOutputs) + lit(outputsAfter);
    if (unreadableSources > 0)
        note += "\n" + lit(texts::kUnreadableSourcesBefore) + std::to_string(unreadableSources) +
                lit(texts::kUnreadableSourcesAfter);
    if (undeletedSources > 0)
        note += "\n" + lit(texts::kUndeletedSourcesBefore) + std::to_string(undeletedSources) +
                lit(texts::kUndeletedSourcesAfter);
    return note.empty() ? note : "\n" + note;
}

Text namedFilesNote(const std::vector<Text>& paths, std::string_view before,
                    std::string_view after) {
    constexpr size_t kShown = 5;
    if (paths.empty()) return Text();
    Text note = "\n" + lit(before) + std::to_string(paths.size()) + lit(after);
    for (size_t i = 0; i < paths.size() && i < kShown; ++i)
        note += (i ? lit(texts::kNameSeparator) : Text()) + fileNameOf(paths[i]);
    if (paths.size() > kShown) note += lit(texts::kMoreNames);
    return note;
}

Text reasonText(std::error_code error) {
    return fromUtf8(error ? error.message() : std::make_error_code(std::errc::io_error).message());
}

Text keptAndFailedLines(int64_t keptForReplacements, const Failures& failures) {
    constexpr size_t kShown = 3;
    Text lines;
    if (keptForReplacements > 0)
        lines += "\n" + lit(texts::kKeptForReplacementsBefore) +
                 std::to_string(keptForReplacements) + lit(texts::kKeptForReplacementsAfter);
    for (size_t i = 0; i < failures.size() && i < kShown; ++i)
        lines += "\n" + failures[i].path + lit(texts::kFailureReasonSeparator) +
                 reasonText(failures[i].reason);
    if (failures.size() > kShown)
        lines += "\n" + lit(texts::kMoreFailuresBefore) + std::to_string(failures.size() - kShown) +
                 lit(texts::kMoreFailuresAfter);
    return lines;
}

void offerFolder(JobContext& ctx, const Text& question, const Text& folder) {
    if (ctx.form.message(question, Buttons::YesNo) != Answer::Yes) return;
    if (!ctx.shell.openInFileManager(folder, FileManagerWindow::New, ShowPathAs::Folder,
                                     ShowPathAt::Path))
        ctx.form.message(lit(texts::kCannotShowFolder) + folder, Buttons::Ok);
}

}  // namespace pw
