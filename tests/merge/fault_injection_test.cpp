// Every call the merge job makes to the file system is made to fail once, in turn, until the job
// runs clean: no source may be lost, no output under its final name may hold less than whole
// sources, no temporary file may stay, and a failure that changed the outcome must show in the
// summary.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "files/manifest.h"
#include "merge/join_parts.h"
#include "merge/merge_files.h"
#include "support/faulty_files.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "support/test_options.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

constexpr std::string_view kMark = "\xEF\xBB\xBF";
constexpr std::string_view kBetween = "--\r\n";

// Two batches: the files of m/ and, one level down, those of m/sub/.
struct Source {
    std::string path;
    char letter;  // every record of it starts with the letter
};
const Source kSources[] = {{"m/p_1.txt", 'p'},
                           {"m/p_2.txt", 'q'},
                           {"m/p_3.txt", 'r'},
                           {"m/sub/s_1.txt", 's'},
                           {"m/sub/s_2.txt", 't'}};

std::string recordsOf(char letter) {
    std::string out;
    for (int i = 0; i < 25; ++i) out += std::string(1, letter) + std::to_string(10000 + i) + "\n";
    return out;
}

struct MergeSetup {
    const char* name;
    bool between;   // a text between the files
    bool encoding;  // sources in UTF-8 with a mark, the output written back the same way
};
const MergeSetup kSetups[] = {
    {"files joined as they are", false, false},
    {"a text between the files", true, false},
    {"text re-encoded, with a text between", true, true},
};

bool isSourcePath(const TempDir& dir, const stdfs::path& p) {
    return std::any_of(std::begin(kSources), std::end(kSources),
                       [&](const Source& s) { return dir.path(s.path) == p.string(); });
}

class MergeFaults : public ::testing::Test {
  protected:
    void plantTree(const TempDir& dir, const MergeSetup& setup) {
        for (const Source& s : kSources)
            writeFile(dir.path(s.path),
                      (setup.encoding ? std::string(kMark) : "") + recordsOf(s.letter));
    }

    MergeSummary run(const MergeSetup& setup, FileSystem& files, const TempDir& dir) {
        TestMergeOptions options;
        options.set.intoParentFolder = false;
        options.set.includeSubfolders = true;
        options.set.deleteSources = true;
        options.set.handleEncoding = setup.encoding;
        options.set.joinWith = setup.between ? JoinWith::Text : JoinWith::Nothing;
        options.set.joinText = Text(kBetween);
        TestJobHost host;
        MergeContext ctx{{host, files, systemClock()}, options};
        MergeSummary summary;
        mergeFolder(ctx, fromUtf8(dir.path("m")), summary);
        return summary;
    }

    void checkTree(const MergeSetup& setup, const TempDir& dir, const FaultyFiles& files) {
        std::string outputs;  // every output's records, to find a deleted source's in
        for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) {
            if (!e.is_regular_file()) continue;
            const std::string name = e.path().filename().string();
            std::string content = readFile(e.path().string());
            if (isTemporaryName(name)) {
                EXPECT_EQ(fromUtf8(e.path().string()), files.failedPath()) << "left: " << name;
                continue;
            }
            if (isSourcePath(dir, e.path())) {
                const auto& s =
                    *std::find_if(std::begin(kSources), std::end(kSources),
                                  [&](auto& s) { return dir.path(s.path) == e.path(); });
                EXPECT_EQ(content, (setup.encoding ? std::string(kMark) : "") + recordsOf(s.letter))
                    << "a source changed: " << name;
                continue;
            }
            // An output: whole sources of its folder in order, the text after each but the last
            // (also after one that could not be read).
            // (The mark is missing when the last file could not be read: it sets the encoding.)
            if (setup.encoding && content.starts_with(kMark)) content.erase(0, kMark.size());
            std::vector<std::string> batch;
            for (const Source& s : kSources)
                if (stdfs::path(dir.path(s.path)).parent_path() == e.path().parent_path())
                    batch.push_back(recordsOf(s.letter));
            std::string expected;
            for (size_t i = 0; i < batch.size(); ++i) {
                if (content.find(batch[i]) != std::string::npos) expected += batch[i];
                if (setup.between && i + 1 < batch.size()) expected += kBetween;
            }
            EXPECT_TRUE(content == expected) << "an incomplete output: " << name;
            outputs += content;
        }
        for (const Source& s : kSources) {
            if (fileExists(dir.path(s.path))) continue;
            EXPECT_NE(outputs.find(recordsOf(s.letter)), std::string::npos)
                << s.path << " was deleted but is in no output";
        }
    }
};

