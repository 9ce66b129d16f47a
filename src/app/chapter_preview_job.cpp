#include "app/chapter_preview_job.h"

#include "app/control_table.h"
#include "app/form_options.h"
#include "app/split_job.h"
#include "files/path_ops.h"
#include "split/chapter_preview.h"
#include "split/chapter_split.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {

void chapterPreviewJob(JobContext& ctx) {
    Form& form = ctx.form;
    if (form.text(ctl::kSplitButton) != lit(texts::kSplitIdle)) return;  // a job runs

    FormSplitOptions options(form);
    FormJobHost host(form, ctx.state.stopRequested);
    FormSplitHost splitHost(form);
    SplitContext engine{{host, ctx.files, ctx.clock}, options, splitHost};
    if (checkChapterOptions(engine) == ModeResult::Abort) return;
    const std::vector<Text> sources =
        ctx.shell.chooseFiles(lit(texts::kChooseSplitFilesTitle),
                              lit(texts::kChooseSplitFilesFilter), form.tag(ctl::kSplitButton));
    if (sources.empty()) return;
    // The next chooser starts here, as after the split button's own chooser.
    form.setTag(ctl::kSplitButton, folderOf(sources.front()));

    ctx.state.stopRequested = 0;
    const ChapterPreview preview = previewChapters(engine, sources, "\r\n");
    InputDialogArgs args;
    args.initialText = preview.text;
    args.title = lit(texts::kPreviewTitle);
    args.inputMode = false;
    args.confirm = true;
    args.bothScrollBars = true;
    args.bodyWidth = 640;
    args.bodyHeight = 400;
    args.ownedByWindow = true;
    Text answer;
    if (!form.showInputDialog(args, answer)) return;
    splitJob(ctx, Text(), sources);
}

}  // namespace pw
