#pragma once
// The process-wide state, created once at start-up and passed by reference; no mutable globals.

#include <vector>

#include "app/drop_registry.h"
#include "app/input_dialog.h"
#include "platform/engine_context.h"
#include "text/codepage.h"

namespace pw {

struct AppState {
    // Set by a second click on a running job's button; cleared by each engine when it begins.
    StopFlag stopRequested = 0;
    // The folders named in the completion questions.
    Text splitSaveFolder;
    Text mergeSaveFolder;
    // Paths collected during one drop onto an area.
    std::vector<Text> pendingSplitDrops;
    std::vector<Text> pendingMergeFiles;
    std::vector<Text> pendingMergeFolders;
    // The drop (dropRegistry.drops()) whose paths the lists above hold.
    unsigned pendingDrop = 0;
    // Jobs running now (a job started inside another one's event processing counts too).
    int jobsRunning = 0;
    // The window was asked to close while a job ran; it closes once the job has returned.
    bool closePending = false;
    // The windows that take dropped files, with their callbacks.
    DropRegistry dropRegistry;
    // The input dialog's last request and outcome.
    InputDialogState inputDialog;
};

// Counts a job as running for as long as it lives.
class RunningJob {
  public:
    explicit RunningJob(AppState& state) : state_(state) { ++state_.jobsRunning; }
    ~RunningJob() { --state_.jobsRunning; }
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;

  private:
    AppState& state_;
};

}  // namespace pw
