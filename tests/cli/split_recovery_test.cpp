// split --recovery: PAR 2.0 recovery files beside the parts of every mode, checked by par2cmdline
// (Debian's par2) and rebuilt from by partwell-cli repair.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "cli/cli_run.h"
#include "support/par2_create.h"
#include "support/shell_in.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

std::string bookText() {
    std::string text;
    for (int chapter = 1; chapter <= 6; ++chapter) {
        text += "第" + std::to_string(chapter) + "章 起\r\n";
        for (int line = 0; line < 300; ++line)
            text += "这是第" + std::to_string(chapter) + "章的第" + std::to_string(line) +
                    "行，@@ 内容。\r\n";
    }
    return text;
}

TEST(CliSplitRecovery, EveryModesPartsAreVerifiedByParCmdlineAndRebuiltByRepair) {
    if (!haveParCmdline())
        GTEST_SKIP() << "par2 (par2cmdline) is not installed: bash scripts/install-deps.sh test";
    const struct {
        const char* options;
        const char* firstPart;
    } modes[] = {
        {"--parts 5", "book_2.txt"},        {"--size 40KB", "book_2.txt"},
        {"--lines 400", "book_2.txt"},      {"--chars 9000", "book_2.txt"},
        {"--delimiter @@", "book_200.txt"}, {"--chapters 2", ""},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.options);
        TempDir dir;
        writeFile(dir.path("book.txt"), bookText());
        const CliRun r = cli(dir, std::string("split --recovery 1 ") + mode.options + " book.txt");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("recovery files written: " + dir.path("book/book.par2")),
                  std::string::npos)
            << r.err;
        // --recovery implies --manifest.
        EXPECT_TRUE(fileExists(dir.path("book/book.sha256")));
        EXPECT_EQ(shellIn(dir.path("book"), "par2 verify -q book.par2"), 0);

        // One part lost: repair gives it back byte for byte, and the set joins again.
        std::string lost = mode.firstPart;
        if (lost.empty())
            for (const auto& e : std::filesystem::directory_iterator(dir.path("book")))
                if (e.path().filename().string().starts_with("book_2 ")) lost = e.path().filename();
        ASSERT_FALSE(lost.empty());
        const std::string content = readFile(dir.path("book/" + lost));
        ASSERT_FALSE(content.empty());
        std::filesystem::remove(dir.path("book/" + lost));
        const CliRun repaired = cli(dir, "repair book/book.par2");
        EXPECT_EQ(repaired.status, 0) << repaired.err;
        EXPECT_TRUE(readFile(dir.path("book/" + lost)) == content);
        std::filesystem::create_directory(dir.path("out"));
        const CliRun joined = cli(dir, "join --output-dir out book/book.sha256");
        EXPECT_EQ(joined.status, 0) << joined.err;
        EXPECT_TRUE(readFile(dir.path("out/book.txt")) == bookText());
    }
}

TEST(CliSplitRecovery, CoversTheLostPartsAskedForAndNoMore) {
    if (!haveParCmdline())
        GTEST_SKIP() << "par2 (par2cmdline) is not installed: bash scripts/install-deps.sh test";
    TempDir dir;
    std::string data;
    for (unsigned i = 0; i < 300000; ++i) data += char(i * 7919 % 251);
    writeFile(dir.path("d.bin"), data);
    ASSERT_EQ(cli(dir, "split --parts 6 --recovery 2 d.bin").status, 0);
    for (const char* part : {"d_1.bin", "d_6.bin"}) std::filesystem::remove(dir.path("d/") + part);
    EXPECT_EQ(shellIn(dir.path("d"), "par2 repair -q d.par2"), 0);
    EXPECT_TRUE(readFile(dir.path("d/d_6.bin")) == data.substr(250000));
    // Three lost of two: par2cmdline cannot repair either.
    for (const char* part : {"d_1.bin", "d_2.bin", "d_3.bin"})
        std::filesystem::remove(dir.path("d/") + part);
    EXPECT_NE(shellIn(dir.path("d"), "par2 repair -q d.par2"), 0);

    // A tenth of the data: one slice of the six parts' 24.
    TempDir tenth;
    writeFile(tenth.path("d.bin"), data);
    ASSERT_EQ(cli(tenth, "split --parts 6 --recovery 10% d.bin").status, 0);
    EXPECT_TRUE(fileExists(tenth.path("d/d.vol0+1.par2")));
    EXPECT_TRUE(fileExists(tenth.path("d/d.vol1+2.par2")));
    EXPECT_FALSE(fileExists(tenth.path("d/d.vol3+1.par2")));
    EXPECT_EQ(shellIn(tenth.path("d"), "par2 verify -q d.par2"), 0);
}

