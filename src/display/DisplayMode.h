#pragma once
// DisplayMode: the display's window and mode (windowed or full screen), and the display's
// window-message receiver, named "Display". It hands every message to its Display.

#include <cstdint>
#include <functional>

#include "platform/EventReceiver.h"

namespace zan {

class Window;

class DisplayMode : public EventReceiver {
 public:
  explicit DisplayMode(std::function<int32_t(const WindowMessage&)> handler)
      : EventReceiver("CDraw"), handler_(std::move(handler)) {}

  int32_t HandleMessage(const WindowMessage& message) override { return handler_(message); }

  Window* window = nullptr;
  int32_t gameWidth = 0;
  int32_t gameHeight = 0;
  int32_t desktopWidth = 0;
  int32_t desktopHeight = 0;
  int32_t fullScreen = 0;
  int32_t switching = 0;  // 1 while the mode changes

 private:
  std::function<int32_t(const WindowMessage&)> handler_;
};

}  // namespace zan
