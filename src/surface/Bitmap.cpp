#include "surface/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "pixels/Blend.h"
#include "surface/Surface.h"
#include "pixels/PixelOps.h"
#include "platform/Files.h"

namespace zan {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// Larger pictures than this are no game picture (the screen is 800 x 600); refusing them
// keeps every size below in 32 bits.
constexpr int64_t kMaxSide = 32767;

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;       // channel masks: R, G, B
constexpr uint32_t kCompressionAlphaBitfields = 6;  // channel masks: R, G, B, A
// The masks of the rows this reader takes: one byte each of B, G, R (, A), in that order.
constexpr uint32_t kMaskRed = 0x00FF0000, kMaskGreen = 0x0000FF00, kMaskBlue = 0x000000FF,
                   kMaskAlpha = 0xFF000000;
// The first header that holds the R, G, B masks itself, and the first that also holds A
// (shorter headers are followed by the masks).
constexpr uint32_t kInfoHeaderWithMasks = 52;
constexpr uint32_t kInfoHeaderWithAlphaMask = 56;

// What the headers of an accepted file say.
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;          // 24 or 32
  size_t pixelOffset = 0;    // bfOffBits
  size_t fileRowLength = 0;  // bytes of one stored row
  bool alphaPlane = false;   // 24 bits with bfReserved1 set
  bool alphaByte = false;    // 32 bits whose fourth byte is the opacity
};

// The channel masks of a file with bitfields: true when they name the rows read anyway
// (bytes B, G, R and, for 32 bits, A or an unused fourth byte); `*alphaByte` tells which.
// False, with a log line, for other masks or masks missing from the file.
bool StandardMasks(std::span<const uint8_t> file, uint32_t infoSize, uint32_t compression,
                   uint16_t bits, bool* alphaByte) {
  const bool wantsAlpha = compression == kCompressionAlphaBitfields;
  size_t at = kFileHeaderSize + infoSize;
  int count = wantsAlpha ? 4 : 3;
  if (infoSize >= kInfoHeaderWithMasks) {
    at = kFileHeaderSize + kInfoHeaderSize;
    count = infoSize >= kInfoHeaderWithAlphaMask ? 4 : 3;
    if (wantsAlpha && count < 4) {
      ZAN_WARN("BMP refused: alpha bitfields without an alpha mask (info header of %u bytes)", infoSize);
      return false;
    }
  }
  if (at + 4 * size_t(count) > file.size()) {
    ZAN_WARN("BMP refused: the channel masks end past the %zu-byte file", file.size());
    return false;
  }
  uint32_t mask[4] = {};
  for (int i = 0; i < count; ++i) mask[i] = LoadU32(file.data() + at + 4 * size_t(i));
  const bool rgb = mask[0] == kMaskRed && mask[1] == kMaskGreen && mask[2] == kMaskBlue;
  const bool alphaOk = mask[3] == 0 || (bits == 32 && mask[3] == kMaskAlpha);
  if (!rgb || !alphaOk) {
    ZAN_WARN("BMP refused: %u bits with channel masks R %08X G %08X B %08X A %08X (read: R "
            "00FF0000 G 0000FF00 B 000000FF, A FF000000 or none)",
            bits, mask[0], mask[1], mask[2], mask[3]);
    return false;
  }
  *alphaByte = mask[3] == kMaskAlpha;
  return true;
}

