#pragma once
// Sdl2MessageBoxes: SDL's message box with the button set of the box type.

#include "platform/MessageBoxes.h"

namespace zan {

class Sdl2Window;

class Sdl2MessageBoxes : public MessageBoxes {
 public:
  explicit Sdl2MessageBoxes(Sdl2Window& window) : window_(window) {}

 protected:
  BoxAnswer Ask(std::string_view textSjis, std::string_view captionSjis, BoxKind kind) override;

 private:
  Sdl2Window& window_;
};

}  // namespace zan
