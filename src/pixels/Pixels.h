#pragma once
// Plain pixel memory: where every pixel operation does its work. A surface, a bitmap and the
// presenter's frame all hand out these views; nothing here knows about the platform.

#include <cstddef>
#include <cstdint>

namespace zan {

struct PixelRows {
  uint8_t* bits = nullptr;
  int32_t pitch = 0;  // bytes from one row to the next
  int32_t width = 0;
  int32_t height = 0;

  uint8_t* Row(int32_t y) const { return bits + static_cast<ptrdiff_t>(y) * pitch; }
  explicit operator bool() const { return bits != nullptr; }
};

// One byte per pixel (an alpha plane or a mask), rows `pitch` bytes apart.
struct AlphaRows {
  const uint8_t* data = nullptr;
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;

  const uint8_t* Row(int32_t y) const { return data + static_cast<ptrdiff_t>(y) * pitch; }
  explicit operator bool() const { return data != nullptr; }
};

}  // namespace zan
