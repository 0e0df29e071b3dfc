// The glyph kernels per format and style against values worked out by hand, and the
// string-level rules of the rasteriser (refusal, small glyphs, advance, vertical writing).
//
// The ink maps are tiny: a single sample, or a row of three. A single ink sample at cell
// position (0, 0) lies at work-map sample (8, 8), which output pixel (0, 0) reads.

#include "message/GlyphRasterizer.h"

#include <gtest/gtest.h>

#include "../surface/TestSurfaces.h"
#include "FakeFontInk.h"
#include "message/GlyphKernels.h"
#include <random>
#include "base/ShiftJis.h"

namespace zan {
namespace {

using test::FakeFontInk;
using test::FillRaw;
using test::MakeSurface;
using test::Raw;

struct KernelCase {
  const char* what;
  int32_t format;
  int32_t style;
  std::vector<std::pair<int32_t, int32_t>> ink;  // cell-local samples
  uint32_t destination;                         // raw pixel before
  uint8_t mask;                                 // mask byte before
  int32_t x, y;                                 // output pixel checked
  uint32_t expected;                            // raw pixel after
  uint8_t expectedMask;
};

// Text colour white in every case: 565 fields (31, 63, 31), 555 (31, 31, 31), bytes 255.
// Outline grey, fixed per format: the words 0x3DEF in 555 (15, 15, 15) and 0x7BEF in 565
// (15, 31, 15), the bytes 128 in 888, 0xAAAAAA (170) in 8888.
const KernelCase kKernelCases[] = {
    // Plain: the ink sample's pixel takes the text colour, mask 255.
    {"plain 565", 565, 0, {{0, 0}}, 0, 0, 0, 0, 0xFFFF, 255},
    {"plain 8888 keeps the top byte 0", 8888, 0, {{0, 0}}, 0xFF000000, 0, 0, 0, 0x00FFFFFF, 255},
    // Smooth, a lone sample: s = 2 x 2 = 4, q = 4 x 255 >> 4 = 63; over mask 0 the colour is
    // the text colour exactly and the mask becomes 63.
    {"smooth 565 lone sample", 565, 2, {{0, 0}}, 0x1234, 0, 0, 0, 0xFFFF, 63},
    {"smooth 555 lone sample", 555, 2, {{0, 0}}, 0x1234, 0, 0, 0, 0x7FFF, 63},
    {"smooth 888 lone sample", 888, 2, {{0, 0}}, 0x123456, 0, 0, 0, 0xFFFFFF, 63},
    // Full coverage (3 x 3 block): s = 16, q = 255, mask 255.
    {"smooth 8888 full", 8888, 2, {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}},
     0x00404040, 200, 0, 0, 0x00FFFFFF, 255},
    // A row of three (W, C, E): s = 2 + 2 x (1 + 2) = 8, q = 127. Over black with mask 255:
    // k = 255 x 128 / 255 = 128, a = 255, c = (0 x 128 + 255 x 127) / 255 = 127.
    {"smooth 8888 half over opaque", 8888, 2, {{-1, 0}, {0, 0}, {1, 0}}, 0, 255, 0, 0, 0x007F7F7F, 255},
    // 565 packs 127 by dropping low bits: R 15, G 31, B 15.
    {"smooth 565 half over opaque", 565, 2, {{-1, 0}, {0, 0}, {1, 0}}, 0, 255, 0, 0, 0x7BEF, 255},
    // The destination is unpacked without replication: 565 red 31 is 248. Over mask 255 at
    // q = 127: (248 x 128 + 255 x 127) / 255 = 251 -> 31; blue 0 -> 127 -> 15.
    {"smooth 565 unpacks by shifting", 565, 2, {{-1, 0}, {0, 0}, {1, 0}}, 0xF800, 255, 0, 0, 0xFBEF, 255},
    // The bitmap weighs with the eight-level kernel: a lone sample J = 1, q = 31.
    {"smooth DIB eight levels", 0, 2, {{0, 0}}, 0, 0, 0, 0, 0xFFFFFF, 31},
    // Outlined: pixel (0, 0) averages ink, two outline samples and one empty sample:
    // (text + 2 grey + 0) >> 2; mask 255, replacing what was there: 565 red (31 + 30) >> 2 =
    // 15, green (63 + 62) >> 2 = 31; 555 (31 + 30) >> 2 = 15; 888 (255 + 256) >> 2 = 127;
    // 8888 (255 + 340) >> 2 = 148.
    {"outlined 565", 565, 3, {{0, 0}}, 0x1234, 17, 0, 0, 0x7BEF, 255},
    {"outlined 555", 555, 3, {{0, 0}}, 0x1234, 17, 0, 0, 0x3DEF, 255},
    {"outlined 888", 888, 3, {{0, 0}}, 0x123456, 17, 0, 0, 0x7F7F7F, 255},
    {"outlined 8888", 8888, 3, {{0, 0}}, 0x123456, 17, 0, 0, 0x949494, 255},
    // Right of it, sample (10, 8) is not marked: untouched.
    {"outlined 8888 unmarked", 8888, 3, {{0, 0}}, 0x123456, 17, 1, 0, 0x123456, 17},
    // Outlined smooth: J at (8, 8) = C + S + E = 3, q = 95; the source is the same average
    // widened: 8888 148, 565 (15, 31, 15) -> (120, 124, 120).
    {"outlined smooth 8888", 8888, 4, {{0, 0}}, 0, 0, 0, 0, 0x949494, 95},
    {"outlined smooth 565", 565, 4, {{0, 0}}, 0, 0, 0, 0, 0x7BEF, 95},
    {"outlined smooth 555", 555, 4, {{0, 0}}, 0, 0, 0, 0, 0x3DEF, 95},
    {"outlined smooth 888", 888, 4, {{0, 0}}, 0, 0, 0, 0, 0x7F7F7F, 95},
    // The dark ring: (10, 8) is marked colour 0 two samples right of the ink; J = C + W = 2,
    // q = 63, black.
    {"outlined smooth dark ring", 8888, 4, {{0, 0}}, 0x00FFFFFF, 0, 1, 0, 0, 63},
};

class GlyphKernelTest : public ::testing::TestWithParam<KernelCase> {};

TEST_P(GlyphKernelTest, MatchesTheHandComputedPixel) {
  const KernelCase& c = GetParam();
  auto surface = MakeSurface(c.format, 40, 30);
  FillRaw(*surface, c.destination);
  surface->Alpha().Fill(c.mask);
  FakeFontInk fonts;
  fonts.Set(c.ink);
  GlyphRasterizer r;
  ASSERT_TRUE(r.InitRasterizer(fonts).ok());
  r.SetStyle(c.style);
  r.SetGlyphSize(16, 16);
  r.SetPenPos(0, 0);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_EQ(Raw(*surface, c.x, c.y), c.expected) << c.what;
  EXPECT_EQ(surface->Alpha().At(c.x, c.y), c.expectedMask) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Kernels, GlyphKernelTest, ::testing::ValuesIn(kKernelCases));

// The kernels visit only the pixels near the ink: a map with a wide blank border must give
// exactly what the tight map gives, in every format and style, on a surface that clips it.
TEST(GlyphKernelVisitTest, BlankInkAroundTheGlyphChangesNothing) {
  std::mt19937 random(11);
  for (int32_t format : {555, 565, 888, 8888, 0}) {
    for (int32_t style : {0, 2, 3, 4}) {
      GlyphInk tight;
      tight.left = 5;
      tight.top = 3;
      tight.width = 17;
      tight.height = 19;
      for (int32_t i = 0; i < tight.width * tight.height; ++i)
        tight.bits.push_back(random() % 3 == 0 ? 1 : 0);
      GlyphInk padded;
      padded.left = tight.left - 9;
      padded.top = tight.top - 7;
      padded.width = tight.width + 20;
      padded.height = tight.height + 17;
      for (int32_t y = 0; y < padded.height; ++y)
        for (int32_t x = 0; x < padded.width; ++x)
          padded.bits.push_back(tight.At(padded.left + x, padded.top + y) ? 1 : 0);
      auto one = MakeSurface(format, 30, 20);
      auto two = MakeSurface(format, 30, 20);
      for (auto* s : {one.get(), two.get()}) {
        FillRaw(*s, 0x123456);
        s->Alpha().Fill(90);
      }
      GlyphJob job;
      job.boxWidth = 32;
      job.boxHeight = 16;
      job.x = 3;
      job.y = 5;
      job.colour = {200, 100, 50};
      job.pixels = one->View();
      job.mask = one->Alpha().Data();
      job.ink = &tight;
      DrawGlyph(format, style, job);
      job.pixels = two->View();
      job.mask = two->Alpha().Data();
      job.ink = &padded;
      DrawGlyph(format, style, job);
      for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 30; ++x) {
          ASSERT_EQ(Raw(*one, x, y), Raw(*two, x, y)) << format << " style " << style << " at " << x << "," << y;
          ASSERT_EQ(one->Alpha().At(x, y), two->Alpha().At(x, y)) << format << " style " << style;
        }
    }
  }
}

class GlyphRasterizerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(r.InitRasterizer(fonts).ok()); }
  FakeFontInk fonts;
  GlyphRasterizer r;
};

TEST_F(GlyphRasterizerTest, DrawingTwiceRaisesTheMaskAndKeepsTheColour) {
  auto surface = MakeSurface(8888, 40, 30);
  fonts.Set({{0, 0}});
  r.SetStyle(4);
  r.SetGlyphSize(16, 16);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  // d = 95, q = 95: k = 95 x 160 / 255 = 59, a = 154; (148 x 59 + 148 x 95) / 154 = 148.
  EXPECT_EQ(Raw(*surface, 0, 0), 0x949494u);
  EXPECT_EQ(surface->Alpha().At(0, 0), 154);
}

TEST_F(GlyphRasterizerTest, SmallGlyphsAreAlwaysPlain) {
  fonts.Set({{0, 0}, {1, 0}});
  r.SetStyle(4);
  auto surface = MakeSurface(565, 40, 30);
  r.SetGlyphSize(12, 12);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_EQ(fonts.last.cellHeight, 12);  // rendered at the glyph size, not twice it
  EXPECT_EQ(Raw(*surface, 0, 0), 0xFFFFu);
  EXPECT_EQ(Raw(*surface, 1, 0), 0xFFFFu);
  EXPECT_EQ(surface->Alpha().At(1, 0), 255);
  r.SetGlyphSize(13, 13);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_EQ(fonts.last.cellHeight, 26);
}

