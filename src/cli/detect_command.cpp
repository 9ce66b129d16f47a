#include <optional>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "codec/codec.h"
#include "platform/charset.h"
#include "platform/native_names.h"
#include "text/encoding_convert.h"
#include "text/encoding_stream.h"

namespace pw::cli {
namespace {

std::string_view encodingName(EncodingCode code) {
    const char* name = charsetNameOf(code);
    return name ? name : "GBK";  // the bytes were taken as code-page text
}

struct DetectSettings {
    bool decode = false;
    ConsoleSettings console;
    std::vector<const char*> paths;
};

// The exit status when the command ends here (--help, a refusal).
std::optional<int> parseDetect(int argc, char** argv, DetectSettings& s) {
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            printOut(tr(kDetectUsage));
            return 0;
        }
        if (!optionsDone && arg == "--decode") {
            s.decode = true;
        } else if (!optionsDone && arg == "--progress") {
            s.console.progress = ProgressLine::Always;
        } else if (!optionsDone && arg == "--quiet") {
            s.console.quiet = true;
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.starts_with("-") && arg.size() > 1) {
            return refuse(kUnknownOption, arg);
        } else {
            s.paths.push_back(argv[i]);
        }
    }
    if (s.paths.empty()) return refuseNoPaths(tr(kDetectUsage));
    if (s.decode && s.paths.size() != 1) return refuse(kDecodeNeedsOneFile);
    return std::nullopt;
}

// The text on standard output in UTF-8, a piece at a time: a file of any size goes through.
void printDecoded(TextSource& text) {
    if (text.validUtf8()) {
        for (std::string_view piece; !(piece = text.nextUtf8()).empty();) printOut(piece);
        return;
    }
    // Printed as the converter hands it out, without gathering it first.
    for (std::string_view piece; !(piece = text.next()).empty();)
        (void)codec::convert(piece, *codec::charsetNamed(kCodePage), codec::Charset::Utf8,
                             [](std::string_view utf8, size_t) { printOut(utf8); });
}

}  // namespace

int runDetect(int argc, char** argv) {
    DetectSettings options;
    if (const std::optional<int> status = parseDetect(argc, argv, options)) return *status;
    const std::vector<const char*>& paths = options.paths;
    int status = 0;
    FileSystem& fs = posixFileSystem();
    int64_t total = 0;
    for (const char* path : paths) total += fileSize(fs, fromNativeName(path));
    StopFlag stop = 0;
    ConsoleHost host(options.console, nullptr, total, stop);
    host.setProgressMaximum(int64_t(paths.size()));
    for (size_t i = 0; i < paths.size(); ++i) {
        const char* path = paths[i];
        host.setProgressPosition(int64_t(i + 1));
        auto text = TextSource::open(fs, fromNativeName(path));
        host.addBytesDone(fileSize(fs, fromNativeName(path)));
        host.finish();
        if (!text) {
            say(kCannotRead, quotePath(path));
            status = 1;
            continue;
        }
        const std::string line = std::string(encodingName(text->code())) + "\t" + path + "\n";
        if (!options.decode) {
            printOut(line);
            continue;
        }
        printErr(line);
        printDecoded(*text);
        if (text->failed()) {
            say(kCannotRead, quotePath(path));
            status = 1;
        }
    }
    return status;
}

}  // namespace pw::cli
