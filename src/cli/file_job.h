#pragma once
// What split and merge set up around their job: the stop signals, the file system the engines
// see (one that writes nothing under --dry-run, counted for the progress line), a host that lists
// the folders before the total is known, and at the end the dry run's listing and the summary.

#include <cstdint>
#include <optional>

#include "cli/cli_support.h"
#include "cli/console_host.h"
#include "cli/watched_files.h"
#include "platform/clock.h"
#include "platform/engine_context.h"

namespace pw::cli {

class FileJob {
  public:
    FileJob(bool dryRun, const ConsoleSettings& console);
    FileJob(const FileJob&) = delete;
    FileJob& operator=(const FileJob&) = delete;

    FileSystem& files() { return counted_; }
    const StopFlag& stop() const { return stop_; }
    // For listing the folders: no progress line yet.
    JobHost& lister() { return lister_; }
    EngineContext listing() { return {lister_, counted_, systemClock()}; }
    // The job's own host, its progress line measured against `totalBytes`.
    EngineContext start(int64_t totalBytes);
    // Clears the progress line.
    void finishProgress();
    // After a dry run: what would have been written.
    void reportDryRun() const;
    // The summary line and the exit status; after a dry run the headline was the listing.
    int finish(const char* headline, int64_t written, const char* failedLabel,
               const JobCounts& counts) const;

  private:
    bool dryRun_;
    ConsoleSettings console_;
    StopFlag stop_ = 0;
    DryRunFileSystem dry_;
    CountingFileSystem counted_;
    ConsoleHost lister_;
    std::optional<ConsoleHost> host_;
};

}  // namespace pw::cli
