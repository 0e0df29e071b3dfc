// Each blending operation, per format, pinned to values worked out by hand from its formula.
// Every case runs on a 37 x 3 surface (so the SIMD groups and the plain tail both take
// part), on the plain path and on every SIMD path the processor has.

#include <gtest/gtest.h>

#include "../surface/TestSurfaces.h"
#include "PathTest.h"
#include "base/DiagnosticLog.h"
#include "pixels/BlendKernels.h"

namespace zan {
namespace {

using test::FillRaw;
using test::MakeSurface;
using test::Raw;

enum class Op { kAlpha, kOpacity, kCrossFade, kMask, kColor, kScreen };

struct BlendCase {
  const char* what;
  Op op;
  int32_t format;
  uint32_t a;         // destination (first picture for cross-fade and mask)
  uint32_t b;         // source (second picture; for ColorBlend the colour as 0xRRGGBB)
  uint8_t weight;     // alpha, level, mask byte or amount
  uint8_t opacity;    // BitBltAlpha only
  uint32_t expected;  // raw pixel of the destination afterwards
};

// Raw pixels: 565 RRRRRGGGGGGBBBBB, 555 0RRRRRGGGGGBBBBB, 888 and bitmap 0xRRGGBB, 8888 0xXXRRGGBB.
const BlendCase kCases[] = {
    // InnerAlphaBlt. 16-bit: fields (s * a' + d * (256 - a')) >> 8 with a' = a + 1.
    {"565 half red over blue", Op::kAlpha, 565, 0x001F, 0xF800, 128, 0, 0x780F},
    {"565 alpha 0 keeps", Op::kAlpha, 565, 0x001F, 0xF800, 0, 0, 0x001F},
    {"565 alpha 255 is the source", Op::kAlpha, 565, 0x001F, 0xF800, 255, 0, 0xF800},
    {"565 alpha 200 over black", Op::kAlpha, 565, 0x0000, 0xFFFF, 200, 0, 0xC638},
    {"555 half red over blue", Op::kAlpha, 555, 0x001F, 0x7C00, 128, 0, 0x3C0F},
    // Bytes: the table blend d - floor(a d / 255) + floor(a s / 255).
    {"888 alpha 100", Op::kAlpha, 888, 0x0040FF, 0xFF8000, 100, 0, 0x64599B},
    {"8888 alpha 100", Op::kAlpha, 8888, 0x000040FF, 0x00FF8000, 100, 0, 0x0064599B},
    {"8888 blends the fourth byte", Op::kAlpha, 8888, 0x10000000, 0x90000000, 128, 0, 0x50000000},
    {"888 alpha 255 is the source", Op::kAlpha, 888, 0x123456, 0xABCDEF, 255, 0, 0xABCDEF},
    {"888 alpha 0 keeps", Op::kAlpha, 888, 0x123456, 0xABCDEF, 0, 0, 0x123456},
    {"888 rounds down", Op::kAlpha, 888, 0x000000, 0x000001, 128, 0, 0x000000},
    // bitmap: ((s - d) a + 255 d + 255) >> 8.
    {"DIB rounds up", Op::kAlpha, 0, 0x000000, 0x000001, 128, 0, 0x000001},
    {"DIB alpha 255 is the source", Op::kAlpha, 0, 0x123456, 0xABCDEF, 255, 0, 0xABCDEF},
    {"DIB alpha 100", Op::kAlpha, 0, 0x0040FF, 0xFF8000, 100, 0, 0x64599B},

    // BitBltAlpha: e = (o' a') >> 8; bytes clamp e to 255.
    {"565 opacity half of opaque", Op::kOpacity, 565, 0x0000, 0xFFFF, 255, 128, 0x7BEF},
    {"565 opacity 255 equals alpha", Op::kOpacity, 565, 0x0000, 0xFFFF, 200, 255, 0xC638},
    {"565 opacity 0 keeps", Op::kOpacity, 565, 0x1234, 0xFFFF, 255, 0, 0x1234},
    {"555 opacity half of opaque", Op::kOpacity, 555, 0x0000, 0x7FFF, 255, 128, 0x3DEF},
    {"888 half of half", Op::kOpacity, 888, 0x000000, 0xFFFFFF, 128, 128, 0x414141},
    {"888 opaque clamps to 255", Op::kOpacity, 888, 0x000000, 0x123456, 255, 255, 0x123456},
    {"8888 half of half", Op::kOpacity, 8888, 0x00000000, 0x00FFFFFF, 128, 128, 0x00414141},

    // CrossFade. 565: first (255 - g) + second (g + 1); 555: second weighs g alone.
    {"565 level 100 from white", Op::kCrossFade, 565, 0xFFFF, 0x0000, 100, 0, 0x94D2},
    {"555 level 100 from white", Op::kCrossFade, 555, 0x7FFF, 0x0000, 100, 0, 0x4A52},
    {"565 level 8 to white", Op::kCrossFade, 565, 0x0000, 0xFFFF, 8, 0, 0x0841},
    {"555 level 8 to white", Op::kCrossFade, 555, 0x0000, 0x7FFF, 8, 0, 0x0000},
    {"888 level 64", Op::kCrossFade, 888, 0x1E140A, 0x0064C8, 64, 0, 0x17283A},
    {"8888 level 64", Op::kCrossFade, 8888, 0x001E140A, 0x000064C8, 64, 0, 0x0017283A},
    {"DIB level 64", Op::kCrossFade, 0, 0x1E140A, 0x0064C8, 64, 0, 0x17283A},
    {"level 0 draws nothing", Op::kCrossFade, 565, 0xFFFF, 0xFFFF, 0, 0, 0x0000},
    {"level 255 is the second", Op::kCrossFade, 888, 0x123456, 0xABCDEF, 255, 0, 0xABCDEF},

    // MaskBlend. 16-bit: m' = m + 1; bytes: the table blend.
    {"565 mask 127", Op::kMask, 565, 0x0000, 0xFFFF, 127, 0, 0x7BEF},
    {"555 mask 127", Op::kMask, 555, 0x0000, 0x7FFF, 127, 0, 0x3DEF},
    {"565 mask 0 is the first", Op::kMask, 565, 0x1234, 0xFFFF, 0, 0, 0x1234},
    {"565 mask 255 is the second", Op::kMask, 565, 0x1234, 0xABCD, 255, 0, 0xABCD},
    {"888 mask 127", Op::kMask, 888, 0x000000, 0xFFFFFF, 127, 0, 0x7F7F7F},
    {"8888 mask 255 is the second", Op::kMask, 8888, 0x00123456, 0x00ABCDEF, 255, 0, 0x00ABCDEF},

    // ColorBlend: 16-bit (colour a + pixel (256 - a)) >> 8; bytes the table blend.
    {"565 half to white", Op::kColor, 565, 0x0000, 0xFFFFFF, 128, 0, 0x7BEF},
    {"565 amount 255 stops short", Op::kColor, 565, 0x0000, 0xFFFFFF, 255, 0, 0xF7DE},
    {"565 amount 0 keeps", Op::kColor, 565, 0x1234, 0xFFFFFF, 0, 0, 0x1234},
    {"888 amount 255 is the colour", Op::kColor, 888, 0x000000, 0xFF000A, 255, 0, 0xFF000A},
    {"8888 fourth byte goes to 0", Op::kColor, 8888, 0x55000000, 0xFF000A, 255, 0, 0x00FF000A},
    {"DIB amount 0 keeps", Op::kColor, 0, 0x123456, 0xFF000A, 0, 0, 0x123456},

    // ScreenBlt: d + floor(s (M - d) / (M + 1)); the key and black leave d.
    {"565 white on black", Op::kScreen, 565, 0x0000, 0xFFFF, 0, 0, 0xF7DE},
    {"555 white on black", Op::kScreen, 555, 0x0000, 0x7FFF, 0, 0, 0x7BDE},
    {"565 key skipped", Op::kScreen, 565, 0x1234, 0x07E0, 0, 0, 0x1234},
    {"888 white", Op::kScreen, 888, 0xFF6400, 0xFFFFFF, 0, 0, 0xFFFEFE},
    {"888 black keeps", Op::kScreen, 888, 0x123456, 0x000000, 0, 0, 0x123456},
    {"8888 key with a top byte skipped", Op::kScreen, 8888, 0x00123456, 0xFF00FF00, 0, 0, 0x00123456},
    {"DIB white", Op::kScreen, 0, 0xFF6400, 0xFFFFFF, 0, 0, 0xFFFEFE},
};

using BlendTest = test::PathTest;

TEST_P(BlendTest, EveryOperationInEveryFormatMatchesItsFormula) {
  constexpr int32_t kW = 37, kH = 3;
  for (const BlendCase& c : kCases) {
    SCOPED_TRACE(c.what);
    auto dst = MakeSurface(c.format, kW, kH);
    auto a = MakeSurface(c.format, kW, kH);
    auto b = MakeSurface(c.format, kW, kH);
    FillRaw(*a, c.a);
    FillRaw(*b, c.b);
    b->Alpha().Fill(c.weight);
    AlphaPlane mask;
    mask.Create(kW, kH);
    mask.Fill(c.weight);
    Surface* result = a.get();
    switch (c.op) {
      case Op::kAlpha:
        EXPECT_EQ(a->Blt(0, 0, kW, kH, *b, 0, 0, 2), DrawResult::kOk);
        break;
      case Op::kOpacity:
        EXPECT_EQ(a->BitBltAlpha(0, 0, kW, kH, *b, 0, 0, c.opacity), DrawResult::kOk);
        break;
      case Op::kCrossFade:
        dst->CrossFade(*a, 0, 0, kW, kH, *b, 0, 0, c.weight);
        result = dst.get();
        break;
      case Op::kMask:
        EXPECT_EQ(dst->MaskBlend(*a, *b, mask), DrawResult::kOk);
        result = dst.get();
        break;
      case Op::kColor:
        EXPECT_EQ(a->ColorBlend(c.weight, static_cast<uint8_t>(c.b >> 16), static_cast<uint8_t>(c.b >> 8),
                                static_cast<uint8_t>(c.b)),
                  DrawResult::kOk);
        break;
      case Op::kScreen:
        EXPECT_EQ(a->ScreenBlt(0, 0, kW, kH, *b, 0, 0), DrawResult::kOk);
        break;
    }
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) ASSERT_EQ(Raw(*result, x, y), c.expected) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendTest, test::AllPaths(), test::PathParamName);

TEST(BlendRectTest, BlendsTouchOnlyTheClippedRectangleAndMarkWhatTheySay) {
  for (int32_t format : {555, 565, 888, 8888}) {
    SCOPED_TRACE(format);
    auto dst = MakeSurface(format, 10, 10);
    auto src = MakeSurface(format, 4, 4);
    FillRaw(*src, PackColour(format, {255, 255, 255}));
    src->Alpha().Fill(255);
    // Half off the right edge: 2 x 4 pixels at (8, 3) take source columns 0..1.
    EXPECT_EQ(dst->BitBltAlpha(8, 3, 4, 4, *src, 0, 0, 255), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 8, 3), PackColour(format, {255, 255, 255}));
    EXPECT_EQ(Raw(*dst, 7, 3), 0u);
    EXPECT_EQ(Raw(*dst, 9, 6), Raw(*dst, 8, 3));
    EXPECT_EQ(Raw(*dst, 9, 7), 0u);
    EXPECT_EQ(Raw(*dst, 9, 2), 0u);
    EXPECT_FALSE(dst->IsDirty());  // BitBltAlpha does not mark
    EXPECT_EQ(dst->BitBltAlpha(10, 0, 4, 4, *src, 0, 0, 255), DrawResult::kClippedAway);
    EXPECT_EQ(dst->BitBltAlpha(0, 0, 4, 4, *dst, 0, 0, 255), DrawResult::kSameSurface);
    EXPECT_EQ(dst->InnerAlphaBlt(0, 0, 4, 4, *dst, 0, 0), DrawResult::kSameSurface);

    // CrossFade marks what it draws; the second rectangle may sit elsewhere.
    auto first = MakeSurface(format, 10, 10);
    dst->ClearDirty();
    dst->CrossFade(*first, 2, 2, 3, 3, *src, 1, 1, 128);
    EXPECT_EQ(dst->GetDirty(), (DirtyRect{2, 2, 5, 5}));
    EXPECT_EQ(dst->FillBlend(20, 20, 3, 3, 128, 255, 0, 0), DrawResult::kClippedAway);
    EXPECT_EQ(dst->ScreenBlt(20, 20, 3, 3, *src, 0, 0), DrawResult::kClippedAway);
  }
}

TEST(BlendRectTest, MaskBlendStaysInsideTheSmallestOfItsPictures) {
  // The mask covers the first picture, but the destination is smaller: only what all of
  // them cover is drawn.
  auto dst = MakeSurface(565, 4, 2);
  auto first = MakeSurface(565, 8, 8);
  auto second = MakeSurface(565, 8, 8);
  FillRaw(*second, 0xFFFF);
  AlphaPlane mask;
  mask.Create(8, 8);
  mask.Fill(255);
  EXPECT_EQ(dst->MaskBlend(*first, *second, mask), DrawResult::kOk);
  EXPECT_EQ(Raw(*dst, 3, 1), 0xFFFFu);
  EXPECT_EQ(dst->GetDirty(), (DirtyRect{0, 0, 4, 2}));
}

TEST(BlendRectTest, OpacityHasNoDibFormAndSaysSo) {
  auto dst = MakeSurface(0, 4, 4);
  auto src = MakeSurface(0, 4, 4);
  FillRaw(*src, 0xFFFFFF);
  src->Alpha().Fill(255);
  EXPECT_EQ(dst->BitBltAlpha(0, 0, 4, 4, *src, 0, 0, 255), DrawResult::kOk);
  EXPECT_EQ(test::Raw(*dst, 0, 0), 0u);
  EXPECT_NE(Diagnostics().LastMessage().find("BitBltAlpha(MMX off)"), std::string::npos);
}

}  // namespace
}  // namespace zan
