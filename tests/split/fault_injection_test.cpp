// Every call the split job makes to the file system is made to fail once, in turn, with each
// error, in every mode, until the job runs clean. Whatever fails, no source may be lost, no file
// under a final name may be incomplete, no temporary file may stay, and a failure that changed
// the outcome must show in the summary.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "split/split_files.h"
#include "support/faulty_files.h"
#include "support/temp_dir.h"
#include "support/test_host.h"
#include "support/test_options.h"
#include "text/codepage.h"
#include "text/numeric_text.h"

namespace pw::test {
namespace {

namespace stdfs = std::filesystem;

struct Source {
    std::string name;
    char letter;  // every record of the source starts with it
    int records;
};
// Unique seven-byte records, so that any piece of at least seven bytes has one place in its
// source. "c" has no extension: its parts go beside it.
const Source kSources[] = {{"a.txt", 'a', 60}, {"b.log", 'b', 40}, {"c", 'c', 30}};

// Its records, one a line; for the text modes "b" has a Chinese character in each, every ninth
// ends in "|", and "c" has CR LF line breaks.
std::string recordsOf(const Source& s, bool forText) {
    std::string out;
    for (int i = 0; i < s.records; ++i) {
        char record[16];
        std::snprintf(record, sizeof record, "%c%05d", s.letter, i);
        out += record;
        if (forText && s.letter == 'b') out += "\xE4\xB9\x99";  // 乙
        if (forText && i % 9 == 8) out += "|";
        out += forText && s.letter == 'c' ? "\r\n" : "\n";
    }
    return out;
}

std::string contentOf(const Source& s) {
    return recordsOf(s, false);
}

// For the text modes: ASCII, UTF-8, and UTF-16LE with its mark.
std::string bytesOf(const Source& s) {
    const std::string text = recordsOf(s, true);
    if (s.letter != 'c') return text;
    std::string utf16 = "\xFF\xFE";
    for (char c : text) utf16 += std::string{c, '\0'};
    return utf16;
}

// A fresh tree of the sources; the sources as the job gets them.
std::vector<Text> plantSources(const TempDir& dir, const std::vector<Source>& sources,
                               bool forText) {
    std::vector<Text> files;
    for (const Source& s : sources) {
        writeFile(dir.path("src/" + s.name), forText ? bytesOf(s) : contentOf(s));
        files.push_back(fromUtf8(dir.path("src/" + s.name)));
    }
    return files;
}

struct SplitSetup {
    const char* name;
    bool bySize;  // 100-byte parts, else 3 parts
    bool subfolder;
    bool renameByContent;
};
const SplitSetup kSetups[] = {
    {"three parts each", false, true, false},
    {"100-byte parts beside the sources", true, false, false},
    {"three parts named after their text", false, true, true},
    {"100-byte parts named after their text, beside the sources", true, false, true},
};

// The part lengths a source is cut into.
std::vector<size_t> partLengths(const SplitSetup& setup, size_t length) {
    const size_t size = setup.bySize ? 100 : length / 3;
    const size_t count = setup.bySize ? (length + size - 1) / size : 3;
    std::vector<size_t> lengths(count, size);
    lengths.back() = length - size * (count - 1);
    return lengths;
}

int64_t failuresIn(const SplitSummary& s) {
    return s.failedOutputs + s.unreadableSources + s.undeletedSources;
}

class StepClock : public Clock {
  public:
    uint64_t tickMs() override { return now_ += 3; }

  private:
    uint64_t now_ = 1000;
};

// The job of options set up for a mode, its sources deleted when split.
SplitSummary runJob(TestSplitOptions& options, FileSystem& files, const std::vector<Text>& sources,
                    bool subfolder, bool renameByContent) {
    options.set.intoSubfolder = subfolder;
    options.set.nameAfterText = renameByContent;
    options.set.deleteSources = true;
    StepClock clock;
    TestJobHost host;
    TestSplitHost splitHost(options);
    SplitContext ctx{{host, files, clock}, options, splitHost};
    return splitFiles(ctx, sources);
}

class SplitFaults : public ::testing::Test {
  protected:
    std::vector<Text> plantTree(const TempDir& dir) {
        return plantSources(dir, {std::begin(kSources), std::end(kSources)}, false);
    }

    SplitSummary run(const SplitSetup& setup, FileSystem& files, const std::vector<Text>& sources) {
        TestSplitOptions options;
        if (setup.bySize) {
            options.set.mode = SplitMode::Bytes;
            options.set.partSizeNumber = 100;
            options.set.partSizeUnit = 0;
        } else {
            options.set.mode = SplitMode::Parts;
            options.set.partCount = 3;
        }
        return runJob(options, files, sources, setup.subfolder, setup.renameByContent);
    }

