#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "cli/cli_run.h"

namespace pw::test {
namespace {

TEST(CliMerge, FilesFormOneBatchFoldersAreMergedEachOnItsOwn) {
    TempDir dir;
    writeFile(dir.path("p/x/b.txt"), "b");
    writeFile(dir.path("p/x/a.txt"), "a");
    writeFile(dir.path("p/y/book_10.log"), "10");
    writeFile(dir.path("p/y/book_9.log"), "9");
    writeFile(dir.path("p/y/more.log/s.log"), "s");
    writeFile(dir.path("p/y/note.txt"), "n");
    writeFile(dir.path("p/y/sub/t.log"), "t");  // not a *.log name: not entered

    // Files in the order given, the output one folder up (as the window does by default).
    CliRun r = cli(dir, "merge p/x/b.txt p/x/a.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("p/b等2个文件.txt") + "\n");
    EXPECT_EQ(readFile(dir.path("p/b等2个文件.txt")), "ba");

    r = cli(dir, "merge --types '*.log' --recursive --no-parent-folder --separator '-\n' p/y");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("p/y/book_9等2个文件.log") + "\n" +
                         dir.path("p/y/more.log/s等1个文件.log") + "\n");
    EXPECT_EQ(readFile(dir.path("p/y/book_9等2个文件.log")), "9-\r\n10");

    writeFile(dir.path("sep.bin"), std::string("\0", 1));
    r = cli(
        dir,
        "merge --separator-file sep.bin --delete-sources --no-parent-folder p/x/a.txt p/x/b.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("p/x/a等2个文件.txt")), std::string("a\0b", 3));
    EXPECT_EQ(listing(dir.path("p/x")), "a等2个文件.txt");
}

// Split into 100 parts without a manifest, then into 7 with one: the folder is the 7-part set.
TEST(CliMerge, AReSplitFolderIsJoinedAsItsManifestSaysAndLeftoversAreNamedOnce) {
    TempDir dir;
    std::string source;
    for (int i = 0; i < 70; ++i) source += "row " + std::to_string(10000 + i) + "\n";
    writeFile(dir.path("book.txt"), source);
    ASSERT_EQ(cli(dir, "split --parts 100 book.txt").status, 0);
    ASSERT_EQ(cli(dir, "split --parts 7 --manifest book.txt").status, 0);
    std::rename(dir.path("book.txt").c_str(), dir.path("source.txt").c_str());
    const auto lines = [](const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    };

    CliRun r = cli(dir, "join book");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("book.txt")), source);
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("partwell-cli: 93 files numbered as parts"), std::string::npos);
    std::remove(dir.path("book.txt").c_str());

    r = cli(dir, "merge --delete-sources book");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("book.txt") + "\n");
    EXPECT_EQ(readFile(dir.path("book.txt")), source);
    EXPECT_NE(r.err.find(dir.path("book.txt") + ": the original"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.path("book/book_8.txt") + ", " + dir.path("book/book_9.txt")),
              std::string::npos);
    EXPECT_EQ(lines(r.err), 3) << r.err;  // the original, the leftovers, the summary
    // The seven parts and their manifest went; the leftovers stay.
    EXPECT_FALSE(fileExists(dir.path("book/book.sha256")));
    EXPECT_FALSE(fileExists(dir.path("book/book_1.txt")));
    EXPECT_EQ(readFile(dir.path("book/book_8.txt")).size(), 7u);
    EXPECT_TRUE(fileExists(dir.path("book/book_100.txt")));
}

TEST(CliMerge, EncodingHandlingRefusalsAndFailures) {
    TempDir dir;
    writeFile(dir.path("d/1.txt"), "\xB0\xA1");                  // 啊 in GBK
    writeFile(dir.path("d/2.txt"), "\xEF\xBB\xBF\xE5\x95\x8A");  // 啊 in UTF-8 with its mark
    CliRun r = cli(dir, "merge --handle-encoding --no-parent-folder d/1.txt d/2.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("d/1等2个文件.txt")), "\xEF\xBB\xBF\xE5\x95\x8A\xE5\x95\x8A");

    EXPECT_EQ(cli(dir, "merge --bogus d").status, 2);
    EXPECT_EQ(cli(dir, "merge --types").status, 2);
    EXPECT_EQ(cli(dir, "merge").status, 2);
    EXPECT_EQ(cli(dir, "merge --separator-file missing.bin d").status, 2);
    r = cli(dir, "merge --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--separator-file"), std::string::npos);

    // A file that cannot be read: the output is written all the same, the status says so.
    r = cli(dir, "merge --no-parent-folder d/1.txt d/missing.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("files that could not be read: 1"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.path("d/1等2个文件.txt")), "\xB0\xA1");

    // An output that cannot be written.
    writeFile(dir.path("ro/a.txt"), "a");
    ::chmod(dir.path("ro").c_str(), 0555);
    r = cli(dir, "merge --no-parent-folder --delete-sources ro/a.txt");
    // One folder up the output is written, but the source cannot be deleted.
    CliRun kept = cli(dir, "merge --delete-sources ro/a.txt");
    ::chmod(dir.path("ro").c_str(), 0755);
    if (::geteuid() != 0) {
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(kept.status, 1);
        EXPECT_NE(kept.err.find("files that could not be deleted: 1"), std::string::npos);
        EXPECT_EQ(readFile(dir.path("a等1个文件.txt")), "a");
        EXPECT_EQ(listing(dir.path("ro")), "a.txt");
    }
}

}  // namespace
}  // namespace pw::test
