#pragma once
// AlphaPlane: one byte per pixel. As a surface's alpha channel a byte is the pixel's
// opacity (0 transparent, 255 opaque); the same class holds the stand-alone mask pictures
// of transitions. Rows follow each other without gaps (the row length is the width), and
// two spare rows beyond the height let wide readers take whole groups at the last row.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "pixels/Pixels.h"
#include "surface/SurfaceResults.h"

namespace zan {


class AlphaPlane {
 public:
  AlphaPlane() = default;
  virtual ~AlphaPlane() = default;
  AlphaPlane(const AlphaPlane&) = delete;
  AlphaPlane& operator=(const AlphaPlane&) = delete;

  // Allocates width x height bytes (plus the spare rows), all 0: kOk, kAlreadyCreated, or
  // kUnavailable when the size is not positive or the memory cannot be had.
  CreatePixelsResult Create(int32_t width, int32_t height);
  // Creates the plane from bottom-up rows of `rowLength` bytes, reversing their order.
  // Create's results, or kTooShort when `rows` holds fewer than rowLength x rowCount bytes.
  CreatePixelsResult CreateFromRows(int32_t rowLength, int32_t rowCount, std::span<const uint8_t> rows);
  // Copies the bytes: kOk, kNoPixels when not allocated, kSizeMismatch when the length is
  // not width x height.
  DrawResult CopyRaw(std::span<const uint8_t> data);
  // Created anew at the size of a 24-bit picture; each byte takes the first (blue) byte of
  // its pixel. The result is Create's.
  CreatePixelsResult FromPixels24(const PixelRows& pixels);
  // Writes `value` into every byte.
  void Fill(uint8_t value);
  // Clipped: kOk or kClippedAway.
  DrawResult FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t value);
  // Mode 0 copies, mode 1 adds with saturation at 255: kOk; kUnknownMode for another mode,
  // kSameSurface when the source is this plane, kNoPixels when the source is not allocated,
  // kClippedAway.
  DrawResult Blt(int32_t dx, int32_t dy, int32_t width, int32_t height, const AlphaPlane& source,
              int32_t sx, int32_t sy, int32_t mode);
  // A copy in which a source byte of exactly 127 is written as `value`; results as Blt.
  DrawResult BltReplace(int32_t dx, int32_t dy, int32_t width, int32_t height,
                     const AlphaPlane& source, int32_t sx, int32_t sy, uint8_t value);
  // Writes the plane as a 24-bit grey BMP (each byte v as the pixel v, v, v) to a path as
  // Bitmap::SaveBMP takes it. False when the plane is empty or the file cannot be written.
  bool SaveBMP(std::string_view path) const;
  void Destroy();

  bool IsAllocated() const { return data_ != nullptr; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  uint8_t* Row(int32_t y) { return rows_[static_cast<size_t>(y)]; }
  const uint8_t* Row(int32_t y) const { return rows_[static_cast<size_t>(y)]; }
  uint8_t At(int32_t x, int32_t y) const { return rows_[static_cast<size_t>(y)][x]; }
  AlphaRows View() const { return AlphaRows{data_, width_, width_, height_}; }

 private:
  // Shared checks and clipping of Blt and BltReplace; calls op(destRow, sourceRow, width).
  template <class Op>
  DrawResult CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, const AlphaPlane& source,
                   int32_t sx, int32_t sy, Op op);

  uint8_t* data_ = nullptr;  // 8-byte aligned, inside raw_
  std::vector<uint8_t*> rows_;
  std::unique_ptr<uint8_t[]> raw_;
  int32_t height_ = 0;
  int32_t width_ = 0;
};

}  // namespace zan
