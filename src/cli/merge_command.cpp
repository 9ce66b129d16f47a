#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/file_job.h"
#include "cli/option_table.h"
#include "cli/roundtrip_notes.h"
#include "files/folder_lister.h"
#include "merge/joining.h"
#include "merge/merge_files.h"
#include "platform/native_names.h"
#include "text/codepage.h"

namespace pw::cli {
namespace {

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
int takeSeparatorFile(const char* argument, Text& path) {
    path = absolutePath(argument);
    std::error_code error;
    if (readEntireFile(posixFileSystem(), path, error)) return 0;
    return refuse(kCannotRead, quotePath(argument) + ": " + error.message());
}

// The merge's options as the command line gives them.
struct MergeSettings : MergeOptions {
    bool encoding = false, deleting = false, parentFolder = true, recursive = false;
    Text types = "*.*";
    JoinWith with = JoinWith::Nothing;
    Text text, filePath;
    Text outputDir;
    bool dryRun = false;
    ConsoleSettings console;

    bool handleEncoding() const override { return encoding; }
    bool deleteSources() const override { return deleting; }
    bool intoParentFolder() const override { return parentFolder; }
    bool includeSubfolders() const override { return recursive; }
    Text fileTypes() const override { return types; }
    JoinWith joinWith() const override { return with; }
    Text joinText() const override { return text; }
    Text joinFilePath() const override { return filePath; }
    Text outputFolder() const override { return outputDir; }
};

using MergeOption = Option<MergeSettings>;

constexpr MergeOption kMergeOptions[] = {
    {"--types", "PATTERNS",
     N_("file-name patterns for folders, separated by '|' (default *.*);\n"
        "with --recursive only subfolders that match them are entered"),
     [](MergeSettings& s, const char* v) { return takePatterns(v, s.types); }},
    {"--recursive", nullptr,
     N_("also merge every matching subfolder, each into an output of its own"),
     [](MergeSettings& s, const char*) { return s.recursive = true, 0; }},
    {"--output-dir", "DIR", N_("write every output into DIR"),
     [](MergeSettings& s, const char* v) { return takeOutputFolder(v, s.outputDir); }},
    {"--no-parent-folder", nullptr, N_("write each output beside its first file"),
     [](MergeSettings& s, const char*) { return s.parentFolder = false, 0; }},
    {"--delete-sources", nullptr,
     N_("delete every file once the output holding all of it is in place"),
     [](MergeSettings& s, const char*) { return s.deleting = true, 0; }},
    {"--handle-encoding", nullptr,
     N_("join the files' texts (UTF-8, UTF-16, BIG5, GBK; gzip too) and write\n"
        "the output in the encoding of the last file; a text ends at a NUL.\n"
        "An output in UTF-8 or UTF-16 starts with a byte-order mark"),
     [](MergeSettings& s, const char*) { return s.encoding = true, 0; }},
    {"--separator", "TEXT",
     N_("put TEXT between two files (in GB18030; a line break becomes CR LF)"),
     [](MergeSettings& s, const char* v) {
         s.with = JoinWith::Text;
         s.text = withCrLf(fromUtf8(v));
         return 0;
     }},
    {"--separator-file", "PATH", N_("put the bytes of the file PATH between two files"),
     [](MergeSettings& s, const char* v) {
         s.with = JoinWith::File;
         return takeSeparatorFile(v, s.filePath);
     }},
    {"--dry-run", nullptr,
     N_("write nothing; print the size and path of every file that would be\n"
        "written"),
     [](MergeSettings& s, const char*) { return s.dryRun = true, 0; }},
    {"--progress", nullptr, N_("show the progress line even when standard error is no terminal"),
     [](MergeSettings& s, const char*) { return s.console.progress = ProgressLine::Always, 0; }},
    {"--quiet", nullptr, N_("show neither the progress line nor the summary"),
     [](MergeSettings& s, const char*) { return s.console.quiet = true, 0; }},
};

const char* const kMergeHead = N_(
    "Usage: partwell-cli merge [OPTIONS] PATH...\n"
    "\n"
    "Joins files into one. The FILE paths given form one batch, joined in the order given; each\n"
    "FOLDER is merged on its own: its files that match --types, in natural order (book_2 before\n"
    "book_10), and with --recursive each matching subfolder the same way. An output is named\n"
    "after its batch's first file and the count of files (a.txt, b.txt -> a等2个文件.txt) and\n"
    "goes into the folder above the first file's folder; its path is printed on standard\n"
    "output. A FOLDER that holds a split's manifest (<name>.sha256) is that split's set: with\n"
    "nothing between the files and no --handle-encoding it is joined back into the original\n"
    "as 'partwell-cli join' does, otherwise only the parts the manifest lists are merged.\n"
    "\n"
    "Options:\n");
const char* const kMergeTail =
    N_("\nExit status: 0 when every output was written, 1 when an output could not be written\n"
       "or a file could not be read or deleted, 2 when an option was refused.\n");

std::string mergeHelp() {
    return helpText(kMergeHead, kMergeOptions, kMergeTail);
}

// The bytes a merge reads: the files given, and the matching files of each folder.
int64_t bytesToMerge(JobHost& host, FileSystem& fs, const MergeSettings& options,
                     const std::vector<Text>& files, const std::vector<Text>& folders) {
    int64_t total = 0;
    for (const Text& f : files) total += fileSize(fs, f);
    for (const Text& folder : folders)
        for (const Text& f :
             FolderLister(host, fs, folder, options.types, ListEntries::Files, nullptr))
            total += fileSize(fs, f);
    return total;
}

}  // namespace

int runMerge(int argc, char** argv) {
    MergeSettings options;
    std::vector<const char*> paths;
    int status = 0;
    if (parseArguments(argc, argv, kMergeOptions, mergeHelp(), options, paths, status) ==
        Parsed::Done)
        return status;

    FileJob job(options.dryRun, options.console);
    FileSystem& fs = job.files();
    std::vector<Text> files, folders;
    for (const char* p : paths) {
        const Text path = absolutePath(p);
        (fs.isFolder(path) ? folders : files).push_back(path);
    }

    // As a drop onto the merge area: the files form one batch, then each folder is merged.
    const int64_t total = bytesToMerge(job.lister(), fs, options, files, folders);
    MergeContext ctx{job.start(total), options};
    MergeSummary summary;
    mergeBatch(ctx, files, summary);
    for (const Text& folder : folders) {
        if (job.stop()) break;
        mergeFolder(ctx, folder, summary);
    }
    job.finishProgress();

    if (!options.dryRun)
        for (const Text& output : summary.outputs) printOut(toNativeName(output) + "\n");
    if (!options.console.quiet)
        for (const Text& original : summary.restoredOriginals)
            printErr(std::string(kPrefix) + shownPath(original) + tr(kRestored) + "\n");
    reportUnlistedParts(summary.unlistedParts);
    reportDamagedParts(summary.damagedParts);
    printProblems(summary.unusableManifests);
    printFailures(summary.failures);
    job.reportDryRun();
    return job.finish(kMergeSummary, int64_t(summary.outputs.size()), kFailedOutputs,
                      {summary.failedOutputs, summary.unreadableSources, summary.undeletedSources,
                       summary.keptForReplacements});
}

}  // namespace pw::cli
