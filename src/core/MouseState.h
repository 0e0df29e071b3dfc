#pragma once
// MouseState: the pointer position and the button states, kept for those who read them.
// The application owns one and registers it with the window at start-up; it never takes
// an event.

#include <cstdint>

#include "platform/EventReceiver.h"

namespace zan {

class MouseState : public EventReceiver {
 public:
  MouseState() : EventReceiver("CMouse") {}

  bool HandleEvent(const InputEvent& event) override;

  // Game pixels of the last pointer move (outside the window while a held button drags
  // the pointer past its edge).
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }
  bool LeftDown() const { return left_; }
  bool RightDown() const { return right_; }

 private:
  int32_t x_ = 0;
  int32_t y_ = 0;
  bool left_ = false;
  bool right_ = false;
};

}  // namespace zan
