#include "surface/Surface.h"

#include <gtest/gtest.h>

#include "TestSurfaces.h"
#include "base/DiagnosticLog.h"
#include "pixels/Clip.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using test::Colour;
using test::FillRaw;
using test::MakeSurface;
using test::Raw;
using test::SetRaw;

constexpr int32_t kDeviceFormats[] = {555, 565, 888, 8888};

TEST(PixelFormatTest, PackingAndTheColourKeyInEveryFormat) {
  struct Case {
    int32_t format;
    Rgb colour;
    uint32_t packed;
  };
  const Case cases[] = {
      {565, {255, 255, 255}, 0xFFFF}, {555, {255, 255, 255}, 0x7FFF},
      {565, {0, 255, 0}, 0x07E0},     {555, {0, 255, 0}, 0x03E0},
      {565, {0x87, 0x43, 0x2F}, (0x80 << 8) | (0x40 << 3) | (0x2F >> 3)},
      {555, {0x87, 0x43, 0x2F}, (0x80 << 7) | (0x40 << 2) | (0x2F >> 3)},
      {888, {1, 2, 3}, 0x010203},     {8888, {1, 2, 3}, 0x010203},
      {0, {1, 2, 3}, 0x010203},
  };
  for (const Case& c : cases) EXPECT_EQ(PackColour(c.format, c.colour), c.packed) << c.format;

  EXPECT_TRUE(Format565::IsKey(0x07E0));
  EXPECT_FALSE(Format565::IsKey(0x07E1));
  EXPECT_TRUE(Format555::IsKey(0x03E0));
  EXPECT_TRUE(Format8888::IsKey(0xFF00FF00));  // the top byte plays no part
  EXPECT_TRUE(Format888::IsKey(0x00FF00));
  EXPECT_TRUE(Format8888::IsMagenta(0x12FF00FF));
  EXPECT_TRUE(Format565::IsMagenta(0xF81F));
  EXPECT_TRUE(Format555::IsMagenta(0x7C1F));
  // Shown colours repeat the top bits of each field.
  EXPECT_EQ(Format565::Unpack(0xFFFF), (Rgb{255, 255, 255}));
  EXPECT_EQ(Format565::Unpack(0x8410), (Rgb{0x84, 0x82, 0x84}));
}

TEST(PixelFormatTest, TheDisplayFormatGivesTheCode) {
  EXPECT_EQ(PixelFormatCodeOf({32, 0xFF0000, 0xFF00, 0xFF}), 8888);
  EXPECT_EQ(PixelFormatCodeOf({24, 0xFF0000, 0xFF00, 0xFF}), 888);
  EXPECT_EQ(PixelFormatCodeOf({16, 0xF800, 0x07E0, 0x1F}), 565);
  EXPECT_EQ(PixelFormatCodeOf({16, 0x7C00, 0x03E0, 0x1F}), 555);
  EXPECT_EQ(PixelFormatCodeOf({32, 0xFF, 0xFF00, 0xFF0000}), 0);  // blue first: unknown
  EXPECT_EQ(PixelFormatCodeOf({16, 0x0F00, 0x00F0, 0x000F}), 0);
  EXPECT_EQ(PixelFormatCodeOf({8, 0, 0, 0}), 0);
  for (int32_t code : kDeviceFormats) EXPECT_EQ(PixelFormatCodeOf(DisplayFormatOf(code)), code);
}

