#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "split/split_files.h"
#include "support/merge_fixture.h"
#include "support/refusing_files.h"
#include "support/test_options.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

namespace fsys = std::filesystem;

using MergeDriver = MergeFixture;

TEST_F(MergeDriver, StopAfterTheSecondOfFiveKeepsWhatWasJoined) {
    for (int i = 1; i <= 5; ++i) writeFile(dir.path("in/" + std::to_string(i) + ".txt"), "f");
    useText("|");
    options.set.deleteSources = true;
    host.onProcessEvents = [&] {
        if (toUtf8(host.progressText) == "(2/5)2.txt") stop = 1;
    };
    const MergeSummary s = mergeDir(dir.path("in"));

    EXPECT_TRUE(s.stopped);
    EXPECT_EQ(readFile(dir.path("in/1等5个文件.txt")), "f|f|");
    // Only what reached the output is deleted, once the output is in place.
    EXPECT_EQ(listing(dir.path("in")), "1等5个文件.txt 3.txt 4.txt 5.txt");
    EXPECT_EQ(host.progressPosition, 2);
}

TEST_F(MergeDriver, FoldersAreMergedDepthFirstAndPatternsChooseSubfolders) {
    writeFile(dir.path("top/a.txt"), "a");
    writeFile(dir.path("top/b.log"), "b");
    writeFile(dir.path("top/notes/n.txt"), "n");
    writeFile(dir.path("top/more.txt/m1.txt"), "m1");
    writeFile(dir.path("top/more.txt/m2.txt"), "m2");
    writeFile(dir.path("top/more.txt/deep.txt/d.txt"), "d");
    writeFile(dir.path("top/empty.txt/x.log"), "x");
    options.set.fileTypes = "*.txt";
    options.set.includeSubfolders = true;
    fsys::create_directory_symlink(dir.path("top"), dir.path("top/more.txt/loop.txt"));

    MergeSummary s = mergeDir(dir.path("top"));
    std::vector<std::string> outputs;
    for (const Text& o : s.outputs) outputs.push_back(toUtf8(o));
    // The upper folder first, a subfolder's own files before its subfolders; notes is not a
    // *.txt name and the link back to the top is not followed again.
    EXPECT_EQ(outputs, (std::vector<std::string>{
                           dir.path("top/a等1个文件.txt"), dir.path("top/more.txt/m1等2个文件.txt"),
                           dir.path("top/more.txt/deep.txt/d等1个文件.txt")}));
    EXPECT_EQ(readFile(outputs[1]), "m1m2");
    EXPECT_FALSE(fileExists(dir.path("top/notes/n等1个文件.txt")));

    // Several patterns: each pattern's files in turn; the first listed file names the output.
    options.set.includeSubfolders = false;
    options.set.fileTypes = "*.log|*.txt";
    s = mergeDir(dir.path("top"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("top/b等3个文件.log"));
    EXPECT_EQ(readFile(dir.path("top/b等3个文件.log")),
              "b"
              "a"
              "a");

    // 合并到父目录: one folder up.
    options.set.intoParentFolder = true;
    options.set.fileTypes = "m?.txt";
    mergeDir(dir.path("top/more.txt"));
    EXPECT_EQ(readFile(dir.path("top/m1等2个文件.txt")), "m1m2");
}

TEST_F(MergeDriver, SplitThenMergeGivesTheSourceBack) {
    std::string big;
    for (int i = 0; i < 5000; ++i) big += char(i * 7 + i / 256);
    for (const std::string& content : {std::string(), std::string("x"), big}) {
        writeFile(dir.path("src/book.bin"), content);
        TestSplitOptions splitOptions;
        splitOptions.set.partCount = 12;  // book_1 ... book_12: natural order matters
        TestSplitHost splitHost(splitOptions);
        SplitContext ctx{{host, *fs, systemClock()}, splitOptions, splitHost};
        splitFiles(ctx, {fromUtf8(dir.path("src/book.bin"))});

        for (bool parent : {false, true}) {
            options.set.intoParentFolder = parent;
            const MergeSummary s = mergeDir(dir.path("src/book"));
            ASSERT_EQ(s.outputs.size(), 1u);
            const std::string out =
                parent ? "src/book_1等12个文件.bin" : "src/book/book_1等12个文件.bin";
            EXPECT_EQ(readFile(dir.path(out)), content) << content.size() << parent;
            fsys::remove(dir.path(out));
        }
        fsys::remove_all(dir.path("src"));
    }
}

TEST_F(MergeDriver, AnEarlierOutputAmongTheInputsIsNeverReplaced) {
    writeFile(dir.path("d/x.txt"), "x");
    writeFile(dir.path("d/y.txt"), "y");
    writeFile(dir.path("d/z.txt"), "z");
    mergeDir(dir.path("d"));
    fsys::remove(dir.path("d/z.txt"));
    options.set.deleteSources = true;
    MergeSummary s = mergeDir(dir.path("d"));  // x.txt, x等3个文件.txt, y.txt

    // The input of the same name is read, not replaced: the output takes the next variant.
    EXPECT_EQ(s.failedOutputs, 0);
    EXPECT_EQ(s.renamedOutputs, 1);
    EXPECT_EQ(readFile(dir.path("d/x等3个文件 (2).txt")),
              "x"
              "xyz"
              "y");
    EXPECT_EQ(listing(dir.path("d")), "x等3个文件 (2).txt");  // sources gone, the output kept

    // Stopped before the earlier output was read: what was merged is kept beside it.
    writeFile(dir.path("e/x.txt"), "x");
    writeFile(dir.path("e/x等3个文件.txt"), "old");
    writeFile(dir.path("e/y.txt"), "y");
    host.onProcessEvents = [&] { stop = 1; };
    s = mergeDir(dir.path("e"));
    EXPECT_EQ(s.failedOutputs, 0);
    EXPECT_EQ(listing(dir.path("e")), "x等3个文件 (2).txt x等3个文件.txt y.txt");
    EXPECT_EQ(readFile(dir.path("e/x等3个文件 (2).txt")), "x");
    EXPECT_EQ(readFile(dir.path("e/x等3个文件.txt")), "old");

    // Links at the output's name, to a file elsewhere or to nothing, are neither followed nor
    // replaced.
    host.onProcessEvents = nullptr;
    stop = 0;
    options.set.deleteSources = false;
    writeFile(dir.path("f/a.txt"), "a");
    writeFile(dir.path("f/b.txt"), "b");
    writeFile(dir.path("elsewhere.txt"), "mine");
    fsys::create_symlink(dir.path("elsewhere.txt"), dir.path("f/a等2个文件.txt"));
    fsys::create_symlink(dir.path("nowhere.txt"), dir.path("f/a等2个文件 (2).txt"));
    s = {};
    MergeContext ctx{{host, *fs, systemClock()}, options};
    mergeBatch(ctx, {fromUtf8(dir.path("f/a.txt")), fromUtf8(dir.path("f/b.txt"))}, s);
    EXPECT_EQ(s.failedOutputs, 0);
    EXPECT_EQ(readFile(dir.path("f/a等2个文件 (3).txt")), "ab");
    EXPECT_EQ(readFile(dir.path("elsewhere.txt")), "mine");
    EXPECT_TRUE(fsys::is_symlink(dir.path("f/a等2个文件.txt")));
    EXPECT_TRUE(fsys::is_symlink(dir.path("f/a等2个文件 (2).txt")));
}

TEST_F(MergeDriver, FailuresAreCountedAndNothingIsDeleted) {
    writeFile(dir.path("a.txt"), "a");
    writeFile(dir.path("b.txt"), "b");
    options.set.deleteSources = true;
    useText("-");

    // An unreadable source gives nothing; what stands around it is still written.
    MergeSummary s = mergeFiles({dir.path("a.txt"), dir.path("gone.txt"), dir.path("b.txt")});
    EXPECT_EQ(s.unreadableSources, 1);
    EXPECT_EQ(readFile(dir.path("a等3个文件.txt")), "a--b");
    EXPECT_FALSE(fileExists(dir.path("a.txt")));

    writeFile(dir.path("a.txt"), "a");
    RefusingFiles refusing;
    fs = &refusing;
    s = mergeFiles({dir.path("a.txt"), dir.path("b.txt")});
    EXPECT_EQ(s.failedOutputs, 1);
    EXPECT_TRUE(s.outputs.empty());
    EXPECT_EQ(listing(dir.path()), "a.txt a等3个文件.txt");  // no source deleted

    // With encoding handling, a source cut at a NUL stays.
    fs = &posixFileSystem();
    options.set.handleEncoding = true;
    writeFile(dir.path("bin.txt"), std::string("ok\0rest", 7));
    s = mergeFiles({dir.path("a.txt"), dir.path("bin.txt")});
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "a-ok");
    EXPECT_EQ(listing(dir.path()), "a等2个文件.txt a等3个文件.txt bin.txt");
}

