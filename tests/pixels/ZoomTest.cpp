// The scaled copies ZoomAlphaBlt and ZoomBlendBlt: bilinear cases worked out by hand per
// format, their results and edge cases, and the fast path against the per-pixel reference,
// bit for bit, on every blend path.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "PathTest.h"
#include "pixels/BlendKernels.h"
#include "pixels/BlendTables.h"
#include "pixels/ZoomPixels.h"

namespace zan {
namespace {

using test::Colour;
using test::FillRaw;
using test::MakeSurface;
using test::Raw;
using test::SetRaw;

// The paths this processor runs, for the cases worked out by hand.
std::vector<BlendPath> RunnablePaths() {
  std::vector<BlendPath> paths;
  for (BlendPath p : {BlendPath::kPlain, BlendPath::kSse2, BlendPath::kAvx2})
    if (p <= BestBlendPath()) paths.push_back(p);
  return paths;
}

class ZoomTest : public ::testing::Test {
 protected:
  void TearDown() override { SetBlendPath(BestBlendPath()); }

  // A 2 x 2 source: (200, 0, 40), (0, 100, 240) over (50, 50, 50), (255, 255, 255).
  static std::unique_ptr<Surface> Quad(int32_t format, uint8_t alpha) {
    auto s = MakeSurface(format, 2, 2);
    const Rgb colours[] = {{200, 0, 40}, {0, 100, 240}, {50, 50, 50}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i) SetRaw(*s, i % 2, i / 2, PackColour(format, colours[i]));
    s->Alpha().Fill(alpha);
    return s;
  }
};

TEST_F(ZoomTest, DoublingAQuadFiltersBytesWithTheProductTable) {
  // Scale 2048: steps of 0.5 source pixels, so odd columns and rows sit halfway (f = 128).
  //  (1, 0): R P[200][127] + P[0][128] = 99; G 0 + P[100][128] = 50; B P[40][127] + P[240][128]
  //          = 19 + 120 = 139.
  //  row 1 halfway along x: every channel P[50][127] + P[255][128] = 24 + 128 = 152.
  //  (1, 1): R P[99][127] + P[152][128] = 49 + 76 = 125; G P[50][127] + 76 = 100;
  //          B P[139][127] + 76 = 69 + 76 = 145.
  //  (3, 3): both neighbours clamp to the last sample: (255, 255, 255).
  for (BlendPath path : RunnablePaths()) {
    SetBlendPath(path);
    for (int32_t format : {888, 8888}) {
      auto src = Quad(format, 255);
      auto dst = MakeSurface(format, 6, 6);
      ASSERT_EQ(dst->ZoomAlphaBlt(1, 1, *src, 2048), DrawResult::kOk);
      EXPECT_EQ(Colour(*dst, 1, 1), (Rgb{200, 0, 40})) << format;
      EXPECT_EQ(Colour(*dst, 2, 1), (Rgb{99, 50, 139})) << format;
      EXPECT_EQ(Colour(*dst, 2, 2), (Rgb{125, 100, 145})) << format;
      EXPECT_EQ(Colour(*dst, 4, 4), (Rgb{255, 255, 255})) << format;
      EXPECT_EQ(Colour(*dst, 5, 5), (Rgb{0, 0, 0})) << format;  // 4 x 4 only
      EXPECT_EQ(dst->Alpha().At(4, 4), 255);
      EXPECT_EQ(dst->Alpha().At(5, 5), 0);
      if (format == 8888) EXPECT_EQ(Raw(*dst, 2, 1) >> 24, 0u);
    }
  }
}

TEST_F(ZoomTest, SixteenBitFormatsFilterFieldsInPlace) {
  // White beside black at f = 128, opaque. 565, fields in place, masked at the end only:
  //  red 0xF800: x (63488 * 127 + 255) >> 8 = 31496; y (f = 0) (31496 * 255 + 255) >> 8 =
  //  31373; toward black by 255 (31373 * 255 + 255) >> 8 = 31251 -> field 15. Green 0x7E0:
  //  1001, 998, 995 -> 31. Blue 31: 16, 16, 16 -> 16.
  // 555 without the rounding term: red 15748, 15686, 15624 -> 15; green 492, 490, 488 -> 15;
  //  blue 15, 14, 13.
  struct Case {
    int32_t format;
    uint32_t white;
    uint32_t halfway;  // raw result at (1, 0)
  };
  for (const Case& c : {Case{565, 0xFFFF, (15u << 11) | (31u << 5) | 16u},
                        Case{555, 0x7FFF, (15u << 10) | (15u << 5) | 13u}}) {
    auto src = MakeSurface(c.format, 2, 1);
    SetRaw(*src, 0, 0, c.white);
    SetRaw(*src, 1, 0, 0);
    src->Alpha().Fill(255);
    auto dst = MakeSurface(c.format, 4, 2);
    ASSERT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 2048), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 1, 0), c.halfway) << c.format;
  }
}

