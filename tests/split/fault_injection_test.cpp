// Every call the split job makes to the file system is made to fail once, in turn, with each
// error, in every mode, until the job runs clean. Whatever fails, no source may be lost, no file
// under a final name may be incomplete, no temporary file may stay, and a failure that changed
// the outcome must show in the summary.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/control_table.h"
#include "platform/memory_form.h"
#include "split/split_files.h"
#include "support/faulty_files.h"
#include "support/temp_dir.h"

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

std::string contentOf(const Source& s) {
    std::string out;
    for (int i = 0; i < s.records; ++i) {
        char record[16];
        std::snprintf(record, sizeof record, "%c%05d\n", s.letter, i);
        out += record;
    }
    return out;
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

class SplitFaults : public ::testing::Test {
  protected:
    // A fresh tree; the sources as the job gets them.
    std::vector<Text> plantTree(const TempDir& dir) {
        std::vector<Text> files;
        for (const Source& s : kSources) {
            writeFile(dir.path("src/" + s.name), contentOf(s));
            files.push_back(fromUtf8(dir.path("src/" + s.name)));
        }
        return files;
    }

    SplitSummary run(const SplitSetup& setup, FileSystem& files, const std::vector<Text>& sources) {
        MemoryForm form(mainWindowSpec());
        if (setup.bySize) {
            form.setChecked("单选框按字节", true);
            form.setText("编辑框字节", "100");
            form.setSelectedIndex("组合框字节单位", 0);
        } else {
            form.setChecked("单选框按份数", true);
            form.setText("编辑框份数", "3");
        }
        form.setChecked("选择框子目录保存", setup.subfolder);
        form.setChecked("选择框随机改名", setup.renameByContent);
        form.setChecked("选择框分割后删除文件", true);
        StepClock clock;
        int stop = 0;
        EngineContext ctx{form, files, clock, stop};
        return splitFiles(ctx, sources);
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

}  // namespace
}  // namespace pw::test
