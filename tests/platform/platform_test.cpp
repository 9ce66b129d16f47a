#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/charset.h"
#include "platform/files.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(Charset, SubstitutesInsteadOfDropping) {
    // 😀 has no Big5 form: a question mark stands in for it, the rest converts.
    auto big5 = convertCharset(
        "a\xF0\x9F\x98\x80"
        "\xE4\xB8\xAD",
        "UTF-8", "BIG5");
    ASSERT_TRUE(big5);
    EXPECT_EQ(*big5, "a?\xA4\xA4");
    // A byte that is no UTF-8 becomes the replacement character.
    auto utf16 = convertCharset("x\xFFy", "UTF-8", "UTF-16LE");
    ASSERT_TRUE(utf16);
    EXPECT_EQ(*utf16, std::string("x\0\xFD\xFFy\0", 6));
    EXPECT_FALSE(convertCharset("x", "UTF-8", "NO-SUCH-CHARSET"));
    EXPECT_EQ(convertCharset("", "UTF-8", "GB18030"), std::optional<std::string>(""));
    // Large input grows the output as needed.
    std::string many;
    for (int i = 0; i < 100000; ++i) many += "\xE4\xB8\xAD";
    auto back = convertCharset(*convertCharset(many, "UTF-8", "UTF-16BE"), "UTF-16BE", "UTF-8");
    EXPECT_EQ(back, many);
}

TEST(SafeWriter, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    const Text target = fromUtf8(dir.path("out.txt"));
    writeFile(dir.path("out.txt"), "old");
    {
        SafeWriter w(fs, target);
        ASSERT_TRUE(w.write("new, but never committed"));
    }
    EXPECT_EQ(readFile(dir.path("out.txt")), "old");
    EXPECT_EQ(listing(dir.path()), "out.txt");

    SafeWriter w(fs, target);
    ASSERT_TRUE(w.write("new"));
    EXPECT_TRUE(w.commit());
    EXPECT_EQ(readFile(dir.path("out.txt")), "new");

    SafeWriter missing(fs, fromUtf8(dir.path("no/such/folder.txt")));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.commit());

    ::mkdir(dir.path("taken").c_str(), 0777);  // a folder cannot be replaced by a file
    SafeWriter onFolder(fs, fromUtf8(dir.path("taken")));
    onFolder.write("x");
    EXPECT_FALSE(onFolder.commit());
    EXPECT_EQ(listing(dir.path()), "out.txt taken/");
}

// A new file put in place never replaces what appeared at its name while it was written: a file,
// or a link that leads nowhere or to a file elsewhere (neither is followed nor replaced).
TEST(SafeWriter, ANewFileNeverReplacesWhatAppearedAtItsName) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    writeFile(dir.path("elsewhere.txt"), "theirs");
    const Text target = fromUtf8(dir.path("out.txt"));
    for (const char* taker : {"file", "dangling link", "link"}) {
        SCOPED_TRACE(taker);
        SafeWriter w(fs, target);
        ASSERT_TRUE(w.write("ours"));
        const std::string t = taker;
        if (t == "file") writeFile(dir.path("out.txt"), "theirs");
        if (t != "file") {
            const char* to = t == "link" ? "elsewhere.txt" : "nowhere";
            ASSERT_EQ(::symlink(to, dir.path("out.txt").c_str()), 0);
        }
        EXPECT_FALSE(w.commitNew());
        EXPECT_EQ(w.error(), std::errc::file_exists);
        EXPECT_EQ(fs.isLink(target), t != "file");
        if (t == "file") {
            EXPECT_EQ(readFile(dir.path("out.txt")), "theirs");
        }
        EXPECT_EQ(readFile(dir.path("elsewhere.txt")), "theirs");
        ::unlink(dir.path("out.txt").c_str());
    }
    SafeWriter w(fs, target);
    ASSERT_TRUE(w.write("ours"));
    EXPECT_TRUE(w.commitNew());
    EXPECT_EQ(readFile(dir.path("out.txt")), "ours");
    EXPECT_EQ(listing(dir.path()), "elsewhere.txt out.txt");
}

