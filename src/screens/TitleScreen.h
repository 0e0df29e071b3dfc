#pragma once
// TitleScreen: the start-up sequence and the title menu. It plays the maker's logo, two
// warning pictures with a sound, builds the title picture with its menu buttons one by one,
// plays the title music and starts what the player picks: a new game, a loaded game, the
// prologue skip, the configuration screen, the bonus modes, or the quit question.
//
// It is a machine of phases 1..22 advanced once per frame; each picture change is a
// cross-fade of the transition player (during which the title is held out of the task list,
// and the transition draws in its place) or a timed wait, and the next phase runs in the
// frame after it ended. A click (left button or Enter released) during the logo, the warnings,
// the fades or the build-up jumps to the finished title at once.
//
// The menu: buttons 1..10 are the rows of system4.lib, drawn from "TITLE_chip.bmp" (state 0
// normal, 1 hovered, 2 hovered and pressed). The first page shows 1..6; button 3 (prologue
// skip) responds only when the variable g_pskip is 1, button 4 (the bonus page) only when
// g_clear is 1, though both are drawn. The bonus page draws 1..10, button 4 pressed, and only
// 7..10 respond; a right click or Escape goes back to the first page. The arrow keys walk the
// responding buttons and Enter picks one, so the menu works without a mouse. While a yes/no
// question shows nothing responds, and the click that answers it never reaches the menu.
//
// What the title starts goes through TitleHost, which the application implements.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "screens/SystemScreen.h"
#include "script/TimedWait.h"
#include "surface/Surface.h"

namespace zan {

class TransitionPlayer;
class VariableTable;

// The screens the title hands over to; each comes back to the title when it closes.
enum class TitleTarget : uint8_t { kConfiguration, kGallery, kSceneReplay, kMusicRoom };

class TitleHost {
 public:
  // Starts the story at `script` (the whole game resets; game mode 0), restored from the save
  // `saveFile` when that is not empty.
  virtual void StartGame(std::string_view script, std::string_view saveFile) = 0;
  // Opens the save and load screen in load mode with `title` as its caller; `done` runs on
  // the title when it closes. False when it did not open.
  virtual bool OpenLoadScreen(GameTask& title, GameTask::Callback done) = 0;
  // The save file the load screen's player chose at its last visit; empty when none.
  virtual std::string ChosenFile() = 0;
  // Opens one of the other screens with `title` as its caller. False when it did not open.
  virtual bool OpenScreen(TitleTarget target, GameTask& title, GameTask::Callback done) = 0;
  // Asks whether to quit; the application ends on yes.
  virtual void AskQuit() = 0;

 protected:
  ~TitleHost() = default;
};

class TitleScreen : public SystemScreen {
 public:
  static constexpr int32_t kButtons = 10;
  // Menu buttons (rows of system4.lib).
  static constexpr int32_t kNewGame = 1, kLoad = 2, kPrologueSkip = 3, kBonus = 4, kConfiguration = 5,
                           kQuit = 6, kGallery = 7, kSceneReplay = 8, kMusicRoom = 9, kFlow = 10;
  static constexpr int32_t kMenuPhase = 16;

  TitleScreen(const ScreenServices& services, TransitionPlayer& transitions, const VariableTable& variables,
              TitleHost& host);
  ~TitleScreen() override;

  // Opens the title: with `skipIntro` false the whole start-up sequence plays (phase 1), else
  // the title picture fades in and is built up (phase 7). False when it is open already.
  bool Show(bool skipIntro);

  int32_t Phase() const { return phase_; }
  bool BonusPage() const { return bonusPage_; }

  // The background (black where it is missing), then the buttons.
  void Draw(Surface& frame) override;

 protected:
  void OnButton(int32_t number) override;
  void OnCancel() override;
  void OnFrame() override;

 private:
  // Notes a click during the opening, also while a transition holds the title.
  class SkipReceiver : public EventReceiver {
   public:
    explicit SkipReceiver(TitleScreen& owner) : EventReceiver("CTitle::skip"), owner_(owner) {}
    bool HandleEvent(const InputEvent& event) override;

   private:
    TitleScreen& owner_;
  };

  // Runs the phase the machine is in.
  void Step();
  // The background picture: `name` from the game's pictures, or black for an empty name.
  void SetBackground(std::string_view name);
  // Cross-fades from the screen to the title as it now stands over `milliseconds`, then the
  // next step runs. Without a transition the picture shows at once and the machine goes on.
  void CrossTo(int32_t milliseconds);
  void Wait(int32_t milliseconds);
  // Which buttons show and respond, for the phase and page (the build-up shows the first
  // `built_`, the menu all of its page).
  void ArrangeButtons();
  void EnterMenu();
  void PlayEffect();
  // Starts the story at `script` (from `saveFile` when given): the music and its effects
  // fade out over 1000 ms and the title ends.
  void StartGame(std::string_view script, std::string_view saveFile = {});
  // Ends the title while `target` shows; it comes back at phase 7.
  void HandOver(TitleTarget target);
  void Reopen(int32_t phase);

  TransitionPlayer& transitions_;
  const VariableTable& variables_;
  TitleHost& host_;
  SkipReceiver skip_{*this};
  TimedWait wait_;
  Surface work_;  // the picture the next transition fades to
  int32_t phase_ = 0;
  int32_t built_ = 0;  // buttons shown during the build-up
  bool bonusPage_ = false;
  bool skipAsked_ = false;
  bool holding_ = false;  // a transition of the title's holds it
  std::vector<std::array<ButtonSource, kButtonLooks>> looks_;  // each button's looks as its row gives them
};

}  // namespace zan
