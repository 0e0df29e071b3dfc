// The game's input: key, button and wheel events become input numbers, the key
// configuration turns them into actions, and DoAction carries the actions out. Actions
// fire on release only.

#include "app/GameApp.h"
#include "app/KeyConfig.h"
#include "script/Interpreter.h"
#include "screens/SaveLoadScreen.h"
#include "screens/YesNoDialog.h"

namespace zan {

bool GameApp::RouteInput(const InputEvent& event) {
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kKeyDown:
    case Kind::kKeyUp:
      if (const std::optional<int32_t> input = InputOfKey(event.key))
        RaiseInput(*input, event.kind == Kind::kKeyDown ? 1 : 0);
      return false;
    case Kind::kButtonDown:
    case Kind::kButtonUp: {
      const int32_t pressed = event.kind == Kind::kButtonDown ? 1 : 0;
      switch (event.button) {
        case PointerButton::kLeft:
          FlushClickMessages();
          RaiseInput(kInputLeftButton, pressed);
          break;
        case PointerButton::kRight:
          FlushClickMessages();
          RaiseInput(kInputRightButton, pressed);
          break;
        case PointerButton::kMiddle:
          RaiseInput(kInputMiddleButton, pressed);
          break;
      }
      return false;
    }
    case Kind::kWheel:
      // Only with the wheel option on and the story running. Towards the player it is input
      // 4 (like Enter), except that it never picks a choice: then it is only consumed.
      if (interpreter_->Options().mouseWheel == 0 || !interpreter_->IsRunning()) return false;
      if (event.notches > 0) RaiseInput(kInputWheelAway, 0);
      else if (!interpreter_->Choices().Open()) RaiseInput(kInputWheelTowards, 0);
      return true;
    default:
      return false;
  }
}

bool GameApp::RaiseInput(int32_t input, int32_t pressed) {
  return DoAction(keyConfig_->Lookup(input), pressed);
}

bool GameApp::DoAction(int32_t code, int32_t pressed) {
  Interpreter& game = *interpreter_;
  if (dialog_->IsOpen()) return false;
  if (pressed != 0) return false;
  // Without a story (the title shows) only the actions of the application itself act: the
  // others would reach a story that does not run (a skip request left for the next game, a
  // load behind the title).
  if (!storyLive_ && code != kActionQuit && code != kActionScreenMode && code != kActionMinimise) return false;
  if (game.Mode() == kModeDemo) {
    game.EndDemo();
    return false;
  }
  if (code < kActionDecide || code > kActionAffection) return false;
  const bool running = game.IsRunning();
  switch (code) {
    case kActionDecide:
    case kActionDecide2:
      // No system buttons exist yet, so the pointer is never on one.
      game.Click();
      break;
    case kActionCancel:
      // A right click that closes the save and load screen is not also the story's.
      if (!saveLoad_->IsRunning()) game.RightButtonAction();
      break;
    case kActionHideWindow:
      if (running) game.ToggleWindowHiddenByPlayer();
      break;
    case kActionAuto:
      if (!running) break;
      if (game.Options().autoMode) game.SetAutoMode(0);
      else game.RequestAuto();
      break;
    case kActionSkip:
      if (!running) break;
      if (game.Options().skipMode) game.SetSkipMode(0);
      else game.RequestSkip();
      break;
    case kActionFlow:
      if (running) game.OpenSpecialScript("flow.txt");
      break;
    case kActionMap:
      if (running) game.OpenSpecialScript("map.txt");
      break;
    case kActionSave:
      if (running) OpenSaveLoadOverStory(SaveLoadMode::kSave);
      break;
    case kActionLoad:
      if (running) OpenSaveLoadOverStory(SaveLoadMode::kLoad);
      break;
    case kActionQuickSave:
      if (running) AskQuickSave();
      break;
    case kActionQuickLoad:
      if (running) game.QuickLoad();
      break;
    case kActionLastChoice:
      game.BackToLastChoice();
      break;
    case kActionTitle:
      AskReturnToTitle();
      break;
    case kActionQuit:
      QuitRequest();
      break;
    case kActionScreenMode:
      ToggleFullScreen();
      break;
    case kActionMinimise:
      game.Options().displayMode = 1;
      game.SetAutoMode(0);
      game.SetSkipMode(0);
      platform_.GetWindow().Minimise();
      break;
    default:
      // The screens these open (configuration, backlog, viewers, the
      // affection screen) are not built yet; menu and panic codes belong to their screens.
      break;
  }
  return true;
}

}  // namespace zan
