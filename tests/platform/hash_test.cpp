#include <gtest/gtest.h>

#include "platform/files.h"
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

}  // namespace
}  // namespace pw::test
