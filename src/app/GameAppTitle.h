#pragma once
// The title's wiring: the title screen starts stories and asks to quit through the
// application (TitleLink), and the story's end opens the title again (GameApp::AfterStory).

#include <string>
#include <string_view>

#include "screens/TitleScreen.h"

namespace zan {

class GameApp;

class TitleLink : public TitleHost {
 public:
  explicit TitleLink(GameApp& app) : app_(app) {}

  void StartGame(std::string_view script, std::string_view saveFile) override;
  // The save and load screen in load mode; it only chooses a file for the title.
  bool OpenLoadScreen(GameTask& title, GameTask::Callback done) override;
  std::string ChosenFile() override;
  // The configuration screen and the bonus screens are not built yet.
  bool OpenScreen(TitleTarget, GameTask&, GameTask::Callback) override { return false; }
  void AskQuit() override;

 private:
  GameApp& app_;
};

}  // namespace zan
