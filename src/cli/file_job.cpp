#include "cli/file_job.h"

namespace pw::cli {

FileJob::FileJob(bool dryRun, const ConsoleSettings& console)
    : dryRun_(dryRun),
      console_(console),
      dry_(posixFileSystem()),
      counted_(dryRun ? static_cast<FileSystem&>(dry_) : posixFileSystem()),
      lister_(console_, nullptr, 0, stop_) {
    installStopSignals(stop_);
}

EngineContext FileJob::start(int64_t totalBytes) {
    host_.emplace(console_, &counted_, totalBytes, stop_);
    return {*host_, counted_, systemClock()};
}

void FileJob::finishProgress() {
    if (host_) host_->finish();
}

void FileJob::reportDryRun() const {
    if (dryRun_) cli::reportDryRun(dry_, console_);
}

int FileJob::finish(const char* headline, int64_t written, const char* failedLabel,
                    const JobCounts& counts) const {
    return finishJob(console_, dryRun_ ? nullptr : headline, written, failedLabel, counts);
}

}  // namespace pw::cli
