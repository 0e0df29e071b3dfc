// The two characters with a picture: Akari (24-bit with an alpha plane) and Noel (32-bit).
// Each figure is drawn from one function with a face description, so that expression
// overlays and blink frames are cut out of full drawings and match the base picture
// pixel for pixel outside the parts that change.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Pictures.h"

namespace zan::assetgen {
namespace {

enum class Eyes { Open, Half, Closed, Happy };
enum class Mouth { Soft, Smile, Open, Small, Flat };
enum class Brows { Normal, Up, Down };

struct Face {
  Eyes eyes = Eyes::Open;
  Mouth mouth = Mouth::Soft;
  Brows brows = Brows::Normal;
  float blush = 0.25f;
};

struct FaceLook {
  float cx, eyeY, eyeDx, mouthY;
  Rgba skin, lidShade, iris, irisDark, lash;
};

Sdf Below(float y0) {
  return [=](float, float y) { return y0 - y; };
}
Sdf Above(float y0) {
  return [=](float, float y) { return y - y0; };
}

void Eye(Canvas& c, float x, float y, Eyes state, const FaceLook& f) {
  Sdf white = Ellipse(x, y, 13, 15);
  if (state == Eyes::Open || state == Eyes::Half) {
    float lid = state == Eyes::Open ? y - 20 : y - 1;
    Sdf visible = Intersect(white, Below(lid));
    c.Fill(visible, Linear({x, y - 15}, {x, y + 15}, {Hex(0xE6E9F2), Hex(0xFFFFFF)}));
    c.Fill(Intersect(Ellipse(x, y + 1.5f, 10, 13), visible), Linear({x, y - 12}, {x, y + 14}, {f.irisDark, f.iris, Mix(f.iris, Hex(0xFFFFFF), 0.35f)}));
    c.Fill(Intersect(Ellipse(x, y + 2, 4.8f, 6.5f), visible), Solid(Mix(f.irisDark, Hex(0x000000), 0.5f)));
    c.Fill(Intersect(Circle(x - 4, y - 4, 3.6f), visible), Solid(Hex(0xFFFFFF)));
    c.Fill(Intersect(Circle(x + 4.5f, y + 6, 1.6f), visible), Solid(Hex(0xFFFFFF)), 0.8f);
    if (state == Eyes::Half) {
      c.Fill(Intersect(Ellipse(x, y + 3, 15, 17), Above(y - 1)), Solid(f.skin));
      c.Fill(Capsule({x - 14, y - 1}, {x + 14, y - 2}, 1.8f), Solid(f.lash));
    } else {
      Sdf lash = Intersect(Outline(Ellipse(x, y + 2, 14.5f, 16.5f), 3.2f), Above(y - 5));
      c.Fill(lash, Solid(f.lash));
      c.Fill(Capsule({x + 11, y - 10}, {x + 17, y - 13}, 1.4f), Solid(f.lash));
    }
    c.Fill(Intersect(Outline(white, 1.2f), Below(y + 6)), Solid(f.lidShade), 0.5f);
    return;
  }
  // Closed: the lid is skin, with the line of the lashes curving down (closed) or up (happy).
  c.Fill(Ellipse(x, y + 1, 15, 17), Solid(f.skin));
  float bend = state == Eyes::Closed ? 1.0f : -1.0f;
  Sdf arc = Intersect(Outline(Circle(x, y - 8 * bend, 15), 2.6f), bend > 0 ? Below(y - 2) : Above(y + 2));
  c.Fill(arc, Solid(f.lash));
}

void DrawFace(Canvas& c, const FaceLook& f, const Face& face) {
  float lx = f.cx - f.eyeDx, rx = f.cx + f.eyeDx;
  Eye(c, lx, f.eyeY, face.eyes, f);
  Eye(c, rx, f.eyeY, face.eyes, f);
  float by = f.eyeY - 32 - (face.brows == Brows::Up ? 6 : 0);
  float inner = face.brows == Brows::Down ? -5.0f : 0.0f;
  c.Fill(Capsule({lx - 13, by + 3}, {lx + 12, by + inner}, 2.2f), Solid(Mix(f.lash, f.skin, 0.25f)));
  c.Fill(Capsule({rx - 12, by + inner}, {rx + 13, by + 3}, 2.2f), Solid(Mix(f.lash, f.skin, 0.25f)));
  // Nose and cheeks.
  c.Fill(Capsule({f.cx + 1, f.mouthY - 16}, {f.cx - 1, f.mouthY - 13}, 1.3f), Solid(f.lidShade), 0.45f);
  if (face.blush > 0) {
    for (float x : {lx - 6, rx + 6}) {
      c.Fill(Ellipse(x, f.eyeY + 27, 15, 7),
             Radial({x, f.eyeY + 27}, 15, {Hex(0xF27F86, 0.6f * face.blush), Hex(0xF27F86, 0.0f)}));
      if (face.blush > 0.5f)
        for (int k = -1; k <= 1; ++k)
          c.Fill(Capsule({x + k * 6 + 2, f.eyeY + 23}, {x + k * 6 - 2, f.eyeY + 30}, 0.9f), Solid(Hex(0xE0606A)), 0.7f);
    }
  }
  float mx = f.cx, my = f.mouthY;
  Rgba lip = Hex(0xA5434B), dark = Hex(0x7A2C36);
  switch (face.mouth) {
    case Mouth::Soft:
      c.Fill(Intersect(Outline(Circle(mx, my - 8, 10), 2.2f), Below(my - 3)), Solid(lip));
      break;
    case Mouth::Smile:
      c.Fill(Intersect(Ellipse(mx, my - 3, 11, 10), Below(my - 3)), Solid(dark));
      c.Fill(Intersect(Ellipse(mx, my + 6, 7, 4), Ellipse(mx, my - 3, 11, 10)), Solid(Hex(0xE98A8E)));
      break;
    case Mouth::Open:
      c.Fill(Ellipse(mx, my + 1, 6.5f, 8.5f), Solid(dark));
      c.Fill(Intersect(Ellipse(mx, my + 6, 5, 3.5f), Ellipse(mx, my + 1, 6.5f, 8.5f)), Solid(Hex(0xE98A8E)));
      break;
    case Mouth::Small:
      c.Fill(Intersect(Outline(Circle(mx, my + 8, 7), 2.0f), Above(my + 3)), Solid(lip));
      break;
    case Mouth::Flat:
      c.Fill(Capsule({mx - 7, my}, {mx + 7, my}, 1.5f), Solid(lip));
      break;
  }
}

// Akari: 360 × 560, dark bob with a star clip, red scarf, cream coat.
constexpr int kAkariW = 360, kAkariH = 560;

Canvas Akari(const Face& face) {
  Canvas c(kAkariW, kAkariH);
  Rgba hair = Hex(0x262845), hairLight = Hex(0x4A5488), skin = Hex(0xF9E2D2), coat = Hex(0xF1E8D6);
  // Back hair.
  c.Fill(SmoothShape({{180, 58}, {262, 92}, {284, 170}, {276, 252}, {244, 290}, {180, 276}, {116, 290}, {84, 252}, {76, 170}, {98, 92}}),
         Linear({0, 60}, {0, 290}, {hair, Mix(hair, Hex(0x101226), 0.5f)}));
  // Body: coat, sleeves and hands.
  Sdf body = SmoothShape({{128, 262}, {232, 262}, {270, 300}, {290, 420}, {306, 600}, {54, 600}, {70, 420}, {90, 300}});
  c.Fill(body, Linear({0, 262}, {0, 560}, {coat, Mix(coat, Hex(0xB8A88C), 0.5f)}));
  c.Fill(Capsule({180, 300}, {180, 600}, 1.4f), Solid(Hex(0xB9A687)));
  for (float y : {336.0f, 386.0f, 436.0f}) c.Fill(Circle(197, y, 5), Radial({195, y - 2}, 6, {Hex(0xA07654), Hex(0x6E4C34)}));
  for (int side : {-1, 1}) {
    Point sh{180 + side * 82.0f, 292}, hand{180 + side * 100.0f, 470};
    Sdf arm = Capsule(sh, hand, 25);
    c.Fill(Outline(arm, 3), Solid(Hex(0xA8987C)), 0.6f);
    c.Fill(arm, Linear({0, 290}, {0, 490}, {Mix(coat, Hex(0xFFFFFF), 0.2f), Mix(coat, Hex(0xB8A88C), 0.45f)}));
    c.Fill(Circle(hand.x, hand.y + 22, 16), Linear({0, hand.y + 6}, {0, hand.y + 38}, {skin, Hex(0xEBC2AC)}));
  }
  // Neck and scarf.
  c.Fill(RoundRect(164, 200, 32, 64, 10), Solid(Hex(0xEAC6B2)));
  Rgba red = Hex(0xD9574A);
  c.Fill(SmoothShape({{118, 252}, {180, 238}, {242, 252}, {246, 282}, {180, 294}, {114, 282}}), Linear({0, 238}, {0, 294}, {red, Hex(0xB5403A)}));
  Sdf tail = SmoothShape({{204, 272}, {232, 270}, {240, 366}, {208, 372}}, 6);
  c.Fill(tail, Linear({0, 270}, {0, 372}, {red, Hex(0xA93A35)}));
  for (float y : {300.0f, 320.0f, 340.0f}) c.Fill(Intersect(tail, [=](float, float py) { return std::abs(py - y) - 3; }), Solid(Hex(0xF2B2A0)), 0.8f);
  // Head.
  c.Fill(Ellipse(180, 150, 66, 74), Radial({172, 140}, 90, {skin, skin, Hex(0xF0CDB8)}));
  FaceLook look{180, 160, 29, 200, skin, Hex(0xC98E7C), Hex(0xD8973F), Hex(0x6B3A1A), Hex(0x2A1C2C)};
  DrawFace(c, look, face);
  // Bangs and side locks.
  Sdf bangs = SmoothShape({{100, 152}, {104, 104}, {132, 70}, {180, 56}, {228, 70}, {256, 104}, {262, 152}, {248, 142}, {238, 116},
                           {222, 134}, {206, 110}, {190, 128}, {172, 106}, {154, 130}, {138, 112}, {122, 140}, {112, 128}}, 8);
  c.Fill(bangs, Linear({0, 56}, {0, 150}, {hairLight, hair}));
  c.Fill(Intersect(Outline(Ellipse(180, 112, 62, 42), 5), Above(96)), Solid(Hex(0xB8C8FF)), 0.3f, Blend::Add);
  for (int side : {-1, 1}) {
    Sdf lock = SmoothShape({{180 + side * 74.0f, 110}, {180 + side * 86.0f, 170}, {180 + side * 84.0f, 246}, {180 + side * 70.0f, 236},
                            {180 + side * 64.0f, 170}}, 8);
    c.Fill(lock, Linear({0, 110}, {0, 246}, {hair, Mix(hair, hairLight, 0.3f)}));
  }
  // Star clip.
  std::vector<Point> star;
  for (int i = 0; i < 10; ++i) {
    float a = -1.5708f + i * 0.6283f, r = i % 2 ? 6.0f : 14.0f;
    star.push_back({238 + std::cos(a) * r, 100 + std::sin(a) * r});
  }
  c.Fill(Outline(Polygon(star), 2.5f), Solid(Hex(0xB98A28)));
  c.Fill(Polygon(star), Radial({236, 97}, 14, {Hex(0xFFF1A8), Hex(0xF3C445)}));
  return c;
}

// Noel: 380 × 580, a traveller with pale messy hair, round glasses, a teal coat and a satchel.
constexpr int kNoelW = 380, kNoelH = 580;

Canvas Noel(const Face& face) {
  Canvas c(kNoelW, kNoelH);
  Rgba hair = Hex(0xE6D49E), hairDark = Hex(0xB79E62), skin = Hex(0xF6DCCB), coat = Hex(0x2F6066);
  // Body.
  Sdf body = SmoothShape({{126, 280}, {254, 280}, {300, 322}, {318, 460}, {330, 620}, {50, 620}, {62, 460}, {80, 322}});
  c.Fill(body, Linear({0, 280}, {0, 580}, {Mix(coat, Hex(0xFFFFFF), 0.1f), Mix(coat, Hex(0x0A1A1C), 0.45f)}));
  for (int side : {-1, 1})
    c.Fill(Polygon({{190, 292}, {190 + side * 58.0f, 290}, {190 + side * 30.0f, 420}}), Solid(Mix(coat, Hex(0xFFFFFF), 0.22f)));
  c.Fill(Polygon({{176, 292}, {204, 292}, {198, 420}, {182, 420}}), Solid(Hex(0xEEE6D6)));
  c.Fill(Capsule({118, 296}, {282, 520}, 6), Solid(Hex(0x6B4A33)));
  c.Fill(RoundRect(236, 486, 96, 84, 12), Linear({0, 486}, {0, 570}, {Hex(0x8A6444), Hex(0x5E4230)}));
  c.Fill(RoundRect(236, 486, 96, 30, 12), Solid(Hex(0x7A583C)));
  c.Fill(Circle(284, 514, 5), Solid(Hex(0xE2C27A)));
  for (int side : {-1, 1}) {
    Point sh{190 + side * 88.0f, 310}, hand{190 + side * 104.0f, 500};
    Sdf arm = Capsule(sh, hand, 27);
    c.Fill(Outline(arm, 3), Solid(Hex(0x163034)), 0.6f);
    c.Fill(arm, Linear({0, 300}, {0, 520}, {coat, Mix(coat, Hex(0x0A1A1C), 0.35f)}));
    c.Fill(Circle(hand.x, hand.y + 24, 17), Linear({0, hand.y + 8}, {0, hand.y + 40}, {skin, Hex(0xE6BFAA)}));
  }
  // Neck and a mustard knit scarf.
  c.Fill(RoundRect(172, 214, 36, 66, 10), Solid(Hex(0xE8C4B0)));
  Rgba mustard = Hex(0xD8A943);
  c.Fill(SmoothShape({{126, 268}, {190, 252}, {254, 268}, {258, 300}, {190, 314}, {122, 300}}), Linear({0, 252}, {0, 314}, {mustard, Hex(0xB98A2E)}));
  for (float x = 134; x < 250; x += 12) c.Fill(Capsule({x, 266}, {x + 2, 302}, 1), Solid(Hex(0xF0C870)), 0.5f);
  // Head.
  c.Fill(Ellipse(190, 166, 62, 72), Radial({182, 156}, 86, {skin, skin, Hex(0xEDC9B6)}));
  FaceLook look{190, 172, 28, 212, skin, Hex(0xC08A78), Hex(0x6E93B8), Hex(0x2C4560), Hex(0x3A2A22)};
  DrawFace(c, look, face);
  // Round glasses.
  for (int side : {-1, 1}) c.Fill(Outline(Circle(190 + side * 28.0f, 172, 20), 2.4f), Solid(Hex(0x5A4634)));
  c.Fill(Capsule({181, 170}, {199, 170}, 1.3f), Solid(Hex(0x5A4634)));
  // Soft, untidy hair: a cap over the crown with tufts falling on the forehead and the sides.
  Sdf cap = SmoothShape({{120, 190}, {112, 130}, {122, 98}, {140, 84}, {150, 70}, {170, 72}, {186, 60}, {204, 68}, {224, 62}, {238, 78},
                         {258, 92}, {268, 126}, {262, 192}, {250, 170}, {246, 132}, {226, 140}, {214, 118}, {198, 138}, {182, 116},
                         {166, 140}, {150, 122}, {138, 146}, {132, 176}}, 10);
  c.Fill(cap, Linear({0, 60}, {0, 190}, {Mix(hair, Hex(0xFFFFFF), 0.25f), hair, hairDark}));
  for (auto [x0, y0, x1, y1] : {std::tuple{160.0f, 84.0f, 176.0f, 112.0f}, {212.0f, 80.0f, 206.0f, 110.0f}, {238.0f, 96.0f, 250.0f, 124.0f}})
    c.Fill(Capsule({x0, y0}, {x1, y1}, 1.2f), Solid(hairDark), 0.6f);
  return c;
}

// The part of `changed` that differs from `base` inside a box, soft at its edges, as a
// picture of the box's size: an overlay or blink frame that lays exactly onto the base.
Canvas DiffPatch(const Canvas& base, const Canvas& changed, Box b) {
  Canvas patch = changed.Crop(b.x, b.y, b.w, b.h);
  AlphaMap keep{b.w, b.h, std::vector<float>(static_cast<size_t>(b.w) * b.h, 0.0f)};
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      Rgba p = base.At(b.x + x, b.y + y), q = changed.At(b.x + x, b.y + y);
      float d = std::abs(p.r * p.a - q.r * q.a) + std::abs(p.g * p.a - q.g * q.a) + std::abs(p.b * p.a - q.b * q.a) + std::abs(p.a - q.a);
      if (d > 1.0f / 255) keep.a[static_cast<size_t>(y) * b.w + x] = 1;
    }
  // Grow the changed area by two pixels so that its edge blends into identical pixels.
  AlphaMap grown = Blur(keep, 2);
  Canvas out(b.w, b.h);
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      float k = std::min(1.0f, grown.at(x, y) * 3);
      if (k <= 0) continue;
      Canvas px = patch.Crop(x, y, 1, 1);
      out.Draw(px, x, y, k);
    }
  return out;
}

