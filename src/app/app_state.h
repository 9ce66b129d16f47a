#pragma once
// The process-wide state, created once at start-up and passed by reference; no mutable globals.

#include <vector>

#include "text/codepage.h"

namespace pw {

struct AppState {
    // Set by a second click on a running job's button; cleared by each engine when it begins.
    int stopRequested = 0;
    // The folders named in the completion questions.
    Text splitSaveFolder;
    Text mergeSaveFolder;
    // Paths collected during one drop onto an area.
    std::vector<Text> pendingSplitDrops;
    std::vector<Text> pendingMergeFiles;
    std::vector<Text> pendingMergeFolders;
};

}  // namespace pw