TEST(ClipTest, CopiesKeepTheCorrespondenceOfSourceAndDestination) {
  struct Case {
    int64_t dx, dy, w, h, sx, sy;
    std::optional<ClippedCopy> expected;
  };
  // A 100 x 50 destination, a 40 x 30 source.
  const Case cases[] = {
      {10, 10, 20, 10, 5, 5, ClippedCopy{10, 10, 5, 5, 20, 10}},
      {-5, 0, 10, 10, 0, 0, ClippedCopy{0, 0, 5, 0, 5, 10}},      // left edge: source from 5
      {95, 45, 20, 20, 0, 0, ClippedCopy{95, 45, 0, 0, 5, 5}},    // right and bottom edges
      {0, 0, 20, 20, 30, 25, ClippedCopy{0, 0, 30, 25, 10, 5}},   // the source ends first
      {0, 0, 20, 20, -10, -5, ClippedCopy{10, 5, 0, 0, 10, 15}},  // the source starts late
      {100, 0, 10, 10, 0, 0, std::nullopt},                       // wholly outside
      {-10, 0, 10, 10, 0, 0, std::nullopt},
      {0, 0, 0, 10, 0, 0, std::nullopt},                          // empty sizes
      {0, 0, 10, -1, 0, 0, std::nullopt},
      {0, 0, 10, 10, 40, 0, std::nullopt},                        // source wholly outside
      {INT32_MAX, 0, INT32_MAX, 1, 0, 0, std::nullopt},           // no overflow
  };
  for (const Case& c : cases) {
    auto got = ClipCopy(c.dx, c.dy, c.w, c.h, 100, 50, c.sx, c.sy, 40, 30);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.dx << "," << c.sx;
    if (!got) continue;
    EXPECT_EQ(got->dx, c.expected->dx);
    EXPECT_EQ(got->dy, c.expected->dy);
    EXPECT_EQ(got->sx, c.expected->sx);
    EXPECT_EQ(got->sy, c.expected->sy);
    EXPECT_EQ(got->width, c.expected->width);
    EXPECT_EQ(got->height, c.expected->height);
  }
}

TEST(SurfaceTest, CreationKeepsTwoSpareRowsAndATransparentPlane) {
  auto s = MakeSurface(565, 800, 600);
  EXPECT_EQ(s->Width(), 800);
  EXPECT_EQ(s->Height(), 600);
  EXPECT_EQ(s->Device()->Rows(), 602);
  EXPECT_EQ(s->Pitch(), 1600);
  EXPECT_EQ(s->HasAlpha(), 1);
  EXPECT_EQ(s->Alpha().At(799, 599), 0);
  EXPECT_EQ(s->CreateInFormat(10, 10, 565), CreatePixelsResult::kAlreadyCreated);
  EXPECT_EQ(s->Width(), 800);  // unchanged
  Surface none;
  EXPECT_EQ(none.CreateInFormat(10, 10, 1234), CreatePixelsResult::kUnavailable);  // no display format
  EXPECT_EQ(none.CreateInFormat(10, 0, 565), CreatePixelsResult::kUnavailable);
  EXPECT_EQ(none.CreateInFormat(32768, 1, 565), CreatePixelsResult::kUnavailable);
  EXPECT_EQ(none.Bits(), nullptr);
  EXPECT_EQ(none.Width(), 0);
  auto bitmap = MakeSurface(0, 3, 2);
  EXPECT_FALSE(bitmap->IsDeviceMode());
  EXPECT_EQ(bitmap->Pitch(), 12);  // 9 bytes of pixels padded to 12
}

TEST(SurfaceTest, TheDirtyRectangleGrowsWithEveryFill) {
  auto s = MakeSurface(8888, 100, 100);
  EXPECT_FALSE(s->IsDirty());
  EXPECT_EQ(s->Fill(10, 10, 5, 5, 1, 2, 3), DrawResult::kOk);
  EXPECT_EQ(s->GetDirty(), (DirtyRect{10, 10, 15, 15}));
  EXPECT_EQ(s->Fill(0, 20, 2, 2, 1, 2, 3), DrawResult::kOk);
  EXPECT_EQ(s->GetDirty(), (DirtyRect{0, 10, 15, 22}));
  EXPECT_EQ(s->Fill(200, 0, 5, 5, 1, 2, 3), DrawResult::kClippedAway);  // wholly outside: nothing, not marked
  EXPECT_EQ(s->Fill(0, 0, 0, 5, 1, 2, 3), DrawResult::kClippedAway);
  EXPECT_EQ(s->GetDirty(), (DirtyRect{0, 10, 15, 22}));
  s->ClearDirty();
  EXPECT_EQ(s->Fill(95, -3, 10, 5, 9, 9, 9), DrawResult::kOk);  // partly outside: only the overlap
  EXPECT_EQ(s->GetDirty(), (DirtyRect{95, 0, 100, 2}));
  EXPECT_EQ(Colour(*s, 99, 1), (Rgb{9, 9, 9}));
  EXPECT_EQ(Colour(*s, 94, 1), (Rgb{0, 0, 0}));
  EXPECT_EQ(Colour(*s, 99, 2), (Rgb{0, 0, 0}));
}

