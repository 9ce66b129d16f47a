#pragma once
// Runs a suite's tests once with each kernel set this machine runs, so that the plainer sets are
// tested on a machine that would choose a faster one.

#include <gtest/gtest.h>

#include "codec/kernels.h"

namespace pw::simd {

inline void PrintTo(KernelSet set, std::ostream* out) {
    *out << kernelSetName(set);
}

}  // namespace pw::simd

namespace pw::test {

template <typename Base = testing::Test>
class EachKernelSetOf : public Base, public testing::WithParamInterface<simd::KernelSet> {
  protected:
    void SetUp() override {
        Base::SetUp();
        ASSERT_TRUE(simd::pinKernels(this->GetParam()));
    }
    void TearDown() override {
        simd::pinKernels(before_);
        Base::TearDown();
    }

  private:
    simd::KernelSet before_ = simd::kernels().set;
};
using EachKernelSet = EachKernelSetOf<>;

inline std::string kernelSetName(const testing::TestParamInfo<simd::KernelSet>& info) {
    return simd::kernelSetName(info.param);
}

}  // namespace pw::test

#define PW_FOR_EACH_KERNEL_SET(Suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(EachSet, Suite, testing::ValuesIn(pw::simd::supportedKernelSets()), \
                             pw::test::kernelSetName)
