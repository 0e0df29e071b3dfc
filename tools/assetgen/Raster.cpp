#include "Raster.h"

#include <algorithm>
#include <cmath>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace zan::assetgen {

Rgba Hex(uint32_t rgb, float alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
          alpha};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

namespace {

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

Rgba Stops(const std::vector<Rgba>& stops, float t) {
  if (stops.size() == 1) return stops[0];
  t = Clamp01(t) * static_cast<float>(stops.size() - 1);
  size_t i = std::min(static_cast<size_t>(t), stops.size() - 2);
  // Smoothstep between stops keeps the joins soft.
  float f = t - static_cast<float>(i);
  f = f * f * (3 - 2 * f);
  return Mix(stops[i], stops[i + 1], f);
}

}  // namespace

Sdf Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return Length(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry) {
  return [=](float x, float y) {
    float qx = (x - cx) / rx, qy = (y - cy) / ry;
    float k = Length(qx, qy);
    if (k < 1e-6f) return -std::min(rx, ry);
    // First-order distance: the implicit value over its gradient's length.
    float gx = qx / (rx * k), gy = qy / (ry * k);
    return (k - 1.0f) / std::max(Length(gx, gy), 1e-6f);
  };
}

Sdf RoundRect(float x, float y, float w, float h, float radius) {
  float cx = x + w / 2, cy = y + h / 2, hx = w / 2 - radius, hy = h / 2 - radius;
  return [=](float px, float py) {
    float dx = std::abs(px - cx) - hx, dy = std::abs(py - cy) - hy;
    float outside = Length(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - radius;
  };
}

Sdf Capsule(Point a, Point b, float r) {
  return [=](float x, float y) {
    float px = x - a.x, py = y - a.y, bx = b.x - a.x, by = b.y - a.y;
    float len2 = bx * bx + by * by;
    float t = len2 > 0 ? Clamp01((px * bx + py * by) / len2) : 0.0f;
    return Length(px - bx * t, py - by * t) - r;
  };
}

Sdf Polygon(std::vector<Point> v) {
  return [v = std::move(v)](float x, float y) {
    float d = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
      float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
      float wx = x - v[i].x, wy = y - v[i].y;
      float len2 = ex * ex + ey * ey;
      float t = len2 > 0 ? Clamp01((wx * ex + wy * ey) / len2) : 0.0f;
      d = std::min(d, Length(wx - ex * t, wy - ey * t));
      if ((v[i].y > y) != (v[j].y > y) && x < (v[j].x - v[i].x) * (y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
        inside = !inside;
    }
    return inside ? -d : d;
  };
}

Sdf SmoothShape(const std::vector<Point>& p, int steps) {
  std::vector<Point> out;
  size_t n = p.size();
  for (size_t i = 0; i < n; ++i) {
    const Point& p0 = p[(i + n - 1) % n];
    const Point& p1 = p[i];
    const Point& p2 = p[(i + 1) % n];
    const Point& p3 = p[(i + 2) % n];
    for (int s = 0; s < steps; ++s) {
      float t = static_cast<float>(s) / steps, t2 = t * t, t3 = t2 * t;
      auto cr = [&](float a, float b, float c, float d) {
        return 0.5f * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
      };
      out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
    }
  }
  return Polygon(std::move(out));
}

Sdf Union(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Outline(Sdf s, float w) {
  return [=](float x, float y) { return std::abs(s(x, y)) - w / 2; };
}

Paint Solid(Rgba c) {
  return [=](float, float) { return c; };
}

Paint Linear(Point p0, Point p1, std::vector<Rgba> stops) {
  float dx = p1.x - p0.x, dy = p1.y - p0.y, len2 = std::max(dx * dx + dy * dy, 1e-6f);
  return [=](float x, float y) { return Stops(stops, ((x - p0.x) * dx + (y - p0.y) * dy) / len2); };
}

Paint Radial(Point c, float radius, std::vector<Rgba> stops) {
  return [=](float x, float y) { return Stops(stops, Length(x - c.x, y - c.y) / radius); };
}

namespace {

// One box pass along the rows or the columns, as a running sum (pixels outside count 0).
void BoxPass(const AlphaMap& in, AlphaMap& out, int radius, bool vertical) {
  int n = vertical ? in.height : in.width, lines = vertical ? in.width : in.height;
  for (int l = 0; l < lines; ++l) {
    auto index = [&](int i) { return vertical ? static_cast<size_t>(i) * in.width + l : static_cast<size_t>(l) * in.width + i; };
    auto at = [&](int i) { return i < 0 || i >= n ? 0.0f : in.a[index(i)]; };
    float s = 0;
    for (int k = -radius; k <= radius; ++k) s += at(k);
    for (int i = 0; i < n; ++i) {
      out.a[index(i)] = s / (2 * radius + 1);
      s += at(i + radius + 1) - at(i - radius);
    }
  }
}

}  // namespace

AlphaMap Blur(const AlphaMap& in, int radius) {
  AlphaMap a = in, tmp = in;
  if (radius <= 0) return a;
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(a, tmp, radius, false);
    BoxPass(tmp, a, radius, true);
  }
  return a;
}

Canvas::Canvas(int width, int height, Rgba fill) : w_(width), h_(height) {
  Rgba p{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
  px_.assign(static_cast<size_t>(w_) * h_, p);
}

void Canvas::Put(int x, int y, const Rgba& c, float cov, Blend blend) {
  Rgba& d = px_[static_cast<size_t>(y) * w_ + x];
  float a = Clamp01(c.a * cov);
  if (blend == Blend::Add) {
    // Light adds colour and never makes a pixel less opaque.
    d.r += c.r * a;
    d.g += c.g * a;
    d.b += c.b * a;
    d.a = std::max(d.a, a);
    return;
  }
  d.r = c.r * a + d.r * (1 - a);
  d.g = c.g * a + d.g * (1 - a);
  d.b = c.b * a + d.b * (1 - a);
  d.a = a + d.a * (1 - a);
}

void Canvas::Fill(const Sdf& shape, const Paint& paint, float opacity, Blend blend, int x0, int y0,
                  int x1, int y1) {
  if (x1 < 0) x1 = w_;
  if (y1 < 0) y1 = h_;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, w_);
  y1 = std::min(y1, h_);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float cov = Clamp01(0.5f - shape(fx, fy));
      if (cov <= 0) continue;
      Put(x, y, paint(fx, fy), cov * opacity, blend);
    }
  }
}

