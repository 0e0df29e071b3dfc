#pragma once
// Presenter: puts the game's frame on the screen. A frame is a block of pixels in the
// display's pixel format (bits per pixel and channel masks, as a display surface reports
// them); each present shows one changed rectangle of it. Full screen is the desktop at its
// own resolution with the picture scaled to fit, aspect kept (black bars), and pointer
// positions stay in the frame's pixels.

#include <cstdint>

namespace zan {

struct DisplayPixelFormat {
  uint32_t bitsPerPixel = 32;
  uint32_t redMask = 0xFF0000;
  uint32_t greenMask = 0x00FF00;
  uint32_t blueMask = 0x0000FF;
  friend bool operator==(const DisplayPixelFormat&, const DisplayPixelFormat&) = default;
};

// A frame in memory, rows `pitch` bytes apart.
struct FrameView {
  const uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  DisplayPixelFormat format;
};

// Right and bottom exclusive.
struct FrameRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

class Presenter {
 public:
  virtual ~Presenter() = default;

  // The pixel format the display runs in; the game's surfaces take it.
  virtual DisplayPixelFormat DisplayFormat() const = 0;
  // Chosen before the display opens (the --pixel-format option).
  virtual void SetDisplayFormat(const DisplayPixelFormat& format) = 0;

  // Prepares to show frames of width x height in the window. False when it cannot (logged).
  virtual bool Open(int32_t width, int32_t height) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Shows `rect` of the frame (clipped to it) in the frame's own format; an empty rectangle
  // shows the screen as it was.
  virtual void Present(const FrameView& frame, const FrameRect& rect) = 0;

  // Milliseconds between two refreshes of the screen: frames that come faster than this
  // need not all be shown. 0: every frame is shown (a screen in memory, read by tests).
  virtual uint32_t RefreshInterval() const { return 0; }

  // Switches between the window and full screen; false when the switch failed.
  virtual bool SetFullScreen(bool on) = 0;
  virtual bool IsFullScreen() const = 0;
};

}  // namespace zan
