// What a split keeps and tells: sources whose text needed substitutes, read errors in the middle
// of a line, folders made for nothing, sources whose manifest failed, and jobs of too many parts.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/faulty_files.h"
#include "support/refusing_files.h"
#include "support/split_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using KeptAndNamed = SplitFixture;

TEST_F(KeptAndNamed, ASourceWhoseTextNeededSubstitutesIsKept) {
    options.set.deleteSources = true;
    byChars("100", "100");
    // UTF-16 with its mark and an odd byte at the end; UTF-8 with its mark and an invalid byte;
    // a clean one, which goes.
    writeFile(dir.path("odd.txt"), std::string("\xFF\xFEh\0i\0!", 7));
    writeFile(dir.path("pua.txt"), "\xEF\xBB\xBFx\xFFy");
    writeFile(dir.path("clean.txt"), "\xE4\xB8\xAD\xE6\x96\x87");
    const SplitSummary s = split({dir.path("odd.txt"), dir.path("pua.txt"), dir.path("clean.txt")});

    EXPECT_EQ(s.partsWritten, 3);
    EXPECT_EQ(s.keptForReplacements, 2);
    EXPECT_TRUE(fileExists(dir.path("odd.txt")));
    EXPECT_TRUE(fileExists(dir.path("pua.txt")));
    EXPECT_FALSE(fileExists(dir.path("clean.txt")));
    // The outputs still substitute.
    EXPECT_EQ(readFile(dir.path("odd/odd_1.txt")), std::string("\xFF\xFEh\0i\0\xFD\xFF", 8));

    // Without deletion nothing is "kept", so nothing is said.
    options.set.deleteSources = false;
    EXPECT_EQ(split({dir.path("odd.txt")}).keptForReplacements, 0);
}

TEST_F(KeptAndNamed, AReadErrorNeverLeavesAPartEndingInACutLine) {
    // Lines longer than nothing, and more of them than one read of the line reader takes.
    std::string content;
    for (int i = 0; i < 40000; ++i) content += "line " + std::to_string(100000 + i) + "\n";
    writeFile(dir.path("big.txt"), content);
    options.set.deleteSources = true;
    byLines("7000", "7000");
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE("read " + std::to_string(k) + " fails");
        std::filesystem::remove_all(dir.path("big"));
        FaultyFiles files(posixFileSystem(), FaultCall::Read, k, FaultError::Io);
        SplitContext ctx{{host, files, systemClock()}, options, splitHost};
        const SplitSummary s = splitFiles(ctx, {fromUtf8(dir.path("big.txt"))});
        ASSERT_TRUE(files.fired());
        EXPECT_EQ(s.unreadableSources, 1);
        ASSERT_EQ(s.failures.size(), 1u);
        EXPECT_EQ(s.failures[0].kind, FailureKind::Read);
        EXPECT_EQ(s.failures[0].reason, std::error_code(EIO, std::generic_category()));
        EXPECT_EQ(readFile(dir.path("big.txt")), content);
        // Every part written holds whole lines of the source, in their place.
        for (std::string part : parts("big", "big")) {
            EXPECT_EQ(part.size(), 7000u * 13 - 2);
            for (size_t cr = part.find('\r'); cr != std::string::npos; cr = part.find('\r', cr))
                part.erase(cr, 1);
            EXPECT_NE(content.find(part + "\n"), std::string::npos);
        }
    }
}

TEST_F(KeptAndNamed, FoldersMadeForPartsThatFailedAreRemoved) {
    writeFile(dir.path("a.txt"), "abcd");
    writeFile(dir.path("keep/old.txt"), "x");
    byCount("2");
    RefusingFiles refusing;  // folders are made, files refused
    SplitContext ctx{{host, refusing, systemClock()}, options, splitHost};
    SplitSummary s = splitFiles(ctx, {fromUtf8(dir.path("a.txt"))});
    EXPECT_EQ(s.failedOutputs, 2);
    ASSERT_EQ(s.failures.size(), 2u);
    EXPECT_EQ(toUtf8(s.failures[0].path), dir.path("a/a_1.txt"));
    EXPECT_EQ(s.failures[0].reason, std::error_code(EROFS, std::generic_category()));
    EXPECT_FALSE(fileExists(dir.path("a")));

    // A folder that was there before stays, even when nothing went into it.
    writeFile(dir.path("keep.txt"), "abcd");
    s = splitFiles(ctx, {fromUtf8(dir.path("keep.txt"))});
    EXPECT_EQ(s.failedOutputs, 2);
    EXPECT_EQ(readFile(dir.path("keep/old.txt")), "x");
}

TEST_F(KeptAndNamed, ASourceGoesOnlyWithTheManifestAskedFor) {
    writeFile(dir.path("a.txt"), "abcdefghi");
    byCount("3");
    options.set.writeManifest = true;
    options.set.deleteSources = true;
    // The fourth rename is the manifest's, after the three parts'.
    FaultyFiles files(posixFileSystem(), FaultCall::Rename, 4, FaultError::NoPermission);
    SplitContext ctx{{host, files, systemClock()}, options, splitHost};
    SplitSummary s = splitFiles(ctx, {fromUtf8(dir.path("a.txt"))});
    ASSERT_TRUE(files.fired());
    EXPECT_EQ(readFile(dir.path("a.txt")), "abcdefghi");
    EXPECT_EQ(listing(dir.path("a")), "a_1.txt a_2.txt a_3.txt");
    EXPECT_EQ(s.failedOutputs, 1);
    ASSERT_EQ(s.failures.size(), 1u);
    EXPECT_EQ(s.failures[0].kind, FailureKind::Write);
    EXPECT_EQ(toUtf8(s.failures[0].path), dir.path("a/a.sha256"));
    EXPECT_EQ(s.failures[0].reason, std::error_code(EACCES, std::generic_category()));

    s = split({dir.path("a.txt")});
    EXPECT_EQ(s.manifestsWritten, 1);
    EXPECT_FALSE(fileExists(dir.path("a.txt")));
}

TEST_F(KeptAndNamed, MoreThanAMillionPartsOfOneFileAreRefusedBeforeAnything) {
    writeFile(dir.path("a.txt"), "abc");
    writeFile(dir.path("b.bin"), std::string(2000004, 'b'));  // 1000002 parts of 2 bytes
    byCount("1000001");
    SplitSummary s = split({dir.path("a.txt")});
    EXPECT_TRUE(s.aborted);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(toUtf8(host.messages[0].text), texts::kTooManyParts);

    // By size: the small file first would be split, but the large one is seen before.
    bySize("2", 0);
    s = split({dir.path("a.txt"), dir.path("b.bin")});
    EXPECT_TRUE(s.aborted);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_FALSE(fileExists(dir.path("a")));
    EXPECT_FALSE(fileExists(dir.path("b")));

    // A million of a small file are allowed: only the count is checked, not written here.
    bySize("3", 0);
    s = split({dir.path("a.txt")});
    EXPECT_FALSE(s.aborted);
    EXPECT_EQ(s.partsWritten, 1);
}

}  // namespace
}  // namespace pw::test
