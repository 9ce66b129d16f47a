#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_run.h"

namespace pw::test {
namespace {

TEST(CliSplit, OptionsFillTheWindowAndExitStatusTellsTheOutcome) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "0123456789");
    writeFile(dir.path("in/x.log"), "abcdef");
    writeFile(dir.path("in/y.txt"), "ghijkl");

    CliRun r = cli(dir, "split --parts 3 a.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("a/a_3.txt")), "6789");

    r = cli(dir, "split --size 4B --no-subfolder --delete-source a.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("a_1.txt")) + readFile(dir.path("a_2.txt")) +
                  readFile(dir.path("a_3.txt")),
              "0123456789");
    EXPECT_FALSE(fileExists(dir.path("a.txt")));

    // Full-width forms fold, the unit's too: １．５ＫＢ is 1536 bytes.
    writeFile(dir.path("k.bin"), std::string(4000, 'k'));
    r = cli(dir, "split --size '１．５ＫＢ' k.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("k")), "k_1.bin k_2.bin k_3.bin");

    r = cli(dir, "split --size 0.002kb --types '*.log' in");  // a folder: its matching files
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("in")), "x.log x/ y.txt");
    EXPECT_EQ(listing(dir.path("in/x")), "x_1.log x_2.log x_3.log");
}

