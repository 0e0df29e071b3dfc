// The save and load screen in the game: made once with the other services, opened over the
// story by input actions 9 and 10, by "SaveRun" and by the right button's action 2, and by
// the title in load mode. Over the story it holds the story while it shows; when it closes
// the story runs again and the screen crosses back to the game.

#include "app/GameApp.h"
#include "app/GameAppTitle.h"
#include "app/StorySaves.h"
#include "core/MouseState.h"
#include "message/GlyphRasterizer.h"
#include "script/Interpreter.h"
#include "screens/SaveLoadScreen.h"
#include "screens/SystemSounds.h"
#include "screens/YesNoDialog.h"
#include "transition/TransitionPlayer.h"

namespace zan {
namespace {

// The cross from the screen back to the game when it closes over the story (ms).
constexpr int32_t kClosingFade = 500;

}  // namespace

const GameTask& StorySaves::StoryTask() const { return game_; }
bool StorySaves::SaveGame(std::string_view file) { return game_.SaveGame(file); }
Status StorySaves::CheckSave(std::string_view file) { return game_.CheckSave(file); }
bool StorySaves::LoadGame(std::string_view file) { return game_.LoadGame(file); }

void GameApp::MakeSaveLoadScreen() {
  storySaves_ = std::make_unique<StorySaves>(*interpreter_);
  const ScreenServices services{tasks_, compositor_, *gameData_, interpreter_->Options(),
                                *systemSounds_, *dialog_, mouse_};
  saveLoad_ = std::make_unique<SaveLoadScreen>(services, *storySaves_, transitions_.get(), glyphRasterizer_.get());
  interpreter_->SetSaveScreenOpener([this] { return OpenSaveLoadOverStory(SaveLoadMode::kSave); });
}

bool GameApp::OpenSaveLoadOverStory(SaveLoadMode mode) {
  Interpreter& game = *interpreter_;
  // Neither screen opens during a countdown: its time must not run out behind it.
  if (saveLoad_->IsRunning() || !game.IsRunning() || game.Mode() != kModeStory || game.Choices().CountdownActive())
    return false;
  game.SetSkipMode(false);
  game.SetAutoMode(false);
  const bool opened = saveLoad_->Open(mode, &game, [this] { SaveLoadClosedOverStory(); });
  // The story waits behind the screen; its click receiver hears nothing meanwhile.
  if (opened) game.Suspend();
  return opened;
}

void GameApp::SaveLoadClosedOverStory() {
  Interpreter& game = *interpreter_;
  game.SaveScreenClosed();
  // A load has restarted the story already; otherwise it goes on where it was held.
  game.Resume();
  game.SetClickState(kClickNone);
  game.CrossToCurrentScene(kClosingFade);
}

void GameApp::CloseSaveLoadOverStory() {
  if (!saveLoad_->IsRunning() || saveLoad_->Caller() != interpreter_.get()) return;
  saveLoad_->Abandon();
  interpreter_->SaveScreenClosed();
  interpreter_->Resume();
  interpreter_->SetClickState(kClickNone);
}

bool TitleLink::OpenLoadScreen(GameTask& title, GameTask::Callback done) {
  return app_.SaveLoad().Open(SaveLoadMode::kLoad, &title, std::move(done));
}

std::string TitleLink::ChosenFile() { return app_.SaveLoad().ChosenFile().value_or(""); }

}  // namespace zan
