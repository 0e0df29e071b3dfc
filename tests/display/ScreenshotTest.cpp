// Screenshots, and a test card drawn with every operation in every format. The card's PNG
// files are kept in $ZAN_TEST_CARD_DIR when it is set (to look at them), else removed.

#include "display/Screenshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "../surface/TestPng.h"
#include "../surface/TestSurfaces.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

// A picture with a little of everything: a gradient, a soft-edged disc blended by its alpha,
// a cross-fade, a mask blend, a lightened copy, a keyed copy with a colour replaced, and
// negative, grey and noise panels.
void DrawTestCard(Surface& card) {
  const int32_t f = card.FormatCode();
  const int32_t w = card.Width(), h = card.Height();
  for (int32_t y = 0; y < h; ++y)
    card.Fill(0, y, w, 1, static_cast<uint8_t>(y * 255 / h), 64, static_cast<uint8_t>(255 - y * 255 / h));

  auto disc = test::MakeSurface(f, 96, 96);
  disc->FillAll(255, 220, 0);
  for (int32_t y = 0; y < 96; ++y)
    for (int32_t x = 0; x < 96; ++x) {
      const double r = std::hypot(x - 47.5, y - 47.5);
      disc->Alpha().Row(y)[x] = static_cast<uint8_t>(std::clamp((44.0 - r) * 40.0, 0.0, 255.0));
    }
  card.Blt(16, 16, 96, 96, *disc, 0, 0, 2);
  card.BitBltAlpha(128, 16, 96, 96, *disc, 0, 0, 96);

  auto white = test::MakeSurface(f, 64, 64);
  white->FillAll(255, 255, 255);
  // The first picture's rectangle is where it is drawn; the second's may be anywhere.
  auto black = test::MakeSurface(f, w, h);
  for (int32_t i = 0; i < 4; ++i)
    card.CrossFade(*black, 16 + i * 40, 128, 32, 32, *white, 8, 8, static_cast<uint8_t>(i * 80 + 15));
  AlphaPlane ramp;
  ramp.Create(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) ramp.Row(y)[x] = static_cast<uint8_t>(x * 4);
  auto masked = test::MakeSurface(f, 64, 64);
  auto red = test::MakeSurface(f, 64, 64);
  red->FillAll(255, 0, 0);
  masked->MaskBlend(*white, *red, ramp);
  card.Blt(176, 128, 64, 64, *masked, 0, 0, 0);

  auto sprite = test::MakeSurface(f, 48, 48);
  sprite->FillAll(0, 255, 0);              // the key: left alone
  sprite->Fill(8, 8, 32, 32, 255, 0, 255);  // magenta: replaced
  sprite->Fill(16, 16, 16, 16, 40, 40, 160);
  card.KeyReplaceBlt(16, 176, 48, 48, *sprite, 0, 0, 0, 200, 255);
  card.ScreenBlt(72, 176, 48, 48, *sprite, 0, 0);

  auto panel = test::MakeSurface(f, 48, 48);
  panel->Blt(0, 0, 48, 48, card, 16, 16, 0);
  panel->Invert();
  card.Blt(128, 176, 48, 48, *panel, 0, 0, 0);
  panel->Blt(0, 0, 48, 48, card, 16, 16, 0);
  panel->Mono();
  card.Blt(184, 176, 48, 48, *panel, 0, 0, 0);
  card.Noise(240, 16, 16, 96);
  card.FillBlend(240, 128, 16, 96, 128, 255, 255, 255);
}

TEST(ScreenshotTest, ATestCardInEveryFormatComesBackFromItsPng) {
  const char* keep = std::getenv("ZAN_TEST_CARD_DIR");
  const fs::path dir = keep ? fs::path(keep) : fs::temp_directory_path() / ("zan_card_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (int32_t format : {555, 565, 888, 8888, 0}) {
    SCOPED_TRACE(format);
    auto card = test::MakeSurface(format, 272, 240);
    DrawTestCard(*card);
    const std::string path = (dir / ("card-" + std::to_string(format) + ".png")).string();
    ASSERT_TRUE(WritePng(path, format, card->View()).ok());
    int w = 0, h = 0;
    auto rgb = test::ReadPng(path, &w, &h);
    ASSERT_EQ(w, 272);
    ASSERT_EQ(h, 240);
    for (auto [x, y] : {std::pair{64, 64}, std::pair{10, 230}, std::pair{200, 160}, std::pair{40, 200}}) {
      const Rgb c = test::Colour(*card, x, y);
      const uint8_t* p = &rgb[static_cast<size_t>(y * w + x) * 3];
      EXPECT_EQ((Rgb{p[0], p[1], p[2]}), c) << x << "," << y;
    }
    // The disc's opaque centre is its yellow; the key left the sprite's border alone.
    EXPECT_EQ(test::Colour(*card, 64, 64), test::Colour(*card, 66, 62));
    EXPECT_EQ(PackColour(format, test::Colour(*card, 64, 64)), PackColour(format, {255, 220, 0}));
  }
  EXPECT_FALSE(WritePng((dir / "none.png").string(), 8888, PixelRows{}).ok());
  if (!keep) fs::remove_all(dir);
}

}  // namespace
}  // namespace zan