// Reads and checks the headers. nullopt, with a log line saying why, when the file is
// refused (the caller names the file).
std::optional<BmpLayout> ParseHeaders(std::span<const uint8_t> file) {
  if (file.size() < kHeadersSize) {
    ZAN_WARN("BMP refused: %zu bytes, shorter than its headers", file.size());
    return std::nullopt;
  }
  ByteReader r(file);
  r.Seek(6);
  const uint16_t reserved1 = r.U16();
  r.Seek(10);
  const uint32_t offBits = r.U32();
  const uint32_t infoSize = r.U32();
  const int32_t width = r.I32();
  const int32_t height = r.I32();
  r.U16();  // planes
  const uint16_t bits = r.U16();
  const uint32_t compression = r.U32();

  if (bits != 24 && bits != 32) {
    ZAN_WARN("BMP refused: %u bits a pixel (24 or 32 are read)", bits);
    return std::nullopt;
  }
  if (infoSize < kInfoHeaderSize) {
    ZAN_WARN("BMP refused: info header of %u bytes (40 or more expected)", infoSize);
    return std::nullopt;
  }
  // Without bitfields a 32-bit pixel's fourth byte is its opacity.
  bool alphaByte = bits == 32;
  if (compression == kCompressionBitfields || compression == kCompressionAlphaBitfields) {
    if (!StandardMasks(file, infoSize, compression, bits, &alphaByte)) return std::nullopt;
  } else if (compression != kCompressionNone) {
    ZAN_WARN("BMP refused: compression %u (only uncompressed rows are read)", compression);
    return std::nullopt;
  }
  if (height < 0) {
    ZAN_WARN("BMP refused: top-down rows (height %d)", height);
    return std::nullopt;
  }
  if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    ZAN_WARN("BMP refused: size %d x %d", width, height);
    return std::nullopt;
  }
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.pixelOffset = offBits;
  layout.fileRowLength = static_cast<size_t>(bits == 24 ? Bitmap::RowLength(width) : 4 * int64_t{width});
  layout.alphaPlane = bits == 24 && reserved1 != 0;
  layout.alphaByte = alphaByte;
  const uint64_t pixelEnd = uint64_t{offBits} + uint64_t{layout.fileRowLength} * static_cast<uint64_t>(height);
  if (pixelEnd > file.size()) {
    ZAN_WARN("BMP refused: pixel rows end at byte %llu of a %zu-byte file",
            static_cast<unsigned long long>(pixelEnd), file.size());
    return std::nullopt;
  }
  if (layout.alphaPlane) {
    const uint64_t alphaEnd = pixelEnd + uint64_t(width) * static_cast<uint64_t>(height);
    if (alphaEnd > file.size()) {
      ZAN_WARN("BMP refused: alpha plane ends at byte %llu of a %zu-byte file",
              static_cast<unsigned long long>(alphaEnd), file.size());
      return std::nullopt;
    }
  }
  return layout;
}

}  // namespace

Bitmap::Bitmap() : EventReceiver("CDIB") {}
Bitmap::~Bitmap() = default;

bool Bitmap::AllocatePixels(int32_t width, int32_t height) {
  const int64_t pitch = RowLength(width);
  const size_t rows = static_cast<size_t>(height) + 2;
  bits_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * rows]());
  rows_.reset(new (std::nothrow) uint8_t*[static_cast<size_t>(height)]);
  if (!bits_ || !rows_) {
    bits_.reset();
    rows_.reset();
    return false;
  }
  for (int32_t y = 0; y < height; ++y) rows_[static_cast<size_t>(y)] = bits_.get() + y * pitch;
  width_ = width;
  height_ = height;
  pitch_ = static_cast<int32_t>(pitch);
  imageSize_ = 3 * width * height;
  return true;
}

