#pragma once
// Display: the display. It owns the wrapper of the screen (the primary surface) and the back
// buffer every task composes the frame into, and as the last task of every frame (order key
// 0xFFFFFFFE) it presents the back buffer's dirty rectangle and paces the frame. It switches
// between the window and full screen.

#include <cstdint>
#include <functional>

#include "core/Task.h"
#include "surface/Surface.h"
#include "display/DisplayMode.h"
#include "display/FrameTimer.h"

namespace zan {

class GameWindow;
class Platform;

class Display : public Task {
 public:
  explicit Display(Platform& platform);
  ~Display() override;

  // Sets the display up for the window, windowed: the screen, a width x height back buffer
  // in the display's format, 30 frames per second. A display that cannot be used shows as
  // format code 0.
  void InitDisplay(GameWindow& window, int32_t width, int32_t height);
  // Switches to full screen (1) or the window (0). Back in the window on a desktop of the
  // game's own width, it goes straight back to full screen.
  void SetFullScreen(int32_t target);
  // The task's phase 0: shows the frame, then waits for the next frame deadline.
  int32_t Present();
  void SetFrameRate(uint32_t rate) { timer_.SetFrameRate(rate); }

  // Replaces the blit of the frame (a movie shows its own frames); cleared with null.
  void SetReplacementPresenter(std::function<void()> presenter) { replacement_ = std::move(presenter); }

  Surface& BackBuffer() { return backBuffer_; }
  Surface& Primary() { return primary_; }
  DisplayMode& GetDisplayMode() { return displayMode_; }
  FrameTimer& GetFrameTimer() { return timer_; }
  bool IsFullScreen() const { return displayMode_.fullScreen != 0; }
  // The display's pixel-format code (0: no usable format).
  int32_t PixelFormatCode() const { return formatCode_; }

 private:
  // Presents the frame without pacing: the dirty rectangle (everything in full screen).
  void Show();
  // Copies the dirty rectangle of the back buffer onto the screen's surface; false when
  // either has no pixels.
  bool BlitToPrimary(const DirtyRect& rect);
  // The display's window events: the window closing, the focus lost (full screen is left),
  // a picture on screen that must be shown again.
  bool HandleWindowEvent(const InputEvent& event);

  Platform& platform_;
  DisplayMode displayMode_;
  Surface primary_;
  Surface backBuffer_;
  FrameTimer timer_;
  int32_t formatCode_ = 0;
  bool initialised_ = false;
  std::function<void()> replacement_;
};

}  // namespace zan
