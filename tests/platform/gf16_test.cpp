#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/gf16.h"

namespace pw::test {
namespace {

// The field by its definition: carry-less products reduced by 0x1100B, no tables.
uint16_t modelMultiply(uint16_t a, uint16_t b) {
    uint32_t product = 0;
    for (int i = 0; i < 16; ++i)
        if (b & (1u << i)) product ^= uint32_t{a} << i;
    for (int bit = 31; bit >= 16; --bit)
        if (product & (1u << bit)) product ^= 0x1100Bu << (bit - 16);
    return static_cast<uint16_t>(product);
}

TEST(Gf16, ProductsInversesAndPowersMatchTheDefinition) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const auto a = static_cast<uint16_t>(random()), b = static_cast<uint16_t>(random());
        ASSERT_EQ(gf16::multiply(a, b), modelMultiply(a, b)) << a << " * " << b;
    }
    for (uint32_t a = 1; a < 65536; a += 97)
        EXPECT_EQ(modelMultiply(static_cast<uint16_t>(a), gf16::inverse(static_cast<uint16_t>(a))),
                  1);
    EXPECT_EQ(gf16::exp2(16), 0x100B);  // 2^16 reduced once
    EXPECT_EQ(gf16::exp2(65535), 1);    // the multiplicative group's order
    uint16_t p = 1;
    for (uint32_t e = 0; e < 40; ++e) {
        EXPECT_EQ(gf16::power(0x1234, e), p) << e;
        p = modelMultiply(p, 0x1234);
    }
}

// Regions of every kind of length and alignment, as slices' tails and staged pieces give them.
TEST(Gf16, RegionMultiplyAddMatchesTheModelAtAnyLengthAndAlignment) {
    std::mt19937 random(11);
    for (gf16::Kernel kernel : {gf16::Kernel::Avx2, gf16::Kernel::Library, gf16::Kernel::Tables}) {
        if (!gf16::hasKernel(kernel)) continue;
        SCOPED_TRACE("kernel " + std::to_string(static_cast<int>(kernel)));
        for (size_t bytes : {2u, 6u, 14u, 16u, 30u, 34u, 62u, 4094u, 65538u, 1000002u}) {
            for (auto [targetShift, sourceShift] :
                 {std::pair{0, 0}, {2, 2}, {6, 6}, {0, 2}, {4, 10}}) {
                SCOPED_TRACE(std::to_string(bytes) + " bytes, shifted " +
                             std::to_string(targetShift) + "/" + std::to_string(sourceShift));
                std::vector<unsigned char> target(bytes + 64), source(bytes + 64);
                for (auto& c : target) c = static_cast<unsigned char>(random());
                for (auto& c : source) c = static_cast<unsigned char>(random());
                const auto factor = static_cast<uint16_t>(random() | 1);
                std::vector<unsigned char> expected = target;
                for (size_t i = 0; i < bytes; i += 2) {
                    const uint16_t s = source[sourceShift + i] | source[sourceShift + i + 1] << 8;
                    const uint16_t v = modelMultiply(s, factor);
                    expected[targetShift + i] ^= static_cast<unsigned char>(v);
                    expected[targetShift + i + 1] ^= static_cast<unsigned char>(v >> 8);
                }
                gf16::multiplyAddWith(kernel, target.data() + targetShift,
                                      source.data() + sourceShift, bytes, factor);
                ASSERT_TRUE(target == expected);
                gf16::multiplyAdd(target.data() + targetShift, source.data() + sourceShift, bytes,
                                  0);
                ASSERT_TRUE(target == expected) << "a factor of 0 adds nothing";
            }
        }
    }
    EXPECT_TRUE(gf16::hasKernel(gf16::Kernel::Library)) << "gf-complete did not start";
}

}  // namespace
}  // namespace pw::test
