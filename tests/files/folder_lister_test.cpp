#include "files/folder_lister.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/temp_dir.h"
#include "support/test_host.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

std::string names(const std::vector<Text>& paths, const std::string& root) {
    std::string out;
    for (const Text& p : paths) out += (out.empty() ? "" : " ") + toUtf8(p).substr(root.size() + 1);
    return out;
}

TEST(FolderLister, PatternsOrderAndKinds) {
    TempDir dir;
    for (const char* n : {"book_12.txt", "book_2.TXT", "book_1.txt", "x.htm", "y.html", "notes"})
        writeFile(dir.path(n), "x");
    ::mkdir(dir.path("sub.txt").c_str(), 0777);
    ::mkdir(dir.path("Sub2").c_str(), 0777);
    TestJobHost host;
    FileSystem& fs = posixFileSystem();
    const Text root = fromUtf8(dir.path());
    auto list = [&](const char* patterns, ListEntries entries = ListEntries::Files) {
        return names(FolderLister(host, fs, root, patterns, entries), dir.path());
    };

    EXPECT_EQ(list("*.htm"), "x.htm");
    EXPECT_EQ(list("*.txt|*.htm"), "book_1.txt book_2.TXT book_12.txt x.htm");
    EXPECT_EQ(list("*.txt|*.TXT"),
              "book_1.txt book_2.TXT book_12.txt book_1.txt book_2.TXT book_12.txt");
    EXPECT_EQ(list(""), "book_1.txt book_2.TXT book_12.txt notes x.htm y.html");
    EXPECT_EQ(list("book_?.txt"), "book_1.txt book_2.TXT");
    EXPECT_EQ(list("*.*", ListEntries::Folders), "sub.txt Sub2");
    EXPECT_GT(host.eventRounds, 0);
    EXPECT_TRUE(FolderLister(host, fs, root + "/none", "*.*", ListEntries::Files).empty());
}

TEST(FolderLister, WildcardsAndNaturalOrder) {
    EXPECT_TRUE(wildcardMatch("*.*", "README"));
    EXPECT_TRUE(wildcardMatch("READ*.*", "readme"));
    EXPECT_TRUE(wildcardMatch("*.TxT", "a.txt"));
    EXPECT_FALSE(wildcardMatch("*.txt", "a.txt.bak"));
    EXPECT_TRUE(wildcardMatch("?.txt", lit("字.txt")));  // one character, two bytes
    EXPECT_FALSE(wildcardMatch("??.txt", lit("字.txt")));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXbYbZc"));  // the star backtracks past a false start
    EXPECT_FALSE(wildcardMatch("a*b?c", "abcbc0"));
    EXPECT_TRUE(wildcardMatch("*?", "x"));
    EXPECT_FALSE(wildcardMatch("*?", ""));

    // Only a byte that starts a character folds: 癆 and 癮 differ in the case of a second byte.
    EXPECT_FALSE(wildcardMatch(lit("癆*.txt"), lit("癮x.txt")));
    EXPECT_TRUE(wildcardMatch(lit("癮*.TXT"), lit("癮x.txt")));

    // "*." takes the names without an extension.
    EXPECT_TRUE(wildcardMatch("*.", "README"));
    EXPECT_FALSE(wildcardMatch("*.", "a.txt"));
    EXPECT_TRUE(wildcardMatch("read?e.", "readme"));

    // Stars that cannot match cost time linear in the name, not exponential.
    const std::string name(64, 'a');
    for (int i = 0; i < 1000; ++i)
        ASSERT_FALSE(wildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", name + std::to_string(i)));

    EXPECT_TRUE(naturalLess("part_2", "part_10"));
    EXPECT_TRUE(naturalLess("Apple", "banana"));
    EXPECT_FALSE(naturalLess("b", "A"));
    EXPECT_TRUE(naturalLess("a9z", "a10a"));
    EXPECT_TRUE(naturalLess("x", "x1"));
    EXPECT_NE(naturalLess("a01", "a1"), naturalLess("a1", "a01"));  // still a strict order
}

}  // namespace
}  // namespace pw::test
