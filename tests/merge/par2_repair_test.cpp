#include <gtest/gtest.h>

#include <algorithm>

#include "merge/par2_repair.h"
#include "support/faulty_files.h"
#include "support/par2_create.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

par2::RecoverySet readSet(const TempDir& dir) {
    FileSystem& fs = posixFileSystem();
    par2::RecoverySetReader reader;
    const auto entries = fs.listFolder(fromNativeName(dir.path()));
    for (const FolderEntry& e : *entries) {
        if (!e.name.ends_with(".par2")) continue;
        const Text path = fromNativeName(dir.path(e.name));
        auto f = fs.open(path, OpenMode::Read);
        reader.add(path, par2::scanPackets(*f));
    }
    par2::SetProblem problem{};
    std::string detail;
    auto set = reader.build(reader.setIds().at(0), problem, detail);
    EXPECT_TRUE(set);
    return *set;
}

// Five parts (the last one shorter, its last slice not whole) and two parts' worth of recovery:
// every way of losing or damaging up to two of them is repaired, with the work in one range and
// in many; a third loss is more than the recovery holds.
TEST(Par2Repair, EveryLossOfUpToTwoPartsIsRebuilt) {
    const std::vector<std::string> names = {"s_1.bin", "s_2.bin", "s_3.bin", "s_4.bin", "s_5.bin"};
    std::vector<std::string> content;
    for (size_t i = 0; i < names.size(); ++i)
        content.push_back(
            randomBytes(i + 1 < names.size() ? 3000 : 1234, static_cast<unsigned>(i)));
    for (uint64_t memory : {par2::kRecoveryMemory, uint64_t{500}}) {
        TempDir dir;
        for (size_t i = 0; i < names.size(); ++i) writeFile(dir.path(names[i]), content[i]);
        // 752-byte slices: four a part, eight recovery slices for two parts. A small memory makes
        // the builder sum in ranges and read the parts again.
        ASSERT_TRUE(createRecovery(dir.path(), names, "s", 752, 8, memory));
        const par2::RecoverySet set = readSet(dir);
        ASSERT_EQ(set.recovery.size(), 8u);
        FileSystem& fs = posixFileSystem();
        StopFlag stop = 0;
        const Text folder = fromNativeName(dir.path());
        ASSERT_EQ(checkRecoverySet(fs, folder, set, stop).badSlices, 0u);

        for (size_t a = 0; a < names.size(); ++a) {
            for (size_t b = a; b < names.size(); ++b) {
                SCOPED_TRACE("memory " + std::to_string(memory) + ", lost " + names[a] + " and " +
                             names[b]);
                std::remove(dir.path(names[a]).c_str());
                if (b != a) {
                    // Cut short, or a byte changed: damaged, not missing.
                    if (b % 2)
                        writeFile(dir.path(names[b]), content[b].substr(0, 1000));
                    else
                        writeFile(dir.path(names[b]),
                                  content[b].substr(0, 100) + "!" + content[b].substr(101));
                }
                const RecoveryCheck check = checkRecoverySet(fs, folder, set, stop);
                // The set holds its files in the order of their IDs.
                const auto stateOf = [&](size_t i) {
                    const auto at = std::find(set.names.begin(), set.names.end(), names[i]);
                    return check.states[static_cast<size_t>(at - set.names.begin())];
                };
                EXPECT_EQ(stateOf(a), RecoveryFileState::Missing);
                if (b != a) {
                    EXPECT_EQ(stateOf(b), RecoveryFileState::Damaged);
                }
                ASSERT_TRUE(check.repairable());
                const RepairOutcome outcome =
                    repairRecoverySet(fs, folder, set, check, stop, memory);
                EXPECT_TRUE(outcome.failures.empty());
                EXPECT_EQ(outcome.rebuilt.size(), b == a ? 1u : 2u);
                for (size_t i = 0; i < names.size(); ++i)
                    ASSERT_TRUE(readFile(dir.path(names[i])) == content[i]) << names[i];
            }
        }

        for (size_t i : {0, 2, 4}) std::remove(dir.path(names[i]).c_str());
        const RecoveryCheck check = checkRecoverySet(fs, folder, set, stop);
        EXPECT_FALSE(check.repairable());
        EXPECT_EQ(check.badSlices, 4u + 4u + 2u);
    }
}

// A rebuilt file whose recovery data lie takes no name: the checksums of the set stay the judge.
TEST(Par2Repair, ARebuildThatDoesNotMatchIsNotKept) {
    TempDir dir;
    const std::vector<std::string> names = {"s_1.bin", "s_2.bin"};
    writeFile(dir.path("s_1.bin"), randomBytes(4000, 1));
    writeFile(dir.path("s_2.bin"), randomBytes(4000, 2));
    ASSERT_TRUE(createRecovery(dir.path(), names, "s", 1000, 4));
    const par2::RecoverySet set = readSet(dir);
    // The recovery data change after their packets' MD5s were read, as a failing disk's would.
    const std::string other = readFile(dir.path("s.vol1+2.par2"));
    std::string changed = other;
    changed[changed.size() - 10] ^= 0x55;
    writeFile(dir.path("s.vol1+2.par2"), changed);
    std::remove(dir.path("s_2.bin").c_str());
    FileSystem& fs = posixFileSystem();
    StopFlag stop = 0;
    const Text folder = fromNativeName(dir.path());
    const RecoveryCheck check = checkRecoverySet(fs, folder, set, stop);
    ASSERT_TRUE(check.repairable());
    const RepairOutcome outcome = repairRecoverySet(fs, folder, set, check, stop);
    EXPECT_TRUE(outcome.rebuilt.empty());
    EXPECT_EQ(outcome.mismatched, std::vector<Text>{"s_2.bin"});
    EXPECT_FALSE(fileExists(dir.path("s_2.bin")));
    EXPECT_EQ(listing(dir.path()).find(".~partwell"), std::string::npos) << listing(dir.path());
}

// A slice that cannot be read spoils that slice alone: the slices after it in the same file are
// still judged on their own bytes, so the repair needs no more recovery than the damage. Slices
// just over a read's megabyte, so that a read can fail halfway through one.
TEST(Par2Repair, AReadFailureCostsOnlyItsSlice) {
    TempDir dir;
    const std::vector<std::string> names = {"s_1.bin", "s_2.bin"};
    const size_t slice = (size_t{1} << 20) + 4;
    writeFile(dir.path("s_1.bin"), randomBytes(2 * slice, 1));
    writeFile(dir.path("s_2.bin"), randomBytes(2 * slice, 2));
    ASSERT_TRUE(createRecovery(dir.path(), names, "s", slice, 2));
    const par2::RecoverySet set = readSet(dir);
    const Text folder = fromNativeName(dir.path());
    for (int64_t failing = 1; failing <= 8; ++failing) {
        SCOPED_TRACE("read " + std::to_string(failing) + " fails");
        FaultyFiles fs(posixFileSystem(), FaultCall::Read, failing, FaultError::Io);
        StopFlag stop = 0;
        const RecoveryCheck check = checkRecoverySet(fs, folder, set, stop);
        EXPECT_TRUE(fs.fired());
        EXPECT_EQ(check.badSlices, 1u);
        EXPECT_EQ(std::count(check.states.begin(), check.states.end(), RecoveryFileState::Ok), 1);
    }
}

}  // namespace
}  // namespace pw::test
