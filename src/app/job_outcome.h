#pragma once
// What the split and merge jobs share around their engines: one job at a time, and the lines
// that tell what failed.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "app/job_context.h"
#include "files/failure.h"
#include "platform/form.h"
#include "text/system_texts.h"

namespace pw {

// While a job runs, the other area's start button is disabled, so that no second job clears the
// stop flag or replaces what the running one works on.
class OtherJobBlocked {
  public:
    OtherJobBlocked(Form& form, std::string_view otherButton);
    ~OtherJobBlocked();
    OtherJobBlocked(const OtherJobBlocked&) = delete;
    OtherJobBlocked& operator=(const OtherJobBlocked&) = delete;

  private:
    Form& form_;
    std::string_view button_;
    bool wasEnabled_;
};

// What a start button reads while idle, while its job runs and once a stop was asked for.
struct ButtonCaptions {
    std::string_view idle, running, stopping;
};

// The merge area's button, which runs merges and joins.
inline constexpr ButtonCaptions kMergeCaptions{texts::kMergeIdle, texts::kMergeRunning,
                                               texts::kMergeStopping};

// A click on a start button: while the button's job runs, the click asks it to stop (the button
// then reads so) and the guard is not started; otherwise, for the guard's life, the job counts as
// running, the other area's button is disabled, the stop flag starts cleared and the button reads
// "running", then idle again.
class ButtonJob {
  public:
    ButtonJob(JobContext& ctx, std::string_view button, std::string_view otherButton,
              const ButtonCaptions& captions);
    ~ButtonJob();
    ButtonJob(const ButtonJob&) = delete;
    ButtonJob& operator=(const ButtonJob&) = delete;

    bool started() const { return running_.has_value(); }

  private:
    Form& form_;
    std::string_view button_;
    std::string_view idle_;
    std::optional<RunningJob> running_;
    std::optional<OtherJobBlocked> blocked_;
};

// Empty when nothing failed; else a blank line and one line for each kind of failure.
Text failureNote(int64_t failedOutputs, std::string_view outputsBefore,
                 std::string_view outputsAfter, int64_t unreadableSources,
                 int64_t undeletedSources);

// Empty for no paths; else a line "<before>N<after>" and the first few file names.
Text namedFilesNote(const std::vector<Text>& paths, std::string_view before,
                    std::string_view after);

// Lines that follow the failure note: the sources kept because their text needed substitutes,
// then the first few failures, each with its path and the system's reason.
Text keptAndFailedLines(int64_t keptForReplacements, const Failures& failures);

// Asks the completion question and on 是 shows `folder` in the file manager; when the desktop
// has no program to show it, a message says so and what to install.
void offerFolder(JobContext& ctx, const Text& question, const Text& folder);

// The system's reason for an error, as code-page text.
Text reasonText(std::error_code error);

}  // namespace pw
