#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/cli_run.h"
#include "support/shell_in.h"

namespace pw::test {
namespace {

TEST(CliJoinScript, JoinShQuotesOddNamesAndRefusesAMissingOrAChangedPart) {
    TempDir dir;
    // Quotes, $, %, !, a backslash and Chinese: none may reach the shell as code.
    const std::string name = "it's $(touch pwned) %PATH% !x \\ 中文";
    std::string bytes;
    for (int i = 0; i < 10000; ++i) bytes += char(i * 7 % 251);
    writeFile(dir.path(name + ".bin"), bytes);
    CliRun r = cli(
        dir,
        "split --size 3KB --join-script --crc \"it's \\$(touch pwned) %PATH% !x \\\\ 中文.bin\"");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string folder = dir.path(name);
    EXPECT_TRUE(fileExists(folder + "/" + name + ".sha256"));  // implied --manifest
    EXPECT_EQ(readFile(folder + "/" + name + ".crc").substr(0, name.size() + 27),
              "filename=" + name + ".bin\r\nsize=10000\r\n");

    EXPECT_EQ(shellIn(folder, "sh join.sh"), 0);
    EXPECT_EQ(readFile(folder + "/" + name + ".bin"), bytes);
    EXPECT_FALSE(fileExists(folder + "/pwned"));
    EXPECT_FALSE(fileExists(dir.path("pwned")));
    EXPECT_EQ(shellIn(folder, "sh join.sh"), 1);  // the original is there: never replaced
    std::remove((folder + "/" + name + ".bin").c_str());

    // A missing part: nothing is written, not even a short file.
    const std::string second = folder + "/" + name + "_2.bin";
    std::rename(second.c_str(), dir.path("kept").c_str());
    EXPECT_EQ(shellIn(folder, "sh join.sh"), 1);
    EXPECT_FALSE(fileExists(folder + "/" + name + ".bin"));
    std::rename(dir.path("kept").c_str(), second.c_str());

    // A changed part of the same size: refused by its sum, nothing left behind.
    std::string changed = readFile(second);
    changed[100] ^= 1;
    writeFile(second, changed);
    EXPECT_EQ(shellIn(folder, "sh join.sh"), 1);
    EXPECT_FALSE(fileExists(folder + "/" + name + ".bin"));
    EXPECT_EQ(listing(folder).find("partwell-join"), std::string::npos) << listing(folder);

    // Byte modes only: a text mode's parts are not their source's bytes joined.
    EXPECT_EQ(cli(dir, "split --lines 3 --join-script x.txt").status, 2);
}

// cmd.exe is found only under Wine here. Wine 8 reads a batch file in the OEM code page after
// chcp 65001 and its certutil prints no hash, so a join may be refused there; what must hold on
// any cmd.exe is that the script gives the original exactly or leaves nothing behind.
TEST(CliJoinScript, JoinCmdGivesTheOriginalExactlyOrLeavesNothing) {
    TempDir dir;
    if (shellIn(dir.path(), "command -v wine") != 0)
        GTEST_SKIP() << "wine is not installed: join.cmd needs a cmd.exe";
    // A prefix of its own, gone with the folder once its server has ended.
    const std::string wine =
        "WINEDEBUG=-all WINEPREFIX='" + dir.path("wine") + "' TMPDIR='" + dir.path() + "'";
    std::string bytes;
    for (int i = 0; i < 10000; ++i) bytes += char(i * 13 % 251);
    for (const std::string name : {"plain", "中文 100%"}) {
        SCOPED_TRACE(name);
        writeFile(dir.path(name + ".bin"), bytes);
        ASSERT_EQ(cli(dir, "split --size 3KB --join-script \"" + name + ".bin\"").status, 0);
        const std::string folder = dir.path(name);
        for (bool missing : {false, true}) {
            const std::string second = folder + "/" + name + "_2.bin";
            if (missing) std::rename(second.c_str(), dir.path("kept").c_str());
            shellIn(folder, wine + " wine cmd /c join.cmd");
            const std::string joined = folder + "/" + name + ".bin";
            if (fileExists(joined)) {
                EXPECT_FALSE(missing);
                EXPECT_EQ(readFile(joined), bytes);
                std::remove(joined.c_str());
            }
            EXPECT_EQ(listing(folder).find("partwell-join"), std::string::npos) << listing(folder);
            if (missing) std::rename(dir.path("kept").c_str(), second.c_str());
        }
    }
    shellIn(dir.path(), wine + " wineserver -w");
}

TEST(CliJoinScript, TheCrcFileHoldsZlibsCrc32) {
    TempDir dir;
    writeFile(dir.path("a.txt"), "123456789");  // the CRC-32 check value
    ASSERT_EQ(cli(dir, "split --parts 2 --crc a.txt").status, 0);
    EXPECT_EQ(readFile(dir.path("a/a.crc")), "filename=a.txt\r\nsize=9\r\ncrc32=CBF43926\r\n");
    EXPECT_FALSE(fileExists(dir.path("a/a.sha256")));  // --crc alone writes no manifest
}

TEST(CliNames, ADottedSetJoinsWithAndWithoutItsManifest) {
    TempDir dir;
    std::string bytes(25000, 'x');
    for (size_t i = 0; i < bytes.size(); i += 97) bytes[i] = char('a' + i % 26);
    writeFile(dir.path("v.tar.gz"), bytes);
    CliRun r = cli(dir, "split --size 1KB --name '{name}.{ext}.{n:03}' v.tar.gz");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string folder = dir.path("v.tar");
    EXPECT_TRUE(fileExists(folder + "/v.tar.gz.001"));
    EXPECT_TRUE(fileExists(folder + "/v.tar.gz.025"));
    EXPECT_FALSE(fileExists(folder + "/v.tar.gz.026"));
    std::remove(dir.path("v.tar.gz").c_str());

    // No manifest: the numbers alone make the set, from a part or from the folder.
    r = cli(dir, "join v.tar/v.tar.gz.007");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("v.tar.gz")), bytes);
    std::remove(dir.path("v.tar.gz").c_str());
    r = cli(dir, "join v.tar");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("v.tar.gz")), bytes);
    std::remove(dir.path("v.tar.gz").c_str());

    // A gap is a missing part, not a shorter original.
    std::rename((folder + "/v.tar.gz.012").c_str(), dir.path("gap").c_str());
    EXPECT_NE(cli(dir, "join v.tar").status, 0);
    EXPECT_FALSE(fileExists(dir.path("v.tar.gz")));
    std::rename(dir.path("gap").c_str(), (folder + "/v.tar.gz.012").c_str());

    // With a manifest, which lists the dotted names.
    writeFile(dir.path("v.tar.gz"), bytes);
    r = cli(dir, "split --size 1KB --manifest --name '{name}.{ext}.{n:03}' v.tar.gz");
    ASSERT_EQ(r.status, 0) << r.err;
    std::remove(dir.path("v.tar.gz").c_str());
    r = cli(dir, "join v.tar/v.tar.sha256");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("v.tar.gz")), bytes);

    // A numbered extension is still an extension: log_1.2024 … are the parts of log.2024.
    writeFile(dir.path("log.2024"), bytes);
    ASSERT_EQ(cli(dir, "split --size 10KB log.2024").status, 0);
    std::remove(dir.path("log.2024").c_str());
    r = cli(dir, "join log");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("log.2024")), bytes);

    // A lone "backup.2024" is no set.
    TempDir other;
    writeFile(other.path("backup.2024"), "x");
    EXPECT_NE(cli(other, "join .").status, 0);
}

