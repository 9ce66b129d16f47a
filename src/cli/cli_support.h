#pragma once
// What the commands of partwell-cli share: output, paths and stop signals.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cli/console_host.h"
#include "files/failure.h"
#include "platform/engine_context.h"

namespace pw::cli {

void printOut(std::string_view utf8);
void printErr(std::string_view utf8);
// Flushes and closes standard output; false, with a message, when any of it was not written.
bool closeStandardOutput();

// "partwell-cli: " and the message in the user's language, then `detail`, on standard error.
void say(const char* message, std::string_view detail = {});
// An option refused: said as above; the exit status 2.
int refuse(const char* message, std::string_view detail = {});
// No path given: said, with the usage after it; the exit status 2.
int refuseNoPaths(std::string_view usage);

// For takeOnePath: argv[i] is none of the command's own options.
constexpr int kNotOwnOption = -1;
// The one PATH of a command without an option table (verify, repair): --help or -h prints
// `usage`; an unknown option, a second path or none is refused. `ownOption` takes the command's
// own options: it returns kNotOwnOption, 0 when it took argv[i] (and moved `i` past its value) or
// an exit status. The path, or null with `status` the command's exit status.
const char* takeOnePath(int argc, char** argv, const char* usage, int& status,
                        const std::function<int(int& i)>& ownOption = {});

// A path for a message, as coreutils' quotef shows one: as it is, or in single quotes when it
// holds a space or a control character, each run of control characters written $'\n' style, so
// that the name reads back whole in a shell.
std::string quotePath(std::string_view native);
// The same for a code-page path.
std::string shownPath(const Text& path);

// What a job left undone, for its summary line and exit status.
struct JobCounts {
    int64_t failedOutputs = 0;
    int64_t unreadableSources = 0;
    int64_t undeletedSources = 0;
    int64_t keptForReplacements = 0;  // told, but no failure: the sources are safe
};

// One "partwell-cli: PATH: REASON" line on standard error for each failure.
void printFailures(const Failures& failures);

// Prints the summary line (`headline` and `written`, then each count that is not 0; without a
// headline, after a dry run, only the counts) unless quiet, and returns the exit status: 128 + the
// signal after a stop, 1 when anything failed, else 0.
int finishJob(const ConsoleSettings& console, const char* headline, int64_t written,
              const char* failedLabel, const JobCounts& counts);

// A command-line path as a code-page path, made absolute against the current folder, with "."
// and ".." steps and repeated separators taken out.
Text absolutePath(const char* argument);
// The same for a native path already absolute: "/p/d/./x//y/../a" → "/p/d/x/a".
std::string normalisedPath(std::string_view absolute);

// --types: the patterns, as code-page text; refused (status 2) when they hold none, as "|" alone
// would match no file at all (empty means "*.*").
int takePatterns(const char* argument, Text& patterns);

// A whole number as the window's boxes read it (full-width digits too); false for anything else.
bool parseWholeNumber(std::string_view arg, Text& number);

// The first SIGINT or SIGTERM sets `stop`, as the window's stop click does; a second ends the
// process at once, with the temporary file of the part being written removed.
void installStopSignals(StopFlag& stop);
// The signal that asked the job to stop, 0 when none came.
int stopSignal();

// The size of a file, 0 when it cannot be told.
int64_t fileSize(FileSystem& fs, const Text& path);

// --output-dir: an existing folder, as a code-page path; refused (status 2) otherwise.
int takeOutputFolder(const char* argument, Text& folder);

// After --dry-run: each file that would have been written, its size, a tab and its path, on
// standard output, and the count and total on standard error.
class DryRunFileSystem;
void reportDryRun(const DryRunFileSystem& fs, const ConsoleSettings& console);

}  // namespace pw::cli