TEST_F(ZoomTest, AtNaturalSizeBytesAreExactAnd565LosesAStepOfRedAndGreen) {
  // f = 0 everywhere: bytes take the top-left sample exactly. 565 runs three in-place steps
  // (x, y, toward the destination), each (v * 255 + 255) >> 8: red 31 -> 30, green 63 -> 62,
  // blue 31 stays. The plane under the picture rises to 255.
  for (int32_t format : {888, 8888, 0}) {
    auto src = Quad(format, 255);
    auto dst = MakeSurface(format, 3, 3);
    ASSERT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 1024), DrawResult::kOk) << format;
    EXPECT_EQ(Colour(*dst, 1, 0), (Rgb{0, 100, 240})) << format;
    EXPECT_EQ(Colour(*dst, 1, 1), (Rgb{255, 255, 255})) << format;
    EXPECT_EQ(dst->Alpha().At(1, 1), 255);
    EXPECT_EQ(dst->Alpha().At(2, 2), 0);
  }
  auto src = MakeSurface(565, 2, 2);
  FillRaw(*src, 0xFFFF);
  src->Alpha().Fill(255);
  auto dst = MakeSurface(565, 2, 2);
  ASSERT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 1024), DrawResult::kOk);
  EXPECT_EQ(Raw(*dst, 1, 1), (30u << 11) | (62u << 5) | 31u);
}

TEST_F(ZoomTest, PartialAlphaBlendsByTheFilteredAlphaAndRaisesThePlane) {
  // Alpha 128 everywhere: at f = 0 the filtered alpha is 128; halfway P[128][127] + P[128][128]
  // = 63 + 64 = 127. Over black: R of (0, 0) is P[200][128] = 100; R of (1, 0) is
  // P[99][127] = 49 (the filtered red 99, table blend from 0).
  auto src = Quad(888, 128);
  auto dst = MakeSurface(888, 4, 4);
  dst->Alpha().Fill(200);
  ASSERT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 2048), DrawResult::kOk);
  EXPECT_EQ(Colour(*dst, 0, 0).r, 100);
  EXPECT_EQ(Colour(*dst, 1, 0).r, 49);
  EXPECT_EQ(dst->Alpha().At(0, 0), 255);  // min(255, 200 + 128)
  auto low = MakeSurface(888, 4, 4);
  ASSERT_EQ(low->ZoomAlphaBlt(0, 0, *src, 2048), DrawResult::kOk);
  EXPECT_EQ(low->Alpha().At(1, 0), 127);
}