TEST(CliSplitRecovery, RefusesWhatItCannotWriteAndKeepsTheSource) {
    TempDir dir;
    for (const char* bad : {"0", "-1", "x", "101%", "0%", "2.5"}) {
        const CliRun r = cli(dir, std::string("split --recovery ") + bad + " nothing.bin");
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("--recovery takes"), std::string::npos) << bad << r.err;
    }

    // A name that is not UTF-8: the parts and manifest are written, no recovery file, the source
    // stays although --delete-source was given.
    const std::string odd = "n\xff.bin";
    writeFile(dir.path(odd), std::string(5000, 'a'));
    CliRun r = cli(dir, "split --parts 2 --recovery 1 --delete-source \"$(printf 'n\\377.bin')\"");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("is not UTF-8"), std::string::npos) << r.err;
    EXPECT_TRUE(fileExists(dir.path(odd)));
    EXPECT_TRUE(fileExists(dir.path("n\xff/n\xff_2.bin")));
    EXPECT_TRUE(fileExists(dir.path("n\xff/n\xff.sha256")));
    EXPECT_FALSE(fileExists(dir.path("n\xff/n\xff.par2")));

    // A file of the user's at the index's name is not replaced; the source stays.
    writeFile(dir.path("s.bin"), std::string(5000, 'b'));
    std::filesystem::create_directory(dir.path("s"));
    writeFile(dir.path("s/s.par2"), "my notes");
    r = cli(dir, "split --parts 2 --recovery 1 --delete-source s.bin");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(readFile(dir.path("s/s.par2")), "my notes");
    EXPECT_TRUE(fileExists(dir.path("s.bin")));
    EXPECT_FALSE(fileExists(dir.path("s/s.vol0+1.par2")));

    // Once written, the source goes.
    std::filesystem::remove(dir.path("s/s.par2"));
    r = cli(dir, "split --parts 2 --recovery 1 --delete-source s.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fileExists(dir.path("s.bin")));
    EXPECT_TRUE(fileExists(dir.path("s/s.par2")));
}

// A dry run lists the recovery files with the sizes the real split gives them, and writes none.
TEST(CliSplitRecovery, ADryRunListsTheRecoveryFilesWithTheirSizes) {
    for (const char* mode : {"--parts 3 --recovery 2", "--lines 500 --recovery 10%"}) {
        SCOPED_TRACE(mode);
        TempDir dir;
        writeFile(dir.path("book.txt"), bookText());
        const CliRun dry = cli(dir, std::string("split --dry-run ") + mode + " book.txt");
        ASSERT_EQ(dry.status, 0) << dry.err;
        EXPECT_FALSE(fileExists(dir.path("book")));
        EXPECT_EQ(dry.err.find("recovery files written"), std::string::npos) << dry.err;
        ASSERT_EQ(cli(dir, std::string("split ") + mode + " book.txt").status, 0);
        std::string listed;
        int par2Files = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path("book")))
            if (e.path().extension() == ".par2") {
                ++par2Files;
                const std::string line = std::to_string(std::filesystem::file_size(e.path())) +
                                         "\t" + e.path().string() + "\n";
                EXPECT_NE(dry.out.find(line), std::string::npos) << line << dry.out;
            }
        EXPECT_GE(par2Files, 2);
    }
}

TEST(CliSplitRecovery, JoinRepairsFirstAndVerifySaysWhatCanBeRebuilt) {
    TempDir dir;
    std::string data;
    for (unsigned i = 0; i < 200000; ++i) data += char(i * 31 % 253);
    writeFile(dir.path("d.bin"), data);
    ASSERT_EQ(cli(dir, "split --parts 5 --recovery 2 d.bin").status, 0);
    std::filesystem::remove(dir.path("d/d_2.bin"));
    std::string changed = readFile(dir.path("d/d_4.bin"));
    changed[100] ^= 1;
    writeFile(dir.path("d/d_4.bin"), changed);

    CliRun r = cli(dir, "verify d");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("2 parts damaged or missing; the recovery files can rebuild them: "
                         "partwell-cli repair " +
                         dir.path("d/d.par2")),
              std::string::npos)
        << r.err;

    std::filesystem::create_directory(dir.path("out"));
    r = cli(dir, "join --output-dir out d/d.sha256");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("rebuilt from the recovery files before the join: 2"), std::string::npos)
        << r.err;
    EXPECT_TRUE(readFile(dir.path("out/d.bin")) == data);
    EXPECT_EQ(cli(dir, "verify d").status, 0);

    // More lost than covered: verify says how many slices are missing, join writes nothing.
    for (const char* part : {"d_1.bin", "d_3.bin", "d_5.bin"})
        std::filesystem::remove(dir.path("d/") + part);
    r = cli(dir, "verify d");
    EXPECT_NE(r.err.find("3 parts damaged or missing; the recovery files hold too few slices to "
                         "rebuild them (4 more are needed)"),
              std::string::npos)
        << r.err;
    std::filesystem::remove(dir.path("out/d.bin"));
    r = cli(dir, "join --output-dir out d");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fileExists(dir.path("d/d_1.bin")));
    EXPECT_FALSE(fileExists(dir.path("out/d.bin")));
}

TEST(CliSplitRecovery, JoinNeverRebuildsAFileTheManifestDoesNotList) {
    TempDir dir;
    writeFile(dir.path("d.bin"), std::string(30000, 'q'));
    ASSERT_EQ(cli(dir, "split --parts 3 --manifest d.bin").status, 0);
    // Recovery files beside the manifest that also protect a stranger's file, now missing.
    writeFile(dir.path("d/other.txt"), std::string(9000, 'o'));
    ASSERT_TRUE(createRecovery(dir.path("d"), {"d_1.bin", "d_2.bin", "d_3.bin", "other.txt"}, "d",
                               4000, 4));
    std::filesystem::remove(dir.path("d/other.txt"));
    std::filesystem::remove(dir.path("d/d_2.bin"));
    std::filesystem::create_directory(dir.path("out"));
    const CliRun r = cli(dir, "join --output-dir out d");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fileExists(dir.path("d/other.txt")));
    EXPECT_FALSE(fileExists(dir.path("d/d_2.bin")));
}

}  // namespace
}  // namespace pw::test
