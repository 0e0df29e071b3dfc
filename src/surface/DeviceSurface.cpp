#include "surface/DeviceSurface.h"

#include <new>

namespace zan {

std::unique_ptr<DeviceSurface> DeviceSurface::Make(int32_t width, int32_t rows, int32_t bytesPerPixel) {
  if (width <= 0 || rows <= 0 || bytesPerPixel <= 0 || width > 32767 || rows > 32767) return nullptr;
  const int32_t pitch = (width * bytesPerPixel + 3) & ~3;
  std::unique_ptr<uint8_t[]> memory(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * rows]());
  if (!memory) return nullptr;
  return std::make_unique<DeviceSurface>(std::move(memory), width, rows, pitch);
}

DeviceSurface::DeviceSurface(std::unique_ptr<uint8_t[]> memory, int32_t width, int32_t rows,
                             int32_t pitch)
    : memory_(std::move(memory)), width_(width), rows_(rows), pitch_(pitch) {}

}  // namespace zan
