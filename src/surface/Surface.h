#pragma once
// Surface: a rectangle of pixels in the display's pixel format with an alpha
// plane and a dirty rectangle. In device mode (a non-zero format code) the pixels live in a
// block of pixel memory (DeviceSurface.h) with two spare rows; with format code 0 the
// surface is only its Bitmap part and every operation takes the bitmap branch.
//
// Operations that only succeed or fail answer a bool; the others a CreatePixelsResult or a
// DrawResult (SurfaceResults.h), each saying which. All pixel work is done by the
// plain-memory routines (PixelOps.h, Blend.h) on the clipped rectangle; operations between
// surfaces of different formats draw nothing (kOtherFormat).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "surface/Bitmap.h"
#include "surface/DeviceSurface.h"

namespace zan {

// Right and bottom exclusive; all four 0 is the empty rectangle.
struct DirtyRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  friend bool operator==(const DirtyRect&, const DirtyRect&) = default;
};

class Surface : public Bitmap {
 public:
  Surface();
  ~Surface() override;

  // --- Creation ---------------------------------------------------------------------------
  // A blank surface in the display's surface format (SurfaceFormatCode).
  bool Create(int32_t width, int32_t height);
  // A blank surface in format `formatCode`: kOk; kAlreadyCreated when it already has pixels;
  // kUnavailable when the format is none of the display formats or the size cannot be had.
  // Format 0 makes the Bitmap part instead (kBitmapUnavailable when it cannot be made).
  CreatePixelsResult CreateInFormat(int32_t width, int32_t height, int32_t formatCode);
  // A picture from the bytes of its BMP file (as the game data hands them out), known by
  // `name`, in the display's surface format; false on failure (an invalid picture is logged
  // with its name).
  bool LoadBMP(std::span<const uint8_t> file, std::string_view name);
  bool LoadBMPInFormat(std::span<const uint8_t> file, std::string_view name, int32_t formatCode);
  // Takes over the size, pitch and pixels of a block of pixel memory owned elsewhere, in
  // the format of the display's back buffer.
  void Attach(DeviceSurface* surface, int32_t formatCode);
  // Frees everything; the surface may be created again.
  void Release();

  // --- Pixels -----------------------------------------------------------------------------
  // The address of the first row, or null.
  uint8_t* Bits();
  // The whole surface as plain memory (empty without pixels).
  PixelRows View() const;

  // kOk, kNoPixels (no pixel address), kClippedAway, kNoPixelMemory. A bitmap surface
  // answers kOk.
  DrawResult Fill(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b);
  DrawResult FillAll(uint8_t r, uint8_t g, uint8_t b);
  // Mode 0 copies, mode 2 blends by the source's alpha (InnerAlphaBlt), any other mode
  // copies all but the colour key. kOk; kOtherFormat, kNoPixels, kClippedAway;
  // kNoPixelMemory when either is without pixel memory. Between bitmaps, Bitmap::Blt's.
  DrawResult Blt(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source,
              int32_t sx, int32_t sy, int32_t mode);
  // Scaled copy (nearest neighbour; alpha ignored). kOk; kEmpty (a destination or source
  // size below 1), kOtherFormat, kClippedAway, kNoPixels. The dirty rectangle is not changed.
  DrawResult StretchBlt(int32_t dx, int32_t dy, int32_t dw, int32_t dh, Surface& source,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh);
  // Copies a 24-bit bitmap of the same size; false when sizes differ or either has no
  // pixels.
  bool CopyFromBitmap(const Bitmap& bitmap);
  // Saves the pixels as a 24-bit BMP; false without pixel memory or when the copy cannot be
  // made or written.
  bool Save(std::string_view path);

