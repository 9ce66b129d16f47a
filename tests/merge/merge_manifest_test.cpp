#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "files/manifest.h"
#include "files/path_ops.h"
#include "split/split_files.h"
#include "support/merge_fixture.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

class MergeManifest : public MergeFixture {
  protected:
    void plantSet() {
        writeFile(dir.path("book/book_1.txt"), "one");
        writeFile(dir.path("book/book_2.txt"), "two");
        Manifest m;
        m.sourceName = "book.txt";
        m.sourceSize = 6;
        m.sourceSha256 = sha256Hex("onetwo");
        m.mode = "parts";
        m.parts = {{"book_1.txt", 3, sha256Hex("one")}, {"book_2.txt", 3, sha256Hex("two")}};
        ASSERT_TRUE(writeManifest(posixFileSystem(), fromUtf8(dir.path("book/book.sha256")), m));
    }
    void splitBook(int parts, bool manifest, const std::string& name = "book.txt") {
        TestSplitOptions split;
        split.set.partCount = parts;
        split.set.writeManifest = manifest;
        TestSplitHost splitHost(split);
        SplitContext ctx{{host, *fs, systemClock()}, split, splitHost};
        splitFiles(ctx, {fromUtf8(dir.path(name))});
    }
    static std::string names(const std::vector<Text>& paths) {
        std::string out;
        for (const Text& p : paths) out += (out.empty() ? "" : " ") + toUtf8(fileNameOf(p));
        return out;
    }
};

TEST_F(MergeManifest, TheManifestIsSkippedAndItsPartsCheckedFirst) {
    // Nothing between and no encoding handling: the original comes back; its parts and then
    // the manifest that describes nothing any more go.
    plantSet();
    writeFile(dir.path("book/notes.txt"), "not a part");
    options.set.deleteSources = true;
    MergeSummary s = mergeDir(dir.path("book"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("book/book.txt"));
    EXPECT_EQ(readFile(toUtf8(s.outputs[0])), "onetwo");  // no manifest lines inside
    EXPECT_EQ(s.restoredOriginals, s.outputs);
    EXPECT_FALSE(s.anyFailed());
    EXPECT_EQ(listing(dir.path("book")), "book.txt notes.txt");

    // A changed part fails the folder's output, is named, and nothing is deleted.
    stdfs::remove(dir.path("book/book.txt"));
    plantSet();
    writeFile(dir.path("book/book_2.txt"), "TWO");
    s = mergeDir(dir.path("book"));
    EXPECT_TRUE(s.outputs.empty());
    EXPECT_EQ(s.failedOutputs, 1);
    ASSERT_EQ(s.damagedParts.size(), 1u);
    EXPECT_EQ(toUtf8(s.damagedParts[0]), dir.path("book/book_2.txt"));
    EXPECT_EQ(listing(dir.path("book")), "book.sha256 book_1.txt book_2.txt notes.txt");

    // With a text between, the listed parts are merged once they hold what is recorded.
    useText("|");
    s = mergeDir(dir.path("book"));
    EXPECT_TRUE(s.outputs.empty());
    EXPECT_EQ(names(s.damagedParts), "book_2.txt");
    plantSet();
    s = mergeDir(dir.path("book"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(readFile(dir.path("book/book_1等2个文件.txt")), "one|two");
    EXPECT_TRUE(s.restoredOriginals.empty());
    EXPECT_EQ(listing(dir.path("book")), "book_1等2个文件.txt notes.txt");

    // A missing part fails it too; a pattern that leaves the manifest out changes nothing.
    plantSet();
    std::remove(dir.path("book/book_2.txt").c_str());
    options.set.fileTypes = "*.txt";
    options.set.joinWith = JoinWith::Nothing;
    s = mergeDir(dir.path("book"));
    EXPECT_TRUE(s.outputs.empty());
    ASSERT_EQ(s.damagedParts.size(), 1u);
    EXPECT_EQ(toUtf8(s.damagedParts[0]), dir.path("book/book_2.txt"));
}

TEST_F(MergeManifest, AReSplitFolderIsTheSetItsManifestDescribes) {
    std::string source;
    for (int i = 0; i < 70; ++i) source += "row " + std::to_string(10000 + i) + "\n";
    ASSERT_EQ(source.size(), 700u);
    writeFile(dir.path("book.txt"), source);
    splitBook(100, false);
    splitBook(7, true);
    stdfs::rename(dir.path("book.txt"), dir.path("source.txt"));
    ASSERT_EQ(
        std::distance(stdfs::directory_iterator(dir.path("book")), stdfs::directory_iterator()),
        101);

    // The original, beside the parts' folder as a merge puts its outputs, and the 93 leftovers
    // named, neither joined nor deleted.
    options.set.intoParentFolder = true;
    options.set.deleteSources = true;
    MergeSummary s = mergeDir(dir.path("book"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("book.txt"));
    EXPECT_EQ(readFile(dir.path("book.txt")), source);
    EXPECT_FALSE(s.anyFailed());
    ASSERT_EQ(s.unlistedParts.size(), 93u);
    EXPECT_EQ(toUtf8(fileNameOf(s.unlistedParts[0])), "book_8.txt");
    EXPECT_EQ(toUtf8(fileNameOf(s.unlistedParts[92])), "book_100.txt");
    EXPECT_EQ(
        std::distance(stdfs::directory_iterator(dir.path("book")), stdfs::directory_iterator()),
        93);
    EXPECT_FALSE(fileExists(dir.path("book/book.sha256")));
    EXPECT_TRUE(fileExists(dir.path("book/book_8.txt")));

    // With encoding handling only the seven listed parts are joined, and the original's name
    // is not taken.
    stdfs::remove_all(dir.path("book"));
    stdfs::rename(dir.path("book.txt"), dir.path("moved.txt"));
    writeFile(dir.path("book.txt"), source);
    splitBook(100, false);
    splitBook(7, true);
    options.set.deleteSources = false;
    options.set.handleEncoding = true;
    s = mergeDir(dir.path("book"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(toUtf8(s.outputs[0]), dir.path("book_1等7个文件.txt"));
    EXPECT_EQ(readFile(toUtf8(s.outputs[0])), source);
    EXPECT_EQ(s.unlistedParts.size(), 93u);
}

TEST_F(MergeManifest, ASetWithNoFileOfTheChosenTypesLeavesTheOthersAnOrdinaryBatch) {
    writeFile(dir.path("d.bin"), "0123456789");
    splitBook(2, true, "d.bin");
    writeFile(dir.path("d/d_3.bin"), "left");
    writeFile(dir.path("d/notes.txt"), "n");
    writeFile(dir.path("d/todo.txt"), "t");
    options.set.fileTypes = "*.txt|d_3.bin|*.sha256";
    options.set.deleteSources = true;
    const MergeSummary s = mergeDir(dir.path("d"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(readFile(dir.path("d/notes等2个文件.txt")), "nt");
    EXPECT_EQ(listing(dir.path("d")), "d.sha256 d_1.bin d_2.bin d_3.bin notes等2个文件.txt");
}

}  // namespace
}  // namespace pw::test
