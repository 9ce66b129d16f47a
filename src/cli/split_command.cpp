#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/chapter_options.h"
#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/file_job.h"
#include "cli/option_table.h"
#include "cli/roundtrip_notes.h"
#include "cli/split_numbers.h"
#include "files/folder_lister.h"
#include "files/path_ops.h"
#include "platform/native_names.h"
#include "platform/regex.h"
#include "split/size_presets.h"
#include "split/split_files.h"
#include "text/codepage.h"
#include "text/encoding_detect.h"
#include "text/line_breaks.h"
#include "text/numeric_text.h"

namespace pw::cli {
namespace {

// The split's options as the command line gives them. The numbers are kept as typed and read
// as the window reads its boxes.
struct SplitSettings : SplitOptions {
    SplitMode mode_ = SplitMode::Parts;
    Text parts = "100";
    Text sizeNumber = "3.12";
    int sizeUnit = kUnitlessSize;
    CountRange lines{5, 10};
    CountRange chars{200, 500};
    Text delimiter_;
    bool detect = false, fix = false, skipBlank = false, nameAfter = false;
    bool subfolder = true, deleting = false, manifest = false, align = false;
    bool whole = false, csv = false;
    int32_t header = 0;
    RecoveryAmount recovery_;
    Text types = "*.*";
    Text outputDir;
    bool dryRun = false;
    int32_t chapters = 1;
    Text headingRegex;
    int32_t headingMax = 0;  // 0: the built-in limit
    Text names;
    int64_t preset = 0;
    Text presetName;
    bool joinScripts = false, crc = false;
    ConsoleSettings console;

