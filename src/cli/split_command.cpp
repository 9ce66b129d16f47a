#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/form_options.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/roundtrip_notes.h"
#include "files/folder_lister.h"
#include "split/split_files.h"
#include "text/encoding_detect.h"
#include "text/line_breaks.h"
#include "text/numeric_text.h"
#include "text/system_texts.h"

namespace pw::cli {
namespace {

namespace t = texts::cli;

constexpr std::string_view kDelimiterButton = "按钮输入字符串";

// "1.5MB" → number text "1.5" and unit index 2; false for any unit but B, KB, MB and GB (ASCII
// case ignored). Full-width forms fold first, the unit's as well as the number's.
bool parseSize(std::string_view arg, Text& number, int& unit) {
    const Text folded = foldFullWidth(fromUtf8(arg));
    size_t end = folded.size();
    while (end > 0 && std::isalpha(static_cast<unsigned char>(folded[end - 1]))) --end;
    number = folded.substr(0, end);
    std::string u = folded.substr(end);
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kUnits[] = {"B", "KB", "MB", "GB"};
    if (u.empty()) {
        unit = 3;
        // Without a unit the number must end the argument: "1.5%" or "1.5千" is no size.
        return std::all_of(number.begin(), number.end(), [](char c) {
            return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == ' ';
        });
    }
    for (int i = 0; i < 4; ++i)
        if (u == kUnits[i]) {
            unit = i;
            return true;
        }
    return false;
}

// "5" → 5 and 5; "5-10" → 5 and 10. False unless both are digits.
bool parseRange(std::string_view arg, std::string& low, std::string& high) {
    const size_t dash = arg.find('-');
    low = std::string(arg.substr(0, dash));
    high = dash == std::string_view::npos ? low : std::string(arg.substr(dash + 1));
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(low) && digits(high);
}

}  // namespace

int runSplit(int argc, char** argv) {
    MemoryForm form(mainWindowSpec());
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            printOut(t::kSplitUsage);
            return 0;
        } else if (arg == "--delimiter" || arg == "--delimiter-file") {
            const char* v = value();
            if (!v) return refuse(t::kMissingValue, arg);
            Text delimiter = fixLineBreaks(fromUtf8(v));
            if (arg == "--delimiter-file") {
                auto decoded = detectAndDecode(posixFileSystem(), absolutePath(v));
                if (!decoded) return refuse(t::kCannotRead, v);
                delimiter = std::move(decoded->text);
            }
            form.setChecked("单选框按字符串", true);
            form.setTag(kDelimiterButton, delimiter);
        } else if (arg == "--lines" || arg == "--chars") {
            const char* v = value();
            if (!v) return refuse(t::kMissingValue, arg);
            std::string low, high;
            if (!parseRange(v, low, high)) return refuse(t::kBadRange, v);
            const bool lines = arg == "--lines";
            form.setChecked(lines ? "单选框按行数" : "单选框按字符数", true);
            form.setText(lines ? "编辑框行数1" : "编辑框字数1", low);
            form.setText(lines ? "编辑框行数2" : "编辑框字数2", high);
        } else if (arg == "--parts" || arg == "--size" || arg == "--types") {
            const char* v = value();
            if (!v) return refuse(t::kMissingValue, arg);
            if (arg == "--parts") {
                form.setChecked("单选框按份数", true);
                form.setText("编辑框份数", fromUtf8(v));
            } else if (arg == "--size") {
                Text number;
                int unit = 0;
                if (!parseSize(v, number, unit)) return refuse(t::kBadUnit, v);
                form.setChecked("单选框按字节", true);
                form.setText("编辑框字节", number);
                form.setSelectedIndex("组合框字节单位", unit);
            } else {
                form.setText("编辑框文件类型", fromUtf8(v));
            }
        } else if (arg == "--no-subfolder") {
            form.setChecked("选择框子目录保存", false);
        } else if (arg == "--delete-source") {
            form.setChecked("选择框分割后删除文件", true);
        } else if (arg == "--rename-by-content") {
            form.setChecked("选择框随机改名", true);
        } else if (arg == "--detect-encoding") {
            form.setChecked("选择框识别编码", true);
        } else if (arg == "--fix-line-breaks") {
            form.setChecked("选择框矫正换行", true);
        } else if (arg == "--skip-blank-lines") {
            form.setChecked("选择框忽略空行", true);
        } else if (arg == "--manifest") {
            form.setChecked("选择框生成校验清单", true);
        } else if (arg.starts_with("--")) {
            return refuse(t::kUnknownOption, arg);
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty()) return refuse(t::kNoPaths, t::kSplitUsage);
    // As in the window, where the box is enabled only while detection is ticked.
    if (form.checked("选择框矫正换行") && !form.checked("选择框识别编码"))
        return refuse(t::kFixNeedsDetect, "");

    StopFlag stop = 0;
    installStopSignals(stop);
    FileSystem& fs = posixFileSystem();
    std::vector<Text> files;
    for (const char* p : paths) {
        const Text path = absolutePath(p);
        if (fs.isFolder(path)) {
            auto listed = FolderLister(form, fs, path, form.text("编辑框文件类型"), false);
            files.insert(files.end(), listed.begin(), listed.end());
        } else {
            files.push_back(path);
        }
    }

    attachConsole(form);
    FormSplitOptions options(form);
    SplitContext ctx{{form, fs, systemClock(), stop}, options};
    // A signal while the folders were listed stops the job before it starts.
    const SplitSummary summary = stopSignal() ? SplitSummary{} : splitFiles(ctx, files);
    finishConsole();
    if (summary.aborted) return 2;
    reportEarlierParts(summary);

    return finishJob(t::kSplitSummary, summary.partsWritten, t::kFailedParts,
                     {summary.failedOutputs, summary.unreadableSources, summary.undeletedSources});
}

}  // namespace pw::cli
