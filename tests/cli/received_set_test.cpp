// A received part set is a stranger's input: a manifest whose names lead out of its folder is
// refused whole by verify, join and the merge; a link out of the folder is never read; nothing
// outside is read, written or deleted.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_run.h"
#include "support/faulty_files.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

constexpr std::string_view kHeader =
    "# Partwell checksum manifest; check the parts with: sha256sum -c <this file>\n";

// A manifest of the parts "p_1.bin" (bytes "one") and `second` (bytes "two"), the original
// recorded as `source`; the second part's name is on line 11.
std::string manifestOf(const std::string& source, const std::string& second) {
    return std::string(kHeader) + "# format: 1\n# source: " + source +
           "\n# source-size: 6\n# source-sha256: " + sha256Hex("onetwo") +
           "\n# mode: parts\n# exact: yes\n# size: 3\n" + sha256Hex("one") + "  p_1.bin\n" +
           "# size: 3\n" + sha256Hex("two") + "  " + second + "\n";
}

// What is on disk, links with their targets: nothing of it may change.
std::vector<std::string> everything(const TempDir& dir) {
    std::vector<std::string> out = treeContents(dir, true);
    for (const auto& e : stdfs::recursive_directory_iterator(dir.path()))
        if (e.is_symlink())
            out.push_back(e.path().string() + " -> " + stdfs::read_symlink(e).string());
    return out;
}

TEST(ReceivedSet, NamesLeadingOutOfTheFolderRefuseTheWholeManifest) {
    struct Case {
        const char* what;
        std::string source, second;
        const char* line;
    };
    TempDir dir;
    const std::string outside = dir.path("outside.txt");
    const Case cases[] = {
        {"a part two folders up", "p.bin", "../../outside.txt", "line 11"},
        {"an absolute part", "p.bin", outside, "line 11"},
        {"a part in a subfolder", "p.bin", "sub/two.bin", "line 11"},
        {"the folder itself", "p.bin", ".", "line 11"},
        {"the parent folder", "p.bin", "..", "line 11"},
        {"a NUL in a part's name", "p.bin", std::string("two\0/../x", 9), "line 11"},
        {"an original three folders up", "../../../escape.bin", "p_2.bin", "line 3"},
        {"an absolute original", dir.path("escape.bin"), "p_2.bin", "line 3"},
        {"an original in a subfolder", "sub/escape.bin", "p_2.bin", "line 3"},
        {"the original as the parent", "..", "p_2.bin", "line 3"},
    };
    const std::string commands[] = {"verify a/b/set/p.sha256", "join a/b/set",
                                    "join --delete-parts a/b/set/p.sha256",
                                    "join --delete-parts --output-dir . a/b/set/p_1.bin",
                                    "merge --delete-sources --no-parent-folder a/b/set"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stdfs::remove_all(dir.path());
        stdfs::create_directories(dir.path("a/b/set/sub"));
        writeFile(outside, "two");  // what the hostile name would read, or delete
        writeFile(dir.path("a/b/set/p_1.bin"), "one");
        writeFile(dir.path("a/b/set/p_2.bin"), "two");
        writeFile(dir.path("a/b/set/sub/two.bin"), "two");
        writeFile(dir.path("a/b/set/p.sha256"), manifestOf(c.source, c.second));
        const auto before = everything(dir);
        for (const std::string& command : commands) {
            SCOPED_TRACE(command);
            const CliRun r = cli(dir, command);
            EXPECT_EQ(r.status, 1) << r.out << r.err;
            EXPECT_EQ(everything(dir), before) << r.out << r.err;
            EXPECT_EQ(r.out.find(": OK"), std::string::npos) << r.out;
            if (!command.starts_with("merge")) {
                EXPECT_NE(r.err.find(std::string("(") + c.line + ": "), std::string::npos) << r.err;
            }
        }
    }
}

TEST(ReceivedSet, LinksAreReadOnlyInsideTheFolderAndOutputsNeverReplaceOne) {
    TempDir dir;
    const auto plant = [&](const std::string& target) {
        stdfs::remove_all(dir.path());
        stdfs::create_directories(dir.path("set/sub"));
        writeFile(dir.path("two.bin"), "two");
        writeFile(dir.path("set/sub/two.bin"), "two");
        writeFile(dir.path("set/p_1.bin"), "one");
        writeFile(dir.path("set/real_2.bin"), "two");
        stdfs::create_symlink(target, dir.path("set/p_2.bin"));
        writeFile(dir.path("set/p.sha256"), manifestOf("p.bin", "p_2.bin"));
    };
    // A link to a file beside it is one of the set.
    plant("real_2.bin");
    CliRun r = cli(dir, "verify set");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    r = cli(dir, "join --output-dir . set");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("p.bin")), "onetwo");

    for (const char* target : {"../two.bin", "sub/two.bin", "sub/../../two.bin"}) {
        SCOPED_TRACE(target);
        plant(target);
        const auto before = everything(dir);
        r = cli(dir, "verify set");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("p_2.bin: LINK OUT OF THE FOLDER"), std::string::npos) << r.out;
        for (const char* command :
             {"join --delete-parts set", "merge --delete-sources --no-parent-folder set"}) {
            r = cli(dir, command);
            EXPECT_EQ(r.status, 1) << command;
            EXPECT_EQ(everything(dir), before) << command << r.err;
        }
        EXPECT_NE(r.err.find("set/p_2.bin"), std::string::npos) << r.err;
    }

    // A link that leads nowhere is a missing part.
    plant("gone_2.bin");
    r = cli(dir, "verify set");
    EXPECT_NE(r.out.find("p_2.bin: MISSING"), std::string::npos) << r.out;
    r = cli(dir, "join --delete-parts set");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("set/p_2.bin: missing part"), std::string::npos) << r.err;
    EXPECT_TRUE(stdfs::is_symlink(dir.path("set/p_2.bin")));

    // A link at the original's name, dangling or to a file of the user's, is a taken name.
    for (const char* target : {"nowhere.bin", "two.bin"}) {
        SCOPED_TRACE(target);
        plant("real_2.bin");
        stdfs::create_symlink(target, dir.path("p.bin"));
        r = cli(dir, "join --output-dir . set");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, dir.path("p (2).bin") + "\n");
        EXPECT_EQ(readFile(dir.path("p (2).bin")), "onetwo");
        EXPECT_TRUE(stdfs::is_symlink(dir.path("p.bin")));
        EXPECT_EQ(stdfs::read_symlink(dir.path("p.bin")), target);
        EXPECT_EQ(readFile(dir.path("two.bin")), "two");
    }
}

