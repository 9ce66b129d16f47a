#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "platform/charset.h"
#include "platform/native_names.h"
#include "text/codepage.h"
#include "text/encoding_convert.h"
#include "text/encoding_stream.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

namespace t = texts::cli;

std::string_view encodingName(EncodingCode code) {
    const char* name = charsetNameOf(code);
    return name ? name : "GBK";  // the bytes were taken as code-page text
}

}  // namespace

int runDetect(int argc, char** argv) {
    bool decode = false;
    std::vector<const char*> paths;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsDone && (arg == "--help" || arg == "-h")) {
            printOut(t::kDetectUsage);
            return 0;
        }
        if (!optionsDone && arg == "--decode") {
            decode = true;
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.starts_with("-") && arg.size() > 1) {
            printErr(std::string(t::kUnknownOption) + std::string(arg) + "\n");
            return 2;
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty()) {
        printErr(t::kNoPaths);
        return 2;
    }
    if (decode && paths.size() != 1) {
        printErr(t::kDecodeNeedsOneFile);
        return 2;
    }
    int status = 0;
    for (const char* path : paths) {
        // The text is read and printed a piece at a time: a file of any size goes through.
        auto text = TextSource::open(posixFileSystem(), fromNativeName(path));
        if (!text) {
            printErr(std::string(t::kCannotRead) + path + "\n");
            status = 1;
            continue;
        }
        const std::string line = std::string(encodingName(text->code())) + "\t" + path + "\n";
        if (!decode) {
            printOut(line);
            continue;
        }
        printErr(line);
        for (std::string_view piece; !(piece = text->next()).empty();) printOut(toUtf8(piece));
        if (text->failed()) {
            printErr(std::string(t::kCannotRead) + path + "\n");
            status = 1;
        }
    }
    return status;
}

}  // namespace pw::cli
