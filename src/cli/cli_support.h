#pragma once
// What the commands of partwell-cli share: output, paths and the in-memory window.

#include <cstdint>
#include <string_view>

#include "app/memory_form.h"
#include "platform/engine_context.h"

namespace pw::cli {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);

// An option refused: the message and its detail on standard error; the exit status 2.
int refuse(std::string_view message, std::string_view detail);

// What a job left undone, for its summary line and exit status.
struct JobCounts {
    int64_t failedOutputs = 0;
    int64_t unreadableSources = 0;
    int64_t undeletedSources = 0;
};

// Prints the summary line (`headline` and `written`, then each count that is not 0) and returns
// the exit status: 128 + the signal after a stop, 1 when anything failed, else 0.
int finishJob(std::string_view headline, int64_t written, std::string_view failedLabel,
              const JobCounts& counts);

// A command-line path as a code-page path, made absolute against the current folder.
Text absolutePath(const char* argument);

// The first SIGINT or SIGTERM sets `stop`, as the window's stop click does; a second ends the
// process at once, with the temporary file of the part being written removed.
void installStopSignals(StopFlag& stop);
// The signal that asked the job to stop, 0 when none came.
int stopSignal();

// Prints the engine's message boxes to standard error and, on a terminal, a progress line.
void attachConsole(MemoryForm& form);
// Ends the progress line, if one was drawn.
void finishConsole();

}  // namespace pw::cli