TEST(CliSplit, RefusalsAndFailures) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "0123456789");
    CliRun r = cli(dir, "split --parts 0 a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("partwell-cli: the number of parts must be greater than 0"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(cli(dir, "split --size 1TB a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split --size 1.5K a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split --size 1.5% a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split --size -1e30 a.txt").status, 2);
    EXPECT_EQ(listing(dir.path()), "a.txt");
    EXPECT_EQ(cli(dir, "split --bogus a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split").status, 2);
    EXPECT_EQ(cli(dir, "frobnicate").status, 2);
    EXPECT_EQ(cli(dir, "split --help").status, 0);

    r = cli(dir, "split --parts 2 missing.txt a.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readFile(dir.path("a/a_2.txt")), "56789");
}

TEST(CliSplit, TextModes) {
    TempDir dir;
    writeFile(dir.path("t.txt"), "a\rb\n\t \nc\nd\n");
    CliRun r = cli(dir, "split --lines 2 --skip-blank-lines t.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("t/t_1.txt")), "a\rb\r\nc");
    EXPECT_EQ(readFile(dir.path("t/t_2.txt")), "d");

    r = cli(dir, "split --lines 3-2 --detect-encoding --fix-line-breaks --no-subfolder t.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("t_1.txt")).substr(0, 3), "a\r\n");

    writeFile(dir.path("c.txt"), "一二三");
    r = cli(dir, "split --chars 2 c.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("c/c_2.txt")), "\xEF\xBB\xBF三");

    r = cli(dir, "split --fix-line-breaks --lines 2 t.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--detect-encoding"), std::string::npos) << r.err;
    r = cli(dir, "split --lines 0 t.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("a line count must be at least 1"), std::string::npos) << r.err;
    r = cli(dir, "split --chars 5-0 t.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("a character count must be at least 1"), std::string::npos) << r.err;
    for (const char* bad : {"--lines x", "--lines 3-", "--chars -3", "--chars 1-0-3", "--lines"}) {
        r = cli(dir, std::string("split ") + bad + " t.txt");
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
}

TEST(CliSplit, PipesAreUnreadableSourcesNeverDeletedNorWaitedFor) {
    TempDir dir;
    writeFile(dir.path("d/a.txt"), "abcd");
    ASSERT_EQ(::mkfifo(dir.path("d/p.txt").c_str(), 0600), 0);
    CliRun r = cli(dir, "split --parts 2 --delete-source d");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("files that could not be read: 1"), std::string::npos) << r.err;
    EXPECT_EQ(listing(dir.path("d")), "a/ p.txt");
    EXPECT_EQ(listing(dir.path("d/a")), "a_1.txt a_2.txt");
    EXPECT_EQ(cli(dir, "detect d/p.txt").status, 1);
}

TEST(CliSplit, AJobThatWritesNothingLeavesNothingAndPartsStayInTheFolder) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "abcd");
    ASSERT_EQ(::symlink("gone.txt", dir.path("dangling.txt").c_str()), 0);
    EXPECT_EQ(cli(dir, "split --size 0 a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split --parts 2 missing.txt dangling.txt").status, 1);
    EXPECT_EQ(listing(dir.path()), "a.txt dangling.txt");

    // A base name ".." must not send the parts to the parent folder.
    writeFile(dir.path("in/...txt"), "xy");
    EXPECT_EQ(cli(dir, "split --parts 2 in/...txt").status, 0);
    EXPECT_EQ(listing(dir.path("in")), "...txt _../");
    EXPECT_EQ(listing(dir.path("in/_..")), ".._1.txt .._2.txt");
    EXPECT_EQ(listing(dir.path()), "a.txt dangling.txt in/");
}

// Starts partwell-cli on a file of 1 GiB of zeros in 1 MB parts, sends `signal` `count` times
// once it has written some parts, and returns its exit status.
int splitInterrupted(const TempDir& dir, int signal, int count) {
    const std::string big = dir.path("big.bin");
    writeFile(big, "");
    std::filesystem::resize_file(big, 1 << 30);  // sparse: no disk until written
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stderr);
        ::execl(PARTWELL_CLI, PARTWELL_CLI, "split", "--size", "1MB", big.c_str(), nullptr);
        ::_exit(127);
    }
    while (!fileExists(dir.path("big/big_3.bin"))) ::usleep(1000);
    for (int i = 0; i < count; ++i) {
        ::kill(pid, signal);
        ::usleep(1000);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(CliSplit, SignalsStopTheJobAndLeaveNoTemporaryFile) {
    TempDir dir;
    EXPECT_EQ(splitInterrupted(dir, SIGINT, 1), 130);
    std::string parts = listing(dir.path("big"));
    EXPECT_EQ(parts.find(".~"), std::string::npos) << parts;
    EXPECT_LT(std::count(parts.begin(), parts.end(), ' '), 1023);
    std::filesystem::remove_all(dir.path("big"));

    EXPECT_EQ(splitInterrupted(dir, SIGTERM, 2), 143);  // the second ends it at once
    parts = listing(dir.path("big"));
    EXPECT_EQ(parts.find(".~"), std::string::npos) << parts;
    std::filesystem::remove_all(dir.path("big"));
    std::filesystem::remove(dir.path("big.bin"));
}

TEST(CliSplit, NamesThatAreNotUtf8PickTheirOwnFile) {
    TempDir dir;
    writeFile(dir.path("bad\xFF.txt"), "abcd");
    writeFile(dir.path("\xFF\xFE.txt"), "mine");
    writeFile(dir.path("\xEF\xBF\xBD\xEF\xBF\xBD.txt"), "other");

    CliRun r = cli(dir, "split --parts 2 \"$(printf 'bad\\377.txt')\"");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("bad\xFF/bad\xFF_1.txt")), "ab");
    EXPECT_EQ(readFile(dir.path("bad\xFF/bad\xFF_2.txt")), "cd");

    r = cli(dir, "split --parts 2 --no-subfolder --delete-source \"$(printf '\\377\\376.txt')\"");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fileExists(dir.path("\xFF\xFE.txt")));
    EXPECT_EQ(readFile(dir.path("\xFF\xFE_1.txt")) + readFile(dir.path("\xFF\xFE_2.txt")), "mine");
    EXPECT_EQ(readFile(dir.path("\xEF\xBF\xBD\xEF\xBF\xBD.txt")), "other");

    // A folder listing hands the same bytes on.
    writeFile(dir.path("in/\xB0\xA1.txt"), "xy");
    r = cli(dir, "split --parts 2 in");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("in/\xB0\xA1")), "\xB0\xA1_1.txt \xB0\xA1_2.txt");
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

