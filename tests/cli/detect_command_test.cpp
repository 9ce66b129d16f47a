#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>
#include "support/gzip_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_run.h"
#include "platform/charset.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

CliRun detect(const TempDir& dir, const std::string& args) {
    return cli(dir, "detect " + args);
}

std::string encoded(const char* charset, const std::string& utf8) {
    return *convertCharset(utf8, "UTF-8", charset);
}

using pw::test::gzipped;

class CliDetect : public ::testing::Test {
  protected:
    void SetUp() override {
        if (detect(dir, "--help").err.find("unknown command") != std::string::npos)
            GTEST_SKIP() << "partwell-cli does not dispatch detect yet";
    }
    TempDir dir;
};

TEST_F(CliDetect, OneLinePerFileWithTheEncodingName) {
    const std::string text = "繁體中文";
    writeFile(dir.path("u8.txt"), text);
    writeFile(dir.path("gbk.txt"), encoded("GB18030", text));
    writeFile(dir.path("le.txt"), "\xFF\xFE" + encoded("UTF-16LE", text));
    writeFile(dir.path("be.txt"), "\xFE\xFF" + encoded("UTF-16BE", text));
    writeFile(dir.path("b5.htm"), "<meta charset=big5>" + encoded("BIG5", text));
    writeFile(dir.path("hk.htm"), "<meta charset=big5-hkscs>" + encoded("BIG5-HKSCS", text));
    writeFile(dir.path("名字.gz"), gzipped("\xEF\xBB\xBF" + text));
    const CliRun r = detect(dir, "u8.txt gbk.txt le.txt be.txt b5.htm hk.htm 名字.gz");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "UTF-8\tu8.txt\nGBK\tgbk.txt\nUTF-16LE\tle.txt\nUTF-16BE\tbe.txt\n"
              "BIG5\tb5.htm\nBIG5-HKSCS\thk.htm\nUTF-8\t名字.gz\n");
}

TEST_F(CliDetect, DecodeWritesTheTextInUtf8) {
    const std::string text = std::string(5 << 20, 'a') + "繁體 \xF0\x9F\x98\x80\n";
    writeFile(dir.path("be.txt"), "\xFE\xFF" + encoded("UTF-16BE", text));
    CliRun r = detect(dir, "--decode be.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out == text);
    EXPECT_EQ(r.err, "UTF-16BE\tbe.txt\n");

    writeFile(dir.path("gbk.txt"), encoded("GB18030", "简体"));
    EXPECT_EQ(detect(dir, "--decode gbk.txt").out, "简体");
}

TEST_F(CliDetect, RefusalsAndUnreadableFiles) {
    writeFile(dir.path("a.txt"), "abc");
    CliRun r = detect(dir, "missing.txt a.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "GBK\ta.txt\n");
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
    EXPECT_EQ(detect(dir, "").status, 2);
    EXPECT_EQ(detect(dir, "--bogus a.txt").status, 2);
    EXPECT_EQ(detect(dir, "--decode a.txt a.txt").status, 2);
    EXPECT_EQ(detect(dir, "-- --decode").status, 1);  // a file of that name, which is missing
}

// Peak memory of one `partwell-cli detect PATH`, in KiB.
long detectPeakKiB(const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(PARTWELL_CLI, PARTWELL_CLI, "detect", path.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

TEST_F(CliDetect, AGzipBombPeaksNearItsLimitNotTwice) {
    // 100 MB of zeros in 100 KB: past the 64 MiB limit, so the bytes are taken as they are.
    writeFile(dir.path("bomb.gz"), gzipped(std::string(100'000'000, '\0'), 1));
    const long peak = detectPeakKiB(dir.path("bomb.gz"));
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, (64 + 24) << 10);
}

}  // namespace
}  // namespace pw::test
