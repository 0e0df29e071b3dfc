#pragma once
// The display device and its surfaces. On this platform a device surface is plain memory
// with the layout a display driver would hand out: rows of pixels in a display format, the
// pitch a multiple of 4 bytes. Results are the device's result codes (0 = success).
//
// Memory in software is never taken away by the platform, so a surface is lost only when
// Lose is called (the recovery paths of the display run on it in tests).

#include <cstdint>
#include <memory>

#include "pixels/Pixels.h"

namespace zan {

// Result codes of the device.
constexpr int32_t DD_OK = 0;
constexpr int32_t DDERR_GENERIC = static_cast<int32_t>(0x80004005);
constexpr int32_t DDERR_UNSUPPORTED = static_cast<int32_t>(0x80004001);
constexpr int32_t DDERR_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);
constexpr int32_t DDERR_INVALIDPARAMS = static_cast<int32_t>(0x80070057);
constexpr int32_t DDERR_INVALIDOBJECT = static_cast<int32_t>(0x88760082);
constexpr int32_t DDERR_NOEXCLUSIVEMODE = static_cast<int32_t>(0x887600E1);
constexpr int32_t DDERR_OUTOFVIDEOMEMORY = static_cast<int32_t>(0x8876017C);
constexpr int32_t DDERR_SURFACELOST = static_cast<int32_t>(0x887601C2);
constexpr int32_t DDERR_WRONGMODE = static_cast<int32_t>(0x8876024B);
constexpr int32_t DDERR_IMPLICITLYCREATED = static_cast<int32_t>(0x8876024E);

// Memory kinds (surface caps).
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

// The name of a result code ("DDERR_SURFACELOST"), null for codes without one.
const char* DeviceErrorName(int32_t code);

class DeviceSurface {
 public:
  DeviceSurface(std::unique_ptr<uint8_t[]> memory, int32_t width, int32_t rows, int32_t pitch,
                uint32_t caps);

  int32_t Width() const { return width_; }
  int32_t Rows() const { return rows_; }
  int32_t Pitch() const { return pitch_; }
  uint32_t Caps() const { return caps_; }
  // All rows, spare ones included.
  PixelRows Memory() const { return PixelRows{memory_.get(), pitch_, width_, rows_}; }

  // The pixel address, or null while the surface is lost.
  uint8_t* Lock() const { return lost_ ? nullptr : memory_.get(); }
  void Unlock() const {}
  // Brings a lost surface back: 0, or the error the loss left.
  int32_t Restore();
  void Lose(int32_t restoreResult = DD_OK);
  bool IsLost() const { return lost_; }

 private:
  std::unique_ptr<uint8_t[]> memory_;
  int32_t width_;
  int32_t rows_;
  int32_t pitch_;
  uint32_t caps_;
  bool lost_ = false;
  int32_t restoreResult_ = DD_OK;
};

// The display device: makes device surfaces.
class DisplayDevice {
 public:
  // A surface of width x rows pixels of `bytesPerPixel` bytes, zeroed. DDERR_INVALIDPARAMS
  // for sizes that are not positive, DDERR_OUTOFVIDEOMEMORY / DDERR_OUTOFMEMORY (by the
  // memory kind asked for) when the memory cannot be had.
  int32_t CreateSurface(int32_t width, int32_t rows, int32_t bytesPerPixel, uint32_t caps,
                        std::unique_ptr<DeviceSurface>* out) const;
};

}  // namespace zan
