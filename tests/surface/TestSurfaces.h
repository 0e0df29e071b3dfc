#pragma once
// Surfaces for tests: made on a device of their own in any format, with pixels read and
// written as raw words (the format's layout) or as colours.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "surface/SurfaceRegistry.h"
#include "surface/Surface.h"
#include "pixels/PixelFormat.h"
#include "pixels/PixelOps.h"

namespace zan::test {

inline const DisplayDevice& TestDevice() {
  static DisplayDevice device;
  return device;
}

// A display that is always open in one format and shows nothing.
struct FormatPresenter : Presenter {
  explicit FormatPresenter(int32_t code) : format(DisplayFormatOf(code)) {}
  DisplayPixelFormat DisplayFormat() const override { return format; }
  void SetDisplayFormat(const DisplayPixelFormat& f) override { format = f; }
  bool Open(int32_t, int32_t) override { return true; }
  void Close() override {}
  bool IsOpen() const override { return true; }
  void Present(const FrameView&, const FrameRect&) override {}
  bool SetFullScreen(bool) override { return true; }
  bool IsFullScreen() const override { return false; }
  DisplayPixelFormat format;
};

inline std::unique_ptr<Surface> MakeSurface(int32_t code, int32_t width, int32_t height) {
  auto s = std::make_unique<Surface>();
  EXPECT_EQ(s->CreateOnDevice(&TestDevice(), width, height, DDSCAPS_SYSTEMMEMORY, code), 0);
  return s;
}

// The raw pixel (little-endian, BytesPerPixel bytes).
inline uint32_t Raw(Surface& s, int32_t x, int32_t y) {
  const int n = BytesPerPixel(s.FormatCode());
  uint32_t v = 0;
  std::memcpy(&v, s.View().Row(y) + x * n, static_cast<size_t>(n));
  return v;
}

inline void SetRaw(Surface& s, int32_t x, int32_t y, uint32_t v) {
  const int n = BytesPerPixel(s.FormatCode());
  std::memcpy(s.View().Row(y) + x * n, &v, static_cast<size_t>(n));
}

inline void FillRaw(Surface& s, uint32_t v) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) SetRaw(s, x, y, v);
}

inline Rgb Colour(Surface& s, int32_t x, int32_t y) {
  return PixelColour(s.FormatCode(), s.View(), x, y);
}

}  // namespace zan::test