TEST_F(ZoomTest, WhichPixelsAreLeftAloneDependsOnTheOperationAndFormat) {
  // Alphas 0, 0, 255, doubled. Column 1 reads two transparent samples; column 3 reads a
  // transparent top-left sample with an opaque neighbour at f = 128 (filtered alpha 128).
  // ZoomAlphaBlt tests the top-left sample only (565: all four); ZoomBlendBlt leaves a pixel
  // only when all four are 0.
  for (int32_t format : {888, 8888, 565, 555}) {
    auto src = MakeSurface(format, 3, 1);
    FillRaw(*src, PackColour(format, {255, 255, 255}));
    src->Alpha().Row(0)[2] = 255;
    const uint32_t marker = PackColour(format, {0, 0, 255});
    auto alphaDst = MakeSurface(format, 6, 2);
    FillRaw(*alphaDst, marker);
    ASSERT_EQ(alphaDst->ZoomAlphaBlt(0, 0, *src, 2048), DrawResult::kOk);
    EXPECT_EQ(Raw(*alphaDst, 1, 0), marker) << format;
    EXPECT_EQ(Raw(*alphaDst, 3, 0) == marker, format != 565) << format;
    EXPECT_NE(Raw(*alphaDst, 4, 0), marker) << format;
    auto blendDst = MakeSurface(format, 6, 2);
    FillRaw(*blendDst, marker);
    ASSERT_EQ(blendDst->ZoomBlendBlt(0, 0, *src, 0, 0, 3, 1, 2048, 255), DrawResult::kOk);
    EXPECT_EQ(Raw(*blendDst, 1, 0), marker) << format;
    EXPECT_NE(Raw(*blendDst, 3, 0), marker) << format;
  }
}

TEST_F(ZoomTest, HalfScaleReadsTwiceTheOffset) {
  auto src = MakeSurface(8888, 400, 300);
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 400; ++x) SetRaw(*src, x, y, PackColour(8888, {uint8_t(x), uint8_t(y), 7}));
  src->Alpha().Fill(255);
  auto dst = MakeSurface(8888, 300, 200);
  ASSERT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 512), DrawResult::kOk);
  for (int32_t y : {0, 1, 77, 149})
    for (int32_t x : {0, 1, 63, 127, 199})
      ASSERT_EQ(Colour(*dst, x, y), (Rgb{uint8_t(2 * x), uint8_t(2 * y), 7})) << x << "," << y;
  EXPECT_EQ(Raw(*dst, 200, 0), 0u);
  EXPECT_EQ(Raw(*dst, 0, 150), 0u);
}

TEST_F(ZoomTest, OpacityScalesTheAlpha) {
  // e = ((a + 1) * (opacity + 1)) >> 8, at most 255: opaque at 255 writes the picture; at
  // 128, e = 129 and red 200 over black gives P[200][129] = 101.
  for (int32_t format : {888, 8888}) {
    auto src = Quad(format, 255);
    auto full = MakeSurface(format, 2, 2);
    ASSERT_EQ(full->ZoomBlendBlt(0, 0, *src, 0, 0, 2, 2, 1024, 255), DrawResult::kOk);
    EXPECT_EQ(Colour(*full, 0, 0), (Rgb{200, 0, 40}));
    EXPECT_EQ(full->Alpha().At(0, 0), 0);  // the plane stays
    auto half = MakeSurface(format, 2, 2);
    ASSERT_EQ(half->ZoomBlendBlt(0, 0, *src, 0, 0, 2, 2, 1024, 128), DrawResult::kOk);
    EXPECT_EQ(Colour(*half, 0, 0), (Rgb{101, 0, 20}));
  }
}

