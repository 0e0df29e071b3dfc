#pragma once
// Tests that run once per blend path: the plain path and each SIMD one. A path this
// processor cannot run is skipped, and the skip names the missing instruction set.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "pixels/BlendKernels.h"

namespace zan::test {

inline const char* PathName(BlendPath path) {
  switch (path) {
    case BlendPath::kPlain: return "Plain";
    case BlendPath::kSse2: return "Sse2";
    case BlendPath::kAvx2: return "Avx2";
  }
  return "?";
}

}  // namespace zan::test

namespace zan {
// Names the path in failure messages.
inline void PrintTo(BlendPath path, std::ostream* os) { *os << test::PathName(path); }
}  // namespace zan

namespace zan::test {

class PathTest : public ::testing::TestWithParam<BlendPath> {
 protected:
  void SetUp() override {
    if (GetParam() > BestBlendPath())
      GTEST_SKIP() << "this processor (or this build) cannot run " << PathName(GetParam())
                   << ": its kernels are not checked here";
    SetBlendPath(GetParam());
  }
  void TearDown() override { SetBlendPath(BestBlendPath()); }
  BlendPath Path() const { return GetParam(); }
};

inline auto AllPaths() { return ::testing::Values(BlendPath::kPlain, BlendPath::kSse2, BlendPath::kAvx2); }
inline auto SimdPaths() { return ::testing::Values(BlendPath::kSse2, BlendPath::kAvx2); }
inline std::string PathParamName(const ::testing::TestParamInfo<BlendPath>& info) { return PathName(info.param); }

}  // namespace zan::test
