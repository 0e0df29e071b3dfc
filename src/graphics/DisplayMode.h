#pragma once
// CDisplayMode: the display's window and mode (windowed or full screen), and the display's
// window-message receiver, named "CDraw". It hands every message to its CDraw.

#include <cstdint>
#include <functional>

#include "platform/NamedObject.h"

namespace zan {

class Window;

class CDisplayMode : public CNamedObject {
 public:
  explicit CDisplayMode(std::function<int32_t(const WindowMessage&)> handler)
      : CNamedObject("CDraw"), handler_(std::move(handler)) {}

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
