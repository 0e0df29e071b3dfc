// The save and load screens: a background each ("SAVE_BG.bmp", "LOAD_BG.bmp") and a button
// picture each ("SAVEボタンchip.bmp", "LOADボタンchip.BMP") with every item's looks, the page
// digits and the empty slot. Where each part lies is fixed in Pictures.h (kSaveChip...) and
// in game/system/system5-1.lib, which the tests hold to each other.

#include <cmath>
#include <string>

#include "Pictures.h"

namespace zan::assetgen {
namespace {

constexpr float kPi = 3.14159265f;

const Rgba kNavy = Hex(0x141C3E), kCream = Hex(0xFFF4DC);

// The accent of each screen: gold for saving, a cool sea blue for loading.
Rgba Accent(bool save) { return save ? Hex(0xF2D08A) : Hex(0x8FD8E8); }

std::vector<Point> Star(float cx, float cy, float outer, float inner, int points = 5) {
  std::vector<Point> v;
  for (int i = 0; i < points * 2; ++i) {
    float a = -kPi / 2 + i * kPi / points, r = i % 2 ? inner : outer;
    v.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r});
  }
  return v;
}

void Text(Canvas& c, const Font& font, const std::string& utf8, int size, int x, int y, Rgba colour,
          bool centred = false, int width = 0) {
  AlphaMap map = font.Render(utf8, size, 1);
  c.FillMask(map, centred ? x + (width - map.width) / 2 : x, y, Solid(colour));
}

// The night sky behind the slots, the screen's name, the page label, the preview's panel
// and how to use the screen.
Canvas Background(const Font& font, bool save) {
  Canvas c(800, 600);
  c.Cover(Linear({0, 0}, {0, 600}, {Hex(0x0A0F24), Hex(0x141C3E), Hex(0x1E2A5A)}));
  Rng rng(save ? 51 : 52);
  for (int i = 0; i < 140; ++i) {
    float x = rng.Uniform(0, 800), y = rng.Uniform(0, 600), r = rng.Uniform(0.4f, 1.3f);
    c.Fill(Circle(x, y, r), Solid(Hex(0xFFFFFF)), rng.Uniform(0.2f, 0.7f));
  }
  const Rgba accent = Accent(save);
  // The title band.
  c.Fill(RoundRect(-20, 18, 330, 52, 24), Linear({0, 0}, {330, 0}, {Hex(0x26305E, 0.95f), Hex(0x26305E, 0.3f)}));
  c.Glow(44, 44, 12, accent, 0.4f);
  c.Fill(Polygon(Star(44, 44, 12, 5)), Solid(accent));
  Text(c, font, save ? "セーブ" : "ロード", 30, 66, 26, kCream);
  Text(c, font, save ? "SAVE" : "LOAD", 16, 182, 40, accent);
  Text(c, font, "PAGE", 14, 462, 38, accent);
  // A faint well behind each slot and its delete button.
  for (int s = 0; s < 10; ++s) {
    const Box f = SaveSlotFrame(s);
    c.Fill(RoundRect(f.x - 6.0f, f.y - 6.0f, f.w + 12.0f, f.h + 12.0f + 26, 8), Solid(Hex(0x0A0F24)), 0.55f);
    Text(c, font, "No." + std::to_string(s + 1), 13, f.x, f.y + f.h + 4, Mix(accent, kCream, 0.4f));
  }
  // The preview's panel under the slots: the date and scene on top, the page below.
  Sdf panel = RoundRect(56, 418, 688, 164, 12);
  c.Fill(panel, Solid(Hex(0x0A0F24)), 0.8f);
  c.Fill(Outline(panel, 1.2f), Solid(accent), 0.6f);
  Text(c, font, "ダブルクリックで" + std::string(save ? "セーブ" : "ロード") + "　右クリック・Esc で戻る", 13, 64,
       586 - 20, Mix(accent, kCream, 0.5f));
  return c;
}

