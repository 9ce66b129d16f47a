#pragma once
// What a job running from the command line has for a window: message boxes become lines on
// standard error and the progress bar a progress line on the terminal.

#include <chrono>
#include <cstdint>

#include "platform/job_host.h"

namespace pw::cli {

class CountingFileSystem;

enum class ProgressLine { OnTerminal, Always, Never };

// How much a command says while it runs: --progress, --quiet.
struct ConsoleSettings {
    ProgressLine progress = ProgressLine::OnTerminal;
    bool quiet = false;  // no progress line and no summary
};

// A message of the engines in the user's language ("行数至少 1" reads "a line count must be at
// least 1" in English); other text as it is.
std::string engineMessage(const Text& message);

// "1.5 MB", "980 B": a byte count for people.
std::string humanBytes(int64_t bytes);
// "0:07", "1:02:03": a duration for people.
std::string humanDuration(int64_t seconds);

class ConsoleHost : public JobHost {
  public:
    // `files` counts the bytes written, of `totalBytes` expected (0: unknown).
    ConsoleHost(const ConsoleSettings& settings, const CountingFileSystem* files,
                int64_t totalBytes, StopFlag& stop);
    ~ConsoleHost() override { finish(); }

    // Clears the progress line, if one was drawn.
    void finish();
    // Draws the progress line now, whatever the time since the last.
    void redraw();
    // Bytes done, for a job whose files are only read (counted by hand).
    void addBytesDone(int64_t bytes) { bytesDone_ += bytes; }

    Answer message(const Text& text, Buttons buttons, const Text& title = {}) override;
    void processEvents() override;
    void setProgressMaximum(int64_t maximum) override { filesTotal_ = maximum; }
    void setProgressPosition(int64_t position) override;
    // The progress line says how far the job is; the current file is not shown.
    void showProgressText(const Text&) override {}
    uint64_t eventRuns() const override { return eventRuns_; }
    StopFlag& stopFlag() override { return stop_; }

  private:
    void maybeRedraw();
    std::string progressText() const;

    bool shown_;
    bool drawn_ = false;
    const CountingFileSystem* files_;
    int64_t totalBytes_;
    int64_t bytesDone_ = 0;
    int64_t filesTotal_ = 0;
    int64_t filesDone_ = 0;
    uint64_t eventRuns_ = 0;
    StopFlag& stop_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace pw::cli
