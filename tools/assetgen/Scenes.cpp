// Backgrounds, event pictures and the mask choice of the night beach: 800 × 600 scenes
// of a small cape with a lighthouse, drawn from the same few elements at dusk, at night
// and at dawn.

#include <algorithm>
#include <cmath>
#include <string>

#include "Pictures.h"

namespace zan::assetgen {
namespace {

constexpr int W = 800, H = 600;
constexpr float kPi = 3.14159265f;

Sdf Below(float y0) {
  return [=](float, float y) { return y0 - y; };
}

struct Palette {
  std::vector<Rgba> sky;  // top to horizon
  Rgba sea, seaFar, land, landRim, glow;
  float stars;  // 0..1
  bool lampLit;
};

Palette Dusk() {
  return {{Hex(0x25295E), Hex(0x5B4A8A), Hex(0xC9718A), Hex(0xF2A27A), Hex(0xF8CD88)},
          Hex(0x4A3F6E), Hex(0xB9788A), Hex(0x2A2342), Hex(0xF0A080, 0.6f), Hex(0xFFB070), 0.25f, false};
}
Palette Night() {
  return {{Hex(0x050918), Hex(0x0B1533), Hex(0x16254F), Hex(0x2C3A6E)},
          Hex(0x0B1E3A), Hex(0x1E3560), Hex(0x0A0F22), Hex(0x6F86C8, 0.35f), Hex(0xBFD4FF), 1.0f, true};
}
Palette Dawn() {
  return {{Hex(0x2E3C78), Hex(0x7D7CB8), Hex(0xE4A8A8), Hex(0xFFD6A8), Hex(0xFFF0C8)},
          Hex(0x5E6FA2), Hex(0xE9B8A8), Hex(0x2C2F52), Hex(0xFFD0A0, 0.6f), Hex(0xFFE0B0), 0.08f, false};
}

void Sky(Canvas& c, const Palette& p, float horizon) {
  c.Cover(Linear({0, 0}, {0, horizon}, p.sky));
}

void Stars(Canvas& c, const Palette& p, float maxY, uint32_t seed, int count) {
  if (p.stars <= 0) return;
  Rng rng(seed);
  // A faint band of the Milky Way running across the upper sky.
  for (int y = 0; y < static_cast<int>(maxY); y += 2) {
    for (int x = 0; x < W; x += 2) {
      float band = std::exp(-std::pow((y - (60 + x * 0.28f)) / 70.0f, 2.0f));
      float n = ValueNoise(x, y, 40, seed) * 0.6f + ValueNoise(x, y, 12, seed + 1) * 0.4f;
      float k = band * n * 0.12f * p.stars * p.stars;
      if (k > 0.01f) c.Fill(RoundRect(x, y, 2, 2, 0), Solid(Hex(0xAFC2FF)), k, Blend::Add, x, y, x + 2, y + 2);
    }
  }
  for (int i = 0; i < count; ++i) {
    float x = rng.Uniform(0, W), y = rng.Uniform(0, maxY);
    float fade = 1.0f - y / maxY * 0.7f;
    float b = rng.Uniform(0.2f, 1.0f);
    b = b * b * p.stars * fade;
    Rgba tint = Mix(Hex(0xFFFFFF), rng.Uniform() < 0.5f ? Hex(0xFFE2B0) : Hex(0xB8CCFF), rng.Uniform(0, 0.6f));
    c.Glow(x, y, 0.9f + b * 1.6f, tint, b);
    if (b > 0.6f) c.Glow(x, y, 4.5f, tint, 0.15f * b);
  }
}

void Moon(Canvas& c, float x, float y, float r) {
  c.Glow(x, y, r * 4, Hex(0x8FA8E8), 0.25f);
  Sdf crescent = Subtract(Circle(x, y, r), Circle(x + r * 0.45f, y - r * 0.2f, r * 0.9f));
  c.Fill(crescent, Linear({x - r, y}, {x + r, y}, {Hex(0xFFF6D8), Hex(0xF3DFA8)}));
}

void Sea(Canvas& c, const Palette& p, float horizon, float glowX, uint32_t seed) {
  c.Fill([=](float, float y) { return horizon - y; },
         Linear({0, horizon}, {0, H}, {p.seaFar, p.sea, Mix(p.sea, Hex(0x000000), 0.4f)}), 1.0f, Blend::Over, 0,
         static_cast<int>(horizon));
  // Glints of light on the water, denser near the reflected light.
  Rng rng(seed);
  for (int i = 0; i < 900; ++i) {
    float y = horizon + 2 + std::pow(rng.Uniform(), 1.6f) * (H - horizon);
    float spread = 30 + (y - horizon) * 0.9f;
    float x = glowX + (rng.Uniform() - 0.5f) * 2 * spread * (rng.Uniform() < 0.7f ? 0.5f : 2.5f);
    float len = 4 + (y - horizon) * 0.08f;
    float near = std::exp(-std::pow((x - glowX) / spread, 2.0f));
    c.Fill(Capsule({x - len, y}, {x + len, y}, 0.6f + (y - horizon) * 0.008f), Solid(p.glow),
           (0.15f + 0.6f * near) * rng.Uniform(0.3f, 1.0f), Blend::Add, static_cast<int>(x - len - 2),
           static_cast<int>(y - 3), static_cast<int>(x + len + 3), static_cast<int>(y + 4));
  }
}

// A lighthouse standing with its base centre at (x, base), `h` pixels tall.
void Lighthouse(Canvas& c, float x, float base, float h, const Palette& p, bool beam) {
  float topW = h * 0.12f, botW = h * 0.2f, top = base - h;
  Sdf tower = Polygon({{x - botW, base}, {x - topW, top + h * 0.16f}, {x + topW, top + h * 0.16f}, {x + botW, base}});
  Rgba wall = Mix(Hex(0xE8E2D6), p.land, 0.45f);
  c.Fill(tower, Linear({x - botW, 0}, {x + botW, 0}, {Mix(wall, Hex(0xFFFFFF), 0.15f), wall, Mix(wall, p.land, 0.5f)}));
  // Red bands.
  for (int i = 0; i < 2; ++i) {
    float y0 = top + h * (0.35f + i * 0.28f);
    c.Fill(Intersect(tower, [=](float, float y) { return std::abs(y - y0) - h * 0.05f; }),
           Solid(Mix(Hex(0xC2463F), p.land, 0.4f)));
  }
  // Gallery and lamp room.
  c.Fill(RoundRect(x - topW * 1.5f, top + h * 0.14f, topW * 3, h * 0.035f, 1), Solid(Mix(Hex(0x3A3550), p.land, 0.3f)));
  Rgba lamp = p.lampLit ? Hex(0xFFE9A8) : Mix(Hex(0x9FB2C8), p.land, 0.3f);
  c.Fill(RoundRect(x - topW * 0.8f, top + h * 0.05f, topW * 1.6f, h * 0.095f, 1), Solid(lamp));
  c.Fill(Polygon({{x - topW * 1.1f, top + h * 0.055f}, {x, top - h * 0.02f}, {x + topW * 1.1f, top + h * 0.055f}}),
         Solid(Mix(Hex(0x3A3550), p.land, 0.3f)));
  if (p.lampLit) {
    float ly = top + h * 0.1f;
    c.Glow(x, ly, h * 0.08f, Hex(0xFFE6A0), 1.2f);
    c.Glow(x, ly, h * 0.3f, Hex(0xFFD080), 0.25f);
    if (beam) {
      // Two soft beams sweeping out over the sea.
      for (int side : {-1, 1}) {
        float len = side < 0 ? 700.0f : 260.0f;
        float tx = x + side * len, spread = side < 0 ? 60.0f : 26.0f;
        c.Fill(Polygon({{x, ly - 3}, {tx, ly - spread - 10}, {tx, ly + spread - 10}, {x, ly + 3}}),
               [=](float px, float) {
                 Rgba k = Hex(0xFFE9B8);
                 k.a = 0.22f * (1 - std::abs(px - x) / len);
                 return k;
               },
               1.0f, Blend::Add);
      }
    }
  }
}

// Shared hill scene: a grassy hill on the left with a lone tree, the sea, and a cape with
// the lighthouse far off to the right.
void HillScene(Canvas& c, const Palette& p, uint32_t seed, bool sun, float sunY) {
  const float horizon = 330;
  Sky(c, p, horizon);
  Stars(c, p, horizon - 20, seed, 380);
  if (sun) {
    c.Glow(540, sunY, 140, p.glow, 0.35f);
    c.Glow(540, sunY, 50, Hex(0xFFF0C0), 0.5f);
    c.Fill(Intersect(Circle(540, sunY, 30), [=](float, float y) { return y - horizon; }), Solid(Hex(0xFFF1C8)));
  }
  Sea(c, p, horizon, sun ? 540.0f : 690.0f, seed + 7);
  // The cape and the lighthouse.
  c.Fill(SmoothShape({{600, 352}, {660, 336}, {740, 334}, {820, 340}, {820, 380}, {620, 380}}), Solid(Mix(p.land, p.seaFar, 0.35f)));
  Lighthouse(c, 700, 340, 92, p, p.lampLit);
  // The hill in front.
  Sdf hill = SmoothShape({{-60, 640}, {-60, 430}, {90, 392}, {260, 398}, {430, 440}, {620, 500}, {860, 520}, {860, 640}});
  c.Fill(hill, Linear({0, 390}, {0, 600}, {Mix(p.land, Hex(0x3A5A48), 0.35f), p.land}));
  c.Fill(Outline(hill, 3), Solid(p.landRim), 0.8f, Blend::Add, 0, 380, W, 540);
  // Grass blades along the crest.
  Rng rng(seed + 3);
  for (int i = 0; i < 260; ++i) {
    float x = rng.Uniform(-10, W + 10);
    float crest = 0;
    for (float y = 380; y < 600; y += 1)
      if (hill(x, y) < 0) {
        crest = y;
        break;
      }
    if (crest == 0) continue;
    float h = rng.Uniform(6, 16), lean = rng.Uniform(-4, 4);
    c.Fill(Capsule({x, crest + 3}, {x + lean, crest - h}, 0.9f), Solid(Mix(p.land, Hex(0x4E7A5E), 0.4f)), 0.9f,
           Blend::Over, static_cast<int>(x - 8), static_cast<int>(crest - 20), static_cast<int>(x + 8), static_cast<int>(crest + 6));
  }
  // The lone tree: one canopy, lit from the sky.
  Rgba leaf = Mix(p.land, Hex(0x2F5A45), 0.35f);
  c.Fill(Polygon({{100, 412}, {110, 300}, {114, 262}, {122, 262}, {126, 300}, {136, 412}}), Solid(Mix(p.land, Hex(0x4A3A30), 0.3f)));
  Sdf canopy = SmoothShape({{116, 170}, {150, 184}, {176, 220}, {190, 270}, {170, 314}, {128, 322}, {84, 318}, {48, 296}, {44, 252}, {66, 206}, {88, 180}});
  c.Fill(canopy, Linear({116, 170}, {116, 322}, {Mix(leaf, p.landRim, 0.45f), leaf, Mix(leaf, Hex(0x000000), 0.25f)}));
  Rng leaves(seed + 5);
  for (int i = 0; i < 40; ++i) {
    float x = leaves.Uniform(56, 180), y = leaves.Uniform(186, 310);
    if (canopy(x, y) < -6) c.Fill(Ellipse(x, y, leaves.Uniform(8, 16), leaves.Uniform(5, 9)), Solid(Mix(leaf, p.landRim, 0.3f)), 0.14f);
  }
}

void Meteors(Canvas& c, uint32_t seed, int count, float maxY) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    float x = rng.Uniform(80, W + 100), y = rng.Uniform(10, maxY);
    float len = rng.Uniform(40, 150), k = rng.Uniform(0.4f, 1.0f);
    Point head{x, y}, tail{x + len * 0.82f, y - len * 0.57f};
    c.Fill(Capsule(head, tail, 1.6f),
           [=](float px, float) {
             Rgba col = Hex(0xDDEBFF);
             col.a = k * std::clamp(1 - (px - head.x) / (tail.x - head.x), 0.0f, 1.0f);
             return col;
           },
           1.0f, Blend::Add);
    c.Glow(x, y, 3.5f, Hex(0xFFFFFF), k);
  }
}

