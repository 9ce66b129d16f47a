// What a user of the command line meets: usage, language, progress line, output folder, dry run,
// block-aligned parts.

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <string>

#include "cli/cli_run.h"

namespace pw::test {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every line of standard error that is not empty starts with the program's name.
bool everyLinePrefixed(const std::string& err) {
    size_t start = 0;
    while (start < err.size()) {
        size_t end = err.find('\n', start);
        if (end == std::string::npos) end = err.size();
        if (end > start && err.compare(start, 14, "partwell-cli: ") != 0) return false;
        start = end + 1;
    }
    return true;
}

TEST(CliConsole, UsageAndMessagesInTheUsersLanguage) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "0123456789");
    CliRun r = cli(dir, "");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(has(r.err, "Usage: partwell-cli COMMAND")) << r.err;

    r = cli(dir, "frobnicate");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "partwell-cli: unknown command: frobnicate\n")) << r.err;
    for (const char* refused :
         {"split --bogus a.txt", "split --parts", "merge --types '|' .", "split --parts 0 a.txt",
          "split --size 5XB a.txt", "verify a.txt b.txt", "join --delete-parts"}) {
        r = cli(dir, refused);
        EXPECT_EQ(r.status, 2) << refused;
        EXPECT_TRUE(everyLinePrefixed(r.err.substr(0, r.err.find("Usage:"))))
            << refused << ": " << r.err;
    }

    // Chinese with a Chinese locale: one that exists, and one this system has not installed
    // (gettext alone would then fall back to English).
    for (const char* chinese :
         {"LC_ALL=C.UTF-8 LANGUAGE=zh_CN", "LANGUAGE= LC_ALL= LANG=zh_CN.UTF-8",
          "LANGUAGE= LC_ALL=zh_TW.UTF-8"}) {
        r = cli(dir, "split --help", chinese);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(has(r.out, "用法：partwell-cli split [选项] 路径...")) << chinese << r.out;
        EXPECT_TRUE(has(r.out, "  --parts N              分成 N 份")) << r.out;
        EXPECT_TRUE(has(r.out, "字节顺序标记")) << r.out;
        r = cli(dir, "split --parts 0 a.txt", chinese);
        EXPECT_EQ(r.err, "partwell-cli: 份数必须大于0\n") << chinese;
        r = cli(dir, "split --parts 2 missing.txt", chinese);
        EXPECT_TRUE(has(r.err, "已写入分割文件：0，无法读取的文件：1")) << r.err;
    }
    r = cli(dir, "split --help", "LANGUAGE= LC_ALL=C");
    EXPECT_TRUE(has(r.out, "Usage: partwell-cli split [OPTIONS] PATH...")) << r.out;
    EXPECT_TRUE(has(r.out, "byte-order mark")) << r.out;
    r = cli(dir, "split --parts 0 a.txt", "LANGUAGE= LC_ALL=C");
    EXPECT_EQ(r.err, "partwell-cli: the number of parts must be greater than 0\n");
}

TEST(CliConsole, ProgressLineOnlyWhenAskedOrOnATerminal) {
    TempDir dir;
    writeFile(dir.path("big.bin"), std::string(3 << 20, 'x'));
    // Standard error is a file here: no progress line, the summary alone.
    CliRun r = cli(dir, "split --size 1MB big.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "partwell-cli: parts written: 3\n");

    r = cli(dir, "split --parts 3 --progress --output-dir big --no-subfolder big.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    // Drawn over itself, with the bytes of the total and the files, and cleared at the end.
    EXPECT_TRUE(has(r.err, "\r\x1b[Kpartwell-cli: ")) << r.err;
    EXPECT_TRUE(has(r.err, " of 3.0 MB, file 1 of 1, ")) << r.err;
    EXPECT_TRUE(has(r.err, "/s, ")) << r.err;
    EXPECT_TRUE(has(r.err, "\r\x1b[Kpartwell-cli: parts written: 3\n")) << r.err;

    r = cli(dir, "merge --progress --quiet big/big_1.bin big/big_2.bin");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, dir.path("big_1等2个文件.bin") + "\n");

    // Detection reads only: its bytes are counted file by file; the result lines stay whole.
    writeFile(dir.path("t.txt"), "text");
    r = cli(dir, "detect --progress t.txt t.txt");
    EXPECT_EQ(r.out, "GBK\tt.txt\nGBK\tt.txt\n");
    EXPECT_TRUE(has(r.err, "partwell-cli: 0 B of 8 B, file 1 of 2, ")) << r.err;

    // Thousands of parts: still at most ten drawings a second.
    writeFile(dir.path("small.bin"), std::string(3000, 's'));
    const auto start = std::chrono::steady_clock::now();
    r = cli(dir, "split --size 1B --progress small.bin");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 0);
    // The summary line after the last drawing carries the same prefix: it is no drawing.
    size_t drawings = 0;
    for (size_t at = r.err.find("\x1b[Kpartwell-cli: "); at != std::string::npos;
         at = r.err.find("\x1b[Kpartwell-cli: ", at + 1))
        drawings += !r.err.substr(at).starts_with("\x1b[Kpartwell-cli: parts written");
    EXPECT_GE(drawings, 1u);
    EXPECT_LE(double(drawings), seconds * 10 + 1) << seconds;

    // On a terminal (script's) the line is there without --progress.
    const std::string typescript = dir.path("typescript");
    const std::string command = "cd '" + dir.path() +
                                "' && LANGUAGE= LC_ALL=C.UTF-8 script -qec \"'" + PARTWELL_CLI +
                                "' split --parts 2 big.bin\" '" + typescript + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(has(readFile(typescript), "\x1b[Kpartwell-cli: 0 B of 3.0 MB, file 1 of 1"))
        << readFile(typescript);
}