TEST_F(ZoomTest, ResultsForNothingToDraw) {
  auto src = Quad(888, 255);
  auto dst = MakeSurface(888, 8, 8);
  EXPECT_EQ(dst->ZoomAlphaBlt(0, 0, *src, 0), DrawResult::kEmpty);
  auto wide = MakeSurface(888, 8, 1);
  wide->Alpha().Fill(255);
  EXPECT_EQ(dst->ZoomAlphaBlt(0, 0, *wide, 256), DrawResult::kEmpty);  // 2 x 0
  EXPECT_EQ(dst->ZoomAlphaBlt(8, 0, *src, 1024), DrawResult::kClippedAway);
  EXPECT_EQ(dst->ZoomAlphaBlt(-2, -2, *src, 1024), DrawResult::kClippedAway);
  EXPECT_EQ(dst->ZoomBlendBlt(0, 0, *src, 0, 0, 2, 2, 0, 255), DrawResult::kEmpty);
  EXPECT_EQ(dst->ZoomBlendBlt(0, 0, *src, 2, 0, 2, 2, 1024, 255), DrawResult::kEmpty);
  EXPECT_EQ(dst->ZoomBlendBlt(0, 9, *src, 0, 0, 2, 2, 1024, 255), DrawResult::kClippedAway);
  EXPECT_EQ(dst->ZoomBlendBlt(0, 0, *src, 0, 0, 2, 2, 1024, 0), DrawResult::kOk);
  EXPECT_EQ(dst->ZoomBlendBlt(0, 0, *src, 0, 0, 2, 2, 1024, 256), DrawResult::kOk);
  EXPECT_EQ(Raw(*dst, 0, 0), 0u);
  // bitmap mode has no ZoomBlendBlt.
  Surface bitmapSrc, bitmapDst;
  bitmapSrc.CreateInFormat(2, 2, 0);
  bitmapDst.CreateInFormat(2, 2, 0);
  bitmapSrc.FillAll(255, 255, 255);
  bitmapSrc.Alpha().Fill(255);
  EXPECT_EQ(bitmapDst.ZoomBlendBlt(0, 0, bitmapSrc, 0, 0, 2, 2, 1024, 255), DrawResult::kOk);
  EXPECT_EQ(bitmapDst.Pixels().Row(0)[0], 0);
}

TEST_F(ZoomTest, ARectangleSticksToTheSourceAndClippedPixelsReadOn) {
  // A rectangle reaching past the source is cut to it; a destination clipped on the left
  // starts where the scaled rectangle would be.
  auto src = MakeSurface(8888, 10, 1);
  for (int32_t x = 0; x < 10; ++x) SetRaw(*src, x, 0, PackColour(8888, {uint8_t(10 * x), 0, 0}));
  src->Alpha().Fill(255);
  auto dst = MakeSurface(8888, 10, 1);
  ASSERT_EQ(dst->ZoomBlendBlt(-2, 0, *src, 4, 0, 100, 1, 1024, 255), DrawResult::kOk);
  // Source columns 4..9 at -2..3: column 6 lands on 0.
  EXPECT_EQ(Colour(*dst, 0, 0).r, 60);
  EXPECT_EQ(Colour(*dst, 3, 0).r, 90);
  EXPECT_EQ(Raw(*dst, 4, 0), 0u);
}

TEST_F(ZoomTest, ShowPlaneDrawsTheGreyOfEachByte) {
  AlphaPlane plane;
  plane.Create(2, 1);
  plane.Row(0)[0] = 200;
  plane.Row(0)[1] = 7;
  struct Case {
    int32_t format;
    uint32_t grey200;
  };
  for (const Case& c : {Case{565, (25u << 11) | (50u << 5) | 25u}, Case{555, (25u << 10) | (25u << 5) | 25u},
                        Case{888, 0xC8C8C8}, Case{8888, 0xC8C8C8}}) {
    auto dst = MakeSurface(c.format, 3, 1);
    EXPECT_EQ(dst->ShowPlane(1, 0, 5, 1, plane, 0, 0), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 0, 0), 0u);
    EXPECT_EQ(Raw(*dst, 1, 0), c.grey200) << c.format;
  }
}

using ZoomFilterTest = test::PathTest;

