#include "surface/DeviceSurface.h"

#include <new>

namespace zan {

const char* DeviceErrorName(int32_t code) {
  switch (code) {
    case DDERR_GENERIC: return "DDERR_GENERIC";
    case DDERR_UNSUPPORTED: return "DDERR_UNSUPPORTED";
    case DDERR_OUTOFMEMORY: return "DDERR_OUTOFMEMORY";
    case DDERR_INVALIDPARAMS: return "DDERR_INVALIDPARAMS";
    case DDERR_INVALIDOBJECT: return "DDERR_INVALIDOBJECT";
    case DDERR_NOEXCLUSIVEMODE: return "DDERR_NOEXCLUSIVEMODE";
    case DDERR_OUTOFVIDEOMEMORY: return "DDERR_OUTOFVIDEOMEMORY";
    case DDERR_SURFACELOST: return "DDERR_SURFACELOST";
    case DDERR_WRONGMODE: return "DDERR_WRONGMODE";
    case DDERR_IMPLICITLYCREATED: return "DDERR_IMPLICITLYCREATED";
    default: return nullptr;
  }
}

DeviceSurface::DeviceSurface(std::unique_ptr<uint8_t[]> memory, int32_t width, int32_t rows,
                             int32_t pitch, uint32_t caps)
    : memory_(std::move(memory)), width_(width), rows_(rows), pitch_(pitch), caps_(caps) {}

int32_t DeviceSurface::Restore() {
  if (!lost_) return DD_OK;
  if (restoreResult_ == DD_OK) lost_ = false;
  return restoreResult_;
}

void DeviceSurface::Lose(int32_t restoreResult) {
  lost_ = true;
  restoreResult_ = restoreResult;
}

int32_t DisplayDevice::CreateSurface(int32_t width, int32_t rows, int32_t bytesPerPixel,
                                     uint32_t caps, std::unique_ptr<DeviceSurface>* out) const {
  if (width <= 0 || rows <= 0 || bytesPerPixel <= 0 || width > 32767 || rows > 32767)
    return DDERR_INVALIDPARAMS;
  const int32_t pitch = (width * bytesPerPixel + 3) & ~3;
  std::unique_ptr<uint8_t[]> memory(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * rows]());
  if (!memory) return (caps & DDSCAPS_VIDEOMEMORY) ? DDERR_OUTOFVIDEOMEMORY : DDERR_OUTOFMEMORY;
  *out = std::make_unique<DeviceSurface>(std::move(memory), width, rows, pitch, caps);
  return DD_OK;
}

}  // namespace zan