// The night beach of the mask choice. Each place is a shape, so the hit mask and the
// hover pictures follow the painting exactly.
constexpr float kBeachHorizon = 250;
Sdf BeachLighthouse() {
  return Union(Polygon({{600, 338}, {622, 96}, {678, 96}, {700, 338}}),
               Union(SmoothShape({{540, 400}, {575, 330}, {640, 315}, {720, 322}, {790, 350}, {800, 410}, {650, 418}}),
                     Polygon({{612, 104}, {650, 64}, {688, 104}})));
}
Sdf BeachWoods() {
  // Pines of three tiers each, standing on a dark bank.
  Sdf woods = SmoothShape({{-40, 500}, {-40, 330}, {120, 320}, {240, 350}, {262, 420}, {250, 478}, {120, 486}});
  for (auto [x, top, w] : {std::tuple{28.0f, 112.0f, 64.0f}, {92.0f, 150.0f, 56.0f}, {150.0f, 178.0f, 54.0f}, {206.0f, 222.0f, 44.0f},
                           {-20.0f, 160.0f, 50.0f}, {244.0f, 276.0f, 34.0f}}) {
    float h = 360 - top;
    for (int tier = 0; tier < 3; ++tier) {
      float t0 = top + h * tier * 0.28f, t1 = top + h * (0.42f + tier * 0.28f), half = w * (0.55f + tier * 0.22f);
      woods = Union(woods, Polygon({{x, t0}, {x + half, t1}, {x + half * 0.35f, t1 - 6}, {x - half * 0.35f, t1 - 6}, {x - half, t1}}));
    }
  }
  return woods;
}
Sdf BeachShore() {
  return [](float, float y) { return kBeachHorizon - y; };
}
Sdf BeachSand() {
  return SmoothShape({{-40, 640}, {-40, 430}, {200, 420}, {420, 438}, {640, 430}, {840, 452}, {840, 640}});
}

