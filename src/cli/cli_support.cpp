#include "cli/cli_support.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/native_names.h"
#include "text/codepage.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

bool progressShown = false;
int stdoutErrno = 0;
volatile sig_atomic_t stopSignalSeen = 0;
StopFlag* stopFlag = nullptr;

void onStopSignal(int signal) {
    if (stopSignalSeen) {
        removeOpenTemporaryFile();
        ::_exit(128 + signal);
    }
    stopSignalSeen = signal;
    if (stopFlag) *stopFlag = 1;
}

}  // namespace

void printOut(std::string_view utf8) {
    // The first error is kept and reported when standard output is closed.
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size() && !stdoutErrno)
        stdoutErrno = errno ? errno : EIO;
}

bool closeStandardOutput() {
    if (std::fflush(stdout) != 0 && !stdoutErrno) stdoutErrno = errno ? errno : EIO;
    if (std::ferror(stdout) && !stdoutErrno) stdoutErrno = EIO;
    if (std::fclose(stdout) != 0 && !stdoutErrno) stdoutErrno = errno ? errno : EIO;
    if (!stdoutErrno) return true;
    printErr(std::string(texts::cli::kWriteError) + errnoCode(stdoutErrno).message() + "\n");
    return false;
}

void printFailures(const Failures& failures) {
    for (const Failure& f : failures) {
        const std::error_code reason = f.reason ? f.reason : errnoCode(EIO);
        printErr(std::string(texts::cli::kProgramPrefix) + toNativeName(f.path) + ": " +
                 reason.message() + "\n");
    }
}
void printErr(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

int refuse(std::string_view message, std::string_view detail) {
    printErr(std::string(message) + std::string(detail) + "\n");
    return 2;
}

int finishJob(std::string_view headline, int64_t written, std::string_view failedLabel,
              const JobCounts& counts) {
    std::string report = std::string(headline) + std::to_string(written);
    const auto add = [&](std::string_view label, int64_t n) {
        if (n) report += std::string(label) + std::to_string(n);
    };
    add(failedLabel, counts.failedOutputs);
    add(texts::cli::kUnreadable, counts.unreadableSources);
    add(texts::cli::kUndeleted, counts.undeletedSources);
    add(texts::cli::kKeptForReplacements, counts.keptForReplacements);
    printErr(report + "\n");
    if (stopSignal()) return 128 + stopSignal();
    return counts.failedOutputs || counts.unreadableSources || counts.undeletedSources ? 1 : 0;
}

void installStopSignals(StopFlag& stop) {
    stopFlag = &stop;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int stopSignal() {
    return stopSignalSeen;
}

std::string normalisedPath(std::string_view absolute) {
    std::vector<std::string_view> steps;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string_view::npos) end = absolute.size();
        const std::string_view step = absolute.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string out;
    for (std::string_view step : steps) out.append("/").append(step);
    return out.empty() ? "/" : out;
}

Text absolutePath(const char* argument) {
    std::string path = argument;
    if (!path.starts_with('/')) {
        std::string cwd(4096, '\0');
        if (::getcwd(cwd.data(), cwd.size())) path = std::string(cwd.c_str()) + "/" + path;
    }
    // The folder rules (the output one folder up) need the path as the file system sees it.
    return fromNativeName(normalisedPath(path));
}

bool hasPattern(std::string_view patterns) {
    return patterns.empty() || patterns.find_first_not_of('|') != std::string_view::npos;
}

bool parseWholeNumber(std::string_view arg, Text& number) {
    number = foldFullWidth(fromUtf8(arg));
    return !number.empty() && number.find_first_not_of("0123456789") == Text::npos;
}

void attachConsole(MemoryForm& form) {
    form.onMessage = [](const MemoryForm::Message& m) {
        finishConsole();
        printErr(toUtf8(m.text) + "\n");
    };
    if (!::isatty(STDERR_FILENO)) return;
    form.onProcessEvents = [&form, last = std::chrono::steady_clock::time_point()]() mutable {
        const auto now = std::chrono::steady_clock::now();
        if (now - last < std::chrono::milliseconds(100)) return;
        last = now;
        printErr("\r\x1b[K" + toUtf8(form.text("透明标签")));
        progressShown = true;
    };
}

void finishConsole() {
    if (progressShown) printErr("\r\x1b[K");
    progressShown = false;
}

}  // namespace pw::cli