TEST(SurfaceTest, CopiesInEveryModeAndFormat) {
  for (int32_t format : {555, 565, 888, 8888, 0}) {
    SCOPED_TRACE(format);
    auto src = MakeSurface(format, 4, 1);
    auto dst = MakeSurface(format, 6, 2);
    const uint32_t key = PackColour(format, {0, 255, 0});
    const uint32_t red = PackColour(format, {255, 0, 0});
    const uint32_t blue = PackColour(format, {0, 0, 255});
    SetRaw(*src, 0, 0, red);
    SetRaw(*src, 1, 0, key);
    SetRaw(*src, 2, 0, blue);
    SetRaw(*src, 3, 0, key);
    FillRaw(*dst, blue);
    // Keyed: green leaves the destination.
    FillRaw(*dst, PackColour(format, {9, 9, 9}));
    EXPECT_EQ(dst->Blt(1, 0, 4, 1, *src, 0, 0, 1), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 1, 0), red);
    EXPECT_EQ(Raw(*dst, 2, 0), PackColour(format, {9, 9, 9}));
    EXPECT_EQ(Raw(*dst, 3, 0), blue);
    // Mode 0 copies everything, offset by the clip at the left edge.
    EXPECT_EQ(dst->Blt(-1, 1, 4, 1, *src, 0, 0, 0), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 0, 1), key);
    EXPECT_EQ(Raw(*dst, 1, 1), blue);
    EXPECT_EQ(dst->Blt(6, 0, 4, 1, *src, 0, 0, 0), DrawResult::kClippedAway);
    // Alpha: only the opaque pixel comes through.
    src->Alpha().FillRect(2, 0, 1, 1, 255);
    FillRaw(*dst, 0);
    EXPECT_EQ(dst->Blt(0, 0, 4, 1, *src, 0, 0, 2), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 0, 0), 0u);
    EXPECT_EQ(Raw(*dst, 2, 0), blue);
  }
  // In 8888 a key word with its top byte set is still the key.
  auto src = MakeSurface(8888, 1, 1);
  auto dst = MakeSurface(8888, 1, 1);
  SetRaw(*src, 0, 0, 0xFF00FF00);
  SetRaw(*dst, 0, 0, 0x123456);
  dst->Blt(0, 0, 1, 1, *src, 0, 0, 1);
  EXPECT_EQ(Raw(*dst, 0, 0), 0x123456u);
}

TEST(SurfaceTest, AnOverlappingCopyWithinOneSurfaceMovesThePicture) {
  for (int32_t mode : {0, 1}) {
    auto s = MakeSurface(565, 8, 8);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) SetRaw(*s, x, y, static_cast<uint32_t>(1 + y * 8 + x));
    EXPECT_EQ(s->Blt(2, 1, 5, 6, *s, 1, 0, mode), DrawResult::kOk);  // down and right
    for (int32_t y = 0; y < 6; ++y)
      for (int32_t x = 0; x < 5; ++x)
        ASSERT_EQ(Raw(*s, 2 + x, 1 + y), static_cast<uint32_t>(1 + y * 8 + 1 + x)) << mode;
  }
}

TEST(SurfaceTest, SurfacesOfDifferentFormatsDoNotMix) {
  auto a = MakeSurface(8888, 4, 4);
  auto b = MakeSurface(565, 4, 4);
  EXPECT_EQ(a->Blt(0, 0, 4, 4, *b, 0, 0, 0), DrawResult::kOtherFormat);
  EXPECT_EQ(a->BitBltAlpha(0, 0, 4, 4, *b, 0, 0, 255), DrawResult::kOtherFormat);
  EXPECT_EQ(a->KeyReplaceBlt(0, 0, 4, 4, *b, 0, 0, 1, 2, 3), DrawResult::kOtherFormat);
  EXPECT_EQ(a->StretchBlt(0, 0, 4, 4, *b, 0, 0, 2, 2), DrawResult::kOtherFormat);
}

