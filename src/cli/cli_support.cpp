#include "cli/cli_support.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/native_names.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

bool progressShown = false;
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
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
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

Text absolutePath(const char* argument) {
    std::string path = argument;
    if (!path.starts_with('/')) {
        std::string cwd(4096, '\0');
        if (::getcwd(cwd.data(), cwd.size())) path = std::string(cwd.c_str()) + "/" + path;
    }
    while (path.size() > 1 && path.ends_with('/')) path.pop_back();
    return fromNativeName(path);
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
