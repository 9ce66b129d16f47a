// partwell-cli repair, and recovery files both ways with par2cmdline (Debian's par2), the
// reference for the format.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "cli/cli_run.h"
#include "support/par2_create.h"
#include "support/random_bytes.h"
#include "support/shell_in.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

struct Parts {
    std::vector<std::string> names, content;
};

Parts writeParts(const TempDir& dir, size_t count, size_t size, size_t last,
                 const std::string& stem = "p") {
    Parts p;
    for (size_t i = 0; i < count; ++i) {
        p.names.push_back(stem + "_" + std::to_string(i + 1) + ".bin");
        p.content.push_back(
            randomBytes(i + 1 < count ? size : last, static_cast<unsigned>(i + 40)));
        writeFile(dir.path(p.names.back()), p.content.back());
    }
    return p;
}

void expectWhole(const TempDir& dir, const Parts& p) {
    for (size_t i = 0; i < p.names.size(); ++i)
        EXPECT_TRUE(fileExists(dir.path(p.names[i])) &&
                    readFile(dir.path(p.names[i])) == p.content[i])
            << p.names[i];
}

TEST(CliRepair, ParCmdlineVerifiesAndRepairsOurSets) {
    if (!haveParCmdline())
        GTEST_SKIP() << "par2 (par2cmdline) is not installed: bash scripts/install-deps.sh test";
    // In one range, and in ranges read again from the parts.
    for (uint64_t memory : {par2::kRecoveryMemory, uint64_t{3000}}) {
        SCOPED_TRACE("memory " + std::to_string(memory));
        TempDir dir;
        // Names in the packets are UTF-8, as par2cmdline reads them.
        const Parts p = writeParts(dir, 4, 10000, 7777, "书");
        // An empty file is left out of the set, as par2cmdline leaves it.
        writeFile(dir.path("空.bin"), "");
        std::vector<std::string> names = p.names;
        names.push_back("空.bin");
        ASSERT_TRUE(createRecovery(dir.path(), names, "书", 2500, 8, memory));
        EXPECT_EQ(shellIn(dir.path(), "par2 verify -q 书.par2"), 0);
        std::remove(dir.path("书_2.bin").c_str());
        writeFile(dir.path("书_4.bin"),
                  p.content[3].substr(0, 3000) + "x" + p.content[3].substr(3001));
        EXPECT_EQ(shellIn(dir.path(), "par2 repair -q 书.par2"), 0);
        expectWhole(dir, p);
    }
}

TEST(CliRepair, RepairsFromParCmdlineSetsByAnyPathAndRefusesTooMuchDamage) {
    if (!haveParCmdline())
        GTEST_SKIP() << "par2 (par2cmdline) is not installed: bash scripts/install-deps.sh test";
    TempDir dir;
    const Parts p = writeParts(dir, 4, 3000, 1001);
    ASSERT_EQ(
        shellIn(dir.path(), "par2 create -q -s1000 -c8 p.par2 p_1.bin p_2.bin p_3.bin p_4.bin"), 0);
    const std::string whole = listing(dir.path());

    for (const std::string path : {"p_1.bin", ".", "p.par2", "p.vol1+2.par2"}) {
        SCOPED_TRACE(path);
        std::remove(dir.path("p_2.bin").c_str());
        writeFile(dir.path("p_3.bin"), p.content[2].substr(0, 2000));
        const CliRun r = cli(dir, "repair " + path);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("p_2.bin: MISSING\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("p_3.bin: DAMAGED\n"), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("partwell-cli: rebuilt: p_2.bin\n"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("files rebuilt: 2"), std::string::npos) << r.err;
        expectWhole(dir, p);
        EXPECT_EQ(listing(dir.path()), whole);
    }
    EXPECT_EQ(shellIn(dir.path(), "par2 verify -q p.par2"), 0);
    const CliRun intact = cli(dir, "repair p.par2");
    EXPECT_EQ(intact.status, 0);
    EXPECT_NE(intact.err.find("nothing to repair"), std::string::npos) << intact.err;

    // Three whole parts are nine slices; eight recovery slices cannot give them back.
    for (const char* name : {"p_1.bin", "p_2.bin", "p_3.bin"}) std::remove(dir.path(name).c_str());
    const std::string damaged = listing(dir.path());
    const CliRun r = cli(dir, "repair .");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("9 slices are damaged or missing and the recovery files hold 8 usable "
                         "recovery slices; 1 more are needed. Nothing was written."),
              std::string::npos)
        << r.err;
    EXPECT_EQ(listing(dir.path()), damaged);
}

