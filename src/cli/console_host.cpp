#include "cli/console_host.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/watched_files.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

struct EngineText {
    std::string_view engine;
    const char* english;
};

const EngineText kEngineTexts[] = {
    {texts::kPartCountMustBePositive, N_("the number of parts must be greater than 0")},
    {texts::kByteLengthNotZero, N_("the part size must not be 0")},
    {texts::kLineCountAtLeastOne, N_("a line count must be at least 1")},
    {texts::kCharCountAtLeastOne, N_("a character count must be at least 1")},
    {texts::kTooManyParts,
     N_("a file is cut into at most 1000000 parts: ask for fewer parts or larger ones")},
    {texts::kNameTemplateUnknown,
     N_("the name template has an unknown placeholder (there are {name} {ext} {n} {n:03} "
        "{count} {first}; braces themselves are {{ and }})")},
    {texts::kNameTemplateNoNumber,
     N_("the name template needs {n}: without it the parts would have one name")},
    {texts::kNameTemplatePhraseFirst,
     N_("the name template must put {first} after {n}: else the text, not the number, orders "
        "the parts")},
    {texts::kNameTemplatePhraseJoins,
     N_("the name template needs a character other than a digit between {n} and {first}: "
        "else two parts could get one name")},
    {texts::kNameTemplateSeparator,
     N_("the name template must not hold /, \\ or a control character")},
    {texts::kNameTemplateCount,
     N_("{count} works with --parts and --size only: the other modes do not know the number "
        "of parts beforehand")},
    {texts::kFat32PartTooLarge,
     N_("the parts' folder is on FAT32, which takes files of at most 4 GiB - 1 byte "
        "(4294967295 bytes): choose smaller parts")},
    {texts::kEnterDelimiter, N_("give the text to cut at")},
};

}  // namespace

std::string engineMessage(const Text& message) {
    const std::string utf8 = toUtf8(message);
    for (const EngineText& t : kEngineTexts)
        if (utf8 == t.engine) return tr(t.english);
    return utf8;
}

std::string humanBytes(int64_t bytes) {
    static const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB"};
    double value = double(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, unit == 0 ? "%.0f %s" : "%.1f %s", value, kUnits[unit]);
    return buffer;
}

std::string humanDuration(int64_t seconds) {
    char buffer[32];
    if (seconds >= 3600)
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", (long long)(seconds / 3600),
                      (long long)(seconds / 60 % 60), (long long)(seconds % 60));
    else
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld", (long long)(seconds / 60),
                      (long long)(seconds % 60));
    return buffer;
}

ConsoleHost::ConsoleHost(const ConsoleSettings& settings, const CountingFileSystem* files,
                         int64_t totalBytes, StopFlag& stop)
    : shown_(!settings.quiet &&
             (settings.progress == ProgressLine::Always ||
              (settings.progress == ProgressLine::OnTerminal && ::isatty(STDERR_FILENO)))),
      files_(files),
      totalBytes_(totalBytes),
      stop_(stop) {}

void ConsoleHost::finish() {
    if (drawn_) printErr("\r\x1b[K");
    drawn_ = false;
}

Answer ConsoleHost::message(const Text& text, Buttons buttons, const Text&) {
    ++eventRuns_;
    finish();
    printErr(std::string(kPrefix) + engineMessage(text) + "\n");
    // Nothing is asked on the command line: a question gets the answer that changes nothing.
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
    }
    return Answer::Ok;
}

void ConsoleHost::processEvents() {
    ++eventRuns_;
    maybeRedraw();
}

void ConsoleHost::setProgressPosition(int64_t position) {
    filesDone_ = position;
    maybeRedraw();
}

void ConsoleHost::maybeRedraw() {
    // Nothing to show before the job said how many files it has.
    if (!shown_ || filesTotal_ == 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (lastDrawn_ != std::chrono::steady_clock::time_point() && now - lastDrawn_ < kRedrawEvery)
        return;
    redraw();
}

void ConsoleHost::redraw() {
    if (!shown_) return;
    lastDrawn_ = std::chrono::steady_clock::now();
    printErr("\r\x1b[K" + progressText());
    std::fflush(stderr);
    drawn_ = true;
}

std::string ConsoleHost::progressText() const {
    const int64_t done = files_ ? files_->bytesWritten() : bytesDone_;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double speed = seconds > 0.05 ? double(done) / seconds : 0;
    const std::string speedText = humanBytes(int64_t(speed));
    char line[256];
    if (totalBytes_ > 0) {
        const int64_t total = std::max(totalBytes_, done);
        const std::string left =
            speed > 0 ? humanDuration(int64_t(double(total - done) / speed)) : "?";
        std::snprintf(line, sizeof line, tr(kProgress), humanBytes(done).c_str(),
                      humanBytes(total).c_str(), (long long)filesDone_, (long long)filesTotal_,
                      speedText.c_str(), left.c_str());
    } else {
        std::snprintf(line, sizeof line, tr(kProgressNoTotal), humanBytes(done).c_str(),
                      (long long)filesDone_, (long long)filesTotal_, speedText.c_str());
    }
    return std::string(kPrefix) + line;
}

}  // namespace pw::cli
