#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/faulty_files.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(EntireFile, ReadsEveryByteAndSaysWhyWhenItCannot) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    const std::string bytes("a\0b\xFF\r\n", 6);
    writeFile(dir.path("f.bin"), bytes);
    const Text path = fromUtf8(dir.path("f.bin"));
    std::error_code error;
    EXPECT_EQ(readEntireFile(fs, path, error), bytes);
    EXPECT_EQ(readEntireFile(fs, path, error, 6), bytes);  // the limit itself is allowed
    EXPECT_FALSE(error);

    EXPECT_FALSE(readEntireFile(fs, path, error, 5));
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_FALSE(readEntireFile(fs, fromUtf8(dir.path("missing")), error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);

    // A read that fails is a failure, never a shorter file.
    FaultyFiles failing(fs, FaultCall::Read, 1, FaultError::Io);
    error.clear();
    EXPECT_FALSE(readEntireFile(failing, path, error));
    EXPECT_TRUE(failing.fired());
    EXPECT_EQ(error, std::errc::io_error);
}

}  // namespace
}  // namespace pw::test
