#include <gtest/gtest.h>

#include "files/par2_reader.h"
#include "platform/gf16.h"
#include "support/par2_create.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"

namespace pw::test {
namespace {

using namespace par2;

ScanResult scanBytes(const std::string& bytes) {
    auto file = makeMemoryFile(bytes);
    return scanPackets(*file);
}

Id someId(unsigned char fill) {
    Id id;
    id.fill(fill);
    return id;
}

TEST(Par2Format, PacketHeaderCarriesLengthAndTheMd5OfItsTail) {
    const Id set = someId(7);
    const std::string p = packet(set, kCreatorType, creatorBody("abcde"));
    ASSERT_EQ(p.size(), 64u + 8u);  // the body padded to a multiple of 4
    EXPECT_EQ(p.substr(0, 8), kMagic);
    EXPECT_EQ(getLe(reinterpret_cast<const unsigned char*>(p.data()) + 8, 8), p.size());
    const Md5Digest md5 = md5Of(p.substr(32));
    EXPECT_EQ(p.substr(16, 16), std::string(md5.begin(), md5.end()));
    EXPECT_EQ(p.substr(48, 16), kCreatorType);
    const ScanResult scan = scanBytes(p);
    ASSERT_EQ(scan.packets.size(), 1u);
    EXPECT_EQ(scan.packets[0].setId, set);
    EXPECT_EQ(scan.packets[0].body, std::string("abcde\0\0\0", 8));
}

TEST(Par2Format, SliceConstantsArePowersOfTwoWithExponentsPrimeTo65535) {
    const std::vector<uint32_t> exponents = {1,  2,  4,  7,  8,  11, 13, 14, 16,
                                             19, 22, 23, 26, 28, 29, 31, 32};
    const std::vector<uint16_t> constants = sliceConstants(static_cast<uint32_t>(exponents.size()));
    ASSERT_EQ(constants.size(), exponents.size());
    for (size_t i = 0; i < exponents.size(); ++i) {
        EXPECT_EQ(constants[i], gf16::exp2(exponents[i])) << i;
        EXPECT_EQ(sliceConstant(static_cast<uint32_t>(i)), constants[i]);
    }
    EXPECT_EQ(sliceConstants(40000).size(), kMaxInputSlices);
}

TEST(Par2Format, PlainFileNamesOnly) {
    for (const char* good : {"a.bin", "书_1.txt", "..a", "a..", "C", "1:2", " x"})
        EXPECT_TRUE(isPlainFileName(good)) << good;
    for (std::string bad : std::vector<std::string>{
             "", ".", "..", "../x", "a/b", "/etc/passwd", "a\\b", "C:", "c:x.bin", {"a\0b", 3}})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
}

TEST(Par2Format, SliceSizeCutsTheLargestPartInFourWithinTheLimits) {
    EXPECT_EQ(chooseSliceSize({1000, 1000, 500}), 252);
    EXPECT_EQ(chooseSliceSize({3}), 4);
    EXPECT_EQ(chooseSliceSize(std::vector<int64_t>(10, int64_t{10} << 30)), kMaxSliceSize);
    // 10,000 parts in four slices would be 40,000 slices: three each, the smallest size that does.
    const std::vector<int64_t> many(10000, 1000);
    const int64_t size = chooseSliceSize(many);
    EXPECT_EQ(size % 4, 0);
    EXPECT_EQ(slicesOf(1000, static_cast<uint64_t>(size)) * 10000, 30000u);
    EXPECT_GT(slicesOf(1000, static_cast<uint64_t>(size - 4)) * 10000, kMaxInputSlices);
}

TEST(Par2Format, VolumesDoubleAndTheirNamesShareOneWidth) {
    using V = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ(RecoveryBuilder::volumeLayout(1), (V{{0, 1}}));
    EXPECT_EQ(RecoveryBuilder::volumeLayout(7), (V{{0, 1}, {1, 2}, {3, 4}}));
    EXPECT_EQ(RecoveryBuilder::volumeLayout(12), (V{{0, 1}, {1, 2}, {3, 4}, {7, 5}}));
    EXPECT_EQ(volumeFileName("x", 3, 4, 1, 1), "x.vol3+4.par2");
    EXPECT_EQ(volumeFileName("x", 3, 4, 2, 2), "x.vol03+04.par2");
    EXPECT_EQ(indexFileName("书"), "书.par2");
}

// A set written by the builder, read back whole; then the same bytes damaged in the ways a
// received file is: garbage around and inside, a flipped byte, a length past the end, a cut.
TEST(Par2Reader, ReadsItsOwnSetAndSkipsDamageAsParCmdlineDoes) {
    TempDir dir;
    writeFile(dir.path("p_1.bin"), randomBytes(5000, 1));
    writeFile(dir.path("p_2.bin"), randomBytes(3001, 2));
    const auto written = createRecovery(dir.path(), {"p_1.bin", "p_2.bin"}, "p", 1252, 3);
    ASSERT_TRUE(written);
    const std::string index = readFile(dir.path("p.par2"));
    const ScanResult clean = scanBytes(index);
    ASSERT_EQ(clean.packets.size(), 6u);  // main, two descriptions and checksums, creator
    EXPECT_EQ(clean.skippedBytes, 0);

    RecoverySetReader reader;
    reader.add(fromNativeName(dir.path("p.par2")), clean);
    reader.add(fromNativeName(dir.path("p.vol1+2.par2")),
               scanBytes(readFile(dir.path("p.vol1+2.par2"))));
    ASSERT_EQ(reader.setIds().size(), 1u);
    SetProblem problem{};
    std::string detail;
    const auto set = reader.build(reader.setIds()[0], problem, detail);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->sliceSize, 1252u);
    EXPECT_EQ(set->inputSlices, 4u + 3u);
    ASSERT_EQ(set->recovery.size(), 2u);
    EXPECT_EQ(set->recovery[0].exponent, 1u);
    EXPECT_EQ(set->recovery[1].exponent, 2u);
    std::vector<std::string> names(set->names.begin(), set->names.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"p_1.bin", "p_2.bin"}));

    const std::string garbage = "PAR2\0PK" + randomBytes(333, 3);
    const ScanResult noisy =
        scanBytes(garbage + index.substr(0, 200) + garbage + index.substr(200));
    EXPECT_EQ(noisy.packets.size(), 5u) << "only the packet cut by the garbage is lost";

    std::string flipped = index;
    flipped[64 + 20] ^= 1;  // inside the main packet's body
    EXPECT_EQ(scanBytes(flipped).packets.size(), 5u);

    std::string tooLong = index;
    tooLong[8 + 5] = 0x7F;  // the first packet claims far more bytes than the file has
    const ScanResult longScan = scanBytes(tooLong);
    EXPECT_EQ(longScan.packets.size(), 5u);

    const ScanResult cut = scanBytes(index.substr(0, index.size() - 10));
    EXPECT_EQ(cut.packets.size(), 5u);
    EXPECT_EQ(scanBytes(randomBytes(10000, 4)).packets.size(), 0u);
    EXPECT_EQ(scanBytes("").packets.size(), 0u);
}