    // The safety rules, checked on the tree a faulty run left.
    void checkTree(const SplitSetup& setup, const TempDir& dir, const FaultyFiles& files) {
        std::map<char, std::vector<bool>> partsFound;
        for (const Source& s : kSources)
            partsFound[s.letter].assign(partLengths(setup, contentOf(s).size()).size(), false);
        for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) {
            if (!e.is_regular_file()) continue;
            const std::string name = e.path().filename().string();
            const std::string content = readFile(e.path().string());
            if (isTemporaryName(name)) {
                // Only a removal that itself failed may leave one.
                EXPECT_EQ(fromUtf8(e.path().string()), files.failedPath()) << "left: " << name;
                continue;
            }
            const auto source = std::find_if(std::begin(kSources), std::end(kSources),
                                             [&](const Source& s) { return s.name == name; });
            if (source != std::end(kSources) && e.path().parent_path().filename() == "src") {
                EXPECT_EQ(content, contentOf(*source)) << "a source changed: " << name;
                continue;
            }
            // A part: exactly one of the pieces its source is cut into.
            ASSERT_FALSE(content.empty()) << "an empty part: " << name;
            const auto of = std::find_if(std::begin(kSources), std::end(kSources), [&](auto& s) {
                return contentOf(s).find(content) != std::string::npos;
            });
            ASSERT_NE(of, std::end(kSources)) << "not a piece of a source: " << name;
            const std::string whole = contentOf(*of);
            const std::vector<size_t> lengths = partLengths(setup, whole.size());
            const size_t at = whole.find(content);
            ASSERT_EQ(at % lengths[0], 0u) << "a part that starts mid-part: " << name;
            const size_t index = at / lengths[0];
            EXPECT_EQ(content.size(), lengths[index]) << "an incomplete part: " << name;
            partsFound[of->letter][index] = true;
        }
        for (const Source& s : kSources) {
            if (fileExists(dir.path("src/" + s.name))) continue;
            const auto& found = partsFound[s.letter];
            EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](bool b) { return b; }))
                << s.name << " was deleted without all its parts";
        }
    }
};

TEST_F(SplitFaults, EveryFailingCallInEveryModeLeavesNothingLostOrHalfWritten) {
    int64_t runs = 0;
    for (const SplitSetup& setup : kSetups) {
        SCOPED_TRACE(setup.name);
        std::vector<std::string> clean;
        {
            TempDir dir;
            ASSERT_EQ(failuresIn(run(setup, posixFileSystem(), plantTree(dir))), 0);
            clean = treeContents(dir, false);
        }
        runs += forEveryFault([&](FaultyFiles& files) {
            TempDir dir;
            const SplitSummary summary = run(setup, files, plantTree(dir));
            if (files.fired())
                checkTree(setup, dir, files);
            else
                EXPECT_TRUE(failuresIn(summary) == 0) << "a failure without a fault";
            // A fault the job got over, or one it did not reach, leaves what a clean run does.
            if (failuresIn(summary) == 0) {
                EXPECT_EQ(treeContents(dir, false), clean) << "a failure went unreported";
            }
        });
        if (HasFailure()) return;
    }
    EXPECT_GT(runs, 300);
}

// The text modes cut decoded text and write parts back in the source's encoding (lines rejoined
// with CR LF, the delimiter dropped), so a part is not a byte range of its source. What a faulty
// run leaves is held against a clean run of the same job instead: each part under a final name
// is one the clean run wrote, in the same folder (and under the same name, unless named after its
// text), and a deleted source has every part a clean run of it alone wrote.

enum class TextMode { Lines, Chars, Delimiter };
struct TextSetup {
    const char* name;
    TextMode mode;
    const char* count;  // lines or characters a part, or the delimiter
    bool decode;        // lines only: detect the encoding and fix line breaks first, else take
                        // the bytes as they are (the UTF-16 source is left out then: every NUL
                        // byte would end a line)
    bool subfolder;
    bool renameByContent;
};
const TextSetup kTextSetups[] = {
    {"7 decoded lines a part", TextMode::Lines, "7", true, true, false},
    {"5 lines a part as they are, named after their text, beside the sources", TextMode::Lines, "5",
     false, false, true},
    {"40 characters a part, named after their text", TextMode::Chars, "40", true, true, true},
    {"33 characters a part beside the sources", TextMode::Chars, "33", true, false, false},
    {"cut at every |", TextMode::Delimiter, "|", true, true, false},
    {"cut at every |, named after their text, beside the sources", TextMode::Delimiter, "|", true,
     false, true},
};

// What a run left: its parts as "folder<TAB>content" and as "path<TAB>content", the sources it
// kept, and the temporary files.
struct TextTree {
    std::multiset<std::string> partsByFolder, partsByName;
    std::vector<std::string> sourcesKept, temporaries;
};

