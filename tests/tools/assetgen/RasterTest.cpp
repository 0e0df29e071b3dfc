#include <gtest/gtest.h>

#include "Bmp.h"
#include "Raster.h"

namespace zan::assetgen {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A 3 × 2 picture: top row red, green, blue; bottom row white, half-transparent grey,
// fully transparent.
Canvas Sample() {
  Canvas c(3, 2);
  const Rgba px[6] = {Hex(0xFF0000), Hex(0x00FF00), Hex(0x0000FF), Hex(0xFFFFFF), Hex(0x808080, 0.5f), Rgba{0, 0, 0, 0}};
  for (int i = 0; i < 6; ++i) c.Fill(RoundRect(i % 3, i / 3, 1, 1, 0), Solid(px[i]), 1.0f, Blend::Over, i % 3, i / 3, i % 3 + 1, i / 3 + 1);
  return c;
}

TEST(BmpEncoder, TwentyFourBitRowsArePaddedAndStoredBottomUp) {
  std::vector<uint8_t> b = EncodeBmp(Sample(), BmpForm::Rgb24);
  ASSERT_EQ(b.size(), 54u + 12 * 2);  // 9 bytes of pixels padded to 12
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(U32(b, 2), b.size());
  EXPECT_EQ(b[6] | b[7] << 8, 0);  // no alpha plane
  EXPECT_EQ(U32(b, 10), 54u);
  EXPECT_EQ(U32(b, 18), 3u);
  EXPECT_EQ(U32(b, 22), 2u);
  EXPECT_EQ(b[28], 24);
  // The first stored row is the bottom one: white first, B G R order.
  EXPECT_EQ(b[54], 255);
  EXPECT_EQ(b[54 + 12 + 0], 0);    // red: blue byte
  EXPECT_EQ(b[54 + 12 + 2], 255);  // red: red byte
  EXPECT_EQ(b[54 + 12 + 6], 255);  // blue pixel: blue byte
}

TEST(BmpEncoder, AlphaPlaneFollowsTheRowsBottomUpWithoutPadding) {
  std::vector<uint8_t> b = EncodeBmp(Sample(), BmpForm::Rgb24Alpha);
  ASSERT_EQ(b.size(), 54u + 24 + 6);
  EXPECT_EQ(b[6], 1);
  const uint8_t* plane = &b[54 + 24];
  EXPECT_EQ(plane[0], 255);  // bottom row: white, grey, transparent
  EXPECT_EQ(plane[1], 128);
  EXPECT_EQ(plane[2], 0);
  EXPECT_EQ(plane[3], 255);  // top row opaque
}

TEST(BmpEncoder, ThirtyTwoBitPixelsCarryAlphaAndKeyedTransparencyIsGreen) {
  std::vector<uint8_t> b = EncodeBmp(Sample(), BmpForm::Argb32, true);
  ASSERT_EQ(b.size(), 54u + 4 * 6);
  EXPECT_EQ(b[28], 32);
  const uint8_t* grey = &b[54 + 4];
  EXPECT_NEAR(grey[0], 128, 1);  // straight colour, not premultiplied
  EXPECT_EQ(grey[3], 128);
  const uint8_t* clear = &b[54 + 8];
  EXPECT_EQ(clear[0], 0);
  EXPECT_EQ(clear[1], 255);
  EXPECT_EQ(clear[2], 0);
  EXPECT_EQ(clear[3], 0);
}

TEST(Raster, ShapesAreAntiAliasedAtTheirEdges) {
  Canvas c(40, 40);
  c.Fill(Circle(20, 20, 10), Solid(Hex(0xFFFFFF)));
  EXPECT_FLOAT_EQ(c.At(20, 20).a, 1.0f);
  EXPECT_FLOAT_EQ(c.At(2, 2).a, 0.0f);
  // A pixel whose centre lies just inside the edge (9.9 from the centre) is partly covered.
  float edge = c.At(26, 27).a;
  EXPECT_GT(edge, 0.0f);
  EXPECT_LT(edge, 1.0f);
}

TEST(Raster, RandomNumbersAreTheSameOnEveryRun) {
  Rng a(7), b(7), c(8);
  uint32_t x = a.Next();
  EXPECT_EQ(x, b.Next());
  EXPECT_NE(x, c.Next());
}

}  // namespace
}  // namespace zan::assetgen
