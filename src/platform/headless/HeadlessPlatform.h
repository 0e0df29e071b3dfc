#pragma once
// HeadlessPlatform: no window on screen, no audio device (the mix is pulled on the virtual
// clock), and a virtual clock that advances only when the program sleeps, so a run is
// deterministic and as fast as the CPU allows.

#include "platform/FreeTypeFontInk.h"
#include "platform/Platform.h"
#include "platform/VirtualClock.h"
#include "platform/headless/HeadlessAudioOut.h"
#include "platform/headless/HeadlessMessageBoxes.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/headless/HeadlessWindow.h"

namespace zan {

class HeadlessPlatform : public Platform {
 public:
  const char* BackendName() const override { return "headless"; }
  bool IsHeadless() const override { return true; }
  HeadlessWindow& GetWindow() override { return window_; }
  VirtualClock& GetClock() override { return clock_; }
  HeadlessMessageBoxes& GetMessageBoxes() override { return boxes_; }
  HeadlessAudioOut& GetAudioOut() override { return audio_; }
  HeadlessPresenter& GetPresenter() override { return presenter_; }
  FreeTypeFontInk& GetFontInk() override { return fonts_; }

 private:
  HeadlessWindow window_;
  VirtualClock clock_;
  HeadlessMessageBoxes boxes_;
  HeadlessAudioOut audio_{clock_};
  HeadlessPresenter presenter_;
  FreeTypeFontInk fonts_;
};

}  // namespace zan