TEST(Files, OnlyRegularFilesOpenAndPipesNeverBlock) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    writeFile(dir.path("real.txt"), "data");
    ASSERT_EQ(::symlink(dir.path("real.txt").c_str(), dir.path("link.txt").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.path("pipe.txt").c_str(), 0600), 0);

    auto linked = fs.open(fromUtf8(dir.path("link.txt")), OpenMode::Read);
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->readBytes(10), "data");
    // No writer ever comes: opening must neither wait for one nor hand out the pipe.
    for (OpenMode mode : {OpenMode::Read, OpenMode::ReadWrite, OpenMode::Write})
        EXPECT_FALSE(fs.open(fromUtf8(dir.path("pipe.txt")), mode));
    EXPECT_FALSE(fs.open("/dev/zero", OpenMode::Read));
    EXPECT_FALSE(fs.open("/dev/null", OpenMode::Write));
    EXPECT_FALSE(fs.open(fromUtf8(dir.path()), OpenMode::Read));
}

TEST(SafeWriter, TemporariesOfDeadProcessesAreRemovedByTheNextWriter) {
    TempDir dir;
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    const std::string stale = ".~partwell-" + std::to_string(dead) + "-0.tmp";
    const std::string live = ".~partwell-" + std::to_string(::getppid()) + "-0.tmp";
    writeFile(dir.path(stale), std::string(1000, 's'));
    writeFile(dir.path(live), "still being written");
    writeFile(dir.path(".~partwell-notes.tmp"), "not ours");
    // Named after a temporary file of the dead process, yet a user's file: a merge output.
    const std::string lookalike = ".~partwell-" + std::to_string(dead) + "-0等4个文件.tmp";
    writeFile(dir.path(lookalike), "a merge output");

    SafeWriter w(posixFileSystem(), fromUtf8(dir.path("out.txt")));
    ASSERT_TRUE(w.write("new"));
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(listing(dir.path()),
              sortedNames(live + " " + lookalike + " .~partwell-notes.tmp out.txt"));

    EXPECT_TRUE(isTemporaryFileName(stale));
    EXPECT_TRUE(isTemporaryFileName(".~partwell-7-4294967296.tmp"));
    for (const std::string& name :
         {lookalike, std::string(".~partwell-notes.tmp"), std::string(".~partwell-12-.tmp"),
          std::string(".~partwell--3.tmp"), std::string(".~partwell-12-3.tmp.txt"),
          std::string(".~partwell-99999999999999999999-1.tmp")})
        EXPECT_FALSE(isTemporaryFileName(name)) << name;
}

TEST(Files, CopyRangesAndMemoryFiles) {
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    std::string data(3 << 20, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 7);
    writeFile(dir.path("src"), data);
    auto src = fs.open(fromUtf8(dir.path("src")), OpenMode::Read);
    ASSERT_TRUE(src);
    auto dst = fs.open(fromUtf8(dir.path("dst")), OpenMode::Write);
    ASSERT_TRUE(dst->copyFrom(*src, 5, int64_t(data.size()) - 10));
    ASSERT_TRUE(dst->close());
    EXPECT_EQ(readFile(dir.path("dst")), data.substr(5, data.size() - 10));
    EXPECT_FALSE(dst->copyFrom(*src, int64_t(data.size()) - 2, 10));  // past the end

    auto mem = makeMemoryFile("hello");
    ASSERT_TRUE(mem->seek(5));
    ASSERT_TRUE(mem->write(" world", 6));
    ASSERT_TRUE(mem->seek(0));
    EXPECT_EQ(mem->readBytes(100), "hello world");
    auto copy = makeMemoryFile();
    ASSERT_TRUE(copy->copyFrom(*mem, 6, 5));
    ASSERT_TRUE(copy->seek(0));
    EXPECT_EQ(copy->readBytes(100), "world");
    EXPECT_EQ(mem->position(), 11);                               // the source's position is kept
    EXPECT_FALSE(fs.open(fromUtf8(dir.path()), OpenMode::Read));  // a folder is no file
    EXPECT_TRUE(fs.fileId(fromUtf8(dir.path("src"))) == fs.fileId(fromUtf8(dir.path("src"))));
    EXPECT_FALSE(fs.fileId(fromUtf8(dir.path("nothing"))));
}

}  // namespace
}  // namespace pw::test
