#pragma once
// YesNoDialog: one yes/no question at a time over whatever is on the screen (quit, return to
// the title, load, save, overwrite, delete). The screen darkens, the question's panel fades
// in, the player answers with the mouse or the keys, the panel fades out and the answer waits
// for the asker, who polls it with the ticket Ask gave.
//
// Each question has its own ticket, so an asker can never take the answer to somebody
// else's question for its own. With confirmations off in the options block every question
// (kinds 0..9) is answered yes at once and nothing is shown, unless it is asked with
// AskAlways.
//
// Keys: Left chooses yes, Right no; Enter confirms the choice; Escape answers no (during the
// fade-in it only chooses no). The mouse: the button under the pointer is chosen, a click on
// it (press and release on the same button) answers. Clicks and keys go to the dialog alone
// while it shows, through the fade-out: it takes every key, button and wheel event (the game
// application offers it each event first), so nothing reaches the screen or story behind it.
// Pointer moves go on to the others as well.
//
// The task runs at order key 0xB0000000, after the screens it covers; its layer is drawn at
// the frame's dialogs place, above the effects.

#include <array>
#include <cstdint>
#include <string>

#include "core/Task.h"
#include "core/YesNoQuestions.h"
#include "frame/FrameCompositor.h"
#include "platform/EventReceiver.h"
#include "screens/ScreenButtons.h"
#include "screens/ScreenPicture.h"

namespace zan {

class GameData;
class MouseState;
class TaskScheduler;
struct OptionsBlock;

class YesNoDialog : public Task, public YesNoQuestions, public EventReceiver, public FrameLayer {
 public:
  // Where the dialog's parts are: the panel on the screen, the buttons on the panel.
  static constexpr int32_t kPanelX = 280, kPanelY = 184, kPanelWidth = 240, kPanelHeight = 160;
  static constexpr int32_t kButtonWidth = 96, kButtonHeight = 32;
  static constexpr int32_t kYesX = 15, kNoX = 131, kButtonsY = 101;
  // The buttons' picture: hovered looks in the top row, normal looks below; yes left, no right.
  static constexpr const char* kButtonPicture = "dialog_button.bmp";
  // Per frame, the fade moves the opacity by this much (six frames in, six out).
  static constexpr int32_t kFadeStep = 50;
  static constexpr int32_t kYes = 1, kNo = 2;  // button numbers

  // `options`: the confirmation setting; `pointer`: where the mouse is when a question opens.
  YesNoDialog(TaskScheduler& tasks, FrameCompositor& frame, GameData& data, const OptionsBlock& options,
              const MouseState& pointer);
  ~YesNoDialog() override;

  // Asks. Answered yes at once with confirmations off; refused (an invalid ticket) while a
  // dialog shows, and for a kind outside 0..9 (logged).
  DialogTicket Ask(DialogKind kind) override;
  // The same, shown whatever the confirmation setting says.
  DialogTicket AskAlways(DialogKind kind) override;
  // Pending while the question shows (fade-out included), then yes or no. A ticket that was
  // refused, or one so old that its answer is forgotten (after 16 later questions), is no.
  DialogAnswer AnswerOf(DialogTicket ticket) const override;
  // A dialog shows or fades: screens treat the mouse as outside all their buttons.
  bool IsOpen() const override;
  // The picture of a kind ("" for none).
  static const char* PictureOf(DialogKind kind);

  // The window's events while the dialog is open; true when taken (see above).
  bool HandleEvent(const InputEvent& event) override;

  // The frame's dialogs place.
  void Draw(Surface& frame) override;
  bool Changed() const override;

  // The state of the task: what this frame draws.
  int32_t Opacity() const { return look_.opacity; }
  bool Closing() const { return closing_; }
  int32_t Selected() const { return buttons_.Selected(); }

 private:
  // What a frame draws.
  struct Look {
    int32_t opacity = 0;     // of the panel; the darkening is a quarter of it
    bool shown = false;      // fully shown: the buttons in their looks, not faded
    ButtonLook yes = ButtonLook::kNormal;
    ButtonLook no = ButtonLook::kNormal;
    bool operator==(const Look&) const = default;
  };
  // The task's phase 1 (before the frame is drawn): the answer, the fade.
  void Step();
  // Shows the question of `kind`, or answers it yes at once.
  DialogTicket Show(DialogKind kind, bool answerYesAtOnce);
  void Finish();
  void Record(uint32_t id, DialogAnswer answer);

  TaskScheduler& tasks_;
  FrameCompositor& frame_;
  GameData& data_;
  const OptionsBlock& options_;
  const MouseState& pointer_;
  ScreenPicture panel_;
  ScreenPicture buttonPicture_;
  ScreenButtons buttons_;
  int32_t alpha_ = 0;
  bool closing_ = false;
  bool ending_ = false;       // the fade-out has drawn its last frame
  bool escape_ = false;       // Escape released since the last step
  uint32_t current_ = 0;      // the ticket shown
  DialogAnswer answer_ = DialogAnswer::kPending;
  uint32_t nextId_ = 1;
  struct Answered {
    uint32_t id = 0;
    DialogAnswer answer = DialogAnswer::kNo;
  };
  std::array<Answered, 16> answered_{};  // the latest answers, by id % 16
  Look look_;
  Look drawn_;
  bool drawnOnce_ = false;
};

}  // namespace zan
