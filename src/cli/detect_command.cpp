#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/charset.h"
#include "platform/native_names.h"
#include "text/chars.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/encoding_detect.h"

namespace pw::cli {
namespace {

std::string_view encodingName(EncodingCode code) {
    const char* name = charsetNameOf(code);
    return name ? name : "GBK";  // the bytes were taken as code-page text
}

// The decoded text in UTF-8, converted in slices so that the whole file is never held twice.
void printText(const Text& text) {
    constexpr size_t kSlice = 4 << 20;
    for (size_t pos = 0; pos < text.size();) {
        // Cut at a character boundary, so that a slice never grows past its size.
        size_t end = pos;
        while (end < text.size() && end - pos < kSlice) end += charLengthAt(text, end);
        printOut(toUtf8(std::string_view(text).substr(pos, end - pos)));
        pos = end;
    }
}

}  // namespace

int runDetect(int argc, char** argv) {
    bool decode = false;
    ConsoleSettings console;
    std::vector<const char*> paths;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            printOut(tr(kDetectUsage));
            return 0;
        }
        if (!optionsDone && arg == "--decode") {
            decode = true;
        } else if (!optionsDone && arg == "--progress") {
            console.progress = ProgressLine::Always;
        } else if (!optionsDone && arg == "--quiet") {
            console.quiet = true;
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.starts_with("-") && arg.size() > 1) {
            return refuse(kUnknownOption, arg);
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty()) {
        say(kNoPaths);
        printErr(tr(kDetectUsage));
        return 2;
    }
    if (decode && paths.size() != 1) return refuse(kDecodeNeedsOneFile);
    int status = 0;
    FileSystem& fs = posixFileSystem();
    int64_t total = 0;
    for (const char* path : paths) total += fileSize(fs, fromNativeName(path));
    ConsoleHost host(console, nullptr, total);
    host.setProgressMaximum(int64_t(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i) {
        const char* path = paths[i];
        host.setProgressPosition(int64_t(i + 1));
        auto decoded = detectAndDecode(fs, fromNativeName(path));
        host.addBytesDone(fileSize(fs, fromNativeName(path)));
        host.finish();
        if (!decoded) {
            say(kCannotRead, path);
            status = 1;
            continue;
        }
        const std::string line = std::string(encodingName(decoded->code)) + "\t" + path + "\n";
        if (decode) {
            printErr(line);
            printText(decoded->text);
        } else {
            printOut(line);
        }
    }
    return status;
}

}  // namespace pw::cli