TEST(SurfaceTest, StretchScalesTheClippedPart) {
  auto src = MakeSurface(888, 2, 2);
  SetRaw(*src, 0, 0, 0x000001);
  SetRaw(*src, 1, 0, 0x000002);
  SetRaw(*src, 0, 1, 0x000003);
  SetRaw(*src, 1, 1, 0x000004);
  auto dst = MakeSurface(888, 6, 6);
  EXPECT_EQ(dst->StretchBlt(0, 0, 4, 4, *src, 0, 0, 2, 2), DrawResult::kOk);
  EXPECT_EQ(Raw(*dst, 1, 1), 1u);
  EXPECT_EQ(Raw(*dst, 2, 1), 2u);
  EXPECT_EQ(Raw(*dst, 3, 3), 4u);
  EXPECT_FALSE(dst->IsDirty());
  // Off the left edge: the right half of the scaled picture lands at 0.
  FillRaw(*dst, 0);
  EXPECT_EQ(dst->StretchBlt(-2, 0, 4, 4, *src, 0, 0, 2, 2), DrawResult::kOk);
  EXPECT_EQ(Raw(*dst, 0, 0), 2u);
  EXPECT_EQ(Raw(*dst, 1, 3), 4u);
  EXPECT_EQ(Raw(*dst, 2, 0), 0u);
  EXPECT_EQ(dst->StretchBlt(0, 0, 0, 4, *src, 0, 0, 2, 2), DrawResult::kEmpty);
  EXPECT_EQ(dst->StretchBlt(0, 0, 4, 4, *src, 0, 0, 0, 2), DrawResult::kEmpty);
  EXPECT_EQ(dst->StretchBlt(6, 0, 4, 4, *src, 0, 0, 2, 2), DrawResult::kClippedAway);
}

