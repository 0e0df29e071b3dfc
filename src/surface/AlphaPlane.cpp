#include "surface/AlphaPlane.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "pixels/Clip.h"
#include "surface/Bitmap.h"

namespace zan {

CreatePixelsResult AlphaPlane::Create(int32_t width, int32_t height) {
  if (IsAllocated()) return CreatePixelsResult::kAlreadyCreated;
  if (width <= 0 || height <= 0) return CreatePixelsResult::kUnavailable;
  // width x (height + 2) + 8 bytes: the data starts at the next multiple of 8 past the
  // block's start, and the two spare rows stay inside the block.
  const size_t size = static_cast<size_t>(width) * (static_cast<size_t>(height) + 2) + 8;
  raw_.reset(new (std::nothrow) uint8_t[size]);
  if (!raw_) return CreatePixelsResult::kUnavailable;
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw_.get());
  data_ = raw_.get() + ((start & ~uintptr_t{7}) + 8 - start);
  std::memset(raw_.get(), 0, size);
  width_ = width;
  height_ = height;
  rows_.resize(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) rows_[static_cast<size_t>(y)] = data_ + static_cast<size_t>(y) * width;
  return CreatePixelsResult::kOk;
}

CreatePixelsResult AlphaPlane::CreateFromRows(int32_t rowLength, int32_t rowCount,
                                         std::span<const uint8_t> rows) {
  if (IsAllocated()) return CreatePixelsResult::kAlreadyCreated;
  if (rowLength > 0 && rowCount > 0 &&
      rows.size() < static_cast<size_t>(rowLength) * static_cast<size_t>(rowCount))
    return CreatePixelsResult::kTooShort;
  if (CreatePixelsResult r = Create(rowLength, rowCount); r != CreatePixelsResult::kOk) return r;
  for (int32_t y = 0; y < rowCount; ++y)
    std::memcpy(Row(y), rows.data() + static_cast<size_t>(rowCount - 1 - y) * rowLength,
                static_cast<size_t>(rowLength));
  return CreatePixelsResult::kOk;
}

DrawResult AlphaPlane::CopyRaw(std::span<const uint8_t> data) {
  if (!IsAllocated()) return DrawResult::kNoPixels;
  if (data.size() != static_cast<size_t>(width_) * static_cast<size_t>(height_))
    return DrawResult::kSizeMismatch;
  std::memcpy(data_, data.data(), data.size());
  return DrawResult::kOk;
}

CreatePixelsResult AlphaPlane::FromPixels24(const PixelRows& pixels) {
  Destroy();
  if (CreatePixelsResult r = Create(pixels.width, pixels.height); r != CreatePixelsResult::kOk) return r;
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* p = pixels.Row(y);
    uint8_t* d = Row(y);
    for (int32_t x = 0; x < width_; ++x) d[x] = p[3 * x];
  }
  return CreatePixelsResult::kOk;
}

void AlphaPlane::Fill(uint8_t value) {
  if (IsAllocated()) std::memset(data_, value, static_cast<size_t>(width_) * height_);
}

DrawResult AlphaPlane::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t value) {
  auto c = ClipFill(x, y, width, height, width_, height_);
  if (!c) return DrawResult::kClippedAway;
  for (int32_t i = 0; i < c->height; ++i)
    std::memset(Row(c->dy + i) + c->dx, value, static_cast<size_t>(c->width));
  return DrawResult::kOk;
}

template <class Op>
DrawResult AlphaPlane::CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                 const AlphaPlane& source, int32_t sx, int32_t sy, Op op) {
  if (&source == this) return DrawResult::kSameSurface;
  if (!source.IsAllocated()) return DrawResult::kNoPixels;
  auto c = ClipCopy(dx, dy, width, height, width_, height_, sx, sy, source.width_, source.height_);
  if (!c) return DrawResult::kClippedAway;
  for (int32_t i = 0; i < c->height; ++i)
    op(Row(c->dy + i) + c->dx, source.Row(c->sy + i) + c->sx, c->width);
  return DrawResult::kOk;
}

DrawResult AlphaPlane::Blt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                           const AlphaPlane& source, int32_t sx, int32_t sy, int32_t mode) {
  if (mode != 0 && mode != 1) return DrawResult::kUnknownMode;
  return CopyFrom(dx, dy, width, height, source, sx, sy,
                  [mode](uint8_t* d, const uint8_t* s, int32_t n) {
                    if (mode == 0) {
                      std::memcpy(d, s, static_cast<size_t>(n));
                      return;
                    }
                    for (int32_t i = 0; i < n; ++i)
                      d[i] = static_cast<uint8_t>(std::min(255, d[i] + s[i]));
                  });
}

DrawResult AlphaPlane::BltReplace(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                  const AlphaPlane& source, int32_t sx, int32_t sy, uint8_t value) {
  return CopyFrom(dx, dy, width, height, source, sx, sy,
                  [value](uint8_t* d, const uint8_t* s, int32_t n) {
                    for (int32_t i = 0; i < n; ++i) d[i] = s[i] == 127 ? value : s[i];
                  });
}

bool AlphaPlane::SaveBMP(std::string_view path) const {
  if (!IsAllocated()) return false;
  Bitmap grey;
  if (!grey.Create(width_, height_, 1, 24)) return false;
  const PixelRows pixels = grey.Pixels();
  for (int32_t y = 0; y < height_; ++y) {
    uint8_t* p = pixels.Row(y);
    for (int32_t x = 0; x < width_; ++x) std::memset(p + 3 * x, At(x, y), 3);
  }
  return grey.SaveBMP(path);
}

void AlphaPlane::Destroy() {
  raw_.reset();
  data_ = nullptr;
  rows_.clear();
  width_ = 0;
  height_ = 0;
}

}  // namespace zan
