#include "cli/chapter_options.h"

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "platform/native_names.h"
#include "split/chapter_preview.h"
#include "split/chapter_split.h"
#include "text/codepage.h"

namespace pw::cli {

int printChapterPreview(SplitContext& ctx, const std::vector<Text>& files, Failures listFailures) {
    if (checkChapterOptions(ctx) == ModeResult::Abort) return 2;
    const ChapterPreview preview = previewChapters(ctx, files, "\n");
    printOut(toUtf8(preview.text));
    printFailures(listFailures);
    printFailures(preview.failures);
    return listFailures.empty() && preview.failures.empty() ? 0 : 1;
}

void reportWithoutHeadings(const SplitSummary& summary) {
    for (const Text& path : summary.withoutHeadings)
        printErr(std::string(kPrefix) + shownPath(path) + tr(kNoHeadings) + "\n");
}

}  // namespace pw::cli