    SplitMode mode() const override { return mode_; }
    int32_t partCount() const override { return textToInt(parts); }
    float partSizeNumber() const override { return textToFloat(sizeNumber); }
    int partSizeUnit() const override { return sizeUnit; }
    CountRange lineCountRange() const override { return lines; }
    CountRange charCountRange() const override { return chars; }
    bool detectEncoding() const override { return detect; }
    bool fixLineBreaks() const override { return fix; }
    bool skipBlankLines() const override { return skipBlank; }
    bool nameAfterText() const override { return nameAfter; }
    bool intoSubfolder() const override { return subfolder; }
    bool deleteSources() const override { return deleting; }
    bool writeManifest() const override { return manifest || recovery_.wanted(); }
    RecoveryAmount recovery() const override { return recovery_; }
    bool countsOnly() const override { return dryRun; }
    Text delimiter() const override { return delimiter_; }
    Text outputFolder() const override { return outputDir; }
    bool alignToBlocks() const override { return align; }
    bool wholeLines() const override { return whole; }
    int32_t headerLines() const override { return header; }
    bool csvRecords() const override { return csv; }
    int32_t chaptersPerPart() const override { return chapters; }
    Text nameTemplate() const override { return names; }
    int64_t presetPartSize() const override { return preset; }
    bool writeJoinScripts() const override { return joinScripts; }
    bool writeCrcFile() const override { return crc; }
    Text headingPattern() const override { return headingRegex; }
    int32_t headingMaxChars() const override { return headingMax; }
};

// Nobody to ask and no box to point to: an empty delimiter stays empty and is refused. The
// progress line says how far the job is; the stages are not shown.
struct ConsoleSplitHost : SplitHost {
    void askDelimiter() override {}
    void focus(SplitOptionBox) override {}
    void showStage(const Text&) override {}
};

int takeRange(SplitSettings& s, const char* v, bool lines) {
    const CountRange range = parseRange(v);
    if (const int refused = refuseCount(lines, range)) return refused;
    s.mode_ = lines ? SplitMode::Lines : SplitMode::Characters;
    (lines ? s.lines : s.chars) = range;
    return 0;
}

int takeDelimiter(SplitSettings& s, const char* v, bool fromFile) {
    s.delimiter_ = fixLineBreaks(fromUtf8(v));
    if (fromFile) {
        auto decoded = detectAndDecode(posixFileSystem(), absolutePath(v));
        if (!decoded) return refuse(kCannotRead, quotePath(v));
        s.delimiter_ = std::move(decoded->text);
    }
    s.mode_ = SplitMode::Delimiter;
    return 0;
}

int takeSize(SplitSettings& s, const char* v) {
    if (const SizePreset* p = findSizePreset(v)) {
        s.mode_ = SplitMode::Bytes;
        s.preset = p->bytes;
        s.presetName = Text(p->name);
        return 0;
    }
    s.preset = 0;
    s.presetName.clear();
    int unit = 0;
    const SizeError error = parseSize(v, s.sizeNumber, unit);
    if (error == SizeError::Unit) return refuse(kBadUnit, v);
    if (error == SizeError::Number) return refuse(kBadNumber, v);
    const Text folded = foldFullWidth(fromUtf8(v));
    if (!folded.empty() && std::isdigit(static_cast<unsigned char>(folded.back())))
        say(kTakenAsGb, v);
    s.mode_ = SplitMode::Bytes;
    s.sizeUnit = unit;
    return 0;
}

// A count of at least 1; `optional` lets it be left out (the next argument is no number).
int takeCount(const char* v, int32_t& count) {
    Text number;
    if (!parseWholeNumber(v, number) || textToInt(number) < 1) return refuse(kBadChapterCount, v);
    count = textToInt(number);
    return 0;
}

// A pattern that does not compile is refused here, with PCRE2's reason, where it found the fault
// and the pattern's first characters.
int takeHeadingPattern(SplitSettings& s, const char* v) {
    RegexError error;
    if (!CompiledRegex::compile(v, RegexCase::Sensitive, RegexLines::Single, &error)) {
        constexpr size_t kQuoted = 80;
        std::string_view pattern(v);
        size_t end = 0;
        for (size_t chars = 0; end < pattern.size() && chars < kQuoted; ++chars)
            end += utf8LengthOf(static_cast<unsigned char>(pattern[end]));
        std::string detail(pattern.substr(0, std::min(end, pattern.size())));
        if (end < pattern.size()) detail += "…";
        char reason[400];
        std::snprintf(reason, sizeof reason, tr(kBadHeadingPattern), error.reason.c_str(),
                      error.offset + 1);
        printErr(std::string(kPrefix) + reason + detail + "\n");
        return 2;
    }
    s.headingRegex = fromUtf8(v);
    return 0;
}

// "2": two whole parts; "10%": a tenth of the data.
int takeRecovery(SplitSettings& s, const char* v) {
    const Text folded = foldFullWidth(fromUtf8(v));
    const bool percent = folded.ends_with("%");
    Text number;
    if (!parseWholeNumber(percent ? folded.substr(0, folded.size() - 1).c_str() : folded.c_str(),
                          number))
        return refuse(kBadRecovery, v);
    const int32_t n = textToInt(number);
    if (n < 1 || (percent && n > 100)) return refuse(kBadRecovery, v);
    s.recovery_ = percent ? RecoveryAmount{0, n} : RecoveryAmount{n, 0};
    return 0;
}

using SplitOption = Option<SplitSettings>;

constexpr SplitOption kSplitOptions[] = {
    {"", nullptr,
     N_("Modes (the last of --parts, --size, --lines, --chars, --delimiter(-file) and\n"
        "--chapters wins):"),
     nullptr},
    {"--parts", "N", N_("N parts of equal size, the last takes the rest (default: 100)"),
     [](SplitSettings& s, const char* v) {
         s.mode_ = SplitMode::Parts;
         s.parts = fromUtf8(v);
         return 0;
     }},
    {"--size", "NUMBER[UNIT]",
     N_("parts of NUMBER units; UNIT is B, KB, MB or GB; a NUMBER without a\n"
        "unit is taken as GB (and said so). NUMBER may have a fraction, e.g. 1.5MB.\n"
        "Presets: fat32 (4 GiB - 1 byte), mail (18000000 bytes, under 25 MB\n"
        "in base64), dvd (4700000000 bytes), cd (700 MiB), e.g. --size fat32"),
     takeSize},
    {"--lines", "LOW[-HIGH]",
     N_("parts of LOW to HIGH lines, drawn anew for every part; lines\n"
        "are joined by CR LF, with no line break after a part's last line"),
     [](SplitSettings& s, const char* v) { return takeRange(s, v, true); }},
    {"--chars", "LOW[-HIGH]",
     N_("parts of LOW to HIGH characters of the decoded text, drawn anew\n"
        "for every part; a CR LF or a multi-byte character is never cut"),
     [](SplitSettings& s, const char* v) { return takeRange(s, v, false); }},
    {"--delimiter", "TEXT",
     N_("cut the file's text at every occurrence of TEXT, which is left\n"
        "out; a line break in TEXT matches CR LF. The text is decoded\n"
        "first (GBK, UTF-8, UTF-16, Big5) and parts keep its encoding"),
     [](SplitSettings& s, const char* v) { return takeDelimiter(s, v, false); }},
    {"--delimiter-file", "PATH",
     N_("the same, with the whole text of that file (line breaks as they\n"
        "are in it) as the delimiter"),
     [](SplitSettings& s, const char* v) { return takeDelimiter(s, v, true); }},
    {"--chapters", "[N]",
     N_("N chapters a part (default 1), each part starting with its first\n"
        "chapter's heading and named after it (<name>_<k> <heading>.<ext>);\n"
        "text before the first heading is a part of its own. Headings:\n"
        "第…章/回/节/卷/部/集/篇/话/幕 with Chinese or Arabic numbers, 序章 楔子\n"
        "引子 序言 前言 尾声 后记 终章 番外, Chapter N, also in 【】 or 〔〕, at the\n"
        "start of a line of at most 40 characters. A file without any heading\n"
        "is left alone and named on standard error. With --dry-run: the\n"
        "chapters, their parts, sizes in characters and warnings"),
     [](SplitSettings& s, const char* v) {
         s.mode_ = SplitMode::Chapters;
         return v ? takeCount(v, s.chapters) : 0;
     }},
    {"--heading-regex", "RE",
     N_("with --chapters: a line matching the PCRE2 pattern RE is a heading"), takeHeadingPattern},
    {"--heading-max-length", "N",
     N_("with --chapters: the longest heading line, in characters (default 40)"),
     [](SplitSettings& s, const char* v) { return takeCount(v, s.headingMax); }},
    {"", nullptr, N_("\nRecords that are never cut:"), nullptr},
    {"--whole-lines", nullptr,
     N_("with --parts N: N parts of nearly equal size, each ending at a line\n"
        "end (as 'split -n l/N'); with --size: as many whole lines as fit the\n"
        "size (as 'split -C'), a longer line a part of its own, named on\n"
        "standard error. The bytes stay as they are; in a UTF-16 file (told\n"
        "by its byte-order mark) a line ends at its two-byte LF.\n"
        "Example: partwell-cli split --parts 4 --whole-lines big.log"),
     [](SplitSettings& s, const char*) { return s.whole = true, 0; }},
    {"--header", "[K]",
     N_("with --lines, --parts or --size: the first K lines (default 1; with\n"
        "--csv, records) go again at the head of every part and count in no\n"
        "part's line count; --parts and --size then cut whole lines. With\n"
        "--manifest, 'partwell-cli join' drops the copies and gives back the\n"
        "file exactly. Example: partwell-cli split --size 18MB --header --csv\n"
        "--manifest table.csv"),
     [](SplitSettings& s, const char* v) {
         if (!v) return s.header = 1, 0;
         Text number;
         if (!parseWholeNumber(v, number) || textToInt(number) < 1)
             return refuse(kBadHeaderCount, v);
         s.header = textToInt(number);
         return 0;
     }},
    {"--csv", nullptr,
     N_("with --lines, --parts or --size: a line break inside a double-quoted\n"
        "field (RFC 4180, \"\" is a quote in it) ends no record, so no record\n"
        "is cut; --parts and --size then cut whole records"),
     [](SplitSettings& s, const char*) { return s.csv = true, 0; }},
    {"", nullptr, N_("\nText options:"), nullptr},
    {"--detect-encoding", nullptr,
     N_("with --lines: read the file in its own encoding, a piece at a time,\n"
        "and write the parts back in it; --chars always does"),
     [](SplitSettings& s, const char*) { return s.detect = true, 0; }},
    {"--fix-line-breaks", nullptr,
     N_("with --detect-encoding: a lone CR or LF is a line break too"),
     [](SplitSettings& s, const char*) { return s.fix = true, 0; }},
    {"--skip-blank-lines", nullptr, N_("with --lines: lines of only spaces and tabs are left out"),
     [](SplitSettings& s, const char*) { return s.skipBlank = true, 0; }},
    {"", nullptr,
     N_("Text parts written in UTF-8 or UTF-16 start with a byte-order mark, as the\n"
        "window's program always wrote them."),
     nullptr},
    {"", nullptr, N_("\nOther options:"), nullptr},
    {"--align", nullptr,
     N_("with --parts: round the part size up to the file system's block\n"
        "size (fewer parts may result); on XFS and btrfs the parts then\n"
        "share the file's blocks and the split is instant"),
     [](SplitSettings& s, const char*) { return s.align = true, 0; }},
    {"--output-dir", "DIR", N_("write the parts (or their subfolder) into DIR"),
     [](SplitSettings& s, const char* v) { return takeOutputFolder(v, s.outputDir); }},
    {"--no-subfolder", nullptr, N_("write the parts beside the file"),
     [](SplitSettings& s, const char*) { return s.subfolder = false, 0; }},
    {"--delete-source", nullptr,
     N_("delete each file once all of it is in parts that were written (and its\n"
        "manifest and recovery files, with --manifest and --recovery)"),
     [](SplitSettings& s, const char*) { return s.deleting = true, 0; }},
    {"--rename-by-content", nullptr, N_("name each part after a phrase of its own text"),
     [](SplitSettings& s, const char*) { return s.nameAfter = true, 0; }},
    {"--name", "TEMPLATE",
     N_("name the parts after TEMPLATE: {name} the file's name without its\n"
        "extension, {ext} its extension, {n} the part's number, {n:03} the same\n"
        "padded with zeros, {count} the number of parts (with --parts and\n"
        "--size), {first} a phrase of the part's text; {{ and }} are braces.\n"
        "Default {name}_{n}.{ext}; e.g. --name '{name}.{ext}.{n:03}' gives\n"
        "file.txt.001, file.txt.002 ... A template without {n}, or with\n"
        "{first} before {n} or right after it, is refused"),
     [](SplitSettings& s, const char* v) { return s.names = fromUtf8(v), 0; }},
    {"--crc", nullptr,
     N_("with --parts or --size: write <name>.crc beside the parts (the file's\n"
        "name, size and CRC32), which Total Commander and Krusader check after\n"
        "their own join"),
     [](SplitSettings& s, const char*) { return s.crc = true, 0; }},
    {"--join-script", nullptr,
     N_("with --parts or --size: also write join.sh (POSIX shell: sha256sum\n"
        "and cat) and join.cmd (Windows: copy /b and certutil) beside the\n"
        "parts, which join them back into the file and check it without\n"
        "Partwell (implies --manifest), e.g. split --size mail --join-script a.zip"),
     [](SplitSettings& s, const char*) { return s.joinScripts = s.manifest = true, 0; }},
    {"--manifest", nullptr,
     N_("write <name>.sha256 beside the parts: their SHA-256 sums (for\n"
        "sha256sum -c) and what 'partwell-cli join' needs"),
     [](SplitSettings& s, const char*) { return s.manifest = true, 0; }},
    {"--recovery", "N|P%",
     N_("also write PAR 2.0 recovery files beside the parts, <name>.par2 and\n"
        "<name>.vol<first>+<count>.par2, that rebuild up to N lost or damaged\n"
        "parts (or P percent of the data) with 'partwell-cli repair', 'join' or\n"
        "'par2 repair'; implies --manifest. Names must be UTF-8"),
     takeRecovery},
    {"--types", "PATTERNS", N_("file-name patterns for folders, separated by '|' (default *.*)"),
     [](SplitSettings& s, const char* v) { return takePatterns(v, s.types); }},
    {"--dry-run", nullptr,
     N_("write nothing; print the size and path of every file that would be\n"
        "written; with --chapters, the chapters, their parts and warnings"),
     [](SplitSettings& s, const char*) { return s.dryRun = true, 0; }},
    {"--progress", nullptr, N_("show the progress line even when standard error is no terminal"),
     [](SplitSettings& s, const char*) { return s.console.progress = ProgressLine::Always, 0; }},
    {"--quiet", nullptr, N_("show neither the progress line nor the summary"),
     [](SplitSettings& s, const char*) { return s.console.quiet = true, 0; }},
};

const char* const kSplitHead =
    N_("Usage: partwell-cli split [OPTIONS] PATH...\n"
       "\n"
       "Cuts every file into parts. A PATH that is a folder stands for the files in it that match\n"
       "--types (subfolders are not entered). Parts go into a subfolder named after the file.\n"
       "\n");
const char* const kSplitTail =
    N_("\nExit status: 0 when every part was written, 1 when a file could not be read or\n"
       "deleted or a part could not be written, 2 when an option was refused; 130 or 143 when\n"
       "stopped by Ctrl-C or SIGTERM (a second one ends at once).\n");

// The files of every PATH: a folder stands for its matching files; one that cannot be listed
// is a failure, not an empty folder.
std::vector<Text> gatherSources(JobHost& host, FileSystem& fs, const Text& types,
                                const std::vector<const char*>& paths, Failures& listFailures) {
    std::vector<Text> files;
    for (const char* p : paths) {
        const Text path = absolutePath(p);
        if (!fs.isFolder(path)) {
            files.push_back(path);
            continue;
        }
        std::error_code error;
        auto listed = FolderLister(host, fs, path, types, ListEntries::Files, &error);
        if (error) listFailures.push_back({FailureKind::List, path, error});
        files.insert(files.end(), listed.begin(), listed.end());
    }
    return files;
}

// "a.iso: 3 parts of at most 4294967295 bytes (fat32)", before the parts are written.
void reportPresetParts(const SplitSettings& s, const Text& file, int64_t length) {
    if (length < 0) return;
    const int64_t parts = length <= s.preset ? 1 : (length + s.preset - 1) / s.preset;
    char line[300];
    std::snprintf(line, sizeof line, tr(parts == 1 ? kPresetOnePart : kPresetParts),
                  (long long)parts, (long long)s.preset, s.presetName.c_str());
    printErr(std::string(kPrefix) + shownPath(fileNameOf(file)) + ": " + line + "\n");
}

// Options that do not go together; 0 when they do.
int refuseCombination(const SplitSettings& options) {
    // As in the window, where the box is enabled only while detection is ticked.
    if (options.fix && !options.detect) return refuse(kFixNeedsDetect);
    if (options.align && options.mode_ != SplitMode::Parts) return refuse(kAlignNeedsParts);
    const bool byteMode = options.mode_ == SplitMode::Parts || options.mode_ == SplitMode::Bytes;
    if (options.whole && !byteMode) return refuse(kWholeLinesNeedsBytes);
    if ((options.header > 0 || options.csv) && !byteMode && options.mode_ != SplitMode::Lines)
        return refuse(kHeaderNeedsLines);
    if ((options.crc || options.joinScripts) && !byteMode) return refuse(kJoinFilesNeedBytes);
    if (options.nameAfter && !options.names.empty()) return refuse(kNameWithRename);
    return 0;
}

std::string splitHelp() {
    return helpText(kSplitHead, kSplitOptions, kSplitTail);
}

}  // namespace

int runSplit(int argc, char** argv) {
    SplitSettings options;
    std::vector<const char*> paths;
    int status = 0;
    if (parseArguments(argc, argv, kSplitOptions, splitHelp(), options, paths, status) ==
        Parsed::Done)
        return status;
    if (const int refused = refuseCombination(options)) return refused;

    FileJob job(options.dryRun, options.console);
    FileSystem& fs = job.files();
    Failures listFailures;
    const std::vector<Text> files =
        gatherSources(job.lister(), fs, options.types, paths, listFailures);
    ConsoleSplitHost splitHost;
    if (options.dryRun && options.mode_ == SplitMode::Chapters) {
        SplitContext ctx{job.listing(), options, splitHost};
        return printChapterPreview(ctx, files, std::move(listFailures));
    }

    int64_t total = 0;
    for (const Text& f : files) total += fileSize(fs, f);
    if (options.preset > 0 && !options.console.quiet)
        for (const Text& f : files) reportPresetParts(options, f, fileSize(fs, f));
    SplitContext ctx{job.start(total), options, splitHost};
    // A signal while the folders were listed stops the job before it starts.
    const SplitSummary summary = stopSignal() ? SplitSummary{} : splitFiles(ctx, files);
    job.finishProgress();
    if (summary.aborted) return 2;
    reportEarlierParts(summary);
    reportWithoutHeadings(summary);
    for (const Text& path : summary.oversizedParts)
        printErr(std::string(kPrefix) + shownPath(path) + tr(kOversizedPart) + "\n");
    if (!options.console.quiet && !options.dryRun) {  // a dry run lists them with the parts
        for (const Text& index : summary.recoveryIndexes) say(kRecoveryWritten, shownPath(index));
        if (summary.recoveryVolumes > 0)
            say(kRecoveryVolumes, std::to_string(summary.recoveryVolumes));
    }
    for (const Text& source : summary.recoveryRefused)
        printErr(std::string(kPrefix) + shownPath(source) + tr(kRecoveryNotUtf8) + "\n");

    printFailures(listFailures);
    printFailures(summary.failures);
    job.reportDryRun();
    if (options.align && !options.console.quiet && summary.failures.empty() &&
        summary.partsWritten < int64_t(summary.sourcesDone) * options.partCount() && !files.empty())
        say(kFewerParts, std::to_string(fs.blockSize(files.front())) + tr(kBytes));
    const int exitStatus =
        job.finish(kSplitSummary, summary.partsWritten, kFailedParts,
                   {summary.failedOutputs, summary.unreadableSources + int64_t(listFailures.size()),
                    summary.undeletedSources, summary.keptForReplacements});
    // Recovery files asked for and refused: the parts are there, but not all that was asked.
    return exitStatus == 0 && !summary.recoveryRefused.empty() ? 1 : exitStatus;
}

}  // namespace pw::cli