void BeachScene(Canvas& c) {
  Palette p = Night();
  Sky(c, p, kBeachHorizon);
  Stars(c, p, kBeachHorizon - 10, 91, 330);
  Moon(c, 420, 80, 26);
  Sea(c, p, kBeachHorizon, 420, 92);
  // Foam lines of the waves and the sand.
  Sdf sand = BeachSand();
  for (int i = 0; i < 3; ++i) {
    float off = i * 14.0f;
    c.Fill(Outline([=](float x, float y) { return sand(x, y + off + 6); }, 2.0f), Solid(Hex(0xCFE0FF)), 0.35f - i * 0.1f, Blend::Add, 0, 380, W, 480);
  }
  c.Fill(sand, Linear({0, 420}, {0, 600}, {Hex(0x3B3F62), Hex(0x2A2B44), Hex(0x1B1B2E)}));
  Rng rng(93);
  for (int i = 0; i < 2500; ++i) {
    float x = rng.Uniform(0, W), y = rng.Uniform(430, H);
    if (sand(x, y) < -2) c.Fill(Circle(x, y, 0.7f), Solid(Hex(0x8A90C0)), rng.Uniform(0.1f, 0.35f), Blend::Add,
                                static_cast<int>(x) - 1, static_cast<int>(y) - 1, static_cast<int>(x) + 2, static_cast<int>(y) + 2);
  }
  // A faint glimmer where the star fell: the player's hint.
  c.Glow(400, 470, 22, Hex(0x9FE8FF), 0.45f);
  c.Glow(400, 470, 5, Hex(0xFFFFFF), 0.8f);
  // The lighthouse on its rock.
  c.Fill(SmoothShape({{540, 400}, {575, 330}, {640, 315}, {720, 322}, {790, 350}, {800, 410}, {650, 418}}),
         Linear({0, 315}, {0, 418}, {Hex(0x2E3350), Hex(0x14162A)}));
  Lighthouse(c, 650, 338, 280, p, true);
  // The pine woods.
  c.Fill(BeachWoods(), Linear({0, 120}, {0, 480}, {Hex(0x0F1C2A), Hex(0x081018)}));
  c.Fill(Outline(BeachWoods(), 2), Solid(Hex(0x5A78B0)), 0.25f, Blend::Add, 0, 100, 300, 490);
}