TEST_F(MergeDriver, TemporaryFilesAreNeverSourcesNorNameTheOutput) {
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    // One a killed split left, and one a split running beside this merge is writing.
    const std::string stale = ".~partwell-" + std::to_string(dead) + "-0.tmp";
    const std::string live = ".~partwell-" + std::to_string(::getppid()) + "-3.tmp";
    writeFile(dir.path("p/" + stale), "half a part");
    writeFile(dir.path("p/" + live), "being written");
    writeFile(dir.path("p/p_1.txt"), "1");
    writeFile(dir.path("p/p_2.txt"), "2");
    options.set.deleteSources = true;
    options.set.intoParentFolder = true;
    MergeSummary s = mergeDir(dir.path("p"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("p_1等2个文件.txt"));
    EXPECT_EQ(readFile(dir.path("p_1等2个文件.txt")), "12");
    // Neither joined nor deleted.
    EXPECT_EQ(listing(dir.path("p")), sortedNames(live + " " + stale));

    // Named in a list of files, it is no source either.
    options.set.intoParentFolder = false;
    s = mergeFiles({dir.path("p/" + live), dir.path("p_1等2个文件.txt")});
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("p_1等2个文件等1个文件.txt"));
    EXPECT_EQ(readFile(dir.path("p/" + live)), "being written");

    // Nor is a split's manifest among the files given.
    writeFile(dir.path("q/q_1.txt"), "1");
    writeFile(dir.path("q/q.sha256"), "# Partwell checksum manifest; check the parts with: …\n");
    s = mergeFiles({dir.path("q/q_1.txt"), dir.path("q/q.sha256")});
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(readFile(toUtf8(s.outputs[0])), "1");
}

TEST_F(MergeDriver, LongNamesAreCutToFitKeepingCountAndExtension) {
    std::string base;
    for (int i = 0; i < 90; ++i) base += "长";  // 270 bytes of UTF-8
    writeFile(dir.path(base.substr(0, 240) + ".txt"), "1");
    const std::string first = dir.path(base.substr(0, 240) + ".txt");
    const MergeSummary s = mergeFiles({first, first});
    ASSERT_EQ(s.outputs.size(), 1u);
    const std::string name = toUtf8(s.outputs[0]).substr(dir.path().size() + 1);
    // 等2个文件.txt takes 17 bytes: 79 characters of the base (237 bytes) remain.
    EXPECT_EQ(name, base.substr(0, 237) + "等2个文件.txt");
    EXPECT_EQ(readFile(toUtf8(s.outputs[0])), "11");
}

}  // namespace
}  // namespace pw::test