bool Bitmap::Create(int32_t width, int32_t height, int32_t planes, int32_t bitsPerPixel) {
  if (IsCreated()) return true;
  if (bitsPerPixel != 24 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return false;
  if (!AllocatePixels(width, height) || alpha_.Create(width, height) != CreatePixelsResult::kOk) {
    Destroy();
    bits_.reset();
    rows_.reset();
    return false;
  }
  created_ = 1;
  return true;
}

ReadResult Bitmap::ReadImage(std::span<const uint8_t> file, std::string_view name) {
  if (IsCreated()) return ReadResult::kFailed;
  fileName_ = std::string(name);
  const ReadResult result = CreateFromBMP(file);
  if (result == ReadResult::kInvalidFormat) {
    static const std::string message = Sjis("CDIB::Readで無効なフォーマットのファイル ");
    Diagnostics().LogText(LogLevel::kWarning, message + fileName_);
  }
  return result;
}

ReadResult Bitmap::CreateFromBMP(std::span<const uint8_t> file) {
  if (IsCreated()) return ReadResult::kFailed;
  auto layout = ParseHeaders(file);
  if (!layout) return ReadResult::kInvalidFormat;
  const int32_t w = layout->width;
  const int32_t h = layout->height;
  if (!AllocatePixels(w, h)) return ReadResult::kFailed;
  const uint8_t* pixels = file.data() + layout->pixelOffset;
  CreatePixelsResult planeResult = CreatePixelsResult::kOk;
  if (layout->bits == 24) {
    for (int32_t i = 0; i < h; ++i)
      std::memcpy(BitmapRow(i), pixels + static_cast<size_t>(h - 1 - i) * layout->fileRowLength,
                  static_cast<size_t>(pitch_));
    if (layout->alphaPlane) {
      hasAlpha_ = 1;
      const size_t alphaOffset = layout->pixelOffset + layout->fileRowLength * static_cast<size_t>(h);
      planeResult = alpha_.CreateFromRows(w, h, file.subspan(alphaOffset));
    } else {
      planeResult = alpha_.Create(w, h);
    }
  } else {
    // A fourth byte that the masks leave unused is no opacity: the picture has no alpha, as
    // a 24-bit one without a plane.
    planeResult = alpha_.Create(w, h);
    hasAlpha_ = layout->alphaByte ? 1 : 0;
    if (planeResult == CreatePixelsResult::kOk) {
      for (int32_t i = 0; i < h; ++i) {
        const uint8_t* s = pixels + static_cast<size_t>(h - 1 - i) * layout->fileRowLength;
        uint8_t* d = BitmapRow(i);
        uint8_t* a = alpha_.Row(i);
        for (int32_t j = 0; j < w; ++j) {
          std::memcpy(d + 3 * j, s + 4 * j, 3);
          if (layout->alphaByte) a[j] = s[4 * j + 3];
        }
      }
    }
  }
  if (planeResult != CreatePixelsResult::kOk) {
    Destroy();
    bits_.reset();
    rows_.reset();
    return ReadResult::kFailed;
  }
  created_ = 1;
  return ReadResult::kOk;
}

bool Bitmap::SaveBMP(std::string_view path) const {
  if (!IsCreated()) return false;
  const size_t imageBytes = static_cast<size_t>(pitch_) * height_;
  std::vector<uint8_t> file(kHeadersSize + imageBytes, 0);
  uint8_t* p = file.data();
  StoreU16(p, 0x4D42);  // "BM"
  StoreU32(p + 2, static_cast<uint32_t>(file.size()));
  StoreU32(p + 10, kHeadersSize);
  StoreU32(p + 14, kInfoHeaderSize);
  StoreU32(p + 18, static_cast<uint32_t>(width_));
  StoreU32(p + 22, static_cast<uint32_t>(height_));
  StoreU16(p + 26, 1);
  StoreU16(p + 28, 24);
  StoreU32(p + 34, static_cast<uint32_t>(imageSize_));
  for (int32_t y = 0; y < height_; ++y)
    std::memcpy(p + kHeadersSize + static_cast<size_t>(height_ - 1 - y) * pitch_, BitmapRow(y),
                static_cast<size_t>(pitch_));
  if (Status s = WriteFileAtomic(std::string(path), file); !s) {
    ZAN_WARN("CDIB::SaveBMP: %s", s.error().message.c_str());
    return false;
  }
  return true;
}

void Bitmap::Destroy() {
  alpha_.Destroy();
  hasAlpha_ = 0;
  if (created_ == 0) return;
  bits_.reset();
  rows_.reset();
  width_ = 0;
  height_ = 0;
  pitch_ = 0;
  imageSize_ = 0;
  created_ = 0;
  fileName_.clear();
}

DrawResult Bitmap::Fill(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t r, uint8_t g,
                        uint8_t b) {
  if (!IsCreated()) return DrawResult::kNoPixels;
  if (auto c = ClipFill(x, y, width, height, width_, height_)) FillPixels(kFormatBitmap, Pixels(), *c, {r, g, b});
  return DrawResult::kOk;
}

DrawResult Bitmap::Blt(int32_t dx, int32_t dy, int32_t width, int32_t height, const Bitmap& source,
                       int32_t sx, int32_t sy, int32_t mode) {
  if (&source == this) return DrawResult::kOk;
  if (!IsCreated() || !source.IsCreated()) return DrawResult::kNoPixels;
  auto c = ClipCopy(dx, dy, width, height, width_, height_, sx, sy, source.width_, source.height_);
  if (!c) return DrawResult::kClippedAway;
  if (mode == 2) {
    AlphaBlendPixels(kFormatBitmap, Pixels(), source.Pixels(), source.alpha_.View(), *c);
  } else if (mode == 0) {
    CopyPixels(kFormatBitmap, Pixels(), source.Pixels(), *c);
  } else {
    KeyedCopyPixels(kFormatBitmap, Pixels(), source.Pixels(), *c);
  }
  return DrawResult::kOk;
}

bool Bitmap::CopyFromSurface(const Surface& surface) {
  if (!IsCreated() || surface.Width() != width_ || surface.Height() != height_) return false;
  const PixelRows from = surface.View();
  if (!from) return false;
  ConvertPixels(kFormatBitmap, Pixels(), surface.FormatCode(), from);
  return true;
}

}  // namespace zan
