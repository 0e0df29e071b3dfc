#pragma once
// What commands and the choices ask of the interpreter itself: the jumps that move the
// story (StoryJumps) and, for the interpreter's own command family, the calls and returns,
// the click wait, the scene name, demo mode and the way back to the title (StoryControl).
// The interpreter implements both; a family gets the narrower one when it only jumps.

#include <string_view>

namespace zan {

class StoryJumps {
 public:
  // Jumps within the loaded script; false (nothing changed) when the label is missing.
  virtual bool JumpToLabel(std::string_view label) = 0;
  // Loads `script` and jumps to `label` in it (an empty label: JumpToLabel(script)). False
  // when the label is missing; another script is then read from its top.
  virtual bool JumpToScript(std::string_view script, std::string_view label) = 0;

 protected:
  ~StoryJumps() = default;
};

class StoryControl : public StoryJumps {
 public:
  // "JumpR": jumps to `label` (in `script` when one is given) and remembers the place to
  // come back to at "Return", once the jump landed. A call nested deeper than 100 is
  // refused (logged) rather than losing its way back.
  virtual void Call(std::string_view script, std::string_view label) = 0;
  // "Return": back to the place of the last call; nothing without one.
  virtual void Return() = 0;
  // "JumpClear": every remembered call forgotten.
  virtual void ForgetCalls() = 0;
  // "KW": the page waits for the player's click.
  virtual void WaitForClick() = 0;
  // The scene name saves show ("SceneSet"), cut to 63 bytes at a character boundary.
  virtual void SetSceneName(std::string_view name) = 0;
  // Shuts the game down (read flags written), ends the task, writes "option.dat".
  virtual void ReturnToTitle() = 0;
  // "TitleReturn": a special script goes back to the game it left; otherwise ReturnToTitle.
  virtual void TitleReturn() = 0;
  // "SaveRun": the save screen over the story, its saves marked as made there (a load of
  // one goes on after the command without waiting for a click). Nothing opens during a
  // countdown, an image animation, outside the story or while the story is held.
  virtual void SaveRun() = 0;
  // "DemoRun": demo mode, returning to `label` (in `script` when one is given) at its end.
  virtual void StartDemo(std::string_view script, std::string_view label) = 0;
  // Ends a demo: back to its return point, else to the title.
  virtual void EndDemo() = 0;
  virtual bool InDemo() const = 0;

 protected:
  ~StoryControl() = default;
};

}  // namespace zan
