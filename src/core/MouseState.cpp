#include "core/MouseState.h"

namespace zan {

bool MouseState::HandleEvent(const InputEvent& event) {
  // The window backends keep the pointer captured while a button is down, so moves
  // outside the window still arrive.
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kPointerMove:
      x_ = event.x;
      y_ = event.y;
      break;
    case Kind::kButtonDown:
    case Kind::kButtonUp:
      if (event.button == PointerButton::kLeft) left_ = event.kind == Kind::kButtonDown;
      if (event.button == PointerButton::kRight) right_ = event.kind == Kind::kButtonDown;
      break;
    default:
      break;
  }
  return false;
}

}  // namespace zan
