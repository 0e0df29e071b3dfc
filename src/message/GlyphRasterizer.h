#pragma once
// GlyphRasterizer: draws all text of the game, one character at a time, into a surface in
// the display's pixel format and its alpha mask. The font gives only a two-valued ink map
// (at twice the glyph size for the smooth and outlined styles); the rasteriser builds the
// glyph from it: an outline ring, coverage from small kernels, reduction to the glyph size,
// and "over" compositing with the mask as the destination's opacity (GlyphKernels.h).
//
// Styles: 0 plain, 2 smooth, 3 outlined (averaged), 4 outlined and smooth; 1 and 5 draw
// nothing. Glyphs of height 12 or less are always drawn plain. Callers set colour, size,
// pen, style, weight and face before each string; they persist between calls.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "pixels/PixelFormat.h"

namespace zan {

class Surface;
class FontInk;

class GlyphRasterizer {
 public:
  static constexpr int32_t kMaxCharacters = 1024;  // per string

  // The face every text is drawn in unless another is set.
  static const std::string& DefaultFace();

  // Takes the font service and sets the initial values (white, weight 400, no rotation,
  // pen (0, 0), 20 x 20, plain, the default face). The default face must be drawable: the
  // error says which font to install.
  Status InitRasterizer(FontInk& fonts);

  void SetGlyphColor(int32_t r, int32_t g, int32_t b);  // each clamped to 0..255
  void SetGlyphSize(int32_t width, int32_t height);     // negative values become 0
  void SetPenPos(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
  }
  // Weight = min(max(n, 0), 10) x 100.
  void SetWeight(int32_t n);
  // Rotation in degrees (stored in tenths); 270 is vertical writing.
  void SetEscapement(int32_t degrees) { escapement_ = degrees * 10; }
  // 0..5 are accepted; anything else is refused (false) and the style stays.
  bool SetStyle(int32_t style);
  void SetFaceName(std::string_view face) { face_.assign(face); }

  // Draws up to 1024 characters from the pen position into the surface and its alpha mask;
  // the pen does not move. A double-byte character advances the glyph width, a single-byte
  // one half of it. False (nothing drawn) when the first glyph box does not fit: a negative
  // pen, or pen + glyph size past the surface's width or height.
  bool DrawString(Surface& surface, std::string_view text);
  // The same onto a surface without a mask: glyphs blend over the pixels as over opaque ones.
  // Nothing is refused (each glyph box is clipped to the surface; one that starts left of or
  // above it is left out) and small glyphs keep the style.
  bool DrawStringOpaque(Surface& surface, std::string_view text);

  const std::string& FaceName() const { return face_; }
  Rgb Colour() const { return colour_; }
  int32_t Weight() const { return weight_; }
  int32_t Escapement() const { return escapement_; }
  int32_t Style() const { return style_; }
  int32_t GlyphWidth() const { return glyphWidth_; }
  int32_t GlyphHeight() const { return glyphHeight_; }
  int32_t PenX() const { return penX_; }
  int32_t PenY() const { return penY_; }

 private:
  bool Draw(Surface& surface, std::string_view text, bool opaque);

  FontInk* fonts_ = nullptr;
  std::string face_;
  Rgb colour_{255, 255, 255};
  int32_t weight_ = 400;
  int32_t escapement_ = 0;  // tenths of a degree
  int32_t penX_ = 0;
  int32_t penY_ = 0;
  int32_t glyphWidth_ = 20;
  int32_t glyphHeight_ = 20;
  int32_t style_ = 0;
};

}  // namespace zan
