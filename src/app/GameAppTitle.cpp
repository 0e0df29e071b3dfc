#include "app/GameAppTitle.h"

#include "app/GameApp.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "script/Interpreter.h"
#include "screens/SystemSounds.h"
#include "screens/TitleScreen.h"
#include "screens/YesNoDialog.h"

namespace zan {
namespace {

// A game started from the title crosses in from the picture on the screen (ms), whether it
// starts at the beginning or from a save.
constexpr int32_t kLoadedGameFade = 1000;

}  // namespace

void TitleLink::StartGame(std::string_view script, std::string_view saveFile) { app_.StartStory(script, saveFile); }

void TitleLink::AskQuit() { app_.QuitRequest(); }

void GameApp::MakeTitle() {
  titleLink_ = std::make_unique<TitleLink>(*this);
  const ScreenServices services{tasks_, compositor_, *gameData_, interpreter_->Options(), *systemSounds_,
                                *dialog_, mouse_};
  title_ = std::make_unique<TitleScreen>(services, *transitions_, *variables_, *titleLink_);
  interpreter_->SetTitleOpener([this](GameMode ended) { AfterStory(ended); });
}

void GameApp::OpenTitle(bool skipIntro) {
  if (!title_->Show(skipIntro)) ZAN_WARN("the title is open already");
}

void GameApp::StartStory(std::string_view script, std::string_view saveFile) {
  storyLive_ = true;
  // A new game is in story mode (game mode 0).
  interpreter_->StartGame(script);
  if (saveFile.empty()) return;
  if (!interpreter_->LoadGame(saveFile)) {
    ZAN_WARN("%s cannot be loaded; the story starts from its beginning", SjisToUtf8(saveFile).c_str());
    return;
  }
  // The load abandoned the new game's cross: the restored scene crosses in as long from the
  // same picture on the screen.
  interpreter_->CrossToCurrentScene(kLoadedGameFade);
}

void GameApp::AfterStory(int32_t mode) {
  storyLive_ = false;
  // The bonus screens' music goes on when a replay they started ends.
  systemSounds_->StopAll(mode == kModeGalleryReplay || mode == kModeDemo ? SystemSounds::kMusic : -1);
  // A replay from the bonus screens would reopen its screen, which is not built yet: the
  // title follows without its opening, as after a demo. A story that ended plays it again.
  OpenTitle(mode >= kModeGalleryReplay && mode <= kModeDemo);
}

}  // namespace zan