// The sea of the night beach lit blue from within (the second branch's climax): laid over
// bg_beach_night.bmp, on the water only, so that the lighthouse's rock, the pines and the
// sand keep their colours.
Canvas SeaGlow() {
  Canvas c(W, H);
  Sdf sand = BeachSand(), rock = BeachLighthouse(), woods = BeachWoods();
  Sdf water = [=](float x, float y) { return std::max({kBeachHorizon - y, -sand(x, y), -rock(x, y), -woods(x, y)}); };
  // A haze that grows towards the shore.
  c.Fill(water, Linear({0, kBeachHorizon}, {0, 440}, {Hex(0x2FC8FF, 0.08f), Hex(0x3FE0FF, 0.22f), Hex(0x5FF0FF, 0.4f)}), 1.0f,
         Blend::Over, 0, static_cast<int>(kBeachHorizon) - 2, W, 470);
  // Lit crests: short strokes, longer and brighter near the shore.
  Rng rng(95);
  for (int i = 0; i < 1400; ++i) {
    float t = std::pow(rng.Uniform(), 0.7f), y = kBeachHorizon + 3 + t * 190, x = rng.Uniform(-20, W + 20);
    float len = 6 + t * 34 * rng.Uniform(0.5f, 1.0f), half = len / 2;
    if (water(x - half, y) > 0 || water(x + half, y) > 0) continue;
    Rgba k = Mix(Hex(0x49D8FF), Hex(0xE8FFFF), rng.Uniform(0, 0.6f) * t);
    c.Fill(Capsule({x - half, y}, {x + half, y}, 0.6f + t * 0.9f), Solid(k), rng.Uniform(0.25f, 0.85f), Blend::Over,
           static_cast<int>(x - half - 3), static_cast<int>(y - 3), static_cast<int>(x + half + 4), static_cast<int>(y + 4));
  }
  // The waterline itself glows brightest.
  Sdf waterline = Outline([=](float x, float y) { return sand(x, y + 4); }, 3.0f);
  c.Fill(Intersect(waterline, [=](float x, float y) { return std::max(-rock(x, y), -woods(x, y)); }), Solid(Hex(0x9FF4FF)), 0.6f);
  for (int i = 0; i < 60; ++i) {
    float x = rng.Uniform(0, W), y = kBeachHorizon + 20 + rng.Uniform() * 170;
    float r = rng.Uniform(4, 9), a = rng.Uniform(0.5f, 0.95f);
    if (water(x, y) < -4)
      c.Fill(Circle(x, y, r), Radial({x, y}, r, {Hex(0xF0FFFF, a), Hex(0xBFF6FF, a * 0.3f), Hex(0xBFF6FF, 0)}), 1.0f, Blend::Over,
             static_cast<int>(x - r - 1), static_cast<int>(y - r - 1), static_cast<int>(x + r + 2), static_cast<int>(y + r + 2));
  }
  return c;
}

