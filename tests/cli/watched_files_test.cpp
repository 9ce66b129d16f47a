// The file systems partwell-cli puts between the engines and the disk.

#include "cli/watched_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/native_names.h"
#include "support/faulty_files.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

using cli::CountingFileSystem;
using cli::DryRunFileSystem;

Text at(const TempDir& dir, const std::string& name) {
    return fromNativeName(dir.path(name));
}

TEST(WatchedFiles, DryRunKeepsEveryChangeInMemory) {
    TempDir dir;
    writeFile(dir.path("real.txt"), "12345");
    DryRunFileSystem fs(posixFileSystem());

    // A folder and a file written through a temporary name: only the final name remains.
    ASSERT_TRUE(fs.createFolder(at(dir, "parts")));
    EXPECT_TRUE(fs.isFolder(at(dir, "parts")));
    EXPECT_FALSE(fs.createFolder(at(dir, "parts")));
    auto part = fs.open(at(dir, "parts/.tmp"), OpenMode::CreateNew);
    ASSERT_TRUE(part);
    ASSERT_TRUE(part->write("abc", 3));
    auto source = fs.open(at(dir, "real.txt"), OpenMode::Read);
    ASSERT_TRUE(source && part->copyFrom(*source, 1, 4));
    EXPECT_EQ(part->length(), 7);
    EXPECT_FALSE(fs.open(at(dir, "parts/.tmp"), OpenMode::CreateNew));
    EXPECT_EQ(fs.lastError(), std::errc::file_exists);
    ASSERT_TRUE(fs.rename(at(dir, "parts/.tmp"), at(dir, "parts/p_1.txt")));
    auto second = fs.open(at(dir, "parts/p_2.txt"), OpenMode::Write);
    ASSERT_TRUE(second && second->write("z", 1));
    EXPECT_FALSE(fs.open(at(dir, "missing/x"), OpenMode::Write));

    const auto written = fs.written();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], std::make_pair(at(dir, "parts/p_1.txt"), int64_t(7)));
    EXPECT_EQ(written[1].first, at(dir, "parts/p_2.txt"));
    const auto listed = fs.listFolder(at(dir, "parts"));
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 2u);

    // A real file removed is gone for the job, yet still on disk; a real folder is never removed.
    ASSERT_TRUE(fs.remove(at(dir, "real.txt")));
    EXPECT_FALSE(fs.exists(at(dir, "real.txt")));
    EXPECT_FALSE(fs.open(at(dir, "real.txt"), OpenMode::Read));
    EXPECT_FALSE(fs.remove(at(dir, "real.txt")));
    const auto top = fs.listFolder(fromNativeName(dir.path()));
    ASSERT_TRUE(top);
    ASSERT_EQ(top->size(), 1u);
    EXPECT_EQ(top->front().name, "parts");
    EXPECT_TRUE(top->front().isFolder);
    EXPECT_EQ(readFile(dir.path("real.txt")), "12345");
    EXPECT_FALSE(fs.removeFolder(fromNativeName(dir.path())));
    EXPECT_FALSE(fs.removeFolder(at(dir, "parts")));  // not empty
    EXPECT_FALSE(std::filesystem::exists(dir.path("parts")));
}

TEST(WatchedFiles, CountingPassesFailuresOnWithTheirReason) {
    TempDir dir;
    writeFile(dir.path("in.bin"), std::string(1000, 'x'));
    CountingFileSystem counting(posixFileSystem());
    EXPECT_TRUE(counting.onDisk());  // a signal still removes the temporary file
    auto in = counting.open(at(dir, "in.bin"), OpenMode::Read);
    auto out = counting.open(at(dir, "out.bin"), OpenMode::Write);
    ASSERT_TRUE(in && out);
    ASSERT_TRUE(out->write("ab", 2));
    ASSERT_TRUE(out->copyFrom(*in, 10, 500));  // the kernel's copy: the real source goes in
    ASSERT_TRUE(out->close());
    EXPECT_EQ(counting.bytesWritten(), 502);
    EXPECT_EQ(readFile(dir.path("out.bin")).size(), 502u);

    // A full disk: the write fails, with the disk's reason, and nothing is counted.
    FaultyFiles full(posixFileSystem(), FaultCall::Write, 1, FaultError::NoSpace);
    CountingFileSystem onFull(full);
    auto failing = onFull.open(at(dir, "full.bin"), OpenMode::Write);
    ASSERT_TRUE(failing);
    EXPECT_FALSE(failing->write("abcdef", 6));
    EXPECT_EQ(failing->error(), std::errc::no_space_on_device);
    EXPECT_EQ(onFull.bytesWritten(), 0);
}

}  // namespace
}  // namespace pw::test