  // --- Blending ---------------------------------------------------------------------------
  // Per-pixel alpha of the source over an already clipped rectangle. kSameSurface when the
  // source is this surface, else kOk (nothing drawn without pixels or alpha, or between
  // formats).
  DrawResult InnerAlphaBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                        Surface& source, int32_t sx, int32_t sy);
  // The source's alpha times an opacity 0..255. kOk; kSameSurface, kOtherFormat, kNoAlpha
  // (the source's), kNoPixels, kClippedAway. There is no bitmap form: a bitmap surface logs,
  // draws nothing and answers kOk.
  DrawResult BitBltAlpha(int32_t dx, int32_t dy, int32_t width, int32_t height,
                      Surface& source, int32_t sx, int32_t sy, uint8_t opacity);
  // The rectangle (x, y, w, h) of `first` faded toward (x2, y2) of `second` by level, drawn
  // at (x, y): level 0 draws nothing, 255 copies the second rectangle.
  void CrossFade(Surface& first, int32_t x, int32_t y, int32_t width, int32_t height,
                 Surface& second, int32_t x2, int32_t y2, uint8_t level);
  // first toward second by the mask, over the first surface (limited to what all of them
  // cover). kOk; kOtherFormat, or kNoPixels when a pixel address or the mask is missing.
  DrawResult MaskBlend(Surface& first, Surface& second, const AlphaPlane& mask);
  // The whole surface toward a colour by amount 0..255: kOk, kNoPixels.
  DrawResult ColorBlend(uint8_t amount, uint8_t r, uint8_t g, uint8_t b);
  // The same over a rectangle: kOk, kNoPixels, kClippedAway.
  DrawResult FillBlend(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t amount, uint8_t r,
                    uint8_t g, uint8_t b);
  // Lightening copy, the colour key skipped: kOk, kNoPixels (either), kOtherFormat,
  // kClippedAway.
  DrawResult ScreenBlt(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source,
                    int32_t sx, int32_t sy);
  // Copy with the key skipped and pure magenta replaced by a colour: kOk, kOtherFormat,
  // kNoPixels, kClippedAway; kNoPixelMemory when either is without pixel memory.
  DrawResult KeyReplaceBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                        Surface& source, int32_t sx, int32_t sy, uint8_t r, uint8_t g,
                        uint8_t b);
  void Invert();
  // Grey (device formats; a bitmap surface stays as it is).
  void Mono();
  // Random greys over a rectangle (device formats only; a bitmap surface answers kOk): kOk,
  // kNoPixels.
  DrawResult Noise(int32_t x, int32_t y, int32_t width, int32_t height);

  // --- Scaled copies (bilinear filtering, ZoomPixels.h) ----------------------------------
  // The whole source at scale / 1024 of its size (top-left corner at x, y), blended by its
  // per-pixel alpha; the destination's alpha plane rises by the alpha drawn. kOk; kEmpty
  // (a scaled size of 0), kSameSurface, kOtherFormat, kNoPixels, kNoAlpha (either plane),
  // kClippedAway.
  DrawResult ZoomAlphaBlt(int32_t x, int32_t y, Surface& source, int64_t scale);
  // The source rectangle (cut to the source) at scale / 1024, blended by its alpha times an
  // opacity 1..255; the destination's alpha plane stays. kOk, also with nothing to do (bitmap
  // mode, an opacity outside 1..255, no destination pixels); kSameSurface, kOtherFormat,
  // kEmpty (a source rectangle or scaled size holding no pixel), kNoPixels and kNoAlpha (the
  // source's), kClippedAway.
  DrawResult ZoomBlendBlt(int32_t x, int32_t y, Surface& source, int32_t sx, int32_t sy,
                       int32_t width, int32_t height, int64_t scale, int32_t opacity);
  // The plane's rectangle at (px, py) drawn at (x, y) as grey pixels (the debug viewers):
  // kOk, or kNoPixels without a pixel address. A bitmap surface draws nothing (kOk).
  DrawResult ShowPlane(int32_t x, int32_t y, int32_t width, int32_t height, const AlphaPlane& plane,
                    int32_t px, int32_t py);

  // --- Dirty rectangle --------------------------------------------------------------------
  void ClearDirty() { dirty_ = {}; }
  void AddDirty(int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool IsDirty() const { return !dirty_.Empty(); }
  const DirtyRect& GetDirty() const { return dirty_; }

  // --- State ------------------------------------------------------------------------------
  int32_t Width() const;
  int32_t Height() const;
  int32_t Pitch() const;
  int32_t FormatCode() const { return formatCode_; }
  bool IsDeviceMode() const { return formatCode_ != kFormatBitmap; }
  DeviceSurface* Device() const { return owned_ ? owned_.get() : attached_; }
  // The name the surface was loaded by: the file name string in device mode, the bitmap's
  // file name in bitmap mode.
  const std::string& GetFileName() const;

 private:
  // Takes the pixel memory's description (height less the spare rows) and caches its
  // pixel address.
  void TakeDescription(DeviceSurface* surface);
  // The pixel memory for a read picture, its pixels and alpha; false on failure.
  bool LoadPicture(const Bitmap& picture, std::string_view name, int32_t formatCode);
  void AddDirtyRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    AddDirty(x, y, x + width, y + height);
  }

  struct Description {
    int32_t width = 0;
    int32_t height = 0;  // without the spare rows
    int32_t pitch = 0;
    uint8_t* bits = nullptr;
  };

  std::unique_ptr<DeviceSurface> owned_;
  DeviceSurface* attached_ = nullptr;
  std::string fileName_;
  uint8_t* cachedBits_ = nullptr;
  Description desc_;
  int32_t formatCode_ = kFormatBitmap;
  DirtyRect dirty_;
};

}  // namespace zan
