#pragma once
// Bitmap: a 24-bit bitmap (rows top-down, bytes B, G, R, each row padded to a multiple of 4
// bytes, two spare rows beyond the height) with an alpha plane. It is the BMP reader and
// writer of the game's pictures, and the pixels of a surface when the display has no usable
// pixel format (format code 0).
//
// Accepted files: BITMAPINFOHEADER (or a later, larger header), bottom-up rows, 24 bits
// (bfReserved1 non-zero: an alpha plane of width x height bytes follows the pixel rows,
// bottom row first) or 32 bits (B, G, R, A), either uncompressed or with bitfields whose
// channel masks name those very bytes (a 32-bit file whose masks leave the fourth byte
// unused has no alpha). A file that does not hold what its header announces is refused with
// a log line, never read past its end.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "surface/AlphaPlane.h"
#include "surface/SurfaceResults.h"
#include "pixels/Clip.h"
#include "pixels/PixelFormat.h"
#include "pixels/Pixels.h"
#include "platform/EventReceiver.h"

namespace zan {

class Surface;

// What reading a picture answers.
enum class ReadResult {
  kOk,
  kFailed,         // unreadable, already created, no memory
  kInvalidFormat,  // not a picture this reader takes
};

class Bitmap : public EventReceiver {
 public:
  Bitmap();
  ~Bitmap() override;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // A blank (black, transparent) bitmap. Only 24 bits a pixel is offered. True, at once when
  // already created; false when the bits are not 24, the size not positive or the memory
  // cannot be had.
  bool Create(int32_t width, int32_t height, int32_t planes, int32_t bitsPerPixel);
  // Reads a picture from the bytes of its BMP file (as the game data hands them out) and
  // takes `name` as its file name (an invalid picture is logged with its name).
  ReadResult ReadImage(std::span<const uint8_t> file, std::string_view name);
  // Reads the image of a whole BMP file.
  virtual ReadResult CreateFromBMP(std::span<const uint8_t> file);
  // Writes a 24-bit bottom-up BMP of the pixels (the alpha plane is not written) to `path`,
  // a path of the file system (a relative one from the current folder); false when not
  // created or the file cannot be written.
  bool SaveBMP(std::string_view path) const;
  virtual void Destroy();

  // Fills the clipped rectangle with a colour: kOk, or kNoPixels when not created.
  DrawResult Fill(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b);
  // Copies from another bitmap: mode 0 rows, mode 2 per-pixel alpha (the source's plane),
  // any other mode every pixel but the colour key. A copy onto itself does nothing (kOk).
  // kNoPixels when either is not created, kClippedAway when the clip leaves nothing.
  DrawResult Blt(int32_t dx, int32_t dy, int32_t width, int32_t height, const Bitmap& source, int32_t sx,
              int32_t sy, int32_t mode);
  // Copies a surface of the same size, converting its pixels; false when sizes differ or
  // either has no pixels.
  bool CopyFromSurface(const Surface& surface);

  bool IsCreated() const { return created_ != 0; }
  int32_t BitmapWidth() const { return width_; }
  int32_t BitmapHeight() const { return height_; }
  int32_t BitmapPitch() const { return pitch_; }
  int32_t ImageSize() const { return imageSize_; }
  int32_t HasAlpha() const { return hasAlpha_; }
  void SetHasAlpha(int32_t v) { hasAlpha_ = v; }
  const std::string& BitmapFileName() const { return fileName_; }
  AlphaPlane& Alpha() { return alpha_; }
  const AlphaPlane& Alpha() const { return alpha_; }
  uint8_t* BitmapBits() const { return bits_.get(); }
  uint8_t* BitmapRow(int32_t y) const { return rows_[static_cast<size_t>(y)]; }
  // The pixels as plain memory (empty when not created).
  PixelRows Pixels() const { return PixelRows{bits_.get(), pitch_, width_, height_}; }
  // The 24-bit row length of a width: 3 x width rounded up to a multiple of 4.
  static int64_t RowLength(int64_t width) { return (3 * width + 3) & ~int64_t{3}; }

 protected:
  // Allocates the rows (height + 2 of them, zeroed) and the row table, and takes the size.
  bool AllocatePixels(int32_t width, int32_t height);
  void SetBitmapFileName(std::string name) { fileName_ = std::move(name); }

 private:
  std::unique_ptr<uint8_t[]> bits_;
  std::unique_ptr<uint8_t*[]> rows_;
  int32_t hasAlpha_ = 0;
  AlphaPlane alpha_;
  int32_t pitch_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::string fileName_ = "none";
  int32_t imageSize_ = 0;
  int32_t created_ = 0;
};

}  // namespace zan