void FallenStar(Canvas& c) {
  // Night sand seen from close by, the fragment glowing in a shallow dent.
  c.Cover(Linear({0, 0}, {0, 600}, {Hex(0x070B1C), Hex(0x121838), Hex(0x2A2C4C), Hex(0x3A3A5A)}));
  Rng rng(44);
  for (int i = 0; i < 6000; ++i) {
    float y = 180 + std::pow(rng.Uniform(), 0.8f) * 420, x = rng.Uniform(0, W);
    float r = 0.4f + (y - 180) / 420 * 1.4f;
    c.Fill(Circle(x, y, r), Solid(Hex(0x9A9CC8)), rng.Uniform(0.05f, 0.3f), Blend::Add, static_cast<int>(x - r - 1),
           static_cast<int>(y - r - 1), static_cast<int>(x + r + 2), static_cast<int>(y + r + 2));
  }
  // Far waves at the top.
  for (int i = 0; i < 4; ++i)
    c.Fill(Outline(SmoothShape({{-40, 120.0f + i * 22}, {200, 110.0f + i * 22}, {420, 126.0f + i * 22}, {640, 112.0f + i * 22}, {840, 124.0f + i * 22}, {840, 100.0f + i * 22}, {-40, 100.0f + i * 22}}), 1.5f),
           Solid(Hex(0x9FC0FF)), 0.25f - i * 0.05f, Blend::Add);
  // The dent and its rim.
  c.Fill(Ellipse(400, 420, 190, 70), Radial({400, 430}, 190, {Hex(0x10122A, 0.9f), Hex(0x22243F, 0.6f), Hex(0x22243F, 0.0f)}));
  c.Fill(Intersect(Outline(Ellipse(400, 418, 176, 62), 4), Below(418)), Solid(Hex(0x8A90D0)), 0.4f, Blend::Add);
  // Light: rays, halo, the crystal and sparks.
  for (int i = 0; i < 12; ++i) {
    float a = -kPi / 2 + (i - 5.5f) * 0.2f, len = 300 + (i % 3) * 60.0f;
    Point tip{400 + std::cos(a) * len, 380 + std::sin(a) * len};
    c.Fill(Polygon({{396, 380}, {tip.x - 10, tip.y}, {tip.x + 10, tip.y}, {404, 380}}),
           [=](float x, float y) {
             Rgba k = Hex(0x9FDCFF);
             k.a = 0.18f * std::max(0.0f, 1 - std::hypot(x - 400, y - 380) / len);
             return k;
           },
           1.0f, Blend::Add);
  }
  c.Glow(400, 390, 170, Hex(0x5FB8FF), 0.35f);
  c.Glow(400, 390, 70, Hex(0xBFEFFF), 0.7f);
  std::vector<Point> star;
  for (int i = 0; i < 10; ++i) {
    float a = -kPi / 2 + 0.2f + i * kPi / 5, r = (i % 2 == 0) ? 62.0f : 28.0f;
    star.push_back({400 + std::cos(a) * r, 392 + std::sin(a) * r * 0.8f});
  }
  c.Fill(Polygon(star), Radial({388, 380}, 70, {Hex(0xFFFFFF), Hex(0xCFF3FF), Hex(0x7CC8FF)}));
  for (size_t i = 0; i < star.size(); i += 2)
    c.Fill(Capsule({400, 392}, star[i], 0.9f), Solid(Hex(0xFFFFFF)), 0.55f, Blend::Add);
  for (int i = 0; i < 40; ++i) {
    float a = rng.Uniform(0, 2 * kPi), d = rng.Uniform(70, 260);
    c.Glow(400 + std::cos(a) * d, 390 + std::sin(a) * d * 0.6f, rng.Uniform(1, 2.5f), Hex(0xE8F8FF), rng.Uniform(0.4f, 1.0f));
  }
}