// A split into a folder holding a received manifest for the same file removes only earlier parts
// of that folder it proved unchanged: never a file the manifest names outside it, nor one a link
// leads out to (the link is kept and named).
TEST(ReceivedSet, ReSplittingRemovesNothingOutsideTheFolder) {
    TempDir dir;
    for (const char* second : {"../../outside.txt", "p_9.bin"}) {
        SCOPED_TRACE(second);
        stdfs::remove_all(dir.path());
        stdfs::create_directories(dir.path("a/p"));
        writeFile(dir.path("outside.txt"), "two");
        writeFile(dir.path("a/p.bin"), "onetwo");
        writeFile(dir.path("a/p/p_1.bin"), "one");
        if (std::string(second) == "p_9.bin")
            stdfs::create_symlink("../../outside.txt", dir.path("a/p/p_9.bin"));
        writeFile(dir.path("a/p/p.sha256"), manifestOf("p.bin", second));
        const CliRun r = cli(dir, "split --parts 1 --manifest a/p.bin");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(readFile(dir.path("outside.txt")), "two");
        EXPECT_EQ(readFile(dir.path("a/p/p_1.bin")), "onetwo");
        if (std::string(second) == "p_9.bin") {
            EXPECT_TRUE(stdfs::is_symlink(dir.path("a/p/p_9.bin")));
            EXPECT_NE(r.err.find("p_9.bin: left from an earlier split"), std::string::npos)
                << r.err;
        }
    }
}

// Verify and join say the same of a manifest edited so that it disagrees with its parts or with
// itself; join writes the original only when its bytes are the recorded original's.
TEST(ReceivedSet, VerifyAndJoinAgreeOnAnEditedManifest) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 30'000; ++i) data += char('a' + i * 7 % 26);
    struct Edit {
        const char* what;
        std::string from, to;  // in the manifest
        const char* verifySays;
        const char* joinSays;
        bool written;
    };
    const Edit edits[] = {
        {"a part's digest", sha256Hex(data.substr(10'000, 10'000)), std::string(64, '0'),
         "book_2.bin: CHANGED", "book/book_2.bin: the part was changed", false},
        {"the original's digest", sha256Hex(data), std::string(64, 'f'),
         "book.sha256: every part matches", "book.sha256: every part matches", false},
        {"the original's size", "source-size: 30000", "source-size: 30001",
         "book.sha256: the parts join into the recorded original, but",
         "book.sha256: the parts join into the recorded original, but", true},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.what);
        stdfs::remove_all(dir.path());
        stdfs::create_directories(dir.path());
        writeFile(dir.path("book.bin"), data);
        ASSERT_EQ(cli(dir, "split --parts 3 --manifest book.bin").status, 0);
        stdfs::remove(dir.path("book.bin"));
        std::string manifest = readFile(dir.path("book/book.sha256"));
        ASSERT_NE(manifest.find(e.from), std::string::npos);
        manifest.replace(manifest.find(e.from), e.from.size(), e.to);
        writeFile(dir.path("book/book.sha256"), manifest);

        CliRun r = cli(dir, "verify book");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE((r.out + r.err).find(e.verifySays), std::string::npos) << r.out << r.err;
        r = cli(dir, "join book");
        EXPECT_EQ(r.status, e.written ? 0 : 1) << r.err;
        EXPECT_NE(r.err.find(e.joinSays), std::string::npos) << r.err;
        EXPECT_EQ(fileExists(dir.path("book.bin")), e.written);
        if (e.written) {
            EXPECT_EQ(readFile(dir.path("book.bin")), data);
        }
    }

    // Without a manifest the join says once that completeness was not checked.
    stdfs::remove(dir.path("book/book.sha256"));
    stdfs::remove(dir.path("book.bin"));
    const CliRun r = cli(dir, "join book/book_1.bin");
    EXPECT_EQ(r.status, 0) << r.err;
    const size_t said = r.err.find("could not be checked");
    EXPECT_NE(said, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("could not be checked", said + 1), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pw::test