TEST(CliNames, PresetsSayHowManyPartsTheyGive) {
    TempDir dir;
    // Sparse files: only the dry run's arithmetic is asked for.
    ASSERT_EQ(shellIn(dir.path(), "truncate -s 36000001 m.bin && truncate -s 8589934590 f.bin"), 0);
    CliRun r = cli(dir, "split --dry-run --size mail m.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("m.bin: 3 parts of at most 18000000 bytes (mail)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("18000000\t" + dir.path("m/m_2.bin")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1\t" + dir.path("m/m_3.bin")), std::string::npos) << r.out;
    r = cli(dir, "split --dry-run --size FAT32 f.bin");  // 2 x (4 GiB - 1) exactly
    EXPECT_NE(r.err.find("f.bin: 2 parts of at most 4294967295 bytes (fat32)"), std::string::npos)
        << r.err;
    r = cli(dir, "split --dry-run --size cd --size dvd m.bin");  // the last one counts
    EXPECT_NE(r.err.find("1 part of at most 4700000000 bytes (dvd)"), std::string::npos) << r.err;
    r = cli(dir, "split --dry-run --size cd --size 1MB m.bin");  // a number ends the preset
    EXPECT_EQ(r.err.find("(cd)"), std::string::npos) << r.err;
    EXPECT_EQ(listing(dir.path()), "f.bin m.bin");
}

}  // namespace
}  // namespace pw::test