// The eye definition file: a frame table of 40 entries, the loop limit, the frame sheet's
// name and the draw mode, 1392 bytes little-endian.
std::vector<uint8_t> EyeDefinition(const std::string& sheet, int frameW, int frameH, const std::vector<int>& durations) {
  std::vector<uint8_t> b(1392, 0);
  auto put = [&](size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  };
  for (size_t i = 0; i < durations.size(); ++i) {
    size_t e = i * 28;
    put(e + 0, static_cast<int32_t>(i) * frameW);
    put(e + 4, 0);
    put(e + 8, frameW);
    put(e + 12, frameH);
    put(e + 24, durations[i]);
  }
  put(1124, 0);  // repeat for ever
  std::memcpy(&b[1129], sheet.data(), std::min<size_t>(sheet.size(), 259));
  b[1389] = 0;  // drawn with its own alpha
  return b;
}

void Character(Stage& stage, const std::string& id, Canvas (*draw)(const Face&), BmpForm form, Box face, Box eyes,
               const std::vector<std::pair<std::string, Face>>& expressions) {
  Canvas base = draw(Face{});
  stage.Picture(id + ".bmp", base, form);
  for (const auto& [name, f] : expressions) stage.Picture(id + "_" + name + ".bmp", DiffPatch(base, draw(f), face), BmpForm::Argb32);
  // Blink: open (nothing to draw over the base), half, closed, half.
  Canvas half = DiffPatch(base, draw(Face{Eyes::Half}), eyes);
  Canvas closed = DiffPatch(base, draw(Face{Eyes::Closed}), eyes);
  Canvas sheet(eyes.w * 4, eyes.h);
  sheet.Draw(half, eyes.w, 0);
  sheet.Draw(closed, eyes.w * 2, 0);
  sheet.Draw(half, eyes.w * 3, 0);
  stage.Picture(id + "_eye.bmp", sheet, form);
  // About three seconds open, then a blink of seven frames at 30 frames per second.
  stage.File("dat/" + id + "_eye.dat", EyeDefinition(id + "_eye.bmp", eyes.w, eyes.h, {90, 2, 3, 2}));
}

}  // namespace

void MakeCharacters(Stage& stage) {
  Character(stage, "akari", Akari, BmpForm::Rgb24Alpha, kAkariFace, kAkariEyes,
            {{"smile", {Eyes::Happy, Mouth::Smile, Brows::Normal, 0.4f}},
             {"surprise", {Eyes::Open, Mouth::Open, Brows::Up, 0.25f}},
             {"sad", {Eyes::Open, Mouth::Small, Brows::Down, 0.1f}},
             {"blush", {Eyes::Open, Mouth::Soft, Brows::Normal, 1.0f}}});
  Character(stage, "noel", Noel, BmpForm::Argb32, kNoelFace, kNoelEyes,
            {{"smile", {Eyes::Open, Mouth::Smile, Brows::Normal, 0.25f}},
             {"serious", {Eyes::Open, Mouth::Flat, Brows::Down, 0.0f}}});
}

}  // namespace zan::assetgen
