// Pictures of the game's interface: message windows, the page-advance icon, choice
// buttons, countdown sheets, inline icons, the system buttons, the yes/no dialogs and the
// stardust sprites.

#include <cmath>
#include <string>
#include <vector>

#include "Pictures.h"

namespace zan::assetgen {
namespace {

constexpr float kPi = 3.14159265f;

const Rgba kNavy = Hex(0x141C3E), kDeep = Hex(0x0A0F24), kGold = Hex(0xF2D08A), kCream = Hex(0xFFF4DC);

std::vector<Point> StarPoints(float cx, float cy, float outer, float inner, int points = 5, float turn = 0) {
  std::vector<Point> v;
  for (int i = 0; i < points * 2; ++i) {
    float a = -kPi / 2 + turn + i * kPi / points, r = i % 2 ? inner : outer;
    v.push_back({cx + std::cos(a) * r, cy + std::sin(a) * r});
  }
  return v;
}

// The main window. The engine tints it with the player's window colour (by default a
// mid grey, 119 of 255) at the player's window opacity, so it is drawn light: the tint
// turns it into a translucent grey panel on which both the white text and the text read
// before (dark blue by default) stay legible. A darker tab at the top left carries the
// speaker's name, which the engine writes at (6, 28) from the window's corner (24 px).
Canvas MessageWindow() {
  Canvas c(800, 200);
  Sdf panel = RoundRect(4, 40, 792, 156, 12);
  c.Fill(panel, Linear({0, 40}, {0, 196}, {Hex(0xFFFFFF, 0.94f), Hex(0xF6F4FA, 1.0f)}));
  c.Fill(Outline(RoundRect(10, 46, 780, 144, 8), 0.8f), Solid(Hex(0xA8AECB)), 0.9f);
  c.Fill(Outline(panel, 1.2f), Solid(Hex(0x7A82A8)), 0.9f);
  // The name tab: square at the screen's edge, tapering off to the right.
  Sdf tab = Union(RoundRect(-20, 24, 236, 36, 10), Polygon({{200, 24}, {262, 24}, {236, 60}, {200, 60}}));
  c.Fill(tab, Linear({0, 0}, {262, 0}, {Hex(0x9CA2C4, 1.0f), Hex(0x9CA2C4, 1.0f), Hex(0xB4B8D2, 0.95f)}));
  c.Fill(Outline(tab, 1.0f), Solid(Hex(0xE8EAF6)), 0.9f);
  c.Fill(Polygon(StarPoints(246, 34, 5, 2.2f)), Solid(Hex(0xFFFFFF)), 0.9f);
  return c;
}

// Full-screen narration: the scene is dimmed and the text stands on a page of paper, dark
// ink on cream, so that text read before (drawn in dark blue) reads as well as new text.
Canvas NarrationWindow() {
  Canvas c(800, 600);
  Sdf page = RoundRect(70, 66, 660, 468, 6);
  c.Cover(Radial({400, 300}, 560, {Hex(0x05070F, 0.45f), Hex(0x05070F, 0.6f), Hex(0x020308, 0.85f)}));
  AlphaMap shadow = Blur([&] {
    Canvas g(800, 600);
    g.Fill(RoundRect(74, 74, 660, 468, 6), Solid(Hex(0xFFFFFF)));
    return g.Alpha();
  }(), 10);
  c.FillMask(shadow, 0, 0, Solid(Hex(0x000000)), 0.5f);
  c.Fill(page, [](float x, float y) {
    float n = ValueNoise(x, y, 5, 11) * 0.5f + ValueNoise(x, y, 31, 12) * 0.5f;
    return Mix(Hex(0xFBF6EA, 0.94f), Hex(0xEFE5CF, 0.94f), n * 0.7f + y / 600.0f * 0.3f);
  });
  c.Fill(Outline(RoundRect(84, 80, 632, 440, 3), 0.8f), Solid(Hex(0xB89A64)), 0.55f);
  c.Fill(Outline(page, 1.2f), Solid(Hex(0x8C7A5A)), 0.6f);
  for (float x : {400.0f - 40, 400.0f, 400.0f + 40}) c.Fill(Polygon(StarPoints(x, 500, x == 400 ? 5.5f : 3.5f, 2)), Solid(Hex(0xB89A64)), 0.7f);
  return c;
}

// A tall sheet of paper for vertical writing.
Canvas PaperWindow() {
  Canvas c(280, 520);
  Sdf sheet = RoundRect(6, 6, 268, 508, 6);
  c.Fill(sheet, [](float x, float y) {
    float n = ValueNoise(x, y, 6, 3) * 0.5f + ValueNoise(x, y, 22, 4) * 0.5f;
    return Mix(Hex(0xF6EEDC, 0.98f), Hex(0xE8DCC0, 0.98f), n);
  });
  c.Fill(Outline(RoundRect(16, 16, 248, 488, 3), 1.0f), Solid(Hex(0xB0463C)), 0.6f);
  c.Fill(Outline(sheet, 1.5f), Solid(Hex(0x8C7A5A)), 0.7f);
  return c;
}

// Eight 32 × 32 frames of a small star that bobs and twinkles.
Canvas PageIcon() {
  Canvas c(256, 32);
  for (int i = 0; i < 8; ++i) {
    float t = i / 8.0f * 2 * kPi;
    float cx = i * 32 + 16.0f, cy = 16 + std::sin(t) * 3;
    float s = 1.0f + 0.12f * std::cos(t);
    c.Glow(cx, cy, 9 * s, Hex(0xFFE2A0), 0.5f + 0.25f * std::cos(t));
    c.Fill(Polygon(StarPoints(cx, cy, 10 * s, 4.2f * s, 4, t * 0.125f)), Radial({cx, cy}, 10, {kCream, kGold}));
  }
  return c;
}

// The choice button (800 wide: the engine draws it at x = 0; the text is centred on it).
Canvas ChoiceButton(bool hover) {
  Canvas c(800, 48);
  Sdf bar = RoundRect(130, 4, 540, 40, 20);
  if (hover) {
    AlphaMap glow = Blur([&] {
      Canvas g(800, 48);
      g.Fill(bar, Solid(Hex(0xFFFFFF)));
      return g.Alpha();
    }(), 4);
    c.FillMask(glow, 0, 0, Solid(Hex(0xFFD98A)), 0.6f);
  }
  c.Fill(bar, hover ? Linear({0, 4}, {0, 44}, {Hex(0x5A4A9A, 0.95f), Hex(0x2C2E6A, 0.95f)})
                    : Linear({0, 4}, {0, 44}, {Hex(0x1E2A5A, 0.85f), Hex(0x0E1433, 0.85f)}));
  c.Fill(Outline(bar, 1.6f), Solid(hover ? kCream : kGold), hover ? 0.95f : 0.6f);
  for (float x : {152.0f, 648.0f}) c.Fill(Polygon(StarPoints(x, 24, hover ? 8.0f : 6.0f, 3)), Solid(hover ? kCream : kGold), 0.9f);
  return c;
}

// Countdown sheet for `digit` seconds left: 5 × 7 cells of 200 × 150. Cell k shows the
// moment about 30 × k milliseconds before the next whole second: the ring runs down and
// the digit swells as each second begins.
Canvas Countdown(int digit, const Font& font) {
  Canvas c(kCountdownCellW * 5, kCountdownCellH * 7);
  static const uint32_t colours[] = {0, 0xFF6B5A, 0xFFA24A, 0xFFD35A, 0x9FD8FF, 0xBFE6FF};
  Rgba col = Hex(colours[digit]);
  for (int k = 0; k < 35; ++k) {
    float ms = k * 30.0f + 15, frac = ms / 1000.0f;
    float cx = (k % 5) * kCountdownCellW + kCountdownCellW / 2.0f, cy = (k / 5) * kCountdownCellH + kCountdownCellH / 2.0f;
    float pulse = 1.0f + 0.35f * std::pow(std::max(0.0f, (frac - 0.75f) / 0.25f), 2.0f);
    c.Fill(Circle(cx, cy, 62), Radial({cx, cy}, 62, {Hex(0x0A0F24, 0.55f), Hex(0x0A0F24, 0.75f)}));
    c.Fill(Outline(Circle(cx, cy, 56), 6), Solid(Hex(0xFFFFFF)), 0.15f);
    // The ring: the part of the second still left, clockwise from the top.
    Sdf arc = [=](float x, float y) {
      float a = std::atan2(x - cx, -(y - cy));
      if (a < 0) a += 2 * kPi;
      float ring = std::abs(std::hypot(x - cx, y - cy) - 56) - 3.5f;
      float inside = a <= frac * 2 * kPi ? -1.0f : 1.0f;
      return inside > 0 ? std::max(ring, 1.0f) : ring;
    };
    c.Fill(arc, Solid(col));
    AlphaMap glyph = font.Render(std::to_string(digit), static_cast<int>(70 * pulse), 8);
    int gx = static_cast<int>(cx) - glyph.width / 2, gy = static_cast<int>(cy) - glyph.height / 2 + 2;
    c.FillMask(Blur(glyph, 5), gx, gy, Solid(col), 0.8f, Blend::Add);
    c.FillMask(glyph, gx, gy, Solid(Mix(col, Hex(0xFFFFFF), 0.6f)));
  }
  return c;
}

Canvas Icon(int kind) {
  Canvas c(32, 32);
  switch (kind) {
    case 0:  // star
      c.Fill(Polygon(StarPoints(16, 17, 15, 6.5f)), Radial({14, 13}, 16, {Hex(0xFFF6C0), Hex(0xF2C240)}));
      c.Fill(Outline(Polygon(StarPoints(16, 17, 15, 6.5f)), 1.2f), Solid(Hex(0xB8862A)));
      break;
    case 1: {  // heart
      Sdf heart = Union(Union(Circle(10.5f, 12, 7), Circle(21.5f, 12, 7)), Polygon({{4.2f, 15}, {16, 28}, {27.8f, 15}, {16, 11}}));
      c.Fill(heart, Radial({11, 10}, 20, {Hex(0xFFB0B8), Hex(0xE0505E)}));
      c.Fill(Circle(10, 10, 2.2f), Solid(Hex(0xFFFFFF)), 0.8f);
      break;
    }
    case 2:  // music note
      c.Fill(Ellipse(11, 24, 6, 4.5f), Solid(Hex(0x3FA8A0)));
      c.Fill(Ellipse(23, 21, 6, 4.5f), Solid(Hex(0x3FA8A0)));
      c.Fill(Capsule({16, 24}, {16, 6}, 1.4f), Solid(Hex(0x3FA8A0)));
      c.Fill(Capsule({28, 21}, {28, 4}, 1.4f), Solid(Hex(0x3FA8A0)));
      c.Fill(Polygon({{15, 5}, {29, 2}, {29, 7}, {15, 10}}), Solid(Hex(0x3FA8A0)));
      break;
    case 3: {  // sweat drop
      Sdf drop = Union(Circle(16, 20, 8.5f), Polygon({{16, 2}, {23.5f, 16}, {8.5f, 16}}));
      c.Fill(drop, Radial({13, 17}, 14, {Hex(0xE8F8FF), Hex(0x7CC4F0)}));
      c.Fill(Outline(drop, 1.0f), Solid(Hex(0x4A8EC0)));
      break;
    }
    default:  // crescent moon
      c.Fill(Subtract(Circle(16, 16, 13), Circle(22, 11, 11)), Radial({10, 18}, 16, {Hex(0xFFF8D8), Hex(0xF0D070)}));
      break;
  }
  return c;
}

// A stardust sprite for the falling sparkles.
Canvas Sparkle(int size, uint32_t tint) {
  Canvas c(size, size);
  float m = size / 2.0f;
  c.Glow(m, m, size * 0.22f, Hex(tint), 0.9f);
  c.Fill(Polygon(StarPoints(m, m, m * 0.95f, m * 0.18f, 4)), Radial({m, m}, m, {Hex(0xFFFFFF), Hex(tint, 0.0f)}));
  return c;
}

// The star fragment on its own, for flying it around.
Canvas StarPiece() {
  Canvas c(160, 160);
  // The halo dies out well inside the picture, so that its edge never shows.
  c.Glow(80, 80, 34, Hex(0x5FB8FF), 0.6f);
  c.Glow(80, 80, 20, Hex(0xCFF3FF), 0.8f);
  std::vector<Point> star = StarPoints(80, 82, 40, 18);
  c.Fill(Polygon(star), Radial({74, 74}, 44, {Hex(0xFFFFFF), Hex(0xCFF3FF), Hex(0x7CC8FF)}));
  for (size_t i = 0; i < star.size(); i += 2) c.Fill(Capsule({80, 82}, star[i], 0.8f), Solid(Hex(0xFFFFFF)), 0.5f, Blend::Add);
  return c;
}

// A brass frame for the zoom window of the lighthouse scene: the script lays it in an
// image slot under the zoom window, 5 pixels larger on every side, so that only the ring
// shows around the magnified picture.
Canvas ZoomFrame() {
  Canvas c(kZoomFrameW, kZoomFrameH);
  const float w = kZoomFrameW, h = kZoomFrameH;
  Sdf ring = Subtract(RoundRect(0, 0, w, h, 7), RoundRect(5, 5, w - 10, h - 10, 2));
  c.Fill(ring, Linear({0, 0}, {w, h}, {Hex(0xF6DE9A), Hex(0xB8873A), Hex(0xE9C77A), Hex(0x8A6428)}));
  c.Fill(Outline(RoundRect(0.5f, 0.5f, w - 1, h - 1, 7), 0.8f), Solid(Hex(0x5A4018)), 0.8f);
  c.Fill(Outline(RoundRect(5, 5, w - 10, h - 10, 2), 0.8f), Solid(Hex(0x3A2810)), 0.9f);
  for (auto [x, y] : {std::pair{2.5f, 2.5f}, {w - 2.5f, 2.5f}, {2.5f, h - 2.5f}, {w - 2.5f, h - 2.5f}})
    c.Fill(Circle(x, y, 1.6f), Solid(Hex(0xFFF4D0)), 0.9f);
  return c;
}

// A grey-scale mask for the mask-driven cross-fade: a diagonal sweep broken up by soft
// clouds (the blue channel is the mask value).
Canvas DiagonalMask() {
  Canvas c(800, 600);
  c.Cover([](float x, float y) {
    float v = (x * 0.6f + y * 0.8f) / 1000.0f * 0.75f + ValueNoise(x, y, 48, 9) * 0.25f;
    return Rgba{v, v, v, 1};
  });
  return c;
}

// The system buttons: one row per button with its four states, then one hint per
// button for its hover state. They are drawn keyed, so the picture is opaque with the
// transparent colour around the shapes; edges are smoothed against the window's navy.
struct SysButton {
  const char* label;
  const char* hint;
};
constexpr SysButton kSysButtons[] = {{"SKIP", "スキップ  Ctrl"}, {"AUTO", "オート  Shift"}, {"LOG", "バックログ  ホイール↑"},
                                     {"SAVE", "セーブ  S"},      {"LOAD", "ロード  L"},      {"CONFIG", "設定  O"},
                                     {"HIDE", "ウィンドウ消去  Space"}};
constexpr int kBtnW = 64, kBtnH = 20, kHintW = 180, kHintH = 22;

Canvas SystemButtons(const Font& font) {
  int n = static_cast<int>(std::size(kSysButtons));
  Canvas c(kBtnW * 4, kBtnH * n + kHintH * n);
  for (int b = 0; b < n; ++b) {
    AlphaMap text = font.Render(kSysButtons[b].label, 12, 0);
    for (int s = 0; s < 4; ++s) {
      float x = s * kBtnW + 2.0f, y = b * kBtnH + 2.0f;
      Sdf pill = RoundRect(x, y, kBtnW - 4, kBtnH - 4, 8);
      static const uint32_t fill[] = {0x26305E, 0x4A4A96, 0xC9A55A, 0x1A1E34};
      static const uint32_t ink[] = {0xE8ECFF, 0xFFFFFF, 0x1A1430, 0x5A6080};
      c.Fill(pill, Linear({0, y}, {0, y + kBtnH - 4}, {Mix(Hex(fill[s]), Hex(0xFFFFFF), 0.15f), Hex(fill[s])}));
      c.Fill(Outline(pill, 1.0f), Solid(s == 3 ? Hex(0x3A4060) : kGold), s == 1 ? 1.0f : 0.6f);
      c.FillMask(text, static_cast<int>(x) + (kBtnW - 4 - text.width) / 2, static_cast<int>(y) + (kBtnH - 4 - text.height) / 2,
                 Solid(Hex(ink[s])));
    }
    AlphaMap hint = font.Render(kSysButtons[b].hint, 13, 0);
    float y = n * kBtnH + b * kHintH + 1.0f;
    Sdf tip = RoundRect(1, y, static_cast<float>(hint.width + 16), kHintH - 2, 6);
    c.Fill(tip, Solid(Hex(0x0E1433)));
    c.Fill(Outline(tip, 1.0f), Solid(kGold), 0.7f);
    c.FillMask(hint, 9, static_cast<int>(y) + (kHintH - 2 - hint.height) / 2, Solid(kCream));
  }
  // Flatten for a keyed copy: opaque over the window's colour, or the transparent colour.
  Canvas out(c.width(), c.height());
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      Rgba p = c.At(x, y);
      if (p.a < 0.5f) continue;
      Rgba q = Mix(kNavy, p, p.a);
      q.a = 1;
      out.Fill(RoundRect(x, y, 1, 1, 0), Solid(q), 1.0f, Blend::Over, x, y, x + 1, y + 1);
    }
  return out;
}

// A yes/no question's panel: the question in one or two lines over the navy of the
// windows, framed in gold; the buttons are drawn over its lower part.
Canvas DialogPanel(const Font& font, const std::vector<std::string>& lines) {
  Canvas c(kDialogW, kDialogH);
  const float w = kDialogW, h = kDialogH, mid = w / 2;
  Sdf panel = RoundRect(1, 1, w - 2, h - 2, 14);
  c.Fill(panel, Linear({0, 0}, {0, h}, {Hex(0x26305E, 0.96f), Hex(0x0E1433, 0.97f)}));
  c.Fill(Outline(RoundRect(7, 7, w - 14, h - 14, 9), 0.8f), Solid(kGold), 0.4f);
  c.Fill(Outline(panel, 1.4f), Solid(kGold), 0.9f);
  c.Glow(mid, 22, 9, Hex(0xFFE2A0), 0.35f);
  c.Fill(Polygon(StarPoints(mid, 22, 7, 2.4f, 4)), Solid(kCream), 0.95f);
  const float centres1[] = {58}, centres2[] = {46, 72};
  const float* centres = lines.size() == 1 ? centres1 : centres2;
  for (size_t i = 0; i < lines.size() && i < 2; ++i) {
    AlphaMap text = font.Render(lines[i], 18, 2);
    c.FillMask(text, (kDialogW - text.width) / 2, static_cast<int>(centres[i]) - text.height / 2, Solid(kCream));
  }
  c.Fill(Capsule({44, kDialogButtonsY - 8.0f}, {w - 44, kDialogButtonsY - 8.0f}, 0.6f), Solid(kGold), 0.45f);
  return c;
}

// The yes and no buttons of every question: hovered in the top row, normal below.
Canvas DialogButtons(const Font& font) {
  Canvas c(kDialogButtonW * 2, kDialogButtonH * 2);
  const char* labels[] = {"はい", "いいえ"};
  for (int row = 0; row < 2; ++row) {
    const bool hover = row == 0;
    for (int b = 0; b < 2; ++b) {
      const float x = b * kDialogButtonW + 6.0f, y = row * kDialogButtonH + 3.0f;
      Sdf pill = RoundRect(x, y, kDialogButtonW - 12, kDialogButtonH - 6, 13);
      if (hover) c.Glow(x + (kDialogButtonW - 12) / 2.0f, y + 13, 22, Hex(0xFFD98A), 0.25f);
      c.Fill(pill, hover ? Linear({0, y}, {0, y + 26}, {Hex(0x6A5AAE), Hex(0x34367A)})
                         : Linear({0, y}, {0, y + 26}, {Hex(0x303C78), Hex(0x1A2250)}));
      c.Fill(Outline(pill, 1.2f), Solid(hover ? kCream : kGold), hover ? 1.0f : 0.7f);
      AlphaMap text = font.Render(labels[b], 16, 1);
      c.FillMask(text, b * kDialogButtonW + (kDialogButtonW - text.width) / 2,
                 row * kDialogButtonH + (kDialogButtonH - text.height) / 2, Solid(hover ? Hex(0xFFFFFF) : kCream));
    }
  }
  return c;
}

// The title's menu buttons: one row per button, its looks normal, hovered and pressed side
// by side, each a pill of one flat colour framed in gold with the label in the middle.
Canvas TitleChip(const Font& font) {
  const int rows = static_cast<int>(std::size(kTitleButtons));
  Canvas c(kTitleButtonW * 3, kTitleButtonH * rows);
  static const uint32_t ink[] = {0xE8ECFF, 0xFFFFFF, 0x1A1430};
  for (int r = 0; r < rows; ++r) {
    AlphaMap text = font.Render(kTitleButtons[r].label, 20, 0);
    for (int s = 0; s < 3; ++s) {
      const float x = s * kTitleButtonW + 2.0f, y = r * kTitleButtonH + 2.0f;
      Sdf pill = RoundRect(x, y, kTitleButtonW - 4, kTitleButtonH - 4, 16);
      c.Fill(pill, Solid(Hex(kTitleButtonFill[s])));
      c.Fill(Outline(pill, 1.2f), Solid(s == 1 ? kCream : kGold), 0.9f);
      c.FillMask(text, static_cast<int>(x) + (kTitleButtonW - 4 - text.width) / 2,
                 static_cast<int>(y) + (kTitleButtonH - 4 - text.height) / 2, Solid(Hex(ink[s])));
    }
  }
  return c;
}

// A page of the opening: a few lines of notice in cream on the navy of the windows.
Canvas NoticePage(const Font& font, const std::vector<std::string>& lines) {
  Canvas c(800, 600);
  c.Cover(Linear({0, 0}, {0, 600}, {kNavy, kDeep}));
  c.Glow(400, 190, 10, Hex(0xFFE2A0), 0.35f);
  c.Fill(Polygon(StarPoints(400, 190, 9, 3, 4)), Solid(kCream), 0.95f);
  for (size_t i = 0; i < lines.size(); ++i) {
    AlphaMap text = font.Render(lines[i], 22, 2);
    c.FillMask(text, (800 - text.width) / 2, 250 + static_cast<int>(i) * 44, Solid(kCream));
  }
  c.Fill(Capsule({250, 232}, {550, 232}, 0.6f), Solid(kGold), 0.5f);
  return c;
}

}  // namespace

