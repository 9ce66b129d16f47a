// What the command line refuses before it writes anything, and how it names what failed.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/cli_run.h"
#include "cli/cli_support.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliChecks, NumbersAndPatternsAreRefusedWithTheirOwnMessages) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "a\nb\nc\n");
    for (const char* size : {"inf", "NaN", "1.5%", "0x10B"}) {
        const CliRun r = cli(dir, std::string("split --size '") + size + "' a.txt");
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_TRUE(has(r.err, "not a usable number")) << size << ": " << r.err;
    }
    // Exponents read as the window reads them: too small is the window's refusal, too large one
    // part.
    for (const char* size : {"1e-8B", "-1e30B", "0.4B"}) {
        const CliRun r = cli(dir, std::string("split --size '") + size + "' a.txt");
        EXPECT_EQ(r.status, 2) << size;
        EXPECT_EQ(r.err, "partwell-cli: the part size must not be 0\n") << size;
    }
    for (const char* size : {"1e30B", "1e999"}) {
        const CliRun r = cli(dir, std::string("split --dry-run --size ") + size + " a.txt");
        EXPECT_EQ(r.status, 0) << size << r.err;
        EXPECT_EQ(r.out, "6\t" + dir.path("a/a_1.txt") + "\n") << size;
    }
    EXPECT_TRUE(has(cli(dir, "split --size 5XB a.txt").err, "the unit must be"));

    CliRun r = cli(dir, "split --types '|' .");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "--types holds no pattern")) << r.err;
    EXPECT_EQ(cli(dir, "merge --types '||' .").status, 2);

    // Counts as the window reads them: full-width digits, and its own refusals.
    r = cli(dir, "split --lines 0 a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "partwell-cli: a line count must be at least 1")) << r.err;
    r = cli(dir, "split --chars 0-3 a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "a character count must be at least 1")) << r.err;
    EXPECT_TRUE(has(cli(dir, "split --lines -4 a.txt").err, "a line count must be at least 1"));
    EXPECT_EQ(cli(dir, "split --lines x a.txt").err,
              "partwell-cli: a line count must be at least 1\n");
    EXPECT_EQ(cli(dir, "split --chars y a.txt", "LANGUAGE= LC_ALL= LANG=zh_CN.UTF-8").err,
              "partwell-cli: 字数至少 1 个\n");
    r = cli(dir, "split --chars 1.5 --dry-run a.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.out, "1\t" + dir.path("a/a_6.txt") + "\n")) << r.out;
    EXPECT_EQ(listing(dir.path()), "a.txt");
    r = cli(dir, "split --lines ２－２ a.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "a\r\nb");

    // Too many parts: refused before a file is written.
    r = cli(dir, "split --parts 99999999999 a.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "1000000")) << r.err;
    EXPECT_EQ(listing(dir.path()), "a.txt a/");
}

TEST(CliChecks, EveryFailureIsNamedWithItsReason) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "0123456789");
    CliRun r = cli(dir, "split --parts 2 missing.txt a.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        has(r.err, "partwell-cli: " + dir.path("missing.txt") + ": No such file or directory\n"))
        << r.err;

    // A mistyped merge writes nothing and says why.
    r = cli(dir, "merge nothere.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "files written: 0")) << r.err;
    EXPECT_TRUE(has(r.err, dir.path("nothere.txt") + ": No such file or directory")) << r.err;
    r = cli(dir, "merge nothere/");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(listing(dir.path()), "a.txt a/");

    // A separator file that opens but cannot be read is refused before anything is written.
    writeFile(dir.path("b.txt"), "b");
    r = cli(dir, "merge --separator-file /proc/self/mem a.txt b.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(has(r.err, "Input/output error")) << r.err;
    EXPECT_EQ(listing(dir.path()), "a.txt a/ b.txt");

    // Standard output that cannot be written is a failure.
    const auto toFullDisk = [&](const std::string& args) {
        const std::string errFile = dir.path("err.log");
        const int raw = std::system(("cd '" + dir.path() + "' && '" + PARTWELL_CLI + "' " + args +
                                     " >/dev/full 2>'" + errFile + "'")
                                        .c_str());
        CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, "", readFile(errFile)};
        std::remove(errFile.c_str());
        return run;
    };
    r = toFullDisk("detect a.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "write error: No space left on device")) << r.err;
    EXPECT_EQ(toFullDisk("--version").status, 1);
}

TEST(CliChecks, VerifyAndRepairTakeOnePathAndTheirOwnOptionsOnly) {
    TempDir dir;
    for (const char* command : {"verify", "repair"}) {
        const std::string c = command;
        EXPECT_EQ(cli(dir, c + " a b").err, "partwell-cli: give one path only: b\n");
        EXPECT_EQ(cli(dir, c + " --bogus a").err, "partwell-cli: unknown option: --bogus\n");
        const CliRun none = cli(dir, c);
        EXPECT_EQ(none.status, 2);
        EXPECT_TRUE(none.err.starts_with("partwell-cli: no file or folder given\n")) << none.err;
        const CliRun help = cli(dir, c + " a b --help");
        EXPECT_EQ(help.status, 2);  // the second path is refused before --help is seen
        EXPECT_EQ(cli(dir, c + " --help a b").status, 0);
    }
    // --source takes the next argument, whatever it looks like, and only verify has it.
    EXPECT_EQ(cli(dir, "verify a --source").err,
              "partwell-cli: the option needs a value: --source\n");
    EXPECT_EQ(cli(dir, "verify --source --help").err,
              "partwell-cli: no file or folder given\n" + cli(dir, "verify --help").out);
    EXPECT_EQ(cli(dir, "repair --source x a").err, "partwell-cli: unknown option: --source\n");
}

TEST(CliChecks, APathWithSpacesOrControlCharactersIsQuotedAsAShellReadsItBack) {
    using cli::quotePath;
    for (const char* plain : {"/a/b.txt", "/a/it's.txt", "/文件/中文.txt", ""})
        EXPECT_EQ(quotePath(plain), plain);
    EXPECT_EQ(quotePath("/a b/c"), "'/a b/c'");
    EXPECT_EQ(quotePath("it's a"), R"('it'\''s a')");
    EXPECT_EQ(quotePath("a\nb"), R"('a'$'\n''b')");
    EXPECT_EQ(quotePath("a\t\r"), R"('a'$'\t\r')");
    EXPECT_EQ(quotePath("\x1b[1m\x7f"), R"(''$'\033''[1m'$'\177')");

    // In a failure's message, as the shell gave the name.
    TempDir dir;
    const CliRun r = cli(dir, "split --parts 2 \"$(printf 'no such\\nfile')\"");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "partwell-cli: '" + dir.path("no such") +
                               "'$'\\n''file': No such file or directory\n"))
        << r.err;
}

TEST(CliChecks, PathsAreNormalisedBeforeTheParentFolderRule) {
    TempDir dir;
    writeFile(dir.path("p/d/a.txt"), "a");
    writeFile(dir.path("p/d/b.txt"), "b");
    // "./", "/." and "//" would otherwise make the output's folder the files' own.
    CliRun r = cli(dir, "merge ./p/d/./a.txt p/d//b.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("p/a等2个文件.txt") + "\n");
    r = cli(dir, "merge p/d/.");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, dir.path("p/a等2个文件.txt") + "\n");
    EXPECT_EQ(listing(dir.path("p/d")), "a.txt b.txt");
    r = cli(dir, "merge p/x/../d/a.txt");
    EXPECT_EQ(r.out, dir.path("p/a等1个文件.txt") + "\n");
}

// The kernel set PARTWELL_KERNELS pins changes no byte of what a command writes; a name that is no
// set is said, and the job done with the best one.
TEST(CliChecks, PinnedKernelSetsWriteTheSameParts) {
    TempDir dir;
    std::string prose;
    for (int i = 0; prose.size() < 20000; ++i)
        prose +=
            "第" + std::to_string(i) + "章 他说：“你好，世界！” The year was 2024; 天气很好。\r\n";
    const auto run = [&](const std::string& kernels) {
        const std::string folder = "k_" + kernels + "/";
        writeFile(dir.path(folder + "u8.txt"), prose);
        writeFile(dir.path(folder + "gb.txt"), pw::lit(prose));
        const std::string env = "LANGUAGE= LC_ALL=C.UTF-8 PARTWELL_KERNELS=" + kernels;
        CliRun r = cli(dir, "split --chars 800 " + folder + "u8.txt " + folder + "gb.txt", env);
        EXPECT_EQ(r.status, 0) << r.err;
        const CliRun detected = cli(dir, "detect " + folder + "u8.txt " + folder + "gb.txt", env);
        std::string written = detected.out;
        for (size_t at; (at = written.find(folder)) != std::string::npos;)
            written.erase(at, folder.size());
        for (const std::string sub : {"u8/", "gb/"}) {
            const std::string names = listing(dir.path(folder + sub));
            std::istringstream in(names);
            written += names;
            for (std::string name; in >> name;) written += readFile(dir.path(folder + sub + name));
        }
        return std::pair{r.err, written};
    };
    const auto [bestErr, best] = run("");
    EXPECT_FALSE(has(bestErr, "PARTWELL_KERNELS")) << bestErr;
    EXPECT_GT(best.size(), prose.size());
    const auto [scalarErr, scalar] = run("scalar");
    EXPECT_FALSE(has(scalarErr, "PARTWELL_KERNELS")) << scalarErr;
    EXPECT_TRUE(scalar == best);
    for (const std::string kernels : {"sse2", "avx2"}) EXPECT_TRUE(run(kernels).second == best);
    const auto [unknownErr, unknown] = run("avx9");
    EXPECT_TRUE(has(unknownErr, "PARTWELL_KERNELS=avx9: not a kernel set")) << unknownErr;
    EXPECT_TRUE(unknown == best);
}

}  // namespace
}  // namespace pw::test
