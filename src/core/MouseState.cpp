#include "core/MouseState.h"

namespace zan {

int32_t MouseState::HandleMessage(const WindowMessage& message) {
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

MouseState& Mouse() {
  static MouseState mouse;
  return mouse;
}

}  // namespace zan
