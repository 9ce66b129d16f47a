// Split with and without a manifest in every mode, then join back: the original's bytes and name
// come back, or the join refuses with the reason and writes nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "files/path_ops.h"
#include "merge/join_parts.h"
#include "support/faulty_files.h"
#include "support/refusing_files.h"
#include "support/split_fixture.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

class JoinTest : public SplitFixture {
  protected:
    std::string randomBytes(size_t n, unsigned seed) {
        std::string s(n, '\0');
        for (char& c : s) c = char((seed = seed * 1103515245 + 12345) >> 16);
        return s;
    }
    // Splits `name` holding `bytes`, moves the source aside, and joins from `from` (a path
    // relative to the temporary folder).
    JoinOutcome roundTrip(const std::string& name, const std::string& bytes, bool manifest,
                          const std::string& from) {
        writeFile(dir.path(name), bytes);
        options.set.writeManifest = manifest;
        split({dir.path(name)});
        stdfs::rename(dir.path(name), dir.path("original"));
        // verify reads the parts as join does: with a manifest, all of them agree with it.
        SetProblem problem;
        const auto set = findPartSet(posixFileSystem(), fromUtf8(dir.path(from)), problem);
        if (set && set->manifest) {
            const SetVerdict v = verifyParts(posixFileSystem(), *set->manifest, set->folder);
            EXPECT_EQ(v.parts, std::vector<PartState>(v.parts.size(), PartState::Ok));
            EXPECT_FALSE(v.whole) << int(*v.whole);
        }
        return join(from);
    }
    JoinOutcome join(const std::string& from, FileSystem& fs = posixFileSystem()) {
        SetProblem problem;
        const auto set = findPartSet(fs, fromUtf8(dir.path(from)), problem);
        if (!set) return {Text(), false, {problem}, {}, 0, {}};
        TestMergeOptions mergeOptions;
        MergeContext ctx{{host, fs, systemClock()}, mergeOptions};
        return joinPartSet(ctx, *set, AfterJoin::KeepParts);
    }
    void expectRestored(const JoinOutcome& o, const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(o.problems.empty())
            << int(o.problems[0].fault) << " " << toUtf8(o.problems[0].path);
        EXPECT_EQ(toUtf8(o.outputPath), dir.path(name));
        EXPECT_EQ(readFile(dir.path(name)), bytes);
        // A split's own manifest always agrees with itself; only a set without one is unchecked.
        for (const SetProblem& note : o.notes) EXPECT_EQ(note.fault, SetFault::Unchecked);
    }
    void reset() {
        stdfs::remove_all(dir.path());
        stdfs::create_directories(dir.path());
    }
};