void Canvas::Cover(const Paint& paint) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) Put(x, y, paint(x + 0.5f, y + 0.5f), 1.0f, Blend::Over);
}

void Canvas::Glow(float cx, float cy, float radius, Rgba colour, float intensity) {
  int r = static_cast<int>(radius * 3) + 1;
  for (int y = std::max(0, static_cast<int>(cy) - r); y < std::min(h_, static_cast<int>(cy) + r); ++y) {
    for (int x = std::max(0, static_cast<int>(cx) - r); x < std::min(w_, static_cast<int>(cx) + r); ++x) {
      float d = Length(x + 0.5f - cx, y + 0.5f - cy) / radius;
      float k = intensity * std::exp(-d * d);
      if (k < 1e-3f) continue;
      Put(x, y, colour, k, Blend::Add);
    }
  }
}

void Canvas::FillMask(const AlphaMap& m, int ox, int oy, const Paint& paint, float opacity, Blend blend) {
  for (int y = 0; y < m.height; ++y) {
    int ty = oy + y;
    if (ty < 0 || ty >= h_) continue;
    for (int x = 0; x < m.width; ++x) {
      int tx = ox + x;
      if (tx < 0 || tx >= w_) continue;
      float cov = m.at(x, y) * opacity;
      if (cov <= 0) continue;
      Put(tx, ty, paint(tx + 0.5f, ty + 0.5f), cov, blend);
    }
  }
}

void Canvas::Draw(const Canvas& src, int ox, int oy, float opacity) {
  for (int y = 0; y < src.h_; ++y) {
    int ty = oy + y;
    if (ty < 0 || ty >= h_) continue;
    for (int x = 0; x < src.w_; ++x) {
      int tx = ox + x;
      if (tx < 0 || tx >= w_) continue;
      const Rgba& s = src.px_[static_cast<size_t>(y) * src.w_ + x];
      Rgba& d = px_[static_cast<size_t>(ty) * w_ + tx];
      float k = 1 - s.a * opacity;
      d.r = s.r * opacity + d.r * k;
      d.g = s.g * opacity + d.g * k;
      d.b = s.b * opacity + d.b * k;
      d.a = s.a * opacity + d.a * k;
    }
  }
}

void Canvas::ScaleAlpha(float f) {
  for (Rgba& p : px_) {
    p.r *= f;
    p.g *= f;
    p.b *= f;
    p.a *= f;
  }
}

AlphaMap Canvas::Alpha() const {
  AlphaMap m{w_, h_, {}};
  m.a.reserve(px_.size());
  for (const Rgba& p : px_) m.a.push_back(p.a);
  return m;
}

