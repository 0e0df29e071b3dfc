#pragma once
// MouseState: the pointer position and the button states, kept for everybody to read. One
// global receiver named "MouseState", registered with the window at start-up; it never
// consumes a message.

#include <cstdint>

#include "platform/EventReceiver.h"

namespace zan {

class MouseState : public EventReceiver {
 public:
  MouseState() : EventReceiver("CMouse") {}

  int32_t HandleMessage(const WindowMessage& message) override;

  // Client pixels, taken as unsigned 16-bit values (a captured pointer left of or above the
  // window reads near 65535).
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }
  // The key-state flags of the last move (MK_*).
  uintptr_t KeyFlags() const { return keyFlags_; }
  bool LeftDown() const { return left_ != 0; }
  bool RightDown() const { return right_ != 0; }

 private:
  int32_t x_ = 0;
  int32_t y_ = 0;
  uintptr_t keyFlags_ = 0;
  uint8_t left_ = 0;
  uint8_t right_ = 0;
};

// The one pointer of the program.
MouseState& Mouse();

}  // namespace zan