class TextSplitFaults : public ::testing::Test {
  protected:
    SplitSummary run(const TextSetup& setup, FileSystem& files, const std::vector<Text>& sources) {
        TestSplitOptions options;
        const Text count = setup.count;
        switch (setup.mode) {
            case TextMode::Lines:
                options.set.mode = SplitMode::Lines;
                options.set.lines = {textToInt(count), textToInt(count)};
                options.set.detectEncoding = setup.decode;
                options.set.fixLineBreaks = setup.decode;
                break;
            case TextMode::Chars:
                options.set.mode = SplitMode::Characters;
                options.set.chars = {textToInt(count), textToInt(count)};
                break;
            case TextMode::Delimiter:
                options.set.mode = SplitMode::Delimiter;
                options.set.delimiter = count;
                break;
        }
        return runJob(options, files, sources, setup.subfolder, setup.renameByContent);
    }

    TextTree treeOf(const TempDir& dir) {
        TextTree tree;
        for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) {
            if (!e.is_regular_file()) continue;
            const std::string path = e.path().string(), name = e.path().filename().string();
            if (isTemporaryName(name)) {
                tree.temporaries.push_back(path);
                continue;
            }
            const std::string content = readFile(path);
            const auto source =
                std::find_if(std::begin(kSources), std::end(kSources),
                             [&](auto& s) { return dir.path("src/" + s.name) == path; });
            if (source != std::end(kSources)) {
                EXPECT_EQ(content, bytesOf(*source)) << "a source changed: " << name;
                tree.sourcesKept.push_back(source->name);
                continue;
            }
            const std::string folder = e.path().parent_path().string().substr(dir.path().size());
            tree.partsByFolder.insert(folder + "\t" + content);
            tree.partsByName.insert(folder + "/" + name + "\t" + content);
        }
        std::sort(tree.sourcesKept.begin(), tree.sourcesKept.end());
        return tree;
    }

    // The parts a clean run writes: of the whole job, and of each source alone.
    void runClean(const TextSetup& setup) {
        sources_.clear();
        for (const Source& s : kSources)
            if (setup.decode || s.letter != 'c') sources_.push_back(s);
        TempDir dir;
        ASSERT_EQ(failuresIn(run(setup, posixFileSystem(), plantSources(dir, sources_, true))), 0);
        clean_ = treeOf(dir);
        ASSERT_GT(clean_.partsByFolder.size(), 10u);
        ASSERT_TRUE(clean_.sourcesKept.empty());  // every source split whole, and deleted
        for (const Source& s : sources_) {
            TempDir alone;
            ASSERT_EQ(failuresIn(run(setup, posixFileSystem(), plantSources(alone, {s}, true))), 0);
            cleanOfSource_[s.name] = treeOf(alone).partsByFolder;
        }
    }

    // Parts are known by name, unless named after a phrase picked at random.
    static const std::multiset<std::string>& partsOf(const TextSetup& setup, const TextTree& t) {
        return setup.renameByContent ? t.partsByFolder : t.partsByName;
    }

    void checkTree(const TextSetup& setup, const TempDir& dir, const FaultyFiles& files) {
        const TextTree tree = treeOf(dir);
        // Only a removal that itself failed may leave a temporary file.
        for (const std::string& t : tree.temporaries) EXPECT_EQ(fromUtf8(t), files.failedPath());
        const auto& got = partsOf(setup, tree);
        const auto& want = partsOf(setup, clean_);
        for (const std::string& part : got)
            EXPECT_LE(got.count(part), want.count(part))
                << "a part the clean run does not write: " << part.substr(0, 80);
        for (const Source& s : sources_) {
            if (std::find(tree.sourcesKept.begin(), tree.sourcesKept.end(), s.name) !=
                tree.sourcesKept.end())
                continue;
            for (const std::string& part : cleanOfSource_[s.name])
                EXPECT_TRUE(tree.partsByFolder.contains(part))
                    << s.name << " was deleted without its part " << part.substr(0, 80);
        }
    }

    std::vector<Source> sources_;
    TextTree clean_;
    std::map<std::string, std::multiset<std::string>> cleanOfSource_;
};

TEST_F(TextSplitFaults, EveryFailingCallInEveryTextModeLeavesNothingLostOrHalfWritten) {
    int64_t runs = 0;
    for (const TextSetup& setup : kTextSetups) {
        SCOPED_TRACE(setup.name);
        runClean(setup);
        if (HasFailure()) return;
        runs += forEveryFault([&](FaultyFiles& files) {
            TempDir dir;
            const SplitSummary summary = run(setup, files, plantSources(dir, sources_, true));
            if (files.fired())
                checkTree(setup, dir, files);
            else
                EXPECT_TRUE(failuresIn(summary) == 0) << "a failure without a fault";
            // A fault the job got over, or one it did not reach, leaves what a clean run does.
            if (failuresIn(summary) == 0) {
                const TextTree tree = treeOf(dir);
                EXPECT_TRUE(partsOf(setup, tree) == partsOf(setup, clean_) &&
                            tree.sourcesKept == clean_.sourcesKept && tree.temporaries.empty())
                    << "a failure went unreported: " << toUtf8(files.failedPath());
            }
        });
        if (HasFailure()) return;
    }
    EXPECT_GT(runs, 300);
}

}  // namespace
}  // namespace pw::test