Rgba Canvas::At(int x, int y) const {
  const Rgba& p = px_[static_cast<size_t>(y) * w_ + x];
  if (p.a <= 0) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
  Canvas c(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (x + i >= 0 && x + i < w_ && y + j >= 0 && y + j < h_)
        c.px_[static_cast<size_t>(j) * w + i] = px_[static_cast<size_t>(y + j) * w_ + x + i];
  return c;
}

std::vector<uint8_t> Canvas::ToRgba8() const {
  // 4 × 4 Bayer matrix, spread over one 8-bit step.
  static const float bayer[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
  std::vector<uint8_t> out(px_.size() * 4);
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      size_t i = static_cast<size_t>(y) * w_ + x;
      const Rgba& p = px_[i];
      float a = Clamp01(p.a);
      float dither = (bayer[(y & 3) * 4 + (x & 3)] + 0.5f) / 16.0f;
      auto q = [&](float v) { return static_cast<uint8_t>(std::clamp(v * 255.0f + dither, 0.0f, 255.0f)); };
      if (a <= 0) {
        out[i * 4 + 0] = out[i * 4 + 1] = out[i * 4 + 2] = out[i * 4 + 3] = 0;
        continue;
      }
      out[i * 4 + 0] = q(p.r / a);
      out[i * 4 + 1] = q(p.g / a);
      out[i * 4 + 2] = q(p.b / a);
      out[i * 4 + 3] = static_cast<uint8_t>(std::lround(a * 255.0f));
    }
  }
  return out;
}

uint32_t Rng::Next() {
  // PCG-XSH-RR: small, fast and identical everywhere.
  uint64_t old = s_;
  s_ = old * 6364136223846793005ull + 1442695040888963407ull;
  uint32_t xs = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (xs >> rot) | (xs << ((32 - rot) & 31));
}

float Rng::Uniform(float lo, float hi) { return lo + (hi - lo) * (Next() / 4294967296.0f); }

float ValueNoise(float x, float y, float cell, uint32_t seed) {
  auto hash = [seed](int ix, int iy) {
    uint32_t h = static_cast<uint32_t>(ix) * 374761393u + static_cast<uint32_t>(iy) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
  };
  float fx = x / cell, fy = y / cell;
  int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  float tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  float a = hash(ix, iy), b = hash(ix + 1, iy), c = hash(ix, iy + 1), d = hash(ix + 1, iy + 1);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

struct Font::Impl {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
};

Result<Font> Font::Open() {
  std::string path;
  if (FcConfig* config = FcInitLoadConfigAndFonts()) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic"));
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(config, pat, &res);
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pat);
    FcConfigDestroy(config);
    // Releases fontconfig's process-wide caches: the generator needs it only here.
    FcFini();
  }
  Font f;
  f.impl_ = new Impl;
  if (FT_Init_FreeType(&f.impl_->lib) != 0) return MakeError("FreeType cannot start");
  if (path.empty() || FT_New_Face(f.impl_->lib, path.c_str(), 0, &f.impl_->face) != 0)
    return MakeError("the IPA Gothic font is missing (fonts-ipafont-gothic)");
  return f;
}

Font::Font(Font&& o) noexcept : impl_(o.impl_) { o.impl_ = nullptr; }
Font& Font::operator=(Font&& o) noexcept {
  std::swap(impl_, o.impl_);
  return *this;
}
Font::~Font() {
  if (!impl_) return;
  if (impl_->face) FT_Done_Face(impl_->face);
  if (impl_->lib) FT_Done_FreeType(impl_->lib);
  delete impl_;
}

namespace {

// Next code point of a UTF-8 text (the generator's own literals are valid UTF-8).
char32_t NextCodePoint(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i++]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 0; k < extra && i < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  return cp;
}

}  // namespace

AlphaMap Font::Render(std::string_view text, int size, int pad) const {
  FT_Face face = impl_->face;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
  int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
  int descent = static_cast<int>(-face->size->metrics.descender >> 6);
  // First pass: width.
  int width = 0;
  for (size_t i = 0; i < text.size();) {
    if (FT_Load_Char(face, NextCodePoint(text, i), FT_LOAD_DEFAULT) == 0) width += static_cast<int>(face->glyph->advance.x >> 6);
  }
  AlphaMap m{width + 2 * pad, ascent + descent + 2 * pad, {}};
  m.a.assign(static_cast<size_t>(m.width) * m.height, 0.0f);
  int penX = pad;
  for (size_t i = 0; i < text.size();) {
    if (FT_Load_Char(face, NextCodePoint(text, i), FT_LOAD_RENDER) != 0) continue;
    FT_GlyphSlot g = face->glyph;
    for (unsigned row = 0; row < g->bitmap.rows; ++row) {
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        int x = penX + g->bitmap_left + static_cast<int>(col);
        int y = pad + ascent - g->bitmap_top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= m.width || y >= m.height) continue;
        float v = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
        float& d = m.a[static_cast<size_t>(y) * m.width + x];
        d = std::max(d, v);
      }
    }
    penX += static_cast<int>(g->advance.x >> 6);
  }
  return m;
}

}  // namespace zan::assetgen