TEST(CliConsole, OutputFolderAndDryRun) {
    TempDir dir;
    writeFile(dir.path("src/a.txt"), "one\ntwo\nthree\nfour\nfive\n");
    writeFile(dir.path("out/keep"), "");

    // A dry run names what a real run writes, sizes too, and leaves the tree as it was.
    CliRun dry = cli(dir, "split --lines 2 --manifest --output-dir out src/a.txt --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(listing(dir.path("out")), "keep");
    EXPECT_EQ(listing(dir.path("src")), "a.txt");
    // Said once, as what would be written; nothing claims that parts were written.
    EXPECT_TRUE(dry.err.starts_with(
        "partwell-cli: nothing was written (--dry-run); files that would be written: 4, "))
        << dry.err;
    EXPECT_EQ(std::count(dry.err.begin(), dry.err.end(), '\n'), 1) << dry.err;
    CliRun real = cli(dir, "split --lines 2 --manifest --output-dir out src/a.txt");
    EXPECT_EQ(real.status, 0) << real.err;
    std::string expected;
    for (const char* name : {"a_1.txt", "a_2.txt", "a_3.txt", "a.sha256"}) {
        const std::string path = dir.path("out/a/") + name;
        expected += std::to_string(readFile(path).size()) + "\t" + path + "\n";
    }
    EXPECT_EQ(dry.out, expected);

    // Merge and join write into the folder given; a folder that is not there is refused.
    dry = cli(dir, "merge --dry-run --delete-sources --output-dir out src/a.txt src/a.txt");
    EXPECT_EQ(dry.out, "48\t" + dir.path("out/a等2个文件.txt") + "\n");
    EXPECT_EQ(listing(dir.path("out")), "a/ keep");
    EXPECT_EQ(listing(dir.path("src")), "a.txt");
    CliRun r = cli(dir, "merge --output-dir out src/a.txt");
    EXPECT_EQ(r.out, dir.path("out/a等1个文件.txt") + "\n");
    writeFile(dir.path("b.bin"), std::string(5000, 'b'));
    ASSERT_EQ(cli(dir, "split --parts 3 --manifest b.bin").status, 0);
    r = cli(dir, "join --output-dir out b/b_2.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("out/b.bin")), std::string(5000, 'b'));
    r = cli(dir, "split --output-dir nowhere b.bin");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "partwell-cli: not a folder: nowhere\n");
}

TEST(CliConsole, SizeWithoutUnitAndBlockAlignedParts) {
    TempDir dir;
    writeFile(dir.path("a.bin"), std::string(10000, 'a'));
    CliRun r = cli(dir, "split --size 0.000001 --dry-run a.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "partwell-cli: a size without a unit is taken as GB: 0.000001\n"));
    EXPECT_FALSE(has(cli(dir, "split --size 1GB --dry-run a.bin").err, "taken as GB"));

    // 10000 bytes in 4 parts of whole 4096-byte blocks: three parts, the last takes the rest.
    r = cli(dir, "split --parts 4 --align a.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("a")), "a_1.bin a_2.bin a_3.bin");
    EXPECT_EQ(readFile(dir.path("a/a_1.bin")).size(), 4096u);
    EXPECT_EQ(readFile(dir.path("a/a_3.bin")).size(), 10000u - 8192u);
    EXPECT_TRUE(has(r.err, "fewer parts than asked")) << r.err;
    // Parts already whole blocks stay as asked.
    writeFile(dir.path("c.bin"), std::string(4 * 8192, 'c'));
    r = cli(dir, "split --parts 4 --align c.bin");
    EXPECT_EQ(listing(dir.path("c")), "c_1.bin c_2.bin c_3.bin c_4.bin");
    EXPECT_FALSE(has(r.err, "fewer parts")) << r.err;
    EXPECT_EQ(cli(dir, "split --size 1KB --align a.bin").status, 2);
}

}  // namespace
}  // namespace pw::test
