#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace pw::test {
namespace {

struct CliRun {
    int status;
    std::string err;
};

// Runs partwell-cli with a shell command line; standard error is captured.
CliRun cli(const TempDir& dir, const std::string& args) {
    const std::string errFile = dir.path("stderr.log");
    const std::string command = "cd '" + dir.path() + "' && '" + std::string(PARTWELL_CLI) + "' " +
                                args + " 2>'" + errFile + "' >/dev/null";
    const int raw = std::system(command.c_str());
    CliRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(errFile)};
    std::remove(errFile.c_str());
    return r;
}

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
    EXPECT_NE(r.err.find("份数必须大于0"), std::string::npos) << r.err;  // UTF-8 on stderr
    EXPECT_EQ(cli(dir, "split --size 1TB a.txt").status, 2);
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
    EXPECT_NE(r.err.find("行数至少 1"), std::string::npos) << r.err;
    r = cli(dir, "split --chars 5-0 t.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("字数至少 1 个"), std::string::npos) << r.err;
    for (const char* bad : {"--lines x", "--lines 3-", "--chars -3", "--chars 1-2-3", "--lines"}) {
        r = cli(dir, std::string("split ") + bad + " t.txt");
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
}

}  // namespace
}  // namespace pw::test
