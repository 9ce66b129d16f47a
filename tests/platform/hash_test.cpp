#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/md5_pair.h"
#include "support/kernel_sets.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"
#include "text/codepage.h"

namespace pw::test {
namespace {

TEST(Sha256, KnownDigestsAndHashingWhileCopying) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // A copy of the state finishes on its own; the original goes on.
    Sha256 h;
    h.update("ab");
    Sha256 fork(h);
    h.update("c");
    EXPECT_EQ(hexDigest(h.finish()), sha256Hex("abc"));
    EXPECT_EQ(hexDigest(fork.finish()), sha256Hex("ab"));

    // A range copied through a SafeWriter lands whole and is hashed into both digests.
    TempDir dir;
    FileSystem& fs = posixFileSystem();
    std::string source;
    for (int i = 0; i < 3'000'000; ++i) source += char('a' + i % 23);
    writeFile(dir.path("src"), source);
    auto in = fs.open(fromUtf8(dir.path("src")), OpenMode::Read);
    ASSERT_TRUE(in);
    Sha256 part, whole;
    SafeWriter out(fs, fromUtf8(dir.path("part")));
    out.hashInto(&part, &whole);
    out.write("head");
    EXPECT_TRUE(out.copyFrom(*in, 5, 2'500'000));
    EXPECT_EQ(in->position(), 0);
    EXPECT_TRUE(out.commit());
    const std::string expected = "head" + source.substr(5, 2'500'000);
    EXPECT_EQ(readFile(dir.path("part")), expected);
    EXPECT_EQ(hexDigest(part.finish()), sha256Hex(expected));
    EXPECT_EQ(hexDigest(whole.finish()), sha256Hex(expected));

    int64_t length = 0;
    auto digest = hashFile(fs, fromUtf8(dir.path("src")), &length);
    ASSERT_TRUE(digest);
    EXPECT_EQ(hexDigest(*digest), sha256Hex(source));
    EXPECT_EQ(length, int64_t(source.size()));
    EXPECT_FALSE(hashFile(fs, fromUtf8(dir.path("missing"))));
}

// Against libcrypto: pieces of every awkward size, the second stream finished at points that cut
// blocks anywhere and padded alone, the first running on; and the CRC32 of two runs combined.
TEST(Md5Pair, GivesLibcryptosDigestsWhereverTheStreamsAreCut) {
    std::string data(300000, '\0');
    uint32_t x = 7;
    for (char& c : data) c = char((x = x * 69069 + 1) >> 24);
    for (const size_t piece : {1, 3, 63, 64, 65, 1000, 4096, 300000}) {
        SCOPED_TRACE(piece);
        Md5Pair pair;
        Md5 first, second;
        size_t cutAt = 17, cuts = 0;
        for (size_t at = 0; at < data.size(); at += piece) {
            const size_t n = std::min(piece, data.size() - at);
            pair.update(data.data() + at, n);
            first.update(data.data() + at, n);
            second.update(data.data() + at, n);
            if (at + n >= cutAt) {
                const std::string zeros(cuts % 3 * 37, '\0');
                pair.updateSecond(zeros.data(), zeros.size());
                second.update(zeros);
                ASSERT_EQ(pair.finishSecond(), second.finish());
                second.~Md5();
                new (&second) Md5();
                cutAt = at + n + 1 + (cutAt * 7919) % 5000;
                ++cuts;
            }
        }
        EXPECT_EQ(pair.finishFirst(), first.finish());
        EXPECT_EQ(pair.finishSecond(), second.finish());
        EXPECT_GT(cuts, piece < 1000 ? 50u : 0u);
    }
    EXPECT_EQ(Md5Pair().finishFirst(), md5Of(""));
    const uint32_t a = crc32Update(0, data.data(), 1000),
                   b = crc32Update(0, data.data() + 1000, 77);
    EXPECT_EQ(crc32Combine(a, b, 77), crc32Update(0, data.data(), 1077));
}

// The CRC-32 one bit at a time, as the polynomial defines it.
uint32_t crcModel(uint32_t crc, std::string_view bytes) {
    crc = ~crc;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

class Crc32 : public EachKernelSet {};

// Every length around the folding's 16- and 64-byte steps, at every alignment, from any start.
TEST_P(Crc32, IsThePolynomialsAtEveryLengthAndAlignment) {
    const std::string data = randomBytes(5000, 9);
    uint32_t start = 0;
    for (size_t length :
         {0, 1, 15, 16, 17, 63, 64, 65, 79, 80, 127, 128, 129, 191, 255, 1000, 4930})
        for (size_t offset = 0; offset < 64; offset += 7) {
            const std::string_view bytes = std::string_view(data).substr(offset, length);
            EXPECT_EQ(crc32Update(start, bytes.data(), bytes.size()), crcModel(start, bytes))
                << length << " bytes at " << offset;
            start = start * 2654435761u + 1;
        }
}

INSTANTIATE_TEST_SUITE_P(, Crc32, testing::ValuesIn(simd::supportedKernelSets()), kernelSetName);

}  // namespace
}  // namespace pw::test
