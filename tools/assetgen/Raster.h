#pragma once
// A small floating-point raster for drawing the demo game's pictures procedurally:
// anti-aliased shapes given as signed distance functions, gradients, glows and text.
// Colours are straight (not premultiplied) RGBA in 0..1; the canvas keeps premultiplied
// values so that layering is a plain "over".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace zan::assetgen {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with an alpha in 0..1.
Rgba Hex(uint32_t rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& a, const Rgba& b, float t);

struct Point {
  float x = 0, y = 0;
};

// Signed distance in pixels from a point to a shape's edge: negative inside.
using Sdf = std::function<float(float x, float y)>;
// Colour of a shape at a point.
using Paint = std::function<Rgba(float x, float y)>;

Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
Sdf RoundRect(float x, float y, float w, float h, float radius);
Sdf Capsule(Point a, Point b, float r);
Sdf Polygon(std::vector<Point> points);
// A closed Catmull-Rom curve through the points, as a polygon.
Sdf SmoothShape(const std::vector<Point>& points, int stepsPerSegment = 12);
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
// The band of width w around a shape's edge.
Sdf Outline(Sdf s, float w);

Paint Solid(Rgba c);
// Gradient along the line from p0 to p1 through evenly spaced colour stops.
Paint Linear(Point p0, Point p1, std::vector<Rgba> stops);
Paint Radial(Point centre, float radius, std::vector<Rgba> stops);

// Coverage of one channel (glyph masks, blurred shadows).
struct AlphaMap {
  int width = 0, height = 0;
  std::vector<float> a;
  float at(int x, int y) const { return a[static_cast<size_t>(y) * width + x]; }
};

// Box blur repeated three times (close to a Gaussian of about radius / 1.7 sigma).
AlphaMap Blur(const AlphaMap& in, int radius);

enum class Blend { Over, Add };

class Canvas {
 public:
  Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

  int width() const { return w_; }
  int height() const { return h_; }

  // Fills a shape within the given pixel box (clipped to the canvas) with a paint.
  void Fill(const Sdf& shape, const Paint& paint, float opacity = 1.0f, Blend blend = Blend::Over,
            int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1);
  // Paints every pixel (backgrounds).
  void Cover(const Paint& paint);
  // Adds light around a point: colour × intensity × exp(-(d / radius)²).
  void Glow(float cx, float cy, float radius, Rgba colour, float intensity = 1.0f);
  // Lays a coverage map at (x, y) in a paint.
  void FillMask(const AlphaMap& mask, int x, int y, const Paint& paint, float opacity = 1.0f,
                Blend blend = Blend::Over);
  // Draws another canvas over this one at (x, y).
  void Draw(const Canvas& src, int x, int y, float opacity = 1.0f);
  // Multiplies the alpha of every pixel (a fully opaque picture becomes translucent).
  void ScaleAlpha(float factor);
  // The alpha of every pixel as a map.
  AlphaMap Alpha() const;
  // Straight RGBA at a pixel.
  Rgba At(int x, int y) const;
  // A copy of a rectangle.
  Canvas Crop(int x, int y, int w, int h) const;

  // Straight 8-bit RGBA, rows top-down, with a small ordered dither so that soft
  // gradients do not band.
  std::vector<uint8_t> ToRgba8() const;

 private:
  void Put(int x, int y, const Rgba& c, float coverage, Blend blend);

  int w_, h_;
  std::vector<Rgba> px_;  // premultiplied
};

// Text drawn with the system's IPA Gothic through FreeType.
class Font {
 public:
  static Result<Font> Open();
  Font(Font&&) noexcept;
  Font& operator=(Font&&) noexcept;
  ~Font();

  // Coverage of a line of UTF-8 text at a pixel size; the map is padded by `pad` pixels
  // on every side and its baseline lies at pad + ascent.
  AlphaMap Render(std::string_view utf8, int pixelSize, int pad = 0) const;

 private:
  Font() = default;
  struct Impl;
  Impl* impl_ = nullptr;
};

// Random numbers that are the same on every machine (the pictures must not change from
// one build to the next).
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next();
  float Uniform(float lo = 0.0f, float hi = 1.0f);

 private:
  uint64_t s_;
};

// Smooth value noise in 0..1 with the given cell size in pixels.
float ValueNoise(float x, float y, float cell, uint32_t seed);

}  // namespace zan::assetgen