TEST(CliSplit, DelimiterFromTheCommandLineOrAFile) {
    TempDir dir;
    writeFile(dir.path("crlf.txt"), "a\r\nb\nc\r\nd");
    CliRun r = cli(dir, "split --delimiter '\n' crlf.txt");  // a line break means CR LF
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("crlf")), "crlf_1.txt crlf_2.txt crlf_3.txt");
    EXPECT_EQ(readFile(dir.path("crlf/crlf_2.txt")), "b\nc");

    // UTF-8 on the command line, UTF-8 in the delimiter file, UTF-8 parts.
    writeFile(dir.path("book.txt"), "序第一章甲第一章乙");
    r = cli(dir, "split --delimiter 第一章 book.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("book/book_2.txt")), "\xEF\xBB\xBF甲");
    writeFile(dir.path("mark.txt"), "甲第");
    writeFile(dir.path("two.txt"), "1甲第2甲第3");
    r = cli(dir, "split --parts 3 --delimiter-file mark.txt --no-subfolder two.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("two_3.txt")),
              "\xEF\xBB\xBF"
              "3");
}

TEST(CliSplit, AnEmptyOrUnreadableDelimiterIsRefused) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "a|b");
    CliRun r = cli(dir, "split --delimiter '' a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("partwell-cli: give the text to cut at"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(dir.path("a")));  // no folder made
    EXPECT_EQ(cli(dir, "split --delimiter-file missing.txt a.txt").status, 2);
    EXPECT_EQ(cli(dir, "split --delimiter").status, 2);
    // The last mode given wins.
    EXPECT_EQ(cli(dir, "split --delimiter '' --parts 2 a.txt").status, 0);
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

TEST(CliSplit, ChaptersPreviewWritesNothingAndTheSplitNamesPartsAfterHeadings) {
    TempDir dir;
    writeFile(dir.path("book.txt"), "序\n第一章 风起\n甲\n第二章 云涌\n乙\n");
    writeFile(dir.path("plain.txt"), "没有标题\n");
    CliRun r = cli(dir, "split --chapters --dry-run book.txt plain.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "book.txt：共 2 章，分为 3 份\n份\t字数\t章节\n1\t2\t（第一个标题之前的文字）\n"
        "2\t9\t第一章 风起\n3\t9\t第二章 云涌\n\nplain.txt：未找到章节标题，此文件不会被分割\n");
    EXPECT_EQ(listing(dir.path()), "book.txt plain.txt");

    // A count after --chapters is optional; a path that follows is no count.
    r = cli(dir, "split --chapters 2 --heading-max-length 10 book.txt plain.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(listing(dir.path("book")), "book_1.txt book_2 第一章 风起.txt");
    EXPECT_NE(r.err.find("plain.txt: no chapter heading found"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(dir.path("plain")));

    // A GBK book's parts are its own bytes: the manifest joins them back into the original.
    const std::string gbk = "\xD0\xF2\r\n\xB5\xDA\xD2\xBB\xD5\xC2\r\n\xBC\xD7\r\n";  // 序 第一章 甲
    writeFile(dir.path("gbk.txt"), gbk);
    r = cli(dir, "split --chapters --manifest --delete-source gbk.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fileExists(dir.path("gbk.txt")));
    r = cli(dir, "join gbk");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("gbk.txt")), gbk);

    for (const char* refused :
         {"split --chapters 0 book.txt", "split --chapters --heading-max-length x book.txt",
          "split --chapters --heading-regex '(' book.txt"})
        EXPECT_EQ(cli(dir, refused).status, 2) << refused;
    // A pattern that does not compile: PCRE2's reason and place, and only the pattern's head.
    EXPECT_EQ(cli(dir, "split --chapters --heading-regex '章(abc' book.txt").err,
              "partwell-cli: --heading-regex does not compile (missing closing parenthesis, at "
              "character 6): 章(abc\n");
    r = cli(dir, "split --chapters --heading-regex \"$(printf '(%.0s' $(seq 300))\" book.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.ends_with("): " + std::string(80, '(') + "…\n")) << r.err;
}

}  // namespace
}  // namespace pw::test
