#include "cli/chapter_options.h"

#include "app/form_options.h"
#include "cli/cli_support.h"
#include "platform/native_names.h"
#include "split/chapter_preview.h"
#include "split/chapter_split.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

namespace t = texts::cli;

// A whole number of at least 1, as the window's boxes read it.
bool positiveNumber(std::string_view arg, Text& number) {
    return parseWholeNumber(arg, number) && textToInt(number) >= 1;
}

}  // namespace

std::optional<int> takeChapterOption(MemoryForm& form, int argc, char** argv, int& i,
                                     bool& dryRun) {
    const std::string_view arg = argv[i];
    Text number;
    if (arg == "--chapters") {
        // The count is optional: a following argument is one only when it is a number.
        Text count = "1";
        if (i + 1 < argc && parseWholeNumber(argv[i + 1], number)) {
            if (textToInt(number) < 1) return refuse(t::chapters::kBadCount, argv[i + 1]);
            count = number;
            ++i;
        }
        form.setChecked("单选框按章节", true);
        form.setText("编辑框每份章节", count);
    } else if (arg == "--heading-regex" || arg == "--heading-max-length") {
        if (i + 1 >= argc) return refuse(t::kMissingValue, arg);
        const char* value = argv[++i];
        if (arg == "--heading-regex") {
            form.setText("编辑框章节标题", fromUtf8(value));
        } else {
            if (!positiveNumber(value, number)) return refuse(t::chapters::kBadCount, value);
            form.setText("编辑框标题长度", number);
        }
    } else if (arg == "--dry-run") {
        dryRun = true;
    } else {
        return std::nullopt;
    }
    return 0;
}

int printChapterPreview(MemoryForm& form, FileSystem& fs, const std::vector<Text>& files,
                        Failures listFailures) {
    if (!form.checked("单选框按章节")) return refuse(t::chapters::kDryRunNeedsChapters, "");
    attachConsole(form);
    FormSplitOptions options(form);
    StopFlag stop = 0;
    SplitContext ctx{{form, fs, systemClock(), stop}, options};
    if (checkChapterOptions(ctx) == ModeResult::Abort) {
        finishConsole();
        return 2;
    }
    ChapterPreview preview = previewChapters(ctx, files, "\n");
    finishConsole();
    printOut(toUtf8(preview.text));
    printFailures(listFailures);
    printFailures(preview.failures);
    return listFailures.empty() && preview.failures.empty() ? 0 : 1;
}

void reportWithoutHeadings(const SplitSummary& summary) {
    for (const Text& path : summary.withoutHeadings)
        printErr(std::string(t::kProgramPrefix) + toNativeName(path) +
                 std::string(t::chapters::kNoHeadings));
}

}  // namespace pw::cli
