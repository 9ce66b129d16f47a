#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "cli/cli_run.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

// The files a run of GNU split wrote (x00, x01, … in order), or partwell's parts f_1 …
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (fs::exists(folder))
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().string());
    // Partwell's numbers are not zero-padded: order by length, then name.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    std::vector<std::string> contents;
    for (const auto& n : names) contents.push_back(readFile(n));
    return contents;
}

bool haveGnuSplit() {
    return std::system("split --version 2>/dev/null | grep -q GNU") == 0;
}

// Random files, with and without a final line end, empty, with lines longer than a part and
// fewer lines than parts: byte for byte what GNU split -n l/N and split -C write.
TEST(CliWholeLines, SameFilesAsGnuSplit) {
    if (!haveGnuSplit()) GTEST_SKIP() << "GNU split is not installed";
    TempDir dir;
    std::mt19937 rng(36);
    for (int round = 0; round < 24; ++round) {
        std::string data;
        const int lines = round == 0 ? 0 : int(rng() % 30);
        size_t longest = 0;
        for (int i = 0; i < lines; ++i) {
            const size_t length = rng() % 7 == 0 ? 60 + rng() % 200 : rng() % 20;
            longest = std::max(longest, length + 1);
            data += std::string(length, char('a' + i % 26)) + "\n";
        }
        if (round % 3 == 1) data += "tail without a line end";
        longest = std::max<size_t>(longest, 23);
        writeFile(dir.path("f.txt"), data);
        for (int n : {1, 2, 3, 7, 40}) {
            fs::remove_all(dir.path("f"));
            fs::remove_all(dir.path("gnu"));
            fs::create_directory(dir.path("gnu"));
            ASSERT_EQ(
                cli(dir, "split --parts " + std::to_string(n) + " --whole-lines f.txt").status, 0);
            ASSERT_EQ(std::system(("cd '" + dir.path("gnu") + "' && split -a 3 -d -n l/" +
                                   std::to_string(n) + " ../f.txt")
                                      .c_str()),
                      0);
            ASSERT_EQ(filesIn(dir.path("f")), filesIn(dir.path("gnu")))
                << "round " << round << " n " << n;
        }
        // -C cuts a line longer than the size; partwell keeps it whole: sizes it never meets.
        for (size_t size : {longest, longest + 17, size_t(4096)}) {
            fs::remove_all(dir.path("f"));
            fs::remove_all(dir.path("gnu"));
            fs::create_directory(dir.path("gnu"));
            const CliRun r =
                cli(dir, "split --size " + std::to_string(size) + "B --whole-lines f.txt");
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.err.find("longer than the part size"), std::string::npos);
            ASSERT_EQ(std::system(("cd '" + dir.path("gnu") + "' && split -a 3 -d -C " +
                                   std::to_string(size) + " ../f.txt")
                                      .c_str()),
                      0);
            ASSERT_EQ(filesIn(dir.path("f")), filesIn(dir.path("gnu")))
                << "round " << round << " size " << size;
        }
    }
}

// A header in every part, a longer line named, and join giving the source back exactly from the
// manifest, which an older reader (format 1) refuses.
TEST(CliWholeLines, HeaderPartsJoinBackExactly) {
    TempDir dir;
    const std::string table = "id,note\n1,\"two\nlines\"\n2,plain\n3," + std::string(80, 'x') +
                              "\n4,\"a \"\"quote\"\"\"\n5,end";
    writeFile(dir.path("t.csv"), table);
    CliRun r = cli(dir, "split --size 40B --header --csv --manifest t.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("t_2.csv: one record longer than the part size"), std::string::npos)
        << r.err;
    EXPECT_EQ(readFile(dir.path("t/t_1.csv")), "id,note\n1,\"two\nlines\"\n2,plain\n");
    EXPECT_EQ(readFile(dir.path("t/t_2.csv")), "id,note\n3," + std::string(80, 'x') + "\n");
    EXPECT_EQ(readFile(dir.path("t/t_3.csv")), "id,note\n4,\"a \"\"quote\"\"\"\n5,end");
    const std::string manifest = readFile(dir.path("t/t.sha256"));
    EXPECT_NE(manifest.find("# format: 2\n"), std::string::npos);
    EXPECT_NE(manifest.find("# header: 69642c6e6f74650a\n"), std::string::npos) << manifest;
    EXPECT_EQ(cli(dir, "verify --source t.csv t").status, 0);
    r = cli(dir, "join t");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("t (2).csv")), table);
    fs::remove(dir.path("t (2).csv"));

    // The line mode (whose parts join lines with CR LF, so a CR LF table comes back exactly),
    // counted without the header; and N parts of whole records.
    std::string crlf;
    for (char c : table) crlf += c == '\n' ? "\r\n" : std::string(1, c);
    for (const char* mode : {"--lines 2", "--parts 3", "--lines 1 --detect-encoding"}) {
        const std::string& source = std::string(mode).starts_with("--lines") ? crlf : table;
        writeFile(dir.path("t.csv"), source);
        fs::remove_all(dir.path("t"));
        r = cli(dir, std::string("split --header --csv --manifest ") + mode + " t.csv");
        ASSERT_EQ(r.status, 0) << r.err;
        for (const std::string& part : filesIn(dir.path("t"))) {
            const bool headed =
                part.empty() || part.starts_with("# Partwell") || part.starts_with("id,note");
            EXPECT_TRUE(headed) << mode << ": " << part;
        }
        r = cli(dir, "join t");
        ASSERT_EQ(r.status, 0) << mode << r.err;
        EXPECT_EQ(readFile(dir.path("t (2).csv")), source) << mode;
        fs::remove(dir.path("t (2).csv"));
    }
    // UTF-16 parts the line mode writes back: one mark, then the header, in each; joined exactly.
    std::string wide = "\xFF\xFE";
    for (char c : crlf) wide += std::string{c, '\0'};
    writeFile(dir.path("w.csv"), wide);
    r = cli(dir, "split --lines 2 --header --csv --detect-encoding --manifest w.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string head = std::string("\xFF\xFEi\0d\0,\0n\0o\0t\0e\0\r\0\n\0", 20);
    EXPECT_TRUE(readFile(dir.path("w/w_2.csv")).starts_with(head + "3"));
    EXPECT_EQ(readFile(dir.path("w/w_2.csv")).find("\xFF\xFE", 2), std::string::npos);
    r = cli(dir, "join w");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.path("w (2).csv")), wide);

    r = cli(dir, "split --chars 5 --header t.csv");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--header and --csv work with"), std::string::npos);
}

}  // namespace
}  // namespace pw::test
