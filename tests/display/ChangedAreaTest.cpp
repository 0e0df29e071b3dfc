#include "display/ChangedArea.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "display/Screenshot.h"

namespace zan {
namespace {

// Two pictures of 10 x 4 pixels, 3 bytes each, rows padded to 32 bytes; the padding differs
// between them and must not count.
struct Pair {
  static constexpr int32_t kW = 10, kH = 4, kBytes = 3, kPitch = 32;
  std::vector<uint8_t> a = std::vector<uint8_t>(kPitch * kH, 0);
  std::vector<uint8_t> b = std::vector<uint8_t>(kPitch * kH, 0);
  Pair() {
    for (int32_t y = 0; y < kH; ++y) b[static_cast<size_t>(y * kPitch + kW * kBytes)] = 0xEE;
  }
  PixelRows A() { return PixelRows{a.data(), kPitch, kW, kH}; }
  PixelRows B() { return PixelRows{b.data(), kPitch, kW, kH}; }
  // Changes one byte (of three) of a pixel of b.
  void Touch(int32_t x, int32_t y, int32_t byte) { b[static_cast<size_t>(y * kPitch + x * kBytes + byte)] ^= 1; }
};

struct Case {
  const char* what;
  std::vector<std::array<int32_t, 3>> touched;  // x, y, byte of the pixel
  FrameRect area;
  FrameRect expected;
};

TEST(ChangedAreaTest, TheSmallestRectangleOfTheDifferingPixelsInTheArea) {
  const FrameRect all{0, 0, Pair::kW, Pair::kH};
  const std::vector<Case> cases = {
      {"nothing differs", {}, all, {}},
      {"one pixel, its last byte", {{4, 2, 2}}, all, {4, 2, 5, 3}},
      {"one pixel, its first byte", {{4, 2, 0}}, all, {4, 2, 5, 3}},
      {"two corners", {{0, 0, 1}, {9, 3, 2}}, all, {0, 0, 10, 4}},
      {"a column on two rows", {{7, 1, 0}, {7, 2, 2}}, all, {7, 1, 8, 3}},
      {"left on one row, right on another", {{2, 0, 2}, {6, 3, 0}}, all, {2, 0, 7, 4}},
      {"a difference outside the area", {{1, 1, 0}}, {3, 0, 10, 4}, {}},
      {"the area cut to the pictures", {{9, 3, 0}}, {-5, -5, 50, 50}, {9, 3, 10, 4}},
      {"an empty area", {{1, 1, 0}}, {4, 4, 4, 4}, {}},
  };
  for (const Case& c : cases) {
    Pair p;
    for (const auto& t : c.touched) p.Touch(t[0], t[1], t[2]);
    EXPECT_EQ(ChangedArea(p.A(), p.B(), Pair::kBytes, c.area), c.expected) << c.what;
  }
}

TEST(ChangedAreaTest, NoPicturesNoArea) {
  Pair p;
  EXPECT_EQ(ChangedArea(PixelRows{}, p.B(), Pair::kBytes, {0, 0, 10, 4}), FrameRect{});
}

TEST(HashPixelsTest, EveryPixelByteCountsAndThePaddingDoesNot) {
  Pair p;
  EXPECT_EQ(HashPixels(p.A(), Pair::kBytes), HashPixels(p.B(), Pair::kBytes));  // padding only
  // FNV-1a of nothing: the offset basis.
  EXPECT_EQ(HashPixels(PixelRows{}, Pair::kBytes), 0xCBF29CE484222325ull);
  for (int32_t x : {0, 2, 3, 9}) {  // inside the 8-byte words and in the bytes after them
    Pair q;
    q.Touch(x, 3, 2);
    EXPECT_NE(HashPixels(q.A(), Pair::kBytes), HashPixels(q.B(), Pair::kBytes)) << x;
  }
}

}  // namespace
}  // namespace zan
