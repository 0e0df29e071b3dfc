#include "platform/headless/HeadlessPresenter.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace zan {

bool HeadlessPresenter::Open(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  open_ = true;
  width_ = width;
  height_ = height;
  frameFormat_ = format_;
  pitch_ = width * static_cast<int32_t>(format_.bitsPerPixel / 8);
  frame_.assign(static_cast<size_t>(pitch_) * height, 0);
  return true;
}

void HeadlessPresenter::Present(const FrameView& frame, const FrameRect& rect) {
  if (!open_) return;
  ++presents_;
  lastRect_ = rect;
  if (!(frame.format == frameFormat_)) {
    // The frame comes in another layout (the display fell back to 24 bits): start over in it.
    frameFormat_ = frame.format;
    pitch_ = width_ * static_cast<int32_t>(frameFormat_.bitsPerPixel / 8);
    frame_.assign(static_cast<size_t>(pitch_) * height_, 0);
  }
  const int32_t bytes = static_cast<int32_t>(frameFormat_.bitsPerPixel / 8);
  const int32_t left = std::max(rect.left, 0);
  const int32_t top = std::max(rect.top, 0);
  const int32_t right = std::min({rect.right, frame.width, width_});
  const int32_t bottom = std::min({rect.bottom, frame.height, height_});
  if (frame.pixels == nullptr || right <= left || bottom <= top) return;
  for (int32_t y = top; y < bottom; ++y)
    std::memcpy(frame_.data() + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(left) * bytes,
                frame.pixels + static_cast<ptrdiff_t>(y) * frame.pitch + static_cast<ptrdiff_t>(left) * bytes,
                static_cast<size_t>(right - left) * bytes);
}

FrameView HeadlessPresenter::Screen() const {
  return FrameView{frame_.data(), pitch_, width_, height_, frameFormat_};
}

}  // namespace zan
