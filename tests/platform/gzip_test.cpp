#include "platform/gzip.h"

#include <gtest/gtest.h>

#include <zlib.h>
#include "support/gzip_bytes.h"

namespace pw {
namespace {

using pw::test::gzipped;

TEST(Gunzip, LimitIsExactAndEveryMemberCounts) {
    // Far more than one output window and than the first room reserved, and no two pieces
    // alike, so a piece out of place would show.
    std::string data((1 << 20) + 7, ' ');
    for (size_t i = 0; i < data.size(); ++i) data[i] = char('a' + (i * 7919 >> 5) % 26);
    const std::string packed = gzipped(data);
    EXPECT_EQ(gunzip(packed, data.size()), data);
    EXPECT_FALSE(gunzip(packed, data.size() - 1));
    EXPECT_EQ(gunzip(packed + gzipped("tail"), data.size() + 4), data + "tail");
    EXPECT_FALSE(gunzip(packed + gzipped("tail"), data.size() + 3));
    // Bytes after the last member that are no member are left out.
    EXPECT_EQ(gunzip(gzipped("ab") + "junk", 100), "ab");
}

TEST(Gunzip, BrokenAndForeignStreams) {
    EXPECT_FALSE(gunzip("", 100));
    EXPECT_FALSE(gunzip("plain text", 100));
    EXPECT_FALSE(gunzip(std::string("\x1F\x8B\x07\0\0\0\0\0\0\x03xyz", 13), 100));  // no deflate
    EXPECT_FALSE(gunzip("\x1F\x8B\x08", 100));  // cut inside the header
    // A stream that breaks off, or fails its check sum, keeps what was decoded before.
    std::string data;
    for (uint32_t x = 1; data.size() < 200000; x = x * 1103515245u + 12345u)
        data += char('a' + (x >> 16) % 26);
    const std::string packed = gzipped(data);
    auto cut = gunzip(packed.substr(0, packed.size() / 2), 1 << 20);
    ASSERT_TRUE(cut);
    EXPECT_GT(cut->size(), 20000u);
    EXPECT_LT(cut->size(), data.size());
    EXPECT_TRUE(*cut == data.substr(0, cut->size()));
    std::string badSum = packed;
    badSum[badSum.size() - 6] ^= 0x55;
    auto checked = gunzip(badSum, 1 << 20);
    ASSERT_TRUE(checked);
    EXPECT_TRUE(*checked == data);
    // A stream cut after its header gives nothing decoded, but it is a gzip stream.
    EXPECT_EQ(gunzip(gzipped("abc").substr(0, 10), 100), "");
}

}  // namespace
}  // namespace pw
