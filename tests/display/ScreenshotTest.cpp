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
  panel->Fill(40, 0, 8, 8, 255, 255, 0);  // a grey where widening by shift and by repeat differ
  panel->Mono();
  card.Blt(184, 176, 48, 48, *panel, 0, 0, 0);
  SetNoiseState(1);  // the generator's state at program start, so the greys are known
  card.Noise(240, 16, 16, 96);
  card.FillBlend(240, 128, 16, 96, 128, 255, 255, 255);
}

// What the card should show, worked out from the operations' arithmetic on the format's
// channel fields (5 bits, 6 for 565's green, else 8), apart from the engine's code.
struct Fields {
  int c[3];
  bool operator==(const Fields&) const = default;
};

int BitsOf(int32_t format, int channel) {
  if (format == 555) return 5;
  if (format == 565) return channel == 1 ? 6 : 5;
  return 8;
}

Fields Reduce(int32_t format, int r, int g, int b) {
  const int v[3] = {r, g, b};
  Fields f{};
  for (int i = 0; i < 3; ++i) f.c[i] = v[i] >> (8 - BitsOf(format, i));
  return f;
}

// A PNG shows a field of n bits widened by repeating its bits from the top.
Rgb Shown(int32_t format, Fields f) {
  uint8_t out[3];
  for (int i = 0; i < 3; ++i) {
    const int bits = BitsOf(format, i), v = f.c[i];
    out[i] = static_cast<uint8_t>(bits == 8 ? v : bits == 6 ? v * 4 + v / 16 : v * 8 + v / 4);
  }
  return {out[0], out[1], out[2]};
}

template <typename Op>
Fields PerChannel(int32_t format, Fields a, Op op) {
  for (int i = 0; i < 3; ++i) a.c[i] = op(a.c[i], (1 << BitsOf(format, i)) - 1, BitsOf(format, i), i);
  return a;
}

struct CardExpectation {
  int32_t format;
  Fields Background(int y) const { return Reduce(format, y * 255 / 240, 64, 255 - y * 255 / 240); }
  // Lightening: d + s * (M - d) / (M + 1) per channel.
  Fields Screen(Fields d, Fields s) const {
    return PerChannel(format, d, [&](int v, int m, int, int i) { return v + s.c[i] * (m - v) / (m + 1); });
  }
  Fields Inverted(Fields f) const {
    return PerChannel(format, f, [](int v, int m, int, int) { return m - v; });
  }
  // Grey: fields widened by shifting (R5 * 8, G6 * 4), the mean of the three, packed again.
  // The 24-bit bitmap form has no grey: it is left as it is.
  Fields Grey(Fields f) const {
    if (format == 0) return f;
    int sum = 0;
    for (int i = 0; i < 3; ++i) sum += f.c[i] << (8 - BitsOf(format, i));
    return Reduce(format, sum / 3, sum / 3, sum / 3);
  }
  // Half way to white: (M * 128 + p * 128) >> 8 on 16-bit fields, the table blend
  // p - floor(128 p / 255) + floor(128 * 255 / 255) on bytes.
  Fields HalfToWhite(Fields f) const {
    return PerChannel(format, f, [](int v, int m, int bits, int) {
      return bits == 8 ? v - 128 * v / 255 + 128 : (m * 128 + v * 128) >> 8;
    });
  }
};

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
    const test::Screenshot png = test::Screenshot::Read(path);
    ASSERT_EQ(png.width, 272);
    ASSERT_EQ(png.height, 240);

    const CardExpectation e{format};
    const Fields yellow = Reduce(format, 255, 220, 0);
    const Fields magenta = Reduce(format, 255, 0, 255);
    const Fields inner = Reduce(format, 40, 40, 160);
    struct Point {
      int x, y;
      Fields expected;
      const char* what;
    };
    const Point points[] = {
        {64, 64, yellow, "the disc's opaque centre"},
        {10, 230, e.Background(230), "the gradient"},
        {18, 178, e.Background(178), "key replace: the key is skipped"},
        {26, 186, Reduce(format, 0, 200, 255), "key replace: magenta replaced"},
        {36, 196, inner, "key replace: other colours copied"},
        {74, 178, e.Background(178), "screen: the key is skipped"},
        {82, 186, e.Screen(e.Background(186), magenta), "screen: magenta"},
        {92, 196, e.Screen(e.Background(196), inner), "screen: blue"},
        {175, 223, e.Inverted(yellow), "invert: the disc"},
        {231, 223, e.Grey(yellow), "grey: the disc"},
        {228, 180, e.Grey(Reduce(format, 255, 255, 0)), "grey: a full yellow"},
        {245, 150, e.HalfToWhite(e.Background(150)), "fill blend"},
    };
    for (const Point& p : points)
      EXPECT_EQ(png.At(p.x, p.y), Shown(format, p.expected)) << p.what << " at " << p.x << "," << p.y;

    // The panels' left column is a copy of the gradient's rows 16-63 (the disc is clear there).
    for (int y = 16; y < 64; ++y) {
      EXPECT_EQ(png.At(128, 160 + y), Shown(format, e.Inverted(e.Background(y)))) << "invert: row " << y;
      EXPECT_EQ(png.At(184, 160 + y), Shown(format, e.Grey(e.Background(y)))) << "grey: row " << y;
    }

    // Noise: one grey per horizontal pair, row by row, bits 16-23 of the state after
    // state = state * 1103515245 + 12345 from 1. The bitmap form draws none.
    uint32_t state = 1;
    int wrong = 0;
    for (int y = 16; y < 112; ++y)
      for (int x = 240; x < 256; x += 2) {
        state = state * 1103515245u + 12345u;
        const int v = static_cast<int>((state >> 16) & 0xFF);
        const Fields grey = format == 0 ? e.Background(y) : Reduce(format, v, v, v);
        wrong += png.At(x, y) == Shown(format, grey) && png.At(x + 1, y) == Shown(format, grey) ? 0 : 1;
      }
    EXPECT_EQ(wrong, 0) << "pairs of noise pixels not as the generator gives";
  }
  EXPECT_FALSE(WritePng((dir / "none.png").string(), 8888, PixelRows{}).ok());
  if (!keep) fs::remove_all(dir);
}

}  // namespace
}  // namespace zan
