#include <gtest/gtest.h>

#include "files/manifest.h"
#include "support/merge_fixture.h"

namespace pw::test {
namespace {

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
};

TEST_F(MergeManifest, TheManifestIsSkippedAndItsPartsCheckedFirst) {
    plantSet();
    options.set.deleteSources = true;
    MergeSummary s = mergeDir(dir.path("book"));
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(readFile(toUtf8(s.outputs[0])), "onetwo");  // no manifest lines inside
    EXPECT_FALSE(s.anyFailed());
    EXPECT_EQ(listing(dir.path("book")), "book.sha256 book_1等2个文件.txt");

    // A changed part fails the folder's output, is named, and nothing is deleted.
    plantSet();
    std::remove(dir.path("book/book_1等2个文件.txt").c_str());
    writeFile(dir.path("book/book_2.txt"), "TWO");
    s = mergeDir(dir.path("book"));
    EXPECT_TRUE(s.outputs.empty());
    EXPECT_EQ(s.failedOutputs, 1);
    ASSERT_EQ(s.damagedParts.size(), 1u);
    EXPECT_EQ(toUtf8(s.damagedParts[0]), dir.path("book/book_2.txt"));
    EXPECT_EQ(listing(dir.path("book")), "book.sha256 book_1.txt book_2.txt");

    // A missing part fails it too; a pattern that leaves the manifest out changes nothing.
    std::remove(dir.path("book/book_2.txt").c_str());
    options.set.fileTypes = "*.txt";
    s = mergeDir(dir.path("book"));
    EXPECT_TRUE(s.outputs.empty());
    ASSERT_EQ(s.damagedParts.size(), 1u);
    EXPECT_EQ(toUtf8(s.damagedParts[0]), dir.path("book/book_2.txt"));
}

}  // namespace
}  // namespace pw::test