TEST_F(MergeFaults, EveryFailingCallLeavesNothingLostOrHalfWritten) {
    int64_t runs = 0;
    for (const MergeSetup& setup : kSetups) {
        SCOPED_TRACE(setup.name);
        std::vector<std::string> clean;
        {
            TempDir dir;
            plantTree(dir, setup);
            const MergeSummary summary = run(setup, posixFileSystem(), dir);
            ASSERT_FALSE(summary.anyFailed());
            ASSERT_EQ(summary.outputs.size(), 2u);
            checkTree(setup, dir, FaultyFiles(posixFileSystem(), FaultCall::Open, 0, {}));
            clean = treeContents(dir, true);
        }
        runs += forEveryFault([&](FaultyFiles& files) {
            TempDir dir;
            plantTree(dir, setup);
            const MergeSummary summary = run(setup, files, dir);
            if (files.fired())
                checkTree(setup, dir, files);
            else
                EXPECT_TRUE(!summary.anyFailed()) << "a failure without a fault";
            if (!summary.anyFailed()) {
                EXPECT_EQ(treeContents(dir, true), clean) << "a failure went unreported";
            }
        });
        if (HasFailure()) return;
    }
    EXPECT_GT(runs, 100);
}

// A folder holding a split's manifest, its three parts, a numbered file it does not list and the
// temporary file of a live writer. Whatever fails, the unlisted file and the temporary file stay
// as they were and are in no output, a part goes only when an output holds it (the original
// itself when nothing stands between), and the manifest only with the last of its parts.
const Source kSetParts[] = {{"m/book_1.txt", 'p'}, {"m/book_2.txt", 'q'}, {"m/book_3.txt", 'r'}};

class ManifestMergeFaults : public MergeFaults {
  protected:
    std::string partBytes(const MergeSetup& setup, char letter) {
        return (setup.encoding ? std::string(kMark) : "") + recordsOf(letter);
    }
    void plantSet(const TempDir& dir, const MergeSetup& setup) {
        Manifest m;
        m.sourceName = "book.txt";
        m.mode = "parts";
        original_.clear();
        for (const Source& s : kSetParts) {
            const std::string bytes = partBytes(setup, s.letter);
            writeFile(dir.path(s.path), bytes);
            m.parts.push_back({fromUtf8(stdfs::path(s.path).filename().string()),
                               int64_t(bytes.size()), sha256Hex(bytes)});
            original_ += bytes;
        }
        m.sourceSize = int64_t(original_.size());
        m.sourceSha256 = sha256Hex(original_);
        ASSERT_TRUE(writeManifest(posixFileSystem(), fromUtf8(dir.path("m/book.sha256")), m));
        manifest_ = readFile(dir.path("m/book.sha256"));
        writeFile(dir.path("m/book_4.txt"), recordsOf('u'));
        writeFile(dir.path("m/" + liveTemporary()), "being written");
    }
    static std::string liveTemporary() {
        return ".~partwell-" + std::to_string(::getppid()) + "-7.tmp";
    }