void LighthouseTop(Canvas& c) {
  Palette p = Night();
  const float horizon = 410;
  Sky(c, p, horizon);
  Stars(c, p, horizon - 10, 61, 420);
  Meteors(c, 62, 7, 260);
  Sea(c, p, horizon, 560, 63);
  // The lamp room on the left: glass panes with the warm lamp behind them.
  c.Glow(150, 250, 200, Hex(0xFFD890), 0.35f);
  c.Fill(RoundRect(-20, 80, 300, 360, 6), Linear({0, 80}, {0, 440}, {Hex(0xFFF0C8, 0.55f), Hex(0xFFD68A, 0.35f)}));
  c.Glow(130, 250, 70, Hex(0xFFF6D8), 1.0f);
  for (float x = 10; x < 290; x += 70) c.Fill(RoundRect(x, 80, 8, 360, 2), Solid(Hex(0x1C2036)));
  c.Fill(RoundRect(-20, 70, 310, 16, 3), Solid(Hex(0x1C2036)));
  c.Fill(Polygon({{-20, 74}, {130, 10}, {290, 74}}), Linear({0, 10}, {0, 74}, {Hex(0x2A2F4C), Hex(0x161A2E)}));
  c.Fill(RoundRect(-20, 436, 320, 30, 3), Solid(Hex(0x23283F)));
  // The gallery railing in front.
  c.Fill(RoundRect(-10, 470, 820, 140, 0), Linear({0, 470}, {0, 600}, {Hex(0x1D2236), Hex(0x0E1120)}));
  c.Fill(RoundRect(-10, 462, 820, 10, 4), Solid(Hex(0x3A4266)));
  for (float x = 20; x < W; x += 90) c.Fill(RoundRect(x, 380, 8, 100, 3), Solid(Hex(0x2C3352)));
  c.Fill(RoundRect(-10, 374, 820, 9, 4), Linear({0, 374}, {0, 383}, {Hex(0x6A76A8), Hex(0x2C3352)}));
  c.Fill(RoundRect(-10, 424, 820, 5, 2), Solid(Hex(0x2C3352)));
}

}  // namespace

