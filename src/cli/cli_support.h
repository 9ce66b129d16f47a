#pragma once
// What the commands of partwell-cli share: output, paths and the in-memory window.

#include <string_view>

#include "platform/memory_form.h"

namespace pw::cli {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);

// A command-line path as a code-page path, made absolute against the current folder.
Text absolutePath(const char* argument);

// The first SIGINT or SIGTERM sets `stop`, as the window's stop click does; a second ends the
// process at once, with the temporary file of the part being written removed.
void installStopSignals(int& stop);
// The signal that asked the job to stop, 0 when none came.
int stopSignal();

// Prints the engine's message boxes to standard error and, on a terminal, a progress line.
void attachConsole(MemoryForm& form);
// Ends the progress line, if one was drawn.
void finishConsole();

}  // namespace pw::cli
