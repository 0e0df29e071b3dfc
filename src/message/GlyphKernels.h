#pragma once
// The glyph builders of the rasteriser, written once over the pixel-format traits. Each
// takes the two-valued ink of one character at the drawing scale of its style (twice the
// glyph size for the smooth and outlined styles) and composes the glyph box into a pixel
// view and, unless drawing opaque, its alpha mask.
//
// Work-map coordinates: the character cell's top-left corner lies at sample (origin, origin)
// of a 640 x 480 map (8 for the doubled styles, 4 for plain); output pixel (i, j) of the box
// reads sample (8 + 2i, 8 + 2j), or (4 + i, 4 + j) when plain. Ink beyond the map counts as
// none. Channels are unpacked by shifting up without replication and packed by dropping
// low bits.

#include <cstdint>
#include <vector>

#include "pixels/PixelFormat.h"
#include "pixels/Pixels.h"
#include "platform/FontInk.h"

namespace zan {

constexpr int32_t kGlyphWorkWidth = 640;
constexpr int32_t kGlyphWorkHeight = 480;

// Drawing styles.
constexpr int32_t kGlyphPlain = 0;
constexpr int32_t kGlyphSmooth = 2;
constexpr int32_t kGlyphOutlined = 3;
constexpr int32_t kGlyphOutlinedSmooth = 4;

struct GlyphJob {
  PixelRows pixels;          // the surface
  uint8_t* mask = nullptr;   // its alpha mask (rows of pixels.width bytes); null: none
  int32_t x = 0;             // output position of the glyph box
  int32_t y = 0;
  int32_t boxWidth = 0;      // output pixels, before clipping to the surface
  int32_t boxHeight = 0;
  Rgb colour;
  const GlyphInk* ink = nullptr;
  bool opaque = false;       // onto an opaque surface: the mask is neither read nor written
};

// One character in style 0, 2, 3 or 4 for the format `code` (0: the 24-bit bitmap, whose smooth
// style weighs with the eight-level kernel). Unknown codes and styles draw nothing.
void DrawGlyph(int32_t code, int32_t style, const GlyphJob& job);

// The mark map's sample kinds of the outlined styles.
enum class GlyphSample : uint8_t {
  kNone = 0,     // unmarked, colour 0
  kInk = 1,      // text colour
  kOutline = 2,  // outline grey
  kRing = 3,     // marked, colour 0 (the dark outer ring of style 4)
};

// Coverage kernels at sample (x, y) of a two-valued map `at(x, y)` (0 or 1).
// Sixteen levels (style 2): the eight neighbours, twice the straight runs through the
// sample and four times the sample itself.
template <class At>
int32_t Coverage16(const At& at, int32_t x, int32_t y) {
  const int32_t c = at(x, y), n = at(x, y - 1), s = at(x, y + 1), e = at(x + 1, y), w = at(x - 1, y);
  const int32_t ne = at(x + 1, y - 1), nw = at(x - 1, y - 1), se = at(x + 1, y + 1),
                sw = at(x - 1, y + 1);
  return n + s + e + w + ne + nw + se + sw + 2 * ((n & c & s) + (w & c & e) + 2 * c);
}
// Eight levels (style 4): a line through the sample, then seven of its neighbours.
template <class At>
int32_t Coverage8(const At& at, int32_t x, int32_t y) {
  const int32_t c = at(x, y), n = at(x, y - 1), s = at(x, y + 1), e = at(x + 1, y), w = at(x - 1, y);
  const int32_t ne = at(x + 1, y - 1), nw = at(x - 1, y - 1), se = at(x + 1, y + 1),
                sw = at(x - 1, y + 1);
  return (((nw & se) | (e & w) | (sw & ne) | (n & s)) & c) + n + c + e + w + sw + ne + s;
}

}  // namespace zan
