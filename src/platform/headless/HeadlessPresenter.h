#pragma once
// HeadlessPresenter: a screen in memory. Each present copies its rectangle into the kept
// frame, so a run without a window still has the picture it showed (for screenshots and
// tests). Full screen is only a state.

#include <cstdint>
#include <vector>

#include "platform/Presenter.h"

namespace zan {

class HeadlessPresenter : public Presenter {
 public:
  DisplayPixelFormat DisplayFormat() const override { return format_; }
  void SetDisplayFormat(const DisplayPixelFormat& format) override { format_ = format; }
  bool Open(int32_t width, int32_t height) override;
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  void Present(const FrameView& frame, const FrameRect& rect) override;
  bool SetFullScreen(bool on) override {
    fullScreen_ = on;
    return true;
  }
  bool IsFullScreen() const override { return fullScreen_; }
  // 0 unless a test sets it: every frame is shown.
  uint32_t RefreshInterval() const override { return refreshInterval_; }
  void SetRefreshInterval(uint32_t ms) { refreshInterval_ = ms; }

  // The picture on the screen: the kept frame, in the format of the last present.
  FrameView Screen() const;
  uint64_t PresentCount() const { return presents_; }
  FrameRect LastRect() const { return lastRect_; }

 private:
  DisplayPixelFormat format_;
  DisplayPixelFormat frameFormat_;
  bool open_ = false;
  bool fullScreen_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t pitch_ = 0;
  std::vector<uint8_t> frame_;
  uint64_t presents_ = 0;
  FrameRect lastRect_;
  uint32_t refreshInterval_ = 0;  // ms
};

}  // namespace zan
