#pragma once
// Platform: the narrow door between the game and the machine. One object per backend
// (SDL2 or headless) owns one implementation of each service. main makes it and hands it
// to the application, which passes each service to those who use it.

#include <cstdint>

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/FontInk.h"
#include "platform/MessageBoxes.h"
#include "platform/Presenter.h"
#include "platform/Window.h"

namespace zan {

class Platform {
 public:
  virtual ~Platform() = default;

  virtual const char* BackendName() const = 0;
  // True for the headless backend: no window on screen, no audio device (the mix is made
  // on the virtual clock), virtual time.
  virtual bool IsHeadless() const = 0;

  virtual Window& GetWindow() = 0;
  virtual Clock& GetClock() = 0;
  virtual MessageBoxes& GetMessageBoxes() = 0;
  virtual AudioOut& GetAudioOut() = 0;
  virtual Presenter& GetPresenter() = 0;
  // Character ink for the glyph rasteriser (the same FreeType service in every backend).
  virtual FontInk& GetFontInk() = 0;
};

}  // namespace zan
