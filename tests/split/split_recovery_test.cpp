// Recovery files written by the split itself: the byte modes' one pass, and a stop while the
// recovery data is summed.

#include <sys/wait.h>

#include <filesystem>

#include "support/par2_create.h"
#include "support/shell_in.h"
#include "support/split_fixture.h"

namespace pw::test {
namespace {

// The real files, counting how often a part is opened for reading.
class ReadCountingFiles : public FileSystem {
  public:
    explicit ReadCountingFiles(FileSystem& real) : real_(real) {}
    int partReads = 0;

    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override {
        const Text name = path.substr(path.rfind('/') + 1);
        if (mode == OpenMode::Read && name.starts_with("d_")) ++partReads;
        return real_.open(path, mode);
    }
    bool exists(const Text& path) override { return real_.exists(path); }
    bool isFolder(const Text& path) override { return real_.isFolder(path); }
    bool createFolder(const Text& path) override { return real_.createFolder(path); }
    bool remove(const Text& path) override { return real_.remove(path); }
    bool rename(const Text& from, const Text& to) override { return real_.rename(from, to); }
    bool renameNew(const Text& from, const Text& to) override { return real_.renameNew(from, to); }
    std::optional<FileId> fileId(const Text& path) override { return real_.fileId(path); }
    std::optional<std::vector<FolderEntry>> listFolder(const Text& folder) override {
        return real_.listFolder(folder);
    }
    bool removeFolder(const Text& path) override { return real_.removeFolder(path); }
    bool isLink(const Text& path) override { return real_.isLink(path); }
    std::optional<Text> resolvedPath(const Text& path) override { return real_.resolvedPath(path); }
    std::error_code lastError() const override { return real_.lastError(); }
    bool onDisk() const override { return real_.onDisk(); }

  private:
    FileSystem& real_;
};

std::string someBytes(size_t n) {
    std::string data(n, '\0');
    uint32_t x = 12345;
    for (char& c : data) c = char((x = x * 1103515245 + 12345) >> 23);
    return data;
}

std::vector<std::string> par2Names(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".par2") out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

class RecoverySplit : public SplitFixture {};

// Slices over 1 MiB (the builder's chunks) and an odd last part: the sums taken while the parts
// are written are the set a second read of the parts gives, byte for byte.
TEST_F(RecoverySplit, ByteModesSumAsTheyWriteAndGiveTheSetOfASecondRead) {
    const std::string data = someBytes(9000001);
    writeFile(dir.path("d.bin"), data);
    byCount("2");
    options.set.recovery = {1, 0};
    ReadCountingFiles files(posixFileSystem());
    SplitContext ctx{{host, files, systemClock()}, options, splitHost};
    const SplitSummary summary = splitFiles(ctx, {fromUtf8(dir.path("d.bin"))});
    ASSERT_EQ(summary.partsWritten, 2);
    ASSERT_EQ(summary.recoveryIndexes.size(), 1u);
    EXPECT_EQ(files.partReads, 0);

    // The same set from the parts read again, in pieces of another size, and with too little
    // memory for the slices: a range of them at a time.
    std::filesystem::create_directory(dir.path("again"));
    for (const char* part : {"d_1.bin", "d_2.bin"})
        std::filesystem::copy_file(dir.path(std::string("d/") + part),
                                   dir.path(std::string("again/") + part));
    const uint64_t slice = (4500001 / 4 + 1 + 3) / 4 * 4;
    ASSERT_TRUE(
        createRecovery(dir.path("again"), {"d_1.bin", "d_2.bin"}, "d", slice, 4, 4 * 300000));
    ASSERT_EQ(par2Names(dir.path("d")), par2Names(dir.path("again")));
    for (const std::string& name : par2Names(dir.path("d")))
        EXPECT_TRUE(readFile(dir.path("d/" + name)) == readFile(dir.path("again/" + name))) << name;

    if (!haveParCmdline()) GTEST_SKIP() << "par2 (par2cmdline) is not installed";
    EXPECT_EQ(shellIn(dir.path("d"), "par2 verify -q d.par2"), 0);
    std::filesystem::remove(dir.path("d/d_2.bin"));
    EXPECT_EQ(shellIn(dir.path("d"), "par2 repair -q d.par2"), 0);
    EXPECT_TRUE(readFile(dir.path("d/d_2.bin")) == data.substr(4500000));
}

// A stop once the parts and the manifest are written, in a mode that sums in its pass and in
// one that reads its parts again: no recovery file, no temporary file, and the source stays.
TEST_F(RecoverySplit, AStopWhileTheRecoveryDataIsSummedLeavesNoneOfItsFiles) {
    std::string text = someBytes(3000000);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = i % 80 == 79 ? '\n' : char('a' + static_cast<unsigned char>(text[i]) % 26);
    writeFile(dir.path("d.txt"), text);
    for (const SplitMode mode : {SplitMode::Parts, SplitMode::Characters}) {
        SCOPED_TRACE(int(mode));
        options.set.mode = mode;
        options.set.partCount = 3;
        options.set.chars = {1000000, 1000000};
        options.set.recovery = {1, 0};
        options.set.deleteSources = true;
        const std::string manifest = dir.path("d/d.sha256");
        host.onProcessEvents = [&] {
            if (fileExists(manifest)) stop = 1;
        };
        const SplitSummary summary = split({dir.path("d.txt")});
        EXPECT_TRUE(summary.stopped);
        EXPECT_TRUE(fileExists(dir.path("d.txt")));
        EXPECT_TRUE(fileExists(manifest));
        EXPECT_TRUE(summary.recoveryIndexes.empty());
        for (const auto& e : std::filesystem::directory_iterator(dir.path("d")))
            EXPECT_TRUE(e.path().filename().string().starts_with("d_") ||
                        e.path().filename() == "d.sha256")
                << e.path();
        std::filesystem::remove_all(dir.path("d"));
    }
}

}  // namespace
}  // namespace pw::test
