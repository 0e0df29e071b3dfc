#include "surface/SurfaceFormat.h"

#include <atomic>

#include "pixels/PixelFormat.h"

namespace zan {
namespace {
std::atomic<int32_t> g_surfaceFormat{kFormatBitmap};
}

int32_t PixelFormatCodeOf(const DisplayPixelFormat& f) {
  const bool rgb8 = f.redMask == 0xFF0000 && f.greenMask == 0x00FF00 && f.blueMask == 0x0000FF;
  if (f.bitsPerPixel == 32 && rgb8) return kFormat8888;
  if (f.bitsPerPixel == 24 && rgb8) return kFormat888;
  if (f.bitsPerPixel == 16 && f.redMask == 0xF800 && f.greenMask == 0x07E0 && f.blueMask == 0x001F)
    return kFormat565;
  if (f.bitsPerPixel == 16 && f.redMask == 0x7C00 && f.greenMask == 0x03E0 && f.blueMask == 0x001F)
    return kFormat555;
  return kFormatBitmap;
}

DisplayPixelFormat DisplayFormatOf(int32_t code) {
  switch (code) {
    case kFormat888: return {24, 0xFF0000, 0x00FF00, 0x0000FF};
    case kFormat565: return {16, 0xF800, 0x07E0, 0x001F};
    case kFormat555: return {16, 0x7C00, 0x03E0, 0x001F};
    default: return {32, 0xFF0000, 0x00FF00, 0x0000FF};
  }
}

int32_t SurfaceFormatCode() { return g_surfaceFormat.load(); }
void SetSurfaceFormatCode(int32_t code) { g_surfaceFormat.store(code); }

}  // namespace zan
