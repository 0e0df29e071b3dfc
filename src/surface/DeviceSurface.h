#pragma once
// DeviceSurface: the pixel memory of a surface in a display format: rows of pixels, the
// pitch a multiple of 4 bytes. It is plain memory that nothing takes away.

#include <cstdint>
#include <memory>

#include "pixels/Pixels.h"

namespace zan {

class DeviceSurface {
 public:
  // A zeroed block of width x rows pixels of `bytesPerPixel` bytes; null for sizes outside
  // 1..32767 or when the memory cannot be had.
  static std::unique_ptr<DeviceSurface> Make(int32_t width, int32_t rows, int32_t bytesPerPixel);

  DeviceSurface(std::unique_ptr<uint8_t[]> memory, int32_t width, int32_t rows, int32_t pitch);

  int32_t Width() const { return width_; }
  int32_t Rows() const { return rows_; }
  int32_t Pitch() const { return pitch_; }
  // All rows, spare ones included.
  PixelRows Memory() const { return PixelRows{memory_.get(), pitch_, width_, rows_}; }

 private:
  std::unique_ptr<uint8_t[]> memory_;
  int32_t width_;
  int32_t rows_;
  int32_t pitch_;
};

}  // namespace zan
