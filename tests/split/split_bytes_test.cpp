#include "split/split_by_bytes.h"

#include <limits>

#include "support/split_fixture.h"
#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using Split = SplitFixture;

std::string sizesOf(const std::string& folder, const std::string& base, int parts,
                    const std::string& ext = ".txt") {
    std::string out;
    for (int k = 1; k <= parts; ++k)
        out += (k > 1 ? "," : "") +
               std::to_string(readFile(folder + "/" + base + "_" + std::to_string(k) + ext).size());
    return out;
}

TEST_F(Split, CountModeCutsEqualPartsAndTheLastTakesTheRest) {
    writeFile(dir.path("ten.txt"), "0123456789");
    writeFile(dir.path("two.txt"), "ab");
    writeFile(dir.path("empty.txt"), "");
    byCount("3");
    split({dir.path("ten.txt")});
    EXPECT_EQ(readFile(dir.path("ten/ten_1.txt")), "012");
    EXPECT_EQ(readFile(dir.path("ten/ten_2.txt")), "345");
    EXPECT_EQ(readFile(dir.path("ten/ten_3.txt")), "6789");

    byCount("5");
    split({dir.path("two.txt")});
    EXPECT_EQ(sizesOf(dir.path("two"), "two", 5), "0,0,0,0,2");

    byCount("3.7");  // reads as 3
    auto summary = split({dir.path("empty.txt")});
    EXPECT_EQ(listing(dir.path("empty")), "empty_1.txt empty_2.txt empty_3.txt");
    EXPECT_EQ(summary.partsWritten, 3);
    EXPECT_EQ(summary.failedOutputs, 0);
}

TEST_F(Split, SizeModeFollowsTheQuotientRule) {
    writeFile(dir.path("ten.txt"), "0123456789");
    writeFile(dir.path("nine.txt"), "012345678");
    writeFile(dir.path("empty.txt"), "");
    bySize("3", 0);
    split({dir.path("ten.txt"), dir.path("nine.txt"), dir.path("empty.txt")});
    EXPECT_EQ(listing(dir.path("ten")), "ten_1.txt ten_2.txt ten_3.txt ten_4.txt");
    EXPECT_EQ(sizesOf(dir.path("ten"), "ten", 4), "3,3,3,1");
    EXPECT_EQ(listing(dir.path("nine")), "nine_1.txt nine_2.txt nine_3.txt");
    EXPECT_FALSE(fileExists(dir.path("empty")));  // an empty file gives no part, nor a folder

    // 1.5 KB is 1536 bytes; full-width digits count as digits.
    writeFile(dir.path("k.bin"), std::string(4000, 'k'));
    bySize("\xEF\xBC\x91.5", 1);  // "１.5"
    split({dir.path("k.bin")});
    EXPECT_EQ(sizesOf(dir.path("k"), "k", 3, ".bin"), "1536,1536,928");
}

TEST_F(Split, PartsAtLeastAsLargeAsTheFileGiveOnePartHoldingAllOfIt) {
    const std::string data(5000, 'x');
    writeFile(dir.path("d.txt"), data);
    bySize("3.12", 3);  // the default: 3,350,074,368 bytes, beyond 32 bits
    split({dir.path("d.txt")});
    EXPECT_EQ(listing(dir.path("d")), "d_1.txt");
    EXPECT_EQ(readFile(dir.path("d/d_1.txt")), data);
    EXPECT_EQ(partSizeBytes(3.12f, 3), 3350074368);

    // A quotient that prints in exponent form (1e-05) still gives the one part.
    writeFile(dir.path("ten.txt"), "0123456789");
    bySize("1000000", 0);
    EXPECT_EQ(split({dir.path("ten.txt")}).partsWritten, 1);
    EXPECT_EQ(readFile(dir.path("ten/ten_1.txt")), "0123456789");
}

TEST_F(Split, PartSizeArithmetic) {
    EXPECT_EQ(partSizeBytes(123456789.0f, 0), 123456792);  // single precision
    EXPECT_EQ(partSizeBytes(3.12f, 0), 3);
    EXPECT_EQ(partSizeBytes(0.1f, 2), 104857);
    EXPECT_EQ(partSizeBytes(1.5f, 1), 1536);
    // Out of range at either end, or no number at all: clamped before the cast.
    EXPECT_EQ(partSizeBytes(-1e30f, 3), 0);
    EXPECT_EQ(partSizeBytes(std::numeric_limits<float>::infinity(), 3), 9000000000000000000);
    EXPECT_EQ(partSizeBytes(std::numeric_limits<float>::quiet_NaN(), 0), 0);
    EXPECT_EQ(partCountForQuotient(std::numeric_limits<float>::infinity()), 9000000000000000000);

    EXPECT_EQ(partCountForQuotient(10.0f / 3.0f), 4);
    EXPECT_EQ(partCountForQuotient(3.0f), 3);
    EXPECT_EQ(partCountForQuotient(2.5f), 3);
    EXPECT_EQ(partCountForQuotient(0.0f), 0);
    EXPECT_EQ(partCountForQuotient(100000.4f), 100000);
    EXPECT_EQ(partCountForQuotient(1234567.0f), 1234568);  // prints as 1.23457e+06
    EXPECT_EQ(partCountForQuotient(2000000.0f), 2000000);  // prints as 2e+06
    EXPECT_EQ(partCountForQuotient(0.25f), 1);
}

TEST_F(Split, RefusedOptionsEndTheWholeJob) {
    writeFile(dir.path("a.txt"), "aaaa");
    writeFile(dir.path("b.txt"), "bbbb");
    struct Case {
        bool bySize;
        std::string text;
        int unit;
        std::string_view message;
        SplitOptionBox focus;
    };
    const Case cases[] = {
        {false, "0", 0, texts::kPartCountMustBePositive, SplitOptionBox::PartCount},
        {false, "-3", 0, texts::kPartCountMustBePositive, SplitOptionBox::PartCount},
        {false, "abc", 0, texts::kPartCountMustBePositive, SplitOptionBox::PartCount},
        {true, "0", 2, texts::kByteLengthNotZero, SplitOptionBox::PartSize},
        {true, "0.5", 0, texts::kByteLengthNotZero, SplitOptionBox::PartSize},  // under one byte
        {true, "-2", 1, texts::kByteLengthNotZero, SplitOptionBox::PartSize},
        {true, "x", 3, texts::kByteLengthNotZero, SplitOptionBox::PartSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host.messages.clear();
        splitHost.focused.reset();
        if (c.bySize)
            bySize(c.text, c.unit);
        else
            byCount(c.text);
        auto summary = split({dir.path("a.txt"), dir.path("b.txt")});
        EXPECT_TRUE(summary.aborted);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, lit(c.message));
        EXPECT_EQ(host.messages[0].buttons, Buttons::Ok);
        EXPECT_EQ(splitHost.focused, c.focus);
        // Nothing was written, so no folder was made for either source.
        EXPECT_FALSE(fileExists(dir.path("a")));
        EXPECT_FALSE(fileExists(dir.path("b")));
    }
}

}  // namespace
}  // namespace pw::test