// A pill-shaped button with a label in one of three looks: normal, hovered, pressed.
void Button(Canvas& c, const Font& font, int x, int y, int w, int h, const std::string& label, int look,
            bool save, int textSize) {
  const Rgba accent = Accent(save);
  Sdf pill = RoundRect(x + 1.5f, y + 1.5f, w - 3.0f, h - 3.0f, (h - 3) / 2.0f);
  const Rgba fills[] = {Hex(0x26305E), Hex(0x4A4A96), accent};
  const Rgba inks[] = {kCream, Hex(0xFFFFFF), Hex(0x141C3E)};
  c.Fill(pill, Linear({0, static_cast<float>(y)}, {0, static_cast<float>(y + h)},
                      {Mix(fills[look], Hex(0xFFFFFF), 0.15f), fills[look]}));
  c.Fill(Outline(pill, 1.0f), Solid(look == 2 ? kNavy : accent), 0.9f);
  AlphaMap text = font.Render(label, textSize, 0);
  c.FillMask(text, x + (w - text.width) / 2, y + (h - text.height) / 2, Solid(inks[look]));
}

// The frame over an empty slot: a ring in the accent colour, open in the middle.
void SlotFrame(Canvas& c, int x, int y, bool save) {
  Sdf ring = Subtract(RoundRect(x, y, 128, 96, 6), RoundRect(x + 3.0f, y + 3.0f, 122, 90, 4));
  c.Fill(ring, Solid(Accent(save)), 0.9f);
}

// What an empty slot shows under its frame.
void EmptySlot(Canvas& c, const Font& font, int x, int y, bool save) {
  c.Fill(RoundRect(x, y, 128, 96, 0), Linear({0, static_cast<float>(y)}, {0, y + 96.0f}, {Hex(0x1E2A5A), Hex(0x0E1433)}));
  c.Fill(Polygon(Star(x + 64.0f, y + 38.0f, 14, 6)), Solid(Accent(save)), 0.35f);
  Text(c, font, "NO DATA", 14, x, y + 60, Mix(Accent(save), kCream, 0.3f), true, 128);
}

Canvas Chip(const Font& font, bool save) {
  Canvas c(kSaveChipW, kSaveChipH);
  for (int look = 0; look < 3; ++look) {
    Button(c, font, kSaveNextX + look * 40, 0, 40, 32, "▶", look, save, 16);
    Button(c, font, kSavePreviousX + look * 40, 0, 40, 32, "◀", look, save, 16);
    Button(c, font, look * 96, kSaveBackY, 96, 32, "戻る", look, save, 16);
    Button(c, font, look * 56, kSaveDeleteY, 56, 20, "削除", look, save, 12);
  }
  // The page digits: page p shows as p + 1.
  for (int p = 0; p < 10; ++p) {
    const int x = kSaveDigitsX + p * 32;
    c.Fill(Circle(x + 16.0f, 16, 14), Solid(Hex(0x0A0F24)), 0.85f);
    c.Fill(Outline(Circle(x + 16.0f, 16, 14), 1.0f), Solid(Accent(save)), 0.9f);
    Text(c, font, std::to_string(p + 1), p == 9 ? 15 : 18, x, 5, kCream, true, 32);
  }
  EmptySlot(c, font, kSaveEmptyX, kSaveEmptyY, save);
  SlotFrame(c, kSaveFrameX, kSaveFrameY, save);
  return c;
}

}  // namespace

void MakeSaveScreens(Stage& stage, const Font& font) {
  stage.Picture("SAVE_BG.bmp", Background(font, true), BmpForm::Rgb24);
  stage.Picture("LOAD_BG.bmp", Background(font, false), BmpForm::Rgb24);
  stage.Picture("SAVEボタンchip.bmp", Chip(font, true), BmpForm::Argb32);
  stage.Picture("LOADボタンchip.BMP", Chip(font, false), BmpForm::Argb32);
}

}  // namespace zan::assetgen