TEST_F(JoinTest, EveryModeWithAndWithoutManifest) {
    const std::string bin = randomBytes(100'003, 7);
    for (bool manifest : {true, false}) {
        SCOPED_TRACE(manifest ? "with a manifest" : "without");
        byCount("7");
        expectRestored(roundTrip("book.bin", bin, manifest, "book/book_4.bin"), "book.bin", bin);
        reset();
        bySize("10", 1);
        options.set.intoSubfolder = false;
        expectRestored(roundTrip("disk.img", bin, manifest, "disk_2.img"), "disk.img", bin);
        options.set.intoSubfolder = true;
        reset();
    }

    // Text modes: the marks the split added go, the delimiter comes back; only with a manifest.
    const std::string utf8 = "\xEF\xBB\xBF第一章\r\n甲乙丙\r\n#\r\n第二章\r\n丁戊\r\n#\r\n";
    byChars("3", "5");
    expectRestored(roundTrip("a.txt", utf8, true, "a"), "a.txt", utf8);
    reset();
    options.set.mode = SplitMode::Delimiter;
    options.set.delimiter = "\r\n#\r\n";
    expectRestored(roundTrip("a.txt", utf8, true, "a/a.sha256"), "a.txt", utf8);
    reset();
    const std::string crlf = "one\r\ntwo\r\nthree\r\nfour\r\n";
    byLines("1", "2");
    expectRestored(roundTrip("l.txt", crlf, true, "l/l_1.txt"), "l.txt", crlf);
    reset();

    // What cannot come back exactly is refused, and nothing is written.
    const auto refused = [&](const JoinOutcome& o) {
        EXPECT_TRUE(o.outputPath.empty());
        EXPECT_FALSE(fileExists(dir.path("a.txt")) || fileExists(dir.path("l.txt")));
        return !o.problems.empty() && o.problems[0].fault == SetFault::NotExact;
    };
    byChars("3", "5");
    EXPECT_TRUE(refused(roundTrip("a.txt", utf8, false, "a/a_1.txt")));  // a mark on each part
    reset();
    byLines("1", "1");
    EXPECT_TRUE(refused(roundTrip("l.txt", "a\nbb\nccc\n", true, "l")));  // LF became CR LF
    reset();
    options.set.skipBlankLines = true;
    EXPECT_TRUE(refused(roundTrip("l.txt", "a\r\n\r\nb\r\n", true, "l")));
    EXPECT_NE(readFile(dir.path("l/l.sha256")).find("# skipped-blank-lines: yes"),
              std::string::npos);
}

TEST_F(JoinTest, DamagedSetsWriteNothingAndNameThePart) {
    const std::string bin = randomBytes(70'000, 3);
    const auto damaged = [&](const std::function<void()>& damage, SetFault fault,
                             const std::string& named) {
        reset();
        byCount("7");
        writeFile(dir.path("book.bin"), bin);
        options.set.writeManifest = true;
        split({dir.path("book.bin")});
        stdfs::remove(dir.path("book.bin"));
        damage();
        const JoinOutcome o = join("book");
        EXPECT_TRUE(o.outputPath.empty());
        EXPECT_EQ(listing(dir.path()), "book/");  // no output, no temporary file
        bool found = false;
        for (const SetProblem& p : o.problems)
            found = found || (p.fault == fault && toUtf8(p.path) == dir.path(named));
        EXPECT_TRUE(found) << named;
    };
    damaged([&] { stdfs::remove(dir.path("book/book_3.bin")); }, SetFault::Missing,
            "book/book_3.bin");
    damaged([&] { stdfs::resize_file(dir.path("book/book_5.bin"), 10); }, SetFault::WrongSize,
            "book/book_5.bin");
    damaged(
        [&] {
            std::string part = readFile(dir.path("book/book_2.bin"));
            part[100] ^= 1;
            writeFile(dir.path("book/book_2.bin"), part);
        },
        SetFault::Changed, "book/book_2.bin");
    // A part and its line changed together: every part matches, the original's digest does not.
    damaged(
        [&] {
            std::string part = readFile(dir.path("book/book_2.bin"));
            std::string manifest = readFile(dir.path("book/book.sha256"));
            const std::string old = sha256Hex(part);
            part[0] ^= 1;
            manifest.replace(manifest.find(old), 64, sha256Hex(part));
            writeFile(dir.path("book/book_2.bin"), part);
            writeFile(dir.path("book/book.sha256"), manifest);
        },
        SetFault::OutputChanged, "book/book.sha256");

    // Without a manifest a gap in the numbers is a missing part.
    reset();
    options.set.writeManifest = false;
    writeFile(dir.path("book.bin"), bin);
    split({dir.path("book.bin")});
    stdfs::remove(dir.path("book.bin"));
    stdfs::remove(dir.path("book/book_6.bin"));
    const JoinOutcome o = join("book/book_1.bin");
    ASSERT_FALSE(o.problems.empty());
    EXPECT_EQ(o.problems[0].fault, SetFault::Missing);
    EXPECT_EQ(toUtf8(o.problems[0].path), dir.path("book/book_6.bin"));
}

TEST_F(JoinTest, UnlistedNumberedFilesAreNamedNeverJoinedOrDeletedAndTemporariesNoParts) {
    const std::string bin = randomBytes(70'000, 4);
    byCount("7");
    options.set.writeManifest = true;
    writeFile(dir.path("book.bin"), bin);
    split({dir.path("book.bin")});
    stdfs::remove(dir.path("book.bin"));
    // Left from earlier splits into more parts and into chapters; a merge output is not numbered.
    for (const char* name : {"book_8.bin", "book_12.bin", "book_9 第9章.bin", "book_1等7个文件.bin",
                             "book_08.bin", "other_8.bin"})
        writeFile(dir.path("book/") + name, "old");
    SetProblem problem;
    const auto set = findPartSet(posixFileSystem(), fromUtf8(dir.path("book")), problem);
    ASSERT_TRUE(set);
    TestMergeOptions mergeOptions;
    MergeContext ctx{{host, posixFileSystem(), systemClock()}, mergeOptions};
    const JoinOutcome o = joinPartSet(ctx, *set, AfterJoin::DeleteParts);
    ASSERT_TRUE(o.problems.empty());
    EXPECT_EQ(readFile(dir.path("book.bin")), bin);
    std::string unlisted;
    for (const Text& path : o.unlisted) unlisted += toUtf8(fileNameOf(path)) + " ";
    EXPECT_EQ(unlisted, "book_8.bin book_9 第9章.bin book_12.bin ");
    EXPECT_EQ(
        listing(dir.path("book")),
        "book_08.bin book_12.bin book_1等7个文件.bin book_8.bin book_9 第9章.bin other_8.bin");

    // A writer's temporary file is never a part, named or listed.
    writeFile(dir.path("book/.~partwell-1-2.tmp"), "half");
    EXPECT_EQ(join("book/.~partwell-1-2.tmp").problems[0].fault, SetFault::NoParts);
    Manifest m;
    m.sourceName = "t.bin";
    m.sourceSha256 = sha256Hex("half");
    m.sourceSize = 4;
    m.mode = "parts";
    m.parts = {{".~partwell-1-2.tmp", 4, sha256Hex("half")}};
    ASSERT_TRUE(writeManifest(posixFileSystem(), fromUtf8(dir.path("book/t.sha256")), m));
    EXPECT_EQ(join("book/t.sha256").problems[0].fault, SetFault::ManifestDamaged);
}

// The real file system, counting the bytes read from each file.
class ReadCounting : public RefusingFiles {
  public:
    ReadCounting() { refuseWrites = false; }
    std::unique_ptr<FileHandle> open(const Text& path, OpenMode mode) override;
    std::map<Text, int64_t> bytesRead;
};

class CountedHandle : public FileHandle {
  public:
    CountedHandle(std::unique_ptr<FileHandle> real, int64_t& count)
        : real_(std::move(real)), count_(count) {}
    int64_t read(void* buffer, size_t size) override {
        const int64_t got = real_->read(buffer, size);
        if (got > 0) count_ += got;
        return got;
    }
    bool write(const void* data, size_t size) override { return real_->write(data, size); }
    bool seek(int64_t position) override { return real_->seek(position); }
    int64_t position() const override { return real_->position(); }
    int64_t length() override { return real_->length(); }
    bool close() override { return real_->close(); }

  private:
    std::unique_ptr<FileHandle> real_;
    int64_t& count_;
};

std::unique_ptr<FileHandle> ReadCounting::open(const Text& path, OpenMode mode) {
    auto file = RefusingFiles::open(path, mode);
    if (!file) return nullptr;
    return std::make_unique<CountedHandle>(std::move(file), bytesRead[path]);
}

// A changed part stops the join as soon as it has been copied, and is named: the parts after it
// are never read.
TEST_F(JoinTest, StopsAtTheFirstPartThatDoesNotHoldItsLine) {
    const std::string bin = randomBytes(400'000, 11);
    byCount("4");
    writeFile(dir.path("book.bin"), bin);
    options.set.writeManifest = true;
    split({dir.path("book.bin")});
    stdfs::remove(dir.path("book.bin"));
    std::string part = readFile(dir.path("book/book_2.bin"));
    part[5] ^= 1;
    writeFile(dir.path("book/book_2.bin"), part);
    ReadCounting files;
    const JoinOutcome o = join("book", files);
    ASSERT_EQ(o.problems.size(), 1u);
    EXPECT_EQ(o.problems[0].fault, SetFault::Changed);
    EXPECT_EQ(toUtf8(o.problems[0].path), dir.path("book/book_2.bin"));
    EXPECT_EQ(listing(dir.path()), "book/");
    EXPECT_EQ(files.bytesRead[fromUtf8(dir.path("book/book_2.bin"))], 100'000);
    EXPECT_EQ(files.bytesRead[fromUtf8(dir.path("book/book_3.bin"))], 0);
    EXPECT_EQ(files.bytesRead[fromUtf8(dir.path("book/book_4.bin"))], 0);
}

TEST_F(JoinTest, NeverReplacesAFileAndDeletesPartsOnlyWhenInPlace) {
    const std::string bin = randomBytes(50'000, 9);
    byCount("4");
    JoinOutcome first = roundTrip("book.bin", bin, true, "book");
    writeFile(dir.path("book.bin"), "someone else's");
    SetProblem problem;
    const auto set = findPartSet(posixFileSystem(), fromUtf8(dir.path("book")), problem);
    ASSERT_TRUE(set);
    TestMergeOptions mergeOptions;
    MergeContext ctx{{host, posixFileSystem(), systemClock()}, mergeOptions};
    const JoinOutcome second = joinPartSet(ctx, *set, AfterJoin::DeleteParts);
    ASSERT_TRUE(second.problems.empty());
    EXPECT_TRUE(second.variantName);
    EXPECT_EQ(toUtf8(second.outputPath), dir.path("book (2).bin"));
    EXPECT_EQ(readFile(dir.path("book (2).bin")), bin);
    EXPECT_EQ(readFile(dir.path("book.bin")), "someone else's");
    EXPECT_EQ(listing(dir.path("book")), "");
    (void)first;
}

// Every file-system call of a join fails once in turn: the parts stay, no temporary is left, and
// an output under the original's name is always whole.
TEST_F(JoinTest, FaultInjectionLosesNothing) {
    const std::string bin = randomBytes(3'000'000, 5);
    byCount("3");
    writeFile(dir.path("book.bin"), bin);
    options.set.writeManifest = true;
    split({dir.path("book.bin")});
    stdfs::remove(dir.path("book.bin"));
    const std::string manifest = readFile(dir.path("book/book.sha256"));
    const int64_t attempts = forEveryFault([&](FaultyFiles& files) {
        SetProblem problem;
        const auto set = findPartSet(files, fromUtf8(dir.path("book")), problem);
        JoinOutcome o;
        if (set) {
            TestMergeOptions mergeOptions;
            MergeContext ctx{{host, files, systemClock()}, mergeOptions};
            o = joinPartSet(ctx, *set, AfterJoin::DeleteParts);
        }
        for (const auto& entry : stdfs::recursive_directory_iterator(dir.path()))
            ASSERT_FALSE(isTemporaryName(entry.path().filename().string())) << entry.path();
        if (fileExists(dir.path("book.bin"))) {
            ASSERT_EQ(readFile(dir.path("book.bin")), bin);
            EXPECT_FALSE(o.outputPath.empty() && o.problems.empty());
            stdfs::remove(dir.path("book.bin"));
        } else {
            ASSERT_FALSE(o.problems.empty() && set);  // a failure is never reported as success
            ASSERT_EQ(readFile(dir.path("book/book.sha256")), manifest);
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(readFile(dir.path("book/book_" + std::to_string(k + 1) + ".bin")),
                          bin.substr(size_t(k) * 1'000'000, 1'000'000));
        }
        // Put back whatever a successful join deleted.
        if (!fileExists(dir.path("book/book.sha256")))
            writeFile(dir.path("book/book.sha256"), manifest);
        for (int k = 0; k < 3; ++k)
            writeFile(dir.path("book/book_" + std::to_string(k + 1) + ".bin"),
                      bin.substr(size_t(k) * 1'000'000, 1'000'000));
    });
    EXPECT_GT(attempts, 10);
}

}  // namespace
}  // namespace pw::test
