#pragma once
// Display: the display. It owns the wrapper of the screen (the primary surface) and the back
// buffer every task composes the frame into, and as the last task of every frame (order key
// 0xFFFFFFFE) it presents what changed and paces the frame. Of the back buffer's dirty
// rectangle only the part that differs from the screen is copied and shown; a frame that
// changed nothing shows nothing. While frames are not paced (skip mode) a frame is shown at
// most once per refresh of the screen: the changes of the frames between gather and go with
// the next one shown. It switches between the window and full screen.

#include <cstdint>
#include <functional>

#include "core/Task.h"
#include "surface/Surface.h"
#include "display/DisplayMode.h"
#include "display/FrameTimer.h"
#include "platform/Presenter.h"

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
  void Present();
  void SetFrameRate(uint32_t rate) { timer_.SetFrameRate(rate); }

  // Presents every frame whole, changed or not (a debug switch the tests compare against).
  void SetFullRedraw(bool on) { fullRedraw_ = on; }
  // Frames shown and the pixels they carried (for the benchmarks).
  uint64_t PresentedFrames() const { return presented_; }
  uint64_t PresentedPixels() const { return presentedPixels_; }

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
  // Presents the frame without pacing: what changed of the dirty rectangle.
  void Show();
  // Copies a rectangle of the back buffer onto the screen's surface; false when either has
  // no pixels.
  bool BlitToPrimary(const FrameRect& rect);
  // The next present shows the whole frame, changed or not (the screen has no picture yet,
  // or lost it).
  void ShowAllNext() { wholeNext_ = true; }
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
  bool fullRedraw_ = false;
  bool wholeNext_ = true;
  uint32_t lastShown_ = 0;  // ms, the clock's, of the last present
  uint64_t presented_ = 0;
  uint64_t presentedPixels_ = 0;
  std::function<void()> replacement_;
};

}  // namespace zan