    void checkSet(const MergeSetup& setup, const TempDir& dir, const FaultyFiles& files) {
        const bool plain = !setup.between && !setup.encoding;
        std::string outputs;
        bool restored = false;
        for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) {
            if (!e.is_regular_file()) continue;
            const std::string name = e.path().filename().string();
            std::string content = readFile(e.path().string());
            const auto part =
                std::find_if(std::begin(kSetParts), std::end(kSetParts),
                             [&](const Source& s) { return dir.path(s.path) == e.path(); });
            if (name == liveTemporary()) {
                EXPECT_EQ(content, "being written");
            } else if (isTemporaryName(name)) {
                EXPECT_EQ(fromUtf8(e.path().string()), files.failedPath()) << "left: " << name;
            } else if (part != std::end(kSetParts)) {
                EXPECT_EQ(content, partBytes(setup, part->letter)) << "a part changed: " << name;
            } else if (name == "book_4.txt") {
                EXPECT_EQ(content, recordsOf('u'));
            } else if (name == "book.sha256") {
                EXPECT_EQ(content, manifest_);
            } else if (plain) {
                EXPECT_TRUE(content == original_) << "not the original: " << name;
                restored = restored || content == original_;
            } else {
                if (setup.encoding && content.starts_with(kMark)) content.erase(0, kMark.size());
                std::string expected;
                for (size_t i = 0; i < std::size(kSetParts); ++i) {
                    if (content.find(recordsOf(kSetParts[i].letter)) != std::string::npos)
                        expected += recordsOf(kSetParts[i].letter);
                    if (setup.between && i + 1 < std::size(kSetParts)) expected += kBetween;
                }
                EXPECT_TRUE(content == expected) << "an incomplete output: " << name;
                outputs += content;
            }
        }
        EXPECT_TRUE(fileExists(dir.path("m/book_4.txt")));
        EXPECT_TRUE(fileExists(dir.path("m/" + liveTemporary())));
        bool anyPartLeft = false;
        for (const Source& s : kSetParts) {
            if (fileExists(dir.path(s.path))) {
                anyPartLeft = true;
                continue;
            }
            EXPECT_TRUE(plain ? restored : outputs.find(recordsOf(s.letter)) != std::string::npos)
                << s.path << " was deleted but is in no output";
        }
        if (anyPartLeft) {
            EXPECT_TRUE(fileExists(dir.path("m/book.sha256"))) << "manifest gone";
        }
    }

    std::string original_, manifest_;
};

TEST_F(ManifestMergeFaults, AFolderWithAManifestLosesNothingWhateverFails) {
    int64_t runs = 0;
    for (const MergeSetup& setup : kSetups) {
        SCOPED_TRACE(setup.name);
        std::vector<std::string> clean;
        {
            TempDir dir;
            plantSet(dir, setup);
            const MergeSummary summary = run(setup, posixFileSystem(), dir);
            ASSERT_FALSE(summary.anyFailed());
            ASSERT_EQ(summary.outputs.size(), 1u);
            EXPECT_EQ(summary.unlistedParts.size(), 1u);
            // Only the unlisted file and the writer's are left beside the output.
            EXPECT_EQ(std::distance(stdfs::directory_iterator(dir.path("m")),
                                    stdfs::directory_iterator()),
                      3);
            checkSet(setup, dir, FaultyFiles(posixFileSystem(), FaultCall::Open, 0, {}));
            clean = treeContents(dir, true);
        }
        runs += forEveryFault([&](FaultyFiles& files) {
            TempDir dir;
            plantSet(dir, setup);
            const MergeSummary summary = run(setup, files, dir);
            if (files.fired())
                checkSet(setup, dir, files);
            else
                EXPECT_TRUE(!summary.anyFailed()) << "a failure without a fault";
            if (!summary.anyFailed()) {
                EXPECT_EQ(treeContents(dir, true), clean) << "a failure went unreported";
            }
        });
        if (HasFailure()) return;
    }
    EXPECT_GT(runs, 100);
}

int errnoOf(FaultError error) {
    return error == FaultError::NoSpace        ? ENOSPC
           : error == FaultError::NoPermission ? EACCES
           : error == FaultError::NameTooLong  ? ENAMETOOLONG
                                               : EIO;
}