TEST(SurfaceTest, KeyReplaceInvertMonoAndNoise) {
  for (int32_t format : kDeviceFormats) {
    SCOPED_TRACE(format);
    auto src = MakeSurface(format, 3, 1);
    auto dst = MakeSurface(format, 3, 1);
    SetRaw(*src, 0, 0, PackColour(format, {0, 255, 0}));
    SetRaw(*src, 1, 0, PackColour(format, {255, 0, 255}));
    SetRaw(*src, 2, 0, PackColour(format, {8, 16, 24}));
    FillRaw(*dst, PackColour(format, {200, 200, 200}));
    EXPECT_EQ(dst->KeyReplaceBlt(0, 0, 3, 1, *src, 0, 0, 0, 0, 255), DrawResult::kOk);
    EXPECT_EQ(Raw(*dst, 0, 0), PackColour(format, {200, 200, 200}));
    EXPECT_EQ(Raw(*dst, 1, 0), PackColour(format, {0, 0, 255}));
    EXPECT_EQ(Raw(*dst, 2, 0), PackColour(format, {8, 16, 24}));
    EXPECT_EQ(dst->GetDirty(), (DirtyRect{0, 0, 3, 1}));
  }

  struct Case {
    int32_t format;
    uint32_t before, inverted, mono;
  };
  // Mono: fields widened by a shift, (R + G + B) / 3, packed again.
  const Case cases[] = {
      {555, 0x7C00, 0x03FF, 0x294A},         // red 248 -> grey 82
      {565, 0xF800, 0x07FF, 0x528A},
      {888, 0x5B3C1E, 0xA4C3E1, 0x3C3C3C},   // (91 + 60 + 30) / 3 = 60
      {8888, 0x5B3C1E, 0xA4C3E1, 0x3C3C3C},
      {565, 0x1234, 0xEDCB, 0},
      {555, 0x1234, 0x6DCB, 0},
      {8888, 0xAB123456, 0x00EDCBA9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    auto s = MakeSurface(c.format, 1, 1);
    SetRaw(*s, 0, 0, c.before);
    s->Invert();
    EXPECT_EQ(Raw(*s, 0, 0), c.inverted);
    if (c.mono == 0) continue;
    SetRaw(*s, 0, 0, c.before);
    s->Mono();
    EXPECT_EQ(Raw(*s, 0, 0), c.mono);
  }
  auto twice = MakeSurface(565, 1, 1);
  SetRaw(*twice, 0, 0, 0xBEEF);
  twice->Invert();
  twice->Invert();
  EXPECT_EQ(Raw(*twice, 0, 0), 0xBEEFu);

  // Noise: one grey per pair; the generator's sequence from its start is fixed.
  auto n = MakeSurface(8888, 5, 1);
  SetNoiseState(1);
  EXPECT_EQ(n->Noise(0, 0, 5, 1), DrawResult::kOk);
  EXPECT_EQ(Raw(*n, 0, 0), 198u * 0x010101);
  EXPECT_EQ(Raw(*n, 1, 0), 198u * 0x010101);
  EXPECT_EQ(Raw(*n, 2, 0), 126u * 0x010101);
  EXPECT_EQ(Raw(*n, 4, 0), 0u);  // the odd last column stays
  auto n565 = MakeSurface(565, 2, 1);
  EXPECT_EQ(n565->Noise(0, 0, 2, 1), DrawResult::kOk);
  EXPECT_EQ(Raw(*n565, 0, 0), PackColour(565, {129, 129, 129}));
  auto bitmap = MakeSurface(0, 2, 1);
  EXPECT_EQ(bitmap->Noise(0, 0, 2, 1), DrawResult::kOk);
  EXPECT_EQ(Raw(*bitmap, 0, 0), 0u);
}

TEST(SurfaceTest, PicturesConvertInAndOutOfTheDeviceFormat) {
  Bitmap bitmap;
  ASSERT_TRUE(bitmap.Create(2, 1, 1, 24));
  bitmap.Fill(0, 0, 1, 1, 0xFF, 0x80, 0x08);
  for (int32_t format : kDeviceFormats) {
    auto s = MakeSurface(format, 2, 1);
    EXPECT_TRUE(s->CopyFromBitmap(bitmap));
    EXPECT_EQ(s->GetDirty(), (DirtyRect{0, 0, 2, 1}));
    EXPECT_EQ(Raw(*s, 0, 0), PackColour(format, {0xFF, 0x80, 0x08}));
    Bitmap back;
    back.Create(2, 1, 1, 24);
    EXPECT_TRUE(back.CopyFromSurface(*s));
    EXPECT_EQ(PixelColour(0, back.Pixels(), 0, 0), PixelColour(format, s->View(), 0, 0));
  }
  auto small = MakeSurface(565, 3, 1);
  EXPECT_FALSE(small->CopyFromBitmap(bitmap));
}

TEST(SurfaceTest, AttachTakesAnotherSurfacesPixels) {
  auto owner = MakeSurface(565, 4, 3);
  Surface view;
  view.Attach(owner->Device(), 565);
  EXPECT_EQ(view.Width(), 4);
  EXPECT_EQ(view.Height(), 3);
  EXPECT_EQ(view.Fill(0, 0, 1, 1, 255, 255, 255), DrawResult::kOk);
  EXPECT_EQ(Raw(*owner, 0, 0), 0xFFFFu);
}

TEST(SurfaceTest, CreateAndLoadTakeTheDisplaysSurfaceFormat) {
  SetSurfaceFormatCode(565);
  {
    Surface a;
    ASSERT_TRUE(a.Create(8, 8));
    EXPECT_EQ(a.FormatCode(), 565);
    a.Release();
    EXPECT_EQ(a.Width(), 0);
    EXPECT_EQ(a.Fill(0, 0, 1, 1, 0, 0, 0), DrawResult::kNoPixelMemory);
    SetSurfaceFormatCode(888);
    ASSERT_TRUE(a.Create(4, 4));  // made again after a release
    EXPECT_EQ(a.FormatCode(), 888);
  }
  SetSurfaceFormatCode(0);
  Surface bitmap;
  ASSERT_TRUE(bitmap.Create(4, 4));
  EXPECT_FALSE(bitmap.IsDeviceMode());
}

}  // namespace
}  // namespace zan
