#include "app/core/Mouse.h"

namespace zan {

int32_t CMouse::HandleMessage(const WindowMessage& message) {
  // The window backends keep the pointer captured while a button is down, so moves
  // outside the window still arrive (as the capture of the button messages would).
  switch (message.message) {
    case WM_MOUSEMOVE:
      x_ = LowWord(static_cast<uintptr_t>(message.lParam));
      y_ = HighWord(static_cast<uintptr_t>(message.lParam));
      keyFlags_ = message.wParam;
      break;
    case WM_LBUTTONDOWN:
      left_ = 1;
      break;
    case WM_LBUTTONUP:
      left_ = 0;
      break;
    case WM_RBUTTONDOWN:
      right_ = 1;
      break;
    case WM_RBUTTONUP:
      right_ = 0;
      break;
    default:
      break;
  }
  return 0;
}

CMouse& Mouse() {
  static CMouse mouse;
  return mouse;
}

}  // namespace zan