TEST_F(GlyphRasterizerTest, StylesOneAndFiveDrawNothingAndOthersAreRefused) {
  auto surface = MakeSurface(8888, 40, 30);
  fonts.Set({{0, 0}});
  r.SetGlyphSize(16, 16);
  for (int32_t style : {1, 5}) {
    ASSERT_TRUE(r.SetStyle(style));
    EXPECT_TRUE(r.DrawString(*surface, "a"));
    EXPECT_EQ(surface->Alpha().At(0, 0), 0);
  }
  EXPECT_FALSE(r.SetStyle(6));
  EXPECT_FALSE(r.SetStyle(-1));
  EXPECT_EQ(r.Style(), 5);
}

TEST_F(GlyphRasterizerTest, AStringWhoseFirstBoxDoesNotFitIsRefused) {
  auto surface = MakeSurface(8888, 40, 30);
  fonts.Set({{0, 0}});
  r.SetGlyphSize(16, 16);
  r.SetPenPos(25, 0);  // 25 + 16 passes the width
  EXPECT_FALSE(r.DrawString(*surface, "a"));
  r.SetPenPos(23, 15);  // 15 + 16 passes the height
  EXPECT_FALSE(r.DrawString(*surface, "a"));
  r.SetPenPos(-1, 0);
  EXPECT_FALSE(r.DrawString(*surface, "a"));
  r.SetPenPos(0, -1);
  EXPECT_FALSE(r.DrawString(*surface, "a"));
  EXPECT_TRUE(fonts.characters.empty());
}