// A recovery file from a stranger names a file outside its folder; another is garbage.
TEST(CliRepair, HostileRecoveryFilesAreRefusedOrSkipped) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.path("in").c_str(), 0755), 0);
    par2::FileDescription d;
    d.name = "../outside.bin";
    d.length = 8;
    d.fileId = par2::fileIdOf(d.headMd5, d.length, d.name);
    const std::string main = par2::mainBody(8, {d.fileId});
    const par2::Id set = md5Of(main);
    std::string bytes = par2::packet(set, par2::kMainType, main) +
                        par2::packet(set, par2::kFileDescType, par2::fileDescriptionBody(d)) +
                        par2::packet(set, par2::kSliceChecksumType,
                                     par2::sliceChecksumBody(d.fileId, {par2::SliceChecksum{}}));
    writeFile(dir.path("in/evil.par2"), bytes);
    const CliRun r = cli(dir, "repair in/evil.par2");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a plain file name, nothing is used: ../outside.bin"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fileExists(dir.path("outside.bin")));
    EXPECT_EQ(listing(dir.path("in")), "evil.par2");

    TempDir good;
    const Parts p = writeParts(good, 2, 4000, 4000);
    ASSERT_TRUE(createRecovery(good.path(), p.names, "p", 1000, 4));
    writeFile(good.path("junk.par2"), randomBytes(5000, 9));
    std::remove(good.path("p_1.bin").c_str());
    const CliRun g = cli(good, "repair p_2.bin");
    EXPECT_EQ(g.status, 0) << g.err;
    EXPECT_NE(g.err.find("junk.par2: no recovery data in it, skipped"), std::string::npos) << g.err;
    expectWhole(good, p);

    // Two sets in one folder: a part or a .par2 says which, the folder alone does not.
    const Parts q = writeParts(good, 2, 4000, 4000, "q");
    ASSERT_TRUE(createRecovery(good.path(), q.names, "q", 1000, 4));
    std::remove(good.path("q_2.bin").c_str());
    const CliRun both = cli(good, "repair .");
    EXPECT_EQ(both.status, 1);
    EXPECT_NE(both.err.find("holds more than one recovery set"), std::string::npos) << both.err;
    EXPECT_FALSE(fileExists(good.path("q_2.bin")));
    EXPECT_EQ(cli(good, "repair q_2.bin").status, 0);
    expectWhole(good, q);
}

pid_t startRepair(const TempDir& dir) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.path().c_str()) != 0) ::_exit(127);
        ::freopen("/dev/null", "w", stdout);
        ::freopen("/dev/null", "w", stderr);
        ::execl(PARTWELL_CLI, PARTWELL_CLI, "repair", "big.par2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

// Killed at any moment, a repair leaves the lost part either missing or whole under its name.
TEST(CliRepair, AKillDuringRepairLeavesNoPartialFileUnderItsName) {
    TempDir dir;
    const Parts p = writeParts(dir, 4, 8 << 20, 8 << 20);
    ASSERT_TRUE(
        createRecovery(dir.path(), p.names, "big", 2 << 20, 4, par2::kRecoveryMemory, 1 << 20));
    int killedMidway = 0;
    for (int delayMs : {0, 5, 20, 60, 150}) {
        SCOPED_TRACE("killed after " + std::to_string(delayMs) + " ms");
        std::remove(dir.path("p_3.bin").c_str());
        const pid_t pid = startRepair(dir);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (fileExists(dir.path("p_3.bin")))
            EXPECT_TRUE(readFile(dir.path("p_3.bin")) == p.content[2])
                << "a partial part under its name";
        else
            ++killedMidway;
    }
    EXPECT_GT(killedMidway, 0) << "every repair ended before its signal";
    // SIGTERM stops it and its temporary file goes with it (a killed one's goes with the next
    // repair in the folder).
    std::remove(dir.path("p_3.bin").c_str());
    const pid_t pid = startRepair(dir);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!fileExists(dir.path("p_3.bin"))) {
        // Ended by its own handler, or by the signal itself when it came before the handlers were
        // set (a slow start under the sanitizers), when no temporary file existed yet.
        EXPECT_TRUE((WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) ||
                    (WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM))
            << status;
        const std::string own = ".~partwell-" + std::to_string(pid) + "-";
        EXPECT_EQ(listing(dir.path()).find(own), std::string::npos) << listing(dir.path());
    }
}

}  // namespace
}  // namespace pw::test
