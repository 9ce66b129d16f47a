#include "cli/cli_support.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/watched_files.h"
#include "platform/files.h"
#include "platform/native_names.h"
#include "text/codepage.h"
#include "text/numeric_text.h"

namespace pw::cli {
namespace {

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
    say(kWriteError, errnoCode(stdoutErrno).message());
    return false;
}

namespace {

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

// A control character inside $'…'.
std::string escaped(unsigned char c) {
    constexpr std::string_view kLetters = "abtnvfr";  // \a (7) to \r (13)
    if (c >= 7 && c <= 13) return std::string("\\") + kLetters[c - 7];
    char octal[8];
    std::snprintf(octal, sizeof octal, "\\%03o", c);
    return octal;
}

}  // namespace

std::string quotePath(std::string_view native) {
    if (std::none_of(native.begin(), native.end(),
                     [](unsigned char c) { return c == ' ' || isControl(c); }))
        return std::string(native);
    std::string out = "'";
    bool escaping = false;  // inside $'…', which the closing quote ends as well
    for (const unsigned char c : native) {
        if (isControl(c)) {
            if (!escaping) out += "'$'";
            escaping = true;
            out += escaped(c);
            continue;
        }
        if (escaping) out += "''";
        escaping = false;
        out += c == '\'' ? std::string("'\\''") : std::string(1, char(c));
    }
    return out + "'";
}

std::string shownPath(const Text& path) {
    return quotePath(toNativeName(path));
}

void printFailures(const Failures& failures) {
    for (const Failure& f : failures) {
        const std::error_code reason = f.reason ? f.reason : errnoCode(EIO);
        printErr(std::string(kPrefix) + shownPath(f.path) + ": " + reason.message() + "\n");
    }
}
void printErr(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

void say(const char* message, std::string_view detail) {
    printErr(std::string(kPrefix) + tr(message) + std::string(detail) + "\n");
}

int refuse(const char* message, std::string_view detail) {
    say(message, detail);
    return 2;
}

int refuseNoPaths(std::string_view usage) {
    say(kNoPaths);
    printErr(usage);
    return 2;
}

const char* takeOnePath(int argc, char** argv, const char* usage, int& status,
                        const std::function<int(int& i)>& ownOption) {
    const char* given = nullptr;
    status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printOut(tr(usage));
            return nullptr;
        }
        const int own = ownOption ? ownOption(i) : kNotOwnOption;
        if (own == 0) continue;
        if (own != kNotOwnOption)
            status = own;
        else if (arg.starts_with("--"))
            status = refuse(kUnknownOption, arg);
        else if (given)
            status = refuse(kOnePath, arg);
        if (status != 0) return nullptr;
        given = argv[i];
    }
    if (!given) status = refuseNoPaths(tr(usage));
    return given;
}

int finishJob(const ConsoleSettings& console, const char* headline, int64_t written,
              const char* failedLabel, const JobCounts& counts) {
    // After a dry run the headline has been said as what would be written; only failures follow.
    std::string report = headline ? tr(headline) + std::to_string(written) : std::string();
    const auto add = [&](const char* label, int64_t n) {
        if (!n) return;
        const std::string text = tr(label);
        report += report.empty() && text.starts_with(", ") ? text.substr(2) : text;
        report += std::to_string(n);
    };
    add(failedLabel, counts.failedOutputs);
    add(kUnreadable, counts.unreadableSources);
    add(kUndeleted, counts.undeletedSources);
    add(kKeptForReplacements, counts.keptForReplacements);
    if (!console.quiet && !report.empty()) printErr(std::string(kPrefix) + report + "\n");
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

int takePatterns(const char* argument, Text& patterns) {
    const std::string_view given = argument;
    if (!given.empty() && given.find_first_not_of('|') == std::string_view::npos)
        return refuse(kNoPatterns, given);
    patterns = fromUtf8(given);
    return 0;
}

bool parseWholeNumber(std::string_view arg, Text& number) {
    number = foldFullWidth(fromUtf8(arg));
    return !number.empty() && number.find_first_not_of("0123456789") == Text::npos;
}

int64_t fileSize(FileSystem& fs, const Text& path) {
    auto file = fs.open(path, OpenMode::Read);
    const int64_t length = file ? file->length() : -1;
    return length > 0 ? length : 0;
}

int takeOutputFolder(const char* argument, Text& folder) {
    folder = absolutePath(argument);
    if (!posixFileSystem().isFolder(folder)) return refuse(kNotAFolder, quotePath(argument));
    return 0;
}

void reportDryRun(const DryRunFileSystem& fs, const ConsoleSettings& console) {
    int64_t total = 0;
    const auto written = fs.written();
    for (const auto& [path, size] : written) {
        printOut(std::to_string(size) + "\t" + toNativeName(path) + "\n");
        total += size;
    }
    if (!console.quiet)
        printErr(std::string(kPrefix) + tr(kDryRunSummary) + std::to_string(written.size()) + ", " +
                 std::to_string(total) + tr(kBytes) + "\n");
}

}  // namespace pw::cli
