#include <sys/stat.h>

#include "support/split_fixture.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

using Job = SplitFixture;

TEST_F(Job, ProgressAndOutputFolders) {
    writeFile(dir.path("x.tar.gz"), "1234");
    writeFile(dir.path("sub/b.txt"), "5678");
    writeFile(dir.path("README"), "abcd");
    byCount("2");
    std::vector<std::string> labels;
    host.onProcessEvents = [&] { labels.push_back(toUtf8(host.progressText)); };
    split({dir.path("x.tar.gz"), dir.path("sub/b.txt"), dir.path("README")});

    EXPECT_EQ(listing(dir.path("x.tar")), "x.tar_1.gz x.tar_2.gz");
    EXPECT_EQ(listing(dir.path("sub/b")), "b_1.txt b_2.txt");
    // The subfolder name of a file without extension is the file itself: parts go beside it.
    EXPECT_EQ(readFile(dir.path("README_2")), "cd");
    EXPECT_EQ(host.progressMaximum, 3);
    EXPECT_EQ(host.progressPosition, 3);
    ASSERT_GE(labels.size(), 2u);
    EXPECT_EQ(labels[0], "[1] (1/3)x.tar.gz");
    EXPECT_EQ(labels[3], "[1] (2/3)b.txt");

    options.set.intoSubfolder = false;
    split({dir.path("sub/b.txt")});
    EXPECT_EQ(listing(dir.path("sub")), "b.txt b/ b_1.txt b_2.txt");
}

TEST_F(Job, EmptyListResetsProgressAndStopFlag) {
    host.setProgressMaximum(9);
    host.setProgressPosition(4);
    stop = 1;
    auto summary = split({});
    EXPECT_EQ(host.progressMaximum, 0);
    EXPECT_EQ(host.progressPosition, 0);
    EXPECT_EQ(stop, 0);
    EXPECT_EQ(summary.partsWritten, 0);
}

TEST_F(Job, StopDuringTheThirdOfFiveSources) {
    std::vector<std::string> files;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(dir.path("f" + std::to_string(i) + ".txt"));
        writeFile(files.back(), "0123456789");
    }
    byCount("5");
    options.set.deleteSources = true;
    int rounds = 0;
    // A click on the running button arrives while part 2 of the third file is done.
    host.onProcessEvents = [&] {
        if (++rounds == 5 + 1 + 5 + 1 + 2) stop = 1;
    };
    auto summary = split(files);
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(host.progressPosition, 3);
    EXPECT_EQ(listing(dir.path("f3")), "f3_1.txt f3_2.txt");
    EXPECT_FALSE(fileExists(dir.path("f4")));
    EXPECT_FALSE(fileExists(dir.path("f5")));
    // The first two were split whole and go; the stopped one stays.
    EXPECT_FALSE(fileExists(files[0]));
    EXPECT_FALSE(fileExists(files[1]));
    EXPECT_TRUE(fileExists(files[2]));
    EXPECT_EQ(stop, 1);  // stays set until the next job begins
}

TEST_F(Job, AFailedWriteIsCountedAndKeepsTheSource) {
    writeFile(dir.path("a.txt"), "0123456789");
    ::mkdir(dir.path("a").c_str(), 0777);
    ::mkdir(dir.path("a/a_2.txt").c_str(), 0777);  // a folder where part 2 should go
    writeFile(dir.path("a/a_1.txt"), "old");
    byCount("3");
    options.set.deleteSources = true;
    auto summary = split({dir.path("a.txt"), dir.path("missing.txt")});
    EXPECT_EQ(summary.failedOutputs, 1);
    EXPECT_EQ(summary.partsWritten, 2);
    EXPECT_EQ(summary.unreadableSources, 1);
    EXPECT_EQ(readFile(dir.path("a.txt")), "0123456789");
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")), "012");              // replaced, as a re-run does
    EXPECT_EQ(listing(dir.path("a")), "a_1.txt a_2.txt/ a_3.txt");  // no temporary left
}

TEST_F(Job, APartNeverReplacesAFileTheJobReadOrWrote) {
    writeFile(dir.path("a.txt"), "0123");
    writeFile(dir.path("a_1.txt"), "keep me");
    byCount("2");
    options.set.intoSubfolder = false;
    options.set.deleteSources = true;
    auto summary = split({dir.path("a.txt"), dir.path("a_1.txt")});
    EXPECT_EQ(summary.failedOutputs, 0);
    // a_1.txt is a source: the part takes the next free name, and every byte is kept.
    EXPECT_EQ(readFile(dir.path("a_1 (2).txt")) + readFile(dir.path("a_2.txt")), "0123");
    EXPECT_EQ(readFile(dir.path("a_1_1.txt")) + readFile(dir.path("a_1_2.txt")), "keep me");
    EXPECT_EQ(listing(dir.path()), "a_1 (2).txt a_1_1.txt a_1_2.txt a_2.txt");

    // A part named after its text ("y_2") is not replaced by the numbered part 2 after it.
    writeFile(dir.path("y/y.txt"), "y_2...");
    options.set.nameAfterText = true;
    split({dir.path("y/y.txt")});
    EXPECT_EQ(listing(dir.path("y")), "y_2 (2).txt y_2.txt");
    EXPECT_EQ(readFile(dir.path("y/y_2.txt")) + readFile(dir.path("y/y_2 (2).txt")), "y_2...");

    // Two sources: a phrase of one names a part of the other.
    writeFile(dir.path("z/notes.txt"), "log_1");
    writeFile(dir.path("z/log.txt"), "...");  // no phrase: numbered
    byCount("1");
    split({dir.path("z/notes.txt"), dir.path("z/log.txt")});
    EXPECT_EQ(listing(dir.path("z")), "log_1 (2).txt log_1.txt");
    EXPECT_EQ(readFile(dir.path("z/log_1.txt")) + readFile(dir.path("z/log_1 (2).txt")),
              "log_1...");
}

TEST_F(Job, WholeSourcesAreDeletedOnlyOnRequest) {
    writeFile(dir.path("a.txt"), "0123");
    byCount("2");
    split({dir.path("a.txt")});
    EXPECT_TRUE(fileExists(dir.path("a.txt")));
    options.set.deleteSources = true;
    split({dir.path("a.txt")});
    EXPECT_FALSE(fileExists(dir.path("a.txt")));
    EXPECT_EQ(readFile(dir.path("a/a_1.txt")) + readFile(dir.path("a/a_2.txt")), "0123");
}

}  // namespace
}  // namespace pw::test