void MakeScenes(Stage& stage, const Font& font) {
  {
    // The title: the hill under falling stars, the game's name above the menu.
    Canvas c(W, H);
    HillScene(c, Night(), 21, false, 0);
    Meteors(c, 22, 14, 250);
    Moon(c, 600, 80, 20);
    AlphaMap name = font.Render("星を拾った夜", 64, 16);
    const int nx = (W - name.width) / 2, ny = 96;
    c.FillMask(Blur(name, 10), nx, ny, Solid(Hex(0x0A1030)), 0.9f);
    c.FillMask(name, nx, ny, Linear({0, static_cast<float>(ny)}, {0, ny + 90.0f}, {Hex(0xFFF6DC), Hex(0xF2D08A)}));
    AlphaMap sub = font.Render("ZAN デモゲーム", 20, 6);
    c.FillMask(Blur(sub, 4), (W - sub.width) / 2, 206, Solid(Hex(0x0A1030)), 0.8f);
    c.FillMask(sub, (W - sub.width) / 2, 206, Solid(Hex(0xDCE4FF)));
    stage.Picture("TITLE_BG.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    HillScene(c, Dusk(), 11, true, 322);
    stage.Picture("bg_hill_dusk.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    HillScene(c, Night(), 12, false, 0);
    Moon(c, 560, 96, 24);
    stage.Picture("bg_hill_night.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    HillScene(c, Dawn(), 13, true, 338);
    stage.Picture("bg_dawn.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    LighthouseTop(c);
    stage.Picture("bg_lighthouse_top.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    FallenStar(c);
    stage.Picture("ev_star.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    HillScene(c, Night(), 14, false, 0);
    Meteors(c, 15, 26, 300);
    // Three friends on the hill, seen from behind.
    Rgba ink = Hex(0x06080F);
    for (auto [x, y, s] : {std::tuple{250.0f, 402.0f, 1.0f}, {318.0f, 410.0f, 1.12f}, {390.0f, 420.0f, 0.96f}}) {
      c.Fill(Union(Circle(x, y - 44 * s, 15 * s), SmoothShape({{x - 26 * s, y + 10}, {x - 18 * s, y - 30 * s}, {x, y - 34 * s}, {x + 18 * s, y - 30 * s}, {x + 26 * s, y + 10}})),
             Solid(ink));
    }
    stage.Picture("ev_sky.bmp", c, BmpForm::Rgb24);
  }
  {
    Canvas c(W, H);
    BeachScene(c);
    stage.Picture("bg_beach_night.bmp", c, BmpForm::Rgb24);
  }
  stage.Picture("sea_glow.bmp", SeaGlow(), BmpForm::Argb32);

  // Mask choice: the hit mask (flat colours, no smoothing: a colour names a place) and
  // one hover picture per place.
  std::vector<Sdf> places = {nullptr, BeachLighthouse(), BeachWoods(), BeachShore()};
  auto placeAt = [&](float x, float y) {
    for (int i = 1; i < 4; ++i)
      if (places[i](x, y) < 0) return i;
    return 0;
  };
  std::vector<uint8_t> rgb(static_cast<size_t>(W) * H * 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const MaskColour& m = kMaskPlaces[placeAt(x + 0.5f, y + 0.5f)];
      size_t i = (static_cast<size_t>(y) * W + x) * 3;
      rgb[i] = m.r;
      rgb[i + 1] = m.g;
      rgb[i + 2] = m.b;
    }
  stage.File("gra/mask_hit.bmp", EncodeBmpExact(W, H, rgb));

  const char* labels[] = {"空", "灯台", "松林", "浜辺"};
  const Point labelAt[] = {{400, 150}, {650, 40}, {110, 90}, {400, 520}};
  for (int i = 0; i < 4; ++i) {
    Canvas c(W, H);
    Sdf region = [&, i](float x, float y) {
      // The place's own shape less the places drawn in front of it.
      // The sky is everything the other places leave: deep inside, so that only its border
      // with them is outlined.
      float d = i == 0 ? -1e4f : places[i](x, y);
      for (int k = 1; k < i || (i == 0 && k < 4); ++k) d = std::max(d, -places[k](x, y));
      return d;
    };
    c.Fill(region, Solid(Hex(0xBFE4FF)), 0.14f);
    c.Fill(Outline(region, 3), Solid(Hex(0xFFE7A0)), 0.9f);
    AlphaMap text = font.Render(labels[i], 30, 10);
    int tx = static_cast<int>(labelAt[i].x) - text.width / 2, ty = static_cast<int>(labelAt[i].y) - text.height / 2;
    c.FillMask(Blur(text, 4), tx, ty, Solid(Hex(0x0A1030)), 1.0f);
    c.FillMask(text, tx, ty, Solid(Hex(0xFFF3C8)));
    std::string name = std::string("mask_on_") + kMaskPlaces[i].place + ".bmp";
    stage.Picture(name, c, BmpForm::Argb32);
  }
}

}  // namespace zan::assetgen