// Packets that are well formed, with good MD5s, and still describe nothing usable.
TEST(Par2Reader, RefusesSetsThatLeaveTheFolderOrDoNotAddUp) {
    const auto setOf = [](uint64_t sliceSize, uint32_t count, const std::string& name,
                          uint64_t length, size_t checksums) {
        FileDescription d;
        d.name = name;
        d.length = length;
        d.fileId = fileIdOf(d.headMd5, d.length, d.name);
        std::string main = mainBody(sliceSize, {d.fileId});
        main.replace(8, 4, std::string{static_cast<char>(count), 0, 0, 0});
        const Id set = md5Of(main);
        const std::string bytes =
            packet(set, kMainType, main) + packet(set, kFileDescType, fileDescriptionBody(d)) +
            packet(set, kSliceChecksumType,
                   sliceChecksumBody(d.fileId, std::vector<SliceChecksum>(checksums)));
        RecoverySetReader reader;
        reader.add("x.par2", scanBytes(bytes));
        SetProblem problem = SetProblem::None;
        std::string detail;
        const bool built = reader.build(set, problem, detail).has_value();
        return std::pair{built ? SetProblem::None : problem, detail};
    };
    EXPECT_EQ(setOf(8, 1, "a.bin", 20, 3).first, SetProblem::None);
    for (std::string bad : {"../a.bin", "/etc/passwd", "C:a.bin", "a\\b", "sub/a.bin", ".."}) {
        const auto [problem, detail] = setOf(8, 1, bad, 20, 3);
        EXPECT_EQ(problem, SetProblem::BadFileName) << bad;
        EXPECT_EQ(detail, bad);
    }
    EXPECT_EQ(setOf(8, 1, std::string("a\0b", 3), 20, 3).first, SetProblem::BadFileName);
    EXPECT_EQ(setOf(6, 1, "a.bin", 20, 3).first, SetProblem::BadMainPacket);  // not a multiple of 4
    EXPECT_EQ(setOf(0, 1, "a.bin", 20, 3).first, SetProblem::BadMainPacket);
    EXPECT_EQ(setOf(8, 2, "a.bin", 20, 3).first, SetProblem::BadMainPacket);  // more files than IDs
    EXPECT_EQ(setOf(8, 1, "a.bin", 20, 2).first, SetProblem::MissingFilePackets);
    // 2^40 bytes in slices of 4 bytes: refused by count before anything is sized by it.
    EXPECT_EQ(setOf(4, 1, "a.bin", uint64_t{1} << 40, 3).first, SetProblem::TooManySlices);
}

}  // namespace
}  // namespace pw::test
