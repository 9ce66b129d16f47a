#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/form_options.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/roundtrip_notes.h"
#include "merge/joining.h"
#include "merge/merge_files.h"
#include "platform/native_names.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

namespace t = texts::cli;

// A line break typed on the command line is LF; the window's box holds CR LF.
Text withCrLf(std::string_view text) {
    Text out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// The separator file is read whole before anything is written: one that opens but fails to read
// would join the files with nothing between them.
bool separatorReadable(FileSystem& fs, const Text& path, const char* argument) {
    std::error_code error;
    if (readAllBytes(fs, path, error)) return true;
    printErr(std::string(t::kCannotRead) + argument + ": " + error.message() + "\n");
    return false;
}

}  // namespace

int runMerge(int argc, char** argv) {
    MemoryForm form(mainWindowSpec());
    FileSystem& fs = posixFileSystem();
    std::vector<Text> files, folders;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            printOut(t::kMergeUsage);
            return 0;
        } else if (arg == "--types" || arg == "--separator" || arg == "--separator-file") {
            const char* v = value();
            if (!v) return refuse(t::kMissingValue, arg);
            if (arg == "--types") {
                if (!hasPattern(v)) return refuse(t::kNoPatterns, v);
                form.setText("编辑框文件类型1", fromUtf8(v));
                continue;
            }
            form.setChecked("选择框合并中间", true);
            if (arg == "--separator") {
                form.setChecked("单选框使用字符串", true);
                form.setText("编辑框字符串", withCrLf(fromUtf8(v)));
            } else {
                const Text path = absolutePath(v);
                if (!separatorReadable(fs, path, v)) return 2;
                form.setChecked("单选框使用文件", true);
                form.setText("编辑框文件路径", path);
            }
        } else if (arg == "--recursive") {
            form.setChecked("选择框遍历子目录", true);
        } else if (arg == "--no-parent-folder") {
            form.setChecked("选择框父目录保存", false);
        } else if (arg == "--delete-sources") {
            form.setChecked("选择框合并后删除文件", true);
        } else if (arg == "--handle-encoding") {
            form.setChecked("选择框处理文本编码", true);
        } else if (arg.starts_with("--")) {
            return refuse(t::kUnknownOption, arg);
        } else {
            const Text path = absolutePath(argv[i]);
            (fs.isFolder(path) ? folders : files).push_back(path);
        }
    }
    if (files.empty() && folders.empty()) return refuse(t::kNoPaths, t::kMergeUsage);

    // As a drop onto the merge area: the files form one batch, then each folder is merged.
    StopFlag stop = 0;
    installStopSignals(stop);
    attachConsole(form);
    FormJobHost host(form, stop);
    FormMergeOptions options(form);
    MergeContext ctx{{host, fs, systemClock()}, options};
    MergeSummary summary;
    mergeBatch(ctx, files, summary);
    for (const Text& folder : folders) {
        if (stop) break;
        mergeFolder(ctx, folder, summary);
    }
    finishConsole();

    for (const Text& output : summary.outputs) printOut(toNativeName(output) + "\n");
    reportDamagedParts(summary.damagedParts);
    printFailures(summary.failures);
    return finishJob(t::kMergeSummary, int64_t(summary.outputs.size()), t::kFailedOutputs,
                     {summary.failedOutputs, summary.unreadableSources, summary.undeletedSources,
                      summary.keptForReplacements});
}

}  // namespace pw::cli