// Every call of a join and a verify fails once in turn: a part that could not be opened or read
// is named as unreadable (never as missing), a failed write says the system's reason (a full
// disk's ENOSPC), and a part linked from inside the folder is read like any other.
TEST(JoinFaults, EveryFailureNamesItsFileAndReason) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 600'000; ++i) data += char('a' + i * 13 % 26);
    Manifest m;
    m.sourceName = "book.bin";
    m.sourceSize = int64_t(data.size());
    m.sourceSha256 = sha256Hex(data);
    m.mode = "parts";
    for (int k = 0; k < 3; ++k) {
        const std::string name = "book_" + std::to_string(k + 1) + ".bin";
        const std::string bytes = data.substr(size_t(k) * 200'000, 200'000);
        writeFile(dir.path(k == 2 ? "book/real_3.bin" : "book/" + name), bytes);
        m.parts.push_back({Text(name), int64_t(bytes.size()), sha256Hex(bytes)});
    }
    stdfs::create_symlink("real_3.bin", dir.path("book/book_3.bin"));
    ASSERT_TRUE(writeManifest(posixFileSystem(), fromUtf8(dir.path("book/book.sha256")), m));
    const Text folder = fromUtf8(dir.path("book/"));
    const auto isPart = [&](const Text& path) {
        return path.starts_with(folder) && path != folder && !path.ends_with(".sha256");
    };

    const int64_t runs = forEveryFault([&](FaultyFiles& files) {
        SetProblem problem;
        const auto set = findPartSet(files, fromUtf8(dir.path("book")), problem);
        JoinOutcome o;
        if (set) {
            TestMergeOptions options;
            TestJobHost host;
            MergeContext ctx{{host, files, systemClock()}, options};
            o = joinPartSet(ctx, *set, AfterJoin::KeepParts);
        } else {
            o.problems.push_back(problem);
        }
        const bool written = fileExists(dir.path("book.bin"));
        if (written) {
            EXPECT_EQ(readFile(dir.path("book.bin")), data);
        }
        stdfs::remove(dir.path("book.bin"));
        if (!files.fired()) {
            EXPECT_TRUE(o.problems.empty() && written);
            return;
        }
        if (o.problems.empty()) return;  // the failing call changed nothing that mattered
        const SetProblem& p = o.problems.front();
        const int expected = errnoOf(files.error());
        if (isPart(files.failedPath())) {
            EXPECT_EQ(p.fault, SetFault::Unreadable) << toUtf8(p.path);
            EXPECT_EQ(p.path, files.failedPath());
            EXPECT_EQ(p.error.value(), expected);
        } else if (p.fault == SetFault::WriteFailed || p.fault == SetFault::Unreadable) {
            EXPECT_EQ(p.path, p.fault == SetFault::WriteFailed ? fromUtf8(dir.path("book.bin"))
                                                               : files.failedPath());
            EXPECT_EQ(p.error.value(), expected) << p.error.message();
        }
        EXPECT_FALSE(written);
    });
    EXPECT_GT(runs, 20);

    // A part linked out of the folder: whatever fails, the join is refused, the link is never
    // opened (so nothing outside is read) and nothing is deleted.
    writeFile(dir.path("outside.bin"), data.substr(400'000));
    stdfs::remove(dir.path("book/book_3.bin"));
    stdfs::create_symlink("../outside.bin", dir.path("book/book_3.bin"));
    const Text link = fromUtf8(dir.path("book/book_3.bin"));
    const auto before = treeContents(dir, true);
    forEveryFault([&](FaultyFiles& files) {
        SetProblem problem;
        const auto set = findPartSet(files, fromUtf8(dir.path("book")), problem);
        if (set) {
            TestMergeOptions options;
            TestJobHost host;
            MergeContext ctx{{host, files, systemClock()}, options};
            const JoinOutcome o = joinPartSet(ctx, *set, AfterJoin::DeleteParts);
            EXPECT_TRUE(o.outputPath.empty());
            EXPECT_FALSE(o.problems.empty());
        }
        EXPECT_NE(files.failedPath(), link);
        EXPECT_EQ(treeContents(dir, true), before);
        EXPECT_TRUE(stdfs::is_symlink(dir.path("book/book_3.bin")));
    });
    stdfs::remove(dir.path("book/book_3.bin"));
    stdfs::create_symlink("real_3.bin", dir.path("book/book_3.bin"));

    // verify tells a part it could not read from a missing one.
    // (The second part's open is the second open; its first read the third: the first part's
    // second read tells its end.)
    for (const auto& [call, k] : {std::pair{FaultCall::Open, 2}, std::pair{FaultCall::Read, 3}}) {
        FaultyFiles files(posixFileSystem(), call, k, FaultError::Io);
        const SetVerdict v = verifyParts(files, m, folder);
        ASSERT_TRUE(files.fired());
        EXPECT_EQ(v.parts[1], PartState::Unreadable);
        EXPECT_EQ(v.errors[1].value(), EIO);
        EXPECT_FALSE(v.whole);
    }
    const SetVerdict clean = verifyParts(posixFileSystem(), m, folder);
    EXPECT_EQ(clean.parts, std::vector<PartState>(3, PartState::Ok));
    EXPECT_FALSE(clean.whole);
}

}  // namespace
}  // namespace pw::test
