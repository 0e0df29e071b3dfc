#pragma once
// DisplayMode: the display's window and mode (windowed or full screen), and the display's
// event receiver. It hands every event to its Display.

#include <cstdint>
#include <functional>

#include "platform/EventReceiver.h"

namespace zan {

class Window;

class DisplayMode : public EventReceiver {
 public:
  explicit DisplayMode(std::function<bool(const InputEvent&)> handler)
      : EventReceiver("CDraw"), handler_(std::move(handler)) {}

  bool HandleEvent(const InputEvent& event) override { return handler_(event); }

  Window* window = nullptr;
  int32_t gameWidth = 0;
  int32_t gameHeight = 0;
  int32_t fullScreen = 0;

 private:
  std::function<bool(const InputEvent&)> handler_;
};

}  // namespace zan
