#include "message/GlyphRasterizer.h"

#include <algorithm>

#include "base/ShiftJis.h"
#include "surface/Surface.h"
#include "message/Dirty.h"
#include "message/GlyphKernels.h"
#include "platform/FontInk.h"

namespace zan {
namespace {

// From this weight on (of 1000) glyphs are drawn heavy: the font ink widens their strokes.
constexpr int32_t kBoldWeight = 600;
// Glyphs no taller than this are always drawn plain: the kernels would blur them.
constexpr int32_t kPlainOnlyHeight = 12;

}  // namespace

const std::string& GlyphRasterizer::DefaultFace() {
  static const std::string face = Sjis("ＭＳ ゴシック");
  return face;
}

Status GlyphRasterizer::InitRasterizer(FontInk& fonts) {
  fonts_ = &fonts;
  face_ = DefaultFace();
  colour_ = {255, 255, 255};
  weight_ = 400;
  escapement_ = 0;
  penX_ = penY_ = 0;
  glyphWidth_ = glyphHeight_ = 20;
  style_ = 0;
  return fonts.OpenFace(face_);
}

void GlyphRasterizer::SetGlyphColor(int32_t r, int32_t g, int32_t b) {
  auto clamp = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
  colour_ = {clamp(r), clamp(g), clamp(b)};
}

void GlyphRasterizer::SetGlyphSize(int32_t width, int32_t height) {
  glyphWidth_ = std::max(width, 0);
  glyphHeight_ = std::max(height, 0);
}

void GlyphRasterizer::SetWeight(int32_t n) { weight_ = std::clamp(n, 0, 10) * 100; }

bool GlyphRasterizer::SetStyle(int32_t style) {
  if (style < 0 || style > 5) return false;
  style_ = style;
  return true;
}

bool GlyphRasterizer::DrawString(Surface& surface, std::string_view text) {
  return Draw(surface, text, false);
}

bool GlyphRasterizer::DrawStringOpaque(Surface& surface, std::string_view text) {
  return Draw(surface, text, true);
}

bool GlyphRasterizer::Draw(Surface& surface, std::string_view text, bool opaque) {
  const int32_t width = surface.Width();
  const int32_t height = surface.Height();
  // Onto an opaque surface neither the refusal nor the small-glyph rule applies: glyph
  // boxes are clipped to the surface, and one that starts left of or above it is left out.
  // A box that ends on the surface's last column or row fits: refusing it would leave out
  // the first column of vertical text, which ends on the right edge.
  if (!opaque && (penX_ < 0 || penY_ < 0 || penX_ >= width || penY_ >= height ||
                  int64_t{penX_} + glyphWidth_ > width || int64_t{penY_} + glyphHeight_ > height))
    return false;
  const int32_t style = !opaque && glyphHeight_ <= kPlainOnlyHeight ? kGlyphPlain : style_;
  if (style == 1 || style == 5 || fonts_ == nullptr) return true;

  GlyphJob job;
  job.pixels = surface.View();
  if (!job.pixels) return true;
  AlphaPlane& mask = surface.Alpha();
  if (!opaque && mask.IsAllocated() && mask.Width() == width && mask.Height() == height)
    job.mask = mask.Data();
  job.opaque = opaque;
  job.colour = colour_;
  job.boxWidth = glyphWidth_ * 2;
  job.boxHeight = glyphHeight_;
  // The plain style renders at the glyph size, the others at twice it.
  const int32_t cell = style == kGlyphPlain ? glyphHeight_ : glyphHeight_ * 2;
  InkRequest request;
  request.face = face_;
  request.cellHeight = cell;
  request.vertical = escapement_ == 2700;
  request.bold = weight_ >= kBoldWeight;

  // Opaque drawing may start anywhere: glyphs from the right edge on are not looked at.
  if (penY_ >= height) return true;
  int64_t x = penX_;
  int32_t count = 0;
  for (size_t i = 0; i < text.size() && count < kMaxCharacters && x < width; ++count) {
    const bool wide = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const size_t n = wide ? 2 : 1;
    if (x >= 0) {
      request.character = text.substr(i, n);
      job.ink = &fonts_->Ink(request);
      job.x = static_cast<int32_t>(x);
      job.y = penY_;
      DrawGlyph(surface.FormatCode(), style, job);
      MarkDirty(surface, job.x, job.y, job.boxWidth, job.boxHeight);
    }
    x += wide ? glyphWidth_ : glyphWidth_ >> 1;
    i += n;
  }
  return true;
}

}  // namespace zan
