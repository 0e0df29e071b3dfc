#pragma once
// Sdl2Platform: a real window and the audio device through SDL2, the machine's clock and
// timer thread.

#include <memory>

#include "platform/FreeTypeFontInk.h"
#include "platform/Platform.h"
#include "platform/RealClock.h"
#include "platform/sdl2/Sdl2AudioOut.h"
#include "platform/sdl2/Sdl2MessageBoxes.h"
#include "platform/sdl2/Sdl2Presenter.h"
#include "platform/sdl2/Sdl2Window.h"

namespace zan {

class Sdl2Platform : public Platform {
 public:
  Sdl2Platform();
  ~Sdl2Platform() override;

  const char* BackendName() const override { return "sdl2"; }
  bool IsHeadless() const override { return false; }
  Sdl2Window& GetWindow() override { return window_; }
  RealClock& GetClock() override { return clock_; }
  Sdl2MessageBoxes& GetMessageBoxes() override { return boxes_; }
  Sdl2AudioOut& GetAudioOut() override { return audio_; }
  Sdl2Presenter& GetPresenter() override { return presenter_; }
  FreeTypeFontInk& GetFontInk() override { return fonts_; }

 private:
  RealClock clock_;
  Sdl2Window window_;
  Sdl2MessageBoxes boxes_{window_};
  Sdl2AudioOut audio_;
  Sdl2Presenter presenter_{window_};
  FreeTypeFontInk fonts_;
};

}  // namespace zan
