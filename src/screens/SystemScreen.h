#pragma once
// SystemScreen: the base of a system screen (title, save and load, configuration, backlog,
// galleries). A screen is a game task opened with a caller and a completion callback
// (GameTask::Open), with a layer of the frame drawn in place of the story's layers while it
// runs (FrameCompositor::AddScreen). It has buttons from its button table, a background
// picture and a sprite sheet for the buttons' looks (see ScreenButtons), and it reaches the
// system sounds, the yes/no dialog and the settings through ScreenServices.
//
// Each frame (phase 0) the buttons are blocked while a yes/no dialog shows; a clicked
// button (mouse, or the arrow keys and Enter) goes to OnButton, a right click or Escape to
// OnCancel, then OnFrame runs. The layer draws the background and the buttons.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/GameTask.h"
#include "core/YesNoQuestions.h"
#include "data/DefinitionFiles.h"
#include "frame/FrameCompositor.h"
#include "platform/EventReceiver.h"
#include "screens/ScreenButtons.h"
#include "screens/ScreenPicture.h"

namespace zan {

class GameData;
class MouseState;
class SystemSounds;
class TaskScheduler;
struct OptionsBlock;

// What the screens use, handed to each by the game application.
struct ScreenServices {
  TaskScheduler& tasks;
  FrameCompositor& frame;
  GameData& data;
  OptionsBlock& options;
  SystemSounds& sounds;
  YesNoQuestions& dialog;
  const MouseState& pointer;
};

// The files a screen opens with.
struct ScreenLayout {
  DefinitionFileId table;       // its button table: items 1..(the rows the screen reads)
  std::string_view background;  // "" for none
  std::string_view sheet;       // the buttons' looks
  // Without its table the screen does not open, unless it can wait with no button (the
  // title: every button then zeroed).
  bool tableRequired = true;
};

class SystemScreen : public GameTask, public FrameLayer {
 public:
  SystemScreen(const ScreenServices& services, std::string className, std::string description);
  ~SystemScreen() override;

  // Opens the screen (order key 0x80000000) with its table and pictures; the button under
  // the pointer starts selected. False when it is open already, or when its button table
  // cannot be had (the game data reader has reported it) and the layout requires it: the
  // screen does not open.
  bool OpenScreen(GameTask* caller, Callback onEnd, const ScreenLayout& layout);

  // The background, then the buttons.
  void Draw(Surface& frame) override;
  bool Changed() const override;

  ScreenButtons& Buttons() { return buttons_; }

 protected:
  // A button was clicked, or chosen with Enter.
  virtual void OnButton(int32_t number) = 0;
  // A right click or Escape: the screen closes (its caller's callback runs).
  virtual void OnCancel() { End(); }
  // The rest of the frame's work, after the buttons'.
  virtual void OnFrame() {}

  const ScreenServices services_;
  ScreenButtons buttons_;
  ScreenPicture background_;
  ScreenPicture sheet_;
  bool picturesDrawn_ = false;  // the pictures as they are now have been drawn

 private:
  class Input : public EventReceiver {
   public:
    Input(SystemScreen& owner, std::string name) : EventReceiver(std::move(name)), owner_(owner) {}
    bool HandleEvent(const InputEvent& event) override;

   private:
    SystemScreen& owner_;
  };

  void Update();

  Input input_;
};

}  // namespace zan