// A box that ends on the last column or row fits (the first column of vertical text ends on
// the right edge): its ink sample at the box's corner is drawn.
TEST_F(GlyphRasterizerTest, ABoxEndingOnTheSurfacesEdgeIsDrawn) {
  auto surface = MakeSurface(8888, 40, 30);
  fonts.Set({{0, 0}});
  r.SetStyle(0);
  r.SetGlyphSize(16, 16);
  r.SetPenPos(24, 14);  // 24 + 16 = 40, 14 + 16 = 30
  EXPECT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_EQ(fonts.characters.size(), 1u);
  EXPECT_EQ(surface->Alpha().At(24, 14), 255);
}

TEST_F(GlyphRasterizerTest, CharactersAdvanceByTheirWidthAndVerticalWritingTurnsThem) {
  auto surface = MakeSurface(8888, 80, 30);
  fonts.Set({{0, 0}});
  r.SetStyle(0);
  r.SetGlyphSize(16, 16);
  r.SetGlyphColor(300, -5, 128);  // clamped
  EXPECT_EQ(r.Colour(), (Rgb{255, 0, 128}));
  // Full width advances 16, half width 8: ink at x = 0, 16, 24.
  const std::string text = Sjis("国") + "ab";
  ASSERT_TRUE(r.DrawString(*surface, text));
  EXPECT_EQ(fonts.characters, (std::vector<std::string>{Sjis("国"), "a", "b"}));
  for (int32_t x : {0, 16, 24}) EXPECT_EQ(surface->Alpha().At(x, 0), 255) << x;
  EXPECT_EQ(surface->Alpha().At(8, 0), 0);
  EXPECT_FALSE(fonts.last.vertical);
  r.SetEscapement(270);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_TRUE(fonts.last.vertical);
  EXPECT_EQ(r.Escapement(), 2700);
  // Weight 1000 (SetWeight 10) draws heavier strokes.
  r.SetWeight(10);
  EXPECT_EQ(r.Weight(), 1000);
  ASSERT_TRUE(r.DrawString(*surface, "a"));
  EXPECT_TRUE(fonts.last.bold);
  r.SetWeight(40);
  EXPECT_EQ(r.Weight(), 1000);
}

TEST_F(GlyphRasterizerTest, OpaqueDrawingBlendsWithoutTheMask) {
  auto surface = MakeSurface(555, 40, 30);
  surface->Alpha().Fill(7);
  fonts.Set({{-1, 0}, {0, 0}, {1, 0}});
  r.SetStyle(2);
  r.SetGlyphSize(16, 16);
  ASSERT_TRUE(r.DrawStringOpaque(*surface, "a"));
  // s = 8: each 555 field (0 x 8 + 31 x 8) >> 4 = 15.
  EXPECT_EQ(Raw(*surface, 0, 0), 0x3DEFu);
  EXPECT_EQ(surface->Alpha().At(0, 0), 7);

  // Neither refused nor made plain: a small glyph whose box reaches past the corner keeps
  // the smooth style and is clipped; one starting left of the surface is left out.
  auto edge = MakeSurface(555, 40, 30);
  r.SetGlyphSize(12, 12);
  r.SetPenPos(-6, 25);
  ASSERT_FALSE(r.DrawString(*edge, "ab"));
  ASSERT_TRUE(r.DrawStringOpaque(*edge, "ab"));
  EXPECT_EQ(fonts.last.cellHeight, 24);  // doubled: not the plain style
  EXPECT_EQ(Raw(*edge, 0, 25), 0x3DEFu);  // "b" at x = -6 + 6
  EXPECT_EQ(fonts.characters.back(), "b");
  EXPECT_EQ(fonts.characters.size(), 2u);  // "a" (at x = -6) was not drawn
  r.SetPenPos(100, 0);
  EXPECT_TRUE(r.DrawStringOpaque(*edge, "ab"));
  EXPECT_EQ(fonts.characters.size(), 2u);  // nothing looked at past the right edge
}

}  // namespace
}  // namespace zan