TEST_P(ZoomFilterTest, TheFilterIsTheProductTableForEveryPairAndWeight) {
  std::vector<uint8_t> a(65536), b(65536), w(65536), out(65536);
  for (size_t i = 0; i < 65536; ++i) {
    a[i] = static_cast<uint8_t>(i);
    b[i] = static_cast<uint8_t>(i >> 8);
  }
  for (int f = 0; f < 256; ++f) {
    std::fill(w.begin(), w.end(), static_cast<uint8_t>(f));
    FilterRowBytes(Path(), out.data(), a.data(), b.data(), w.data(), out.size());
    for (size_t i = 0; i < 65536; ++i)
      ASSERT_EQ(out[i], kBlendTables.product[a[i]][255 - f] + kBlendTables.product[b[i]][f]) << "weight " << f;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ZoomFilterTest, test::AllPaths(), test::PathParamName);

// Random pictures, scales, positions, opacities and both operations: the fast path writes
// the same pixels and plane bytes as the reference on every path.
using ZoomFastPathTest = test::PathTest;

TEST_P(ZoomFastPathTest, EqualsTheReferenceBitForBit) {
  std::mt19937 rng(99);
  auto random = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  {
    const BlendPath path = Path();
    for (int32_t format : {555, 565, 888, 8888, 0}) {
      const int n = BytesPerPixel(format);
      for (int trial = 0; trial < 60; ++trial) {
        const int32_t sw = random(1, 70), sh = random(1, 40);
        std::vector<uint8_t> srcBits(static_cast<size_t>(sw * n + 5) * sh);
        std::vector<uint8_t> srcAlpha(static_cast<size_t>(sw) * sh);
        for (auto& v : srcBits) v = static_cast<uint8_t>(rng());
        // Runs of transparent and opaque alpha as well as random bytes; in half the trials
        // only a rectangle of the picture, the rest transparent (a figure on its canvas).
        for (auto& v : srcAlpha) {
          const int32_t kind = random(0, 3);
          v = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8_t>(rng());
        }
        if (random(0, 1)) {
          const int32_t x0 = random(0, sw - 1), x1 = random(x0, sw - 1);
          const int32_t y0 = random(0, sh - 1), y1 = random(y0, sh - 1);
          for (int32_t y = 0; y < sh; ++y)
            for (int32_t x = 0; x < sw; ++x)
              if (x < x0 || x > x1 || y < y0 || y > y1) srcAlpha[static_cast<size_t>(y) * sw + x] = 0;
        }
        const int32_t dw = 64, dh = 48;
        std::vector<uint8_t> dstBits(static_cast<size_t>(dw * n + 3) * dh), dstPlane(static_cast<size_t>(dw) * dh);
        for (auto& v : dstBits) v = static_cast<uint8_t>(rng());
        for (auto& v : dstPlane) v = static_cast<uint8_t>(rng());
        const PixelRows src{srcBits.data(), sw * n + 5, sw, sh};
        const AlphaRows alpha{srcAlpha.data(), sw, sw, sh};
        ZoomMap map;
        map.kind = random(0, 1) ? ZoomKind::kAlpha : ZoomKind::kBlend;
        map.opacity = static_cast<uint8_t>(random(1, 255));
        const int32_t scales[] = {1024, 2048, 512, 3072, random(200, 3000)};
        const int32_t scale = scales[random(0, 4)];
        const int64_t scaledW = std::max<int64_t>(1, int64_t{scale} * sw / 1024);
        const int64_t scaledH = std::max<int64_t>(1, int64_t{scale} * sh / 1024);
        map.stepX = (uint64_t(sw) << 16) / uint64_t(scaledW);
        map.stepY = (uint64_t(sh) << 16) / uint64_t(scaledH);
        map.dx = random(0, dw - 1);
        map.dy = random(0, dh - 1);
        map.baseX = random(0, 5);
        map.baseY = random(0, 5);
        map.width = static_cast<int32_t>(std::min<int64_t>(dw - map.dx, std::max<int64_t>(1, scaledW - map.baseX)));
        map.height = static_cast<int32_t>(std::min<int64_t>(dh - map.dy, std::max<int64_t>(1, scaledH - map.baseY)));
        std::vector<uint8_t> refBits = dstBits, refPlane = dstPlane;
        const PlaneRows fastRows{dstPlane.data(), dw}, refRows{refPlane.data(), dw};
        ZoomPixels(format, PixelRows{dstBits.data(), dw * n + 3, dw, dh}, fastRows, src, alpha, map);
        ZoomPixelsReference(format, PixelRows{refBits.data(), dw * n + 3, dw, dh}, refRows, src, alpha, map);
        ASSERT_EQ(dstBits, refBits) << "format " << format << " trial " << trial << " scale " << scale
                                    << " path " << static_cast<int>(path);
        ASSERT_EQ(dstPlane, refPlane) << "format " << format << " trial " << trial;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ZoomFastPathTest, test::AllPaths(), test::PathParamName);

}  // namespace
}  // namespace zan
