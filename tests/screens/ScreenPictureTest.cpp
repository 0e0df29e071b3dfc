// The screens' pictures: keyed pictures keep the transparent colour at every opacity,
// pictures with alpha blend by it, backgrounds copy every pixel, a missing picture draws
// nothing.

#include "screens/ScreenPicture.h"

#include <gtest/gtest.h>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScreenTestGame.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using test::BmpForm;

constexpr Rgb kBehind{100, 50, 200}, kInk{20, 220, 120}, kKey{0, 255, 0};

using test::Toward;
Rgb Toward(Rgb x, Rgb y, int a) { return {Toward(x.r, y.r, a), Toward(x.g, y.g, a), Toward(x.b, y.b, a)}; }

class ScreenPictureTest : public ::testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(GetParam());
    ASSERT_TRUE(target.Create(8, 2));
    target.FillAll(kBehind.r, kBehind.g, kBehind.b);
  }
  // What a colour becomes in the format.
  Rgb In(Rgb c) { return UnpackIn(GetParam(), PackColour(GetParam(), c)); }
  static Rgb UnpackIn(int32_t code, uint32_t raw) {
    Rgb out;
    WithFormat(code, [&]<class F>() { out = F::Unpack(raw); });
    return out;
  }
  Rgb At(int32_t x, int32_t y) { return test::Colour(target, x, y); }

  Surface target;
};

TEST_P(ScreenPictureTest, AKeyedPictureKeepsItsTransparentColourAtEveryOpacity) {
  ScreenPicture sheet;
  Surface& s = sheet.Pixels();
  ASSERT_TRUE(s.Create(4, 1));
  s.Fill(0, 0, 4, 1, kInk.r, kInk.g, kInk.b);
  s.Fill(1, 0, 1, 1, kKey.r, kKey.g, kKey.b);
  s.SetHasAlpha(0);  // keyed: no alpha of its own
  sheet.TakePixels();
  sheet.DrawPart(target, 0, 0, 4, 1, 0, 0);
  EXPECT_EQ(At(0, 0), In(kInk));
  EXPECT_EQ(At(1, 0), In(kBehind));
  EXPECT_EQ(At(3, 0), In(kInk));
  EXPECT_EQ(At(4, 0), In(kBehind));  // the part's width
  sheet.DrawPart(target, 4, 1, 4, 1, 0, 0, 0);
  EXPECT_EQ(At(4, 1), In(kBehind));  // opacity 0 draws nothing
  sheet.DrawPart(target, 4, 1, 4, 1, 0, 0, 127);
  EXPECT_EQ(At(5, 1), In(kBehind));
  if (GetParam() == kFormat8888 || GetParam() == kFormat888) {
    // Alpha 255 and opacity 127: the weight (128 x 256) >> 8 = 128.
    EXPECT_EQ(At(4, 1), Toward(kBehind, kInk, 128));
  } else {
    EXPECT_NE(At(4, 1), In(kBehind));
    EXPECT_NE(At(4, 1), In(kInk));
  }
  // A background copies every pixel, the transparent colour too.
  target.FillAll(kBehind.r, kBehind.g, kBehind.b);
  sheet.DrawWhole(target, 0, 0);
  EXPECT_EQ(At(1, 0), In(kKey));
}

TEST_P(ScreenPictureTest, APictureWithAlphaBlendsByIt) {
  ScreenPicture sheet;
  Surface& s = sheet.Pixels();
  ASSERT_TRUE(s.Create(2, 1));
  s.Fill(0, 0, 2, 1, kKey.r, kKey.g, kKey.b);  // green is no key for a picture with alpha
  s.SetHasAlpha(1);
  s.Alpha().Destroy();
  s.Alpha().Create(2, 1);
  s.Alpha().FillRect(0, 0, 1, 1, 255);
  sheet.TakePixels();
  sheet.DrawPart(target, 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(At(0, 0), In(kKey));
  EXPECT_EQ(At(1, 0), In(kBehind));
}

INSTANTIATE_TEST_SUITE_P(Formats, ScreenPictureTest, ::testing::Values(kFormat555, kFormat565, kFormat888, kFormat8888));

TEST(ScreenPictureLoadTest, APictureOfTheGameLoadsAndAMissingOneIsEmpty) {
  SetSurfaceFormatCode(kFormat8888);
  test::ScreenTestGame game({{"chip.bmp", test::FlatBmp(3, 2, BmpForm::kRgb24, kInk)}}, {});
  ScreenPicture chip;
  EXPECT_TRUE(chip.Load(game.Data(), "chip.bmp"));
  EXPECT_FALSE(chip.Empty());
  EXPECT_EQ(chip.Width(), 3);
  EXPECT_EQ(chip.Height(), 2);
  EXPECT_FALSE(chip.Load(game.Data(), "none.bmp"));
  EXPECT_TRUE(chip.Empty());
  Surface target;
  ASSERT_TRUE(target.Create(4, 4));
  target.FillAll(kBehind.r, kBehind.g, kBehind.b);
  chip.DrawPart(target, 0, 0, 3, 2, 0, 0);
  chip.DrawWhole(target);
  EXPECT_EQ(test::Colour(target, 0, 0), kBehind);
}

}  // namespace
}  // namespace zan
