#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_run.h"

namespace pw::test {
namespace {

TEST(CliJoin, ManifestJoinVerifyAndReSplit) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 200'000; ++i) data += char('A' + i * 7 % 26);
    writeFile(dir.path("book.bin"), data);
    ASSERT_EQ(cli(dir, "split --parts 10 --manifest book.bin").status, 0);
    EXPECT_EQ(
        std::system(("cd '" + dir.path("book") + "' && sha256sum -c --quiet book.sha256").c_str()),
        0);

    // verify: one line a part, and the original checked on request.
    CliRun r = cli(dir, "verify --source book.bin book");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("book_10.bin: OK\nbook.bin: OK\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("parts OK: 10 of 10"), std::string::npos);
    writeFile(dir.path("book/book_4.bin"), "x");
    r = cli(dir, "verify book/book.sha256");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("book_4.bin: WRONG SIZE"), std::string::npos);

    // A re-split into 7 parts over a damaged set: the unchanged earlier parts 8 and 10 go, the
    // changed part 9 stays and is named; part 4 is overwritten by the new part 4.
    writeFile(dir.path("book/book_9.bin"), "y");
    r = cli(dir, "split --parts 7 --manifest book.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("earlier split removed: 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("book_9.bin: left from an earlier split"), std::string::npos);
    EXPECT_FALSE(fileExists(dir.path("book/book_8.bin")));
    EXPECT_EQ(readFile(dir.path("book/book_9.bin")), "y");
    std::filesystem::remove(dir.path("book/book_9.bin"));

    // join: the original's name is taken, so a variant is written and named.
    r = cli(dir, "join --delete-parts book/book_2.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("book (2).bin") + "\n");
    EXPECT_NE(r.err.find("book (2).bin"), std::string::npos);
    EXPECT_EQ(readFile(dir.path("book (2).bin")), data);
    EXPECT_FALSE(std::filesystem::exists(dir.path("book/book.sha256")));

    // Without a manifest, leftovers above the new count are kept and named.
    ASSERT_EQ(cli(dir, "split --parts 5 book.bin").status, 0);
    r = cli(dir, "split --parts 3 book.bin");
    EXPECT_NE(r.err.find("book_4.bin: left from an earlier split"), std::string::npos) << r.err;
    EXPECT_TRUE(fileExists(dir.path("book/book_5.bin")));
    r = cli(dir, "join book");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing was written"), std::string::npos);
    EXPECT_EQ(cli(dir, "join").status, 2);
    EXPECT_EQ(cli(dir, "verify book").status, 1);  // no manifest to verify against
}

}  // namespace
}  // namespace pw::test
