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

enum class SizeError { None, Unit, Number };

// Digits with at most one point among or after them, a sign before: what the size box holds. An
// exponent, "inf" or "nan" is no such number.
bool plainNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !text.empty() && text != "." && digits(whole) && digits(fraction);
}

// "1.5MB" → number text "1.5" and unit index 2. A unit other than B, KB, MB and GB (ASCII case
// ignored) after a number is a unit error; anything else that is not a plain number is a number
// error. Full-width forms fold first, the unit's as well as the number's.
SizeError parseSize(std::string_view arg, Text& number, int& unit) {
    const Text folded = foldFullWidth(fromUtf8(arg));
    size_t end = folded.size();
    while (end > 0 && std::isalpha(static_cast<unsigned char>(folded[end - 1]))) --end;
    number = folded.substr(0, end);
    std::string u = folded.substr(end);
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kUnits[] = {"B", "KB", "MB", "GB"};
    unit = -1;
    for (int i = 0; i < 4; ++i)
        if (u == kUnits[i]) unit = i;
    if (u.empty()) unit = 3;
    if (unit < 0)
        return !number.empty() && plainNumber(number) ? SizeError::Unit : SizeError::Number;
    return plainNumber(number) ? SizeError::None : SizeError::Number;
}

// "5" → 5 and 5; "5-10" → 5 and 10, read as the window reads its boxes (full-width digits and
// dash too); a single number may have a sign, which the count check then refuses. False unless
// both are whole numbers.
bool parseRange(std::string_view arg, Text& low, Text& high) {
    const Text folded = foldFullWidth(fromUtf8(arg));
    const bool signedNumber = !folded.empty() && (folded[0] == '-' || folded[0] == '+');
    const size_t dash = folded.find('-', signedNumber ? 1 : 0);
    if (signedNumber && dash != Text::npos) return false;
    const Text unsignedLow = folded.substr(signedNumber ? 1 : 0, dash);
    const std::string highArg =
        dash == Text::npos ? toUtf8(unsignedLow) : toUtf8(folded.substr(dash + 1));
    if (!parseWholeNumber(toUtf8(unsignedLow), low) || !parseWholeNumber(highArg, high))
        return false;
    if (signedNumber) low = high = folded;
    return true;
}

// A count the window would refuse is refused with its message, before anything is written.
int refuseCount(bool lines, const Text& low, const Text& high) {
    if (textToInt(low) >= 1 && textToInt(high) >= 1) return 0;
    return refuse(t::kProgramPrefix,
                  toUtf8(lit(lines ? texts::kLineCountAtLeastOne : texts::kCharCountAtLeastOne)));
}

// The files of every PATH: a folder stands for its matching files; one that cannot be listed
// is a failure, not an empty folder.
std::vector<Text> gatherSources(MemoryForm& form, JobHost& host, FileSystem& fs,
                                const std::vector<const char*>& paths, Failures& listFailures) {
    std::vector<Text> files;
    for (const char* p : paths) {
        const Text path = absolutePath(p);
        if (!fs.isFolder(path)) {
            files.push_back(path);
            continue;
        }
        std::error_code error;
        auto listed =
            FolderLister(host, fs, path, form.text("编辑框文件类型"), ListEntries::Files, &error);
        if (error) listFailures.push_back({FailureKind::List, path, error});
        files.insert(files.end(), listed.begin(), listed.end());
    }
    return files;
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
            Text low, high;
            const bool lines = arg == "--lines";
            if (!parseRange(v, low, high)) return refuse(t::kBadRange, v);
            if (const int refused = refuseCount(lines, low, high)) return refused;
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
                const SizeError error = parseSize(v, number, unit);
                if (error == SizeError::Unit) return refuse(t::kBadUnit, v);
                if (error == SizeError::Number) return refuse(t::kBadNumber, v);
                form.setChecked("单选框按字节", true);
                form.setText("编辑框字节", number);
                form.setSelectedIndex("组合框字节单位", unit);
            } else {
                if (!hasPattern(v)) return refuse(t::kNoPatterns, v);
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
    FormJobHost host(form, stop);
    Failures listFailures;
    const std::vector<Text> files = gatherSources(form, host, fs, paths, listFailures);

    attachConsole(form);
    FormSplitOptions options(form);
    SplitContext ctx{{host, fs, systemClock()}, options};
    // A signal while the folders were listed stops the job before it starts.
    const SplitSummary summary = stopSignal() ? SplitSummary{} : splitFiles(ctx, files);
    finishConsole();
    if (summary.aborted) return 2;
    reportEarlierParts(summary);

    printFailures(listFailures);
    printFailures(summary.failures);
    return finishJob(
        t::kSplitSummary, summary.partsWritten, t::kFailedParts,
        {summary.failedOutputs, summary.unreadableSources + int64_t(listFailures.size()),
         summary.undeletedSources, summary.keptForReplacements});
}

}  // namespace pw::cli
