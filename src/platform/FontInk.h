#pragma once
// FontInk: the two-valued ink of one character, as a text renderer would draw it into a
// cleared bitmap (ink or no ink per sample; no colour, no grey levels). The glyph rasteriser
// builds its smoothing, outlines and blending on these maps.
//
// A character is given in Shift-JIS (one or two bytes) with its face name (Shift-JIS) and the
// height of its character cell in samples (ascent plus descent; the advance of a full-width
// character equals it). Vertical writing gives the character as it stands in a vertical
// line: a full-width character upright in its vertical form, a half-width one turned a
// quarter clockwise.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace zan {

struct GlyphInk {
  // The inked box relative to the cell's top-left corner, in samples.
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bits;  // width x height, row by row: 1 ink, 0 none

  // Ink at (x, y) relative to the cell's top-left corner; none outside the box.
  bool At(int32_t x, int32_t y) const {
    x -= left;
    y -= top;
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] != 0;
  }
};

struct InkRequest {
  std::string_view face;       // Shift-JIS face name
  int32_t cellHeight = 0;      // samples
  std::string_view character;  // one Shift-JIS character
  bool vertical = false;
  bool bold = false;           // heavy weights: strokes widened by one sample to the right
};

class FontInk {
 public:
  virtual ~FontInk() = default;

  // Makes sure text in `face` can be drawn; the error says which font is missing and how to
  // install it.
  virtual Status OpenFace(std::string_view face) = 0;
  // The ink of one character. Empty (nothing drawn) for a face that cannot be opened, a
  // character the face lacks, or a cell height outside 1..kMaxCellHeight. The reference
  // stays valid until the next call.
  virtual const GlyphInk& Ink(const InkRequest& request) = 0;

  static constexpr int32_t kMaxCellHeight = 1024;
};

}  // namespace zan
