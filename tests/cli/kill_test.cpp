// partwell-cli killed in the middle of a split: whatever moment the signal comes, the source is
// whole (or was deleted only with all its parts), and no final name holds an incomplete part.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

constexpr size_t kPartSize = 4096;
constexpr size_t kParts = 2048;

// Eight-byte records numbered in order: each part's place in the source shows in its text.
std::string bigSource() {
    std::string out;
    out.reserve(kPartSize * kParts);
    char record[16];
    for (size_t i = 0; out.size() < kPartSize * kParts; ++i) {
        std::snprintf(record, sizeof record, "%07zu\n", i);
        out += record;
    }
    return out;
}

pid_t startSplit(const TempDir& dir) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.path().c_str()) != 0) ::_exit(127);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(PARTWELL_CLI, PARTWELL_CLI, "split", "--size", "4KB", "--delete-source", "big.txt",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

size_t entriesIn(const std::string& folder) {
    std::error_code ec;
    size_t n = 0;
    for (auto it = stdfs::directory_iterator(folder, ec); !ec && it != stdfs::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

// Waits until the part folder holds `entries` names (or the job ended), then sends the signal.
int signalWhen(const TempDir& dir, pid_t pid, size_t entries, int signal) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (entriesIn(dir.path("big")) < entries && std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ::kill(pid, signal);
    ::waitpid(pid, &status, 0);
    return status;
}

struct Leftovers {
    size_t parts = 0;
    std::vector<std::string> temporaries;
};

// Every part under a final name is exactly its piece of the source.
Leftovers checkParts(const TempDir& dir, const std::string& source) {
    Leftovers left;
    std::error_code ec;
    for (auto it = stdfs::directory_iterator(dir.path("big"), ec);
         !ec && it != stdfs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(".~partwell-")) {
            left.temporaries.push_back(name);
            continue;
        }
        size_t number = 0;
        EXPECT_EQ(std::sscanf(name.c_str(), "big_%zu.txt", &number), 1) << name;
        EXPECT_TRUE(number >= 1 && number <= kParts) << name;
        if (number < 1 || number > kParts) continue;
        EXPECT_TRUE(readFile(it->path().string()) ==
                    source.substr((number - 1) * kPartSize, kPartSize))
            << "incomplete part " << name;
        ++left.parts;
    }
    if (fileExists(dir.path("big.txt")))
        EXPECT_TRUE(readFile(dir.path("big.txt")) == source) << "the source changed";
    else
        EXPECT_EQ(left.parts, kParts) << "the source went without all its parts";
    return left;
}

TEST(CliKill, SigkillAtAnyMomentLosesNothing) {
    const std::string source = bigSource();
    int killedMidway = 0;
    for (size_t entries : {size_t(0), size_t(1), size_t(300), size_t(1500)}) {
        SCOPED_TRACE("killed once the part folder held " + std::to_string(entries) + " names");
        TempDir dir;
        writeFile(dir.path("big.txt"), source);
        signalWhen(dir, startSplit(dir), entries, SIGKILL);
        killedMidway += checkParts(dir, source).parts < kParts;
    }
    EXPECT_GT(killedMidway, 0) << "every job ended before its signal";
}

TEST(CliKill, TheNextJobRemovesTheTemporaryFileOfAKilledOne) {
    const std::string source = bigSource();
    TempDir dir;
    writeFile(dir.path("big.txt"), source);
    const pid_t killed = startSplit(dir);
    signalWhen(dir, killed, 300, SIGKILL);
    // Whether or not the kill caught a part being written, a file of the dead process is there.
    writeFile(dir.path("big/.~partwell-" + std::to_string(killed) + "-0.tmp"), "half a part");
    int status = 0;
    ::waitpid(startSplit(dir), &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const Leftovers left = checkParts(dir, source);
    EXPECT_EQ(left.parts, kParts);
    EXPECT_TRUE(left.temporaries.empty()) << left.temporaries.front();
}

TEST(CliKill, InterruptStopsAfterThePartAndCleansUp) {
    const std::string source = bigSource();
    int stoppedMidway = 0;
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        TempDir dir;
        writeFile(dir.path("big.txt"), source);
        const int status = signalWhen(dir, startSplit(dir), 200, signal);
        const Leftovers left = checkParts(dir, source);
        EXPECT_TRUE(left.temporaries.empty()) << left.temporaries.front();
        if (left.parts == kParts) continue;  // the job ended before the signal came
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_TRUE(fileExists(dir.path("big.txt")));
        ++stoppedMidway;
    }
    EXPECT_GT(stoppedMidway, 0) << "every job ended before its signal";
}

}  // namespace
}  // namespace pw::test
