#pragma once
// The player's input as the story reads it. The interpreter's receiver fills it from the
// window's events (the one place that knows their form); the update hands it to the choices
// and consumes the click and the arrow key once they have acted.

#include <cstdint>

namespace zan {

// The player's click as the update sees it.
enum ClickState : int32_t {
  kClickNone = 0,
  kClickHeld = 1,
  kClickReleased = 2,  // a click this frame
  kClickPressed = 3,   // pressed this frame
};

enum class ArrowKey : int32_t { kNone, kLeft, kRight, kUp, kDown };

struct PlayerInput {
  int32_t pointerX = 0;  // client pixels, as the window reports them
  int32_t pointerY = 0;
  bool pointerMoved = false;  // since the last update
  ClickState click = kClickNone;
  ArrowKey arrow = ArrowKey::kNone;  // the last arrow key pressed, until it acted
};

}  // namespace zan