void MakeInterface(Stage& stage, const Font& font) {
  stage.Picture("TITLE_chip.bmp", TitleChip(font), BmpForm::Argb32);
  stage.Picture("警告文.BMP",
                NoticePage(font, {"この物語はフィクションです。", "登場する人物・団体・場所は、", "実在のものとは関係ありません。"}),
                BmpForm::Rgb24);
  stage.Picture("警告文２.BMP",
                NoticePage(font, {"この物語はフィクションです。", "登場する人物・団体・場所は、", "実在のものとは関係ありません。",
                                  "音量にご注意ください。"}),
                BmpForm::Rgb24);
  stage.Picture("win.bmp", MessageWindow(), BmpForm::Argb32);
  stage.Picture("win_narr.bmp", NarrationWindow(), BmpForm::Rgb24Alpha);
  stage.Picture("win_tate.bmp", PaperWindow(), BmpForm::Rgb24Alpha);
  stage.Picture("送りアイコン.bmp", PageIcon(), BmpForm::Argb32);
  stage.Picture("選択肢.bmp", ChoiceButton(false), BmpForm::Argb32, true);
  stage.Picture("選択肢_ON.bmp", ChoiceButton(true), BmpForm::Argb32, true);
  for (int d = 1; d <= 5; ++d)
    stage.Picture("カウントダウン" + std::to_string(d) + ".bmp", Countdown(d, font), BmpForm::Rgb24Alpha, true);
  const char* icons[] = {"icon_star.bmp", "icon_heart.bmp", "icon_note.bmp", "icon_drop.bmp", "icon_moon.bmp"};
  for (int i = 0; i < 5; ++i) stage.Picture(icons[i], Icon(i), BmpForm::Argb32);
  stage.Picture("雪.bmp", Sparkle(16, 0xBFE6FF), BmpForm::Argb32);
  stage.Picture("雪2.bmp", Sparkle(12, 0xFFE2A0), BmpForm::Argb32);
  stage.Picture("雪3.bmp", Sparkle(8, 0xFFFFFF), BmpForm::Argb32);
  stage.Picture("sysbtn.bmp", SystemButtons(font), BmpForm::Rgb24, true);
  stage.Picture("star_piece.bmp", StarPiece(), BmpForm::Argb32);
  stage.Picture("mask_diag.bmp", DiagonalMask(), BmpForm::Rgb24);
  stage.Picture("zoom_frame.bmp", ZoomFrame(), BmpForm::Argb32);
  for (const DialogQuestion& q : kDialogQuestions) {
    std::vector<std::string> lines;
    for (const char* line : q.lines)
      if (*line != '\0') lines.emplace_back(line);
    stage.Picture(q.picture, DialogPanel(font, lines), BmpForm::Argb32);
  }
  stage.Picture("dialog_button.bmp", DialogButtons(font), BmpForm::Argb32);
}

}  // namespace zan::assetgen
