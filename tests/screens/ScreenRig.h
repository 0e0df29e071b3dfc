#pragma once
// What a screen runs on in the screens' tests: a test game, a virtual clock and task list,
// the frame and its compositor, the settings, the pointer, the system sounds (reading no
// files) and the yes/no dialog, offered every event first as the game does. A fixture derives
// from it, with the pictures and definition files of its game.

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "ScreenTestGame.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "frame/FrameCompositor.h"
#include "platform/ReceiverList.h"
#include "platform/VirtualClock.h"
#include "screens/SystemScreen.h"
#include "screens/SystemSounds.h"
#include "screens/YesNoDialog.h"
#include "script/Options.h"
#include "sound/SoundManager.h"
#include "surface/SurfaceFormat.h"

namespace zan::test {

class ScreenRig : public ::testing::Test {
 protected:
  ScreenRig(const std::vector<testing::TestEntry>& pictures, const std::vector<testing::TestEntry>& definitions,
            uint32_t startMs = 0)
      : game(pictures, definitions), clock(startMs) {}

  // An 8888 frame of the given size, the pointer and the dialog listening, the compositor
  // at the end of each frame.
  void SetUpFrame(int32_t width, int32_t height) {
    SetSurfaceFormatCode(kFormat8888);
    ASSERT_TRUE(frame.Create(width, height));
    tasks.SetReceivers(&receivers);
    receivers.RegisterReceiver(&mouse);
    receivers.RegisterReceiver(&dialog);
    tasks.AddTask(&compositor, kOrderDraw);
  }
  void Event(const InputEvent& e) { receivers.OfferEvent(e, {}); }
  void Key(zan::Key key) {
    KeyEvents([this](const InputEvent& e) { Event(e); }, key);
  }
  void Click(int32_t x, int32_t y) {
    ClickEvents([this](const InputEvent& e) { Event(e); }, x, y);
  }
  Rgb At(int32_t x, int32_t y) { return Colour(frame, x, y); }

  ScreenTestGame game;
  VirtualClock clock;
  TaskScheduler tasks{clock};
  ReceiverList receivers;
  Surface frame;
  FrameCompositor compositor{tasks, frame};
  OptionsBlock options;
  MouseState mouse;
  SoundManager soundManager;
  SystemSounds sounds{tasks, soundManager, [](std::string_view, std::vector<uint8_t>&) { return false; }, options};
  YesNoDialog dialog{tasks, compositor, game.Data(), options, mouse};
  ScreenServices services{tasks, compositor, game.Data(), options, sounds, dialog, mouse};
};

}  // namespace zan::test
