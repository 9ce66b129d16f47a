// What a merge keeps, never overwrites and tells: sources whose text needed substitutes, outputs
// of one job that would share a name, batches with nothing readable, folders that cannot be listed
// and an intermediate file that cannot be read.

#include <gtest/gtest.h>

#include <cerrno>

#include "support/faulty_files.h"
#include "support/merge_fixture.h"
#include "text/encoding_convert.h"

namespace pw::test {
namespace {

using MergeOutcomes = MergeFixture;

TEST_F(MergeOutcomes, ASourceWhoseCharactersTheOutputLacksIsKept) {
    // Simplified characters in UTF-8, then a Big5 file: the output is Big5, the first file's
    // characters become "?" there, so that file stays; the Big5 one goes.
    writeFile(dir.path("a.txt"), "\xEF\xBB\xBF\xE5\x9B\xBD\xE5\x9B\xBD");  // 国国
    writeFile(dir.path("b.txt"),
              convertEncoding("<meta charset=Big5>\xE4\xB8\xAD", "UTF-8", "BIG5"));
    options.set.handleEncoding = true;
    options.set.deleteSources = true;
    MergeSummary s = mergeFiles({dir.path("a.txt"), dir.path("b.txt")});
    ASSERT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(s.keptForReplacements, 1);
    EXPECT_TRUE(fileExists(dir.path("a.txt")));
    EXPECT_FALSE(fileExists(dir.path("b.txt")));
    EXPECT_TRUE(readFile(dir.path("a等2个文件.txt")).starts_with("??"));

    // A source whose own text needed a U+FFFD when it was decoded stays too.
    writeFile(dir.path("c.txt"), std::string("\xFF\xFEh\0i\0!", 7));
    writeFile(dir.path("d.txt"), std::string("\xFF\xFEo\0k\0", 6));
    s = mergeFiles({dir.path("c.txt"), dir.path("d.txt")});
    EXPECT_EQ(s.keptForReplacements, 1);
    EXPECT_TRUE(fileExists(dir.path("c.txt")));
    EXPECT_FALSE(fileExists(dir.path("d.txt")));
}

TEST_F(MergeOutcomes, TwoBatchesOfOneJobNeverWriteTheSameOutput) {
    writeFile(dir.path("vol1/ch_1.txt"), "one");
    writeFile(dir.path("vol2/ch_1.txt"), "two");
    writeFile(dir.path("ch_1等1个文件.txt"), "from an earlier job");
    options.set.intoParentFolder = true;
    options.set.deleteSources = true;
    MergeSummary s;
    MergeContext ctx{{host, *fs, systemClock()}, options};
    mergeFolder(ctx, fromUtf8(dir.path("vol1")), s);
    mergeFolder(ctx, fromUtf8(dir.path("vol2")), s);

    ASSERT_EQ(s.outputs.size(), 2u);
    EXPECT_EQ(s.renamedOutputs, 1);
    // The file of an earlier job is replaced as before; this job's own output is not.
    EXPECT_EQ(readFile(dir.path("ch_1等1个文件.txt")), "one");
    EXPECT_EQ(readFile(dir.path("ch_1等1个文件 (2).txt")), "two");
    EXPECT_FALSE(fileExists(dir.path("vol1/ch_1.txt")));
    EXPECT_FALSE(fileExists(dir.path("vol2/ch_1.txt")));
}

TEST_F(MergeOutcomes, ABatchWithNothingReadableWritesNothing) {
    MergeSummary s = mergeFiles({dir.path("nothere.txt"), dir.path("gone.txt")});
    EXPECT_TRUE(s.outputs.empty());
    EXPECT_EQ(s.unreadableSources, 2);
    EXPECT_EQ(s.failedOutputs, 0);
    ASSERT_EQ(s.failures.size(), 2u);
    EXPECT_EQ(toUtf8(s.failures[1].path), dir.path("gone.txt"));
    EXPECT_EQ(s.failures[1].reason, std::error_code(ENOENT, std::generic_category()));
    EXPECT_FALSE(fileExists(dir.path("nothere等2个文件.txt")));
}

TEST_F(MergeOutcomes, AFolderThatCannotBeListedIsAFailure) {
    writeFile(dir.path("m/a.txt"), "a");
    writeFile(dir.path("m/sub/b.txt"), "b");
    options.set.includeSubfolders = true;
    // Listed are m's files, m for a manifest, m for stale temporaries, m's subfolders, then the
    // subfolder's files.
    FaultyFiles files(posixFileSystem(), FaultCall::List, 5, FaultError::NoPermission);
    fs = &files;
    const MergeSummary s = mergeDir(dir.path("m"));
    ASSERT_TRUE(files.fired());
    EXPECT_EQ(s.outputs.size(), 1u);
    EXPECT_EQ(s.unreadableSources, 1);
    ASSERT_EQ(s.failures.size(), 1u);
    EXPECT_EQ(s.failures[0].kind, FailureKind::List);
    EXPECT_EQ(toUtf8(s.failures[0].path), dir.path("m/sub"));
    EXPECT_EQ(s.failures[0].reason, std::error_code(EACCES, std::generic_category()));
    EXPECT_TRUE(s.anyFailed());
}

TEST_F(MergeOutcomes, AnIntermediateFileThatFailsToReadJoinsWithNothingAndIsTold) {
    writeFile(dir.path("a.txt"), "a");
    writeFile(dir.path("b.txt"), "b");
    useFile("/proc/self/mem");  // opens, but reading at its start fails
    const MergeSummary s = mergeFiles({dir.path("a.txt"), dir.path("b.txt")});
    EXPECT_EQ(readFile(dir.path("a等2个文件.txt")), "ab");
    EXPECT_TRUE(s.separatorUnreadable);
    EXPECT_TRUE(s.anyFailed());
    ASSERT_EQ(s.failures.size(), 1u);
    EXPECT_EQ(toUtf8(s.failures[0].path), "/proc/self/mem");
    EXPECT_EQ(s.failures[0].reason, std::error_code(EIO, std::generic_category()));
}

}  // namespace
}  // namespace pw::test
