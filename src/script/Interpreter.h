#pragma once
// Interpreter: the interpreter task that plays the story. Each frame its update runs script
// elements from the read position until one waits (a click, a time, a transition, a movie,
// a choice); message text goes to the current message area, command tags to the command
// table, whose families each get the services they use (script/CommandFamilies.h). It owns
// the live game state the commands act on: the loaded script and its return stack, the
// message areas, the image slots and zoom windows, the twelve script sound channels, the
// choices, the skip and auto modes, the settings block with the gallery flags, and the
// game mode.
//
// What it shows goes through the frame compositor (frame/FrameCompositor.h): the stage
// (the scene and the mask choice's hover picture) while this task runs, and the slots'
// overlays, the message windows and the choices while the message window task runs, which
// the interpreter starts with every new game and ends at the return to the title.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/GameTask.h"
#include "message/MessageArea.h"
#include "platform/EventReceiver.h"
#include "script/Backlog.h"
#include "script/ChoiceMenu.h"
#include "script/CommandFamilies.h"
#include "script/CommandTable.h"
#include "script/Options.h"
#include "script/PlayerInput.h"
#include "script/ScriptLoader.h"
#include "script/ScriptSounds.h"
#include "script/SoundChannelRecord.h"
#include "script/StoryControl.h"
#include "script/TimedWait.h"
#include "stage/StageLayers.h"

namespace zan {

class FrameCompositor;
class GameData;
class ImageLayers;
class MessageWindowTask;
class ReadFlagStore;
class SoundManager;
class VariableTable;

// What the story is doing.
enum GameMode : int32_t {
  kModeStory = 0,
  kModeGalleryReplay = 1,  // replays started from the bonus screens
  kModeSceneReplay = 2,
  kModeMusicRoom = 3,
  kModeTreasureGallery = 4,
  kModeDemo = 5,     // a scene replayed through "DemoRun"
  kModeSpecial = 6,  // a special script ("flow.txt", "map.txt")
};

class Interpreter : public GameTask, public StoryControl {
 public:
  struct DemoReturn {
    bool active = false;
    GameMode savedMode = kModeStory;
    std::string script;  // empty: the label is in the script running then
    std::string label;
  };

  Interpreter(TaskScheduler& tasks, GameData& data, ScriptLoader& script, VariableTable& variables,
              ReadFlagStore& readFlags, SoundManager& sound);
  ~Interpreter() override;

  // The message window task that shows the areas, and the frame the story's layers are
  // drawn in. Without them nothing of the story is shown.
  void Attach(MessageWindowTask& window, FrameCompositor& frame);

  // The display's frame rate follows skip mode: 0 (no pacing) while skipping, else 30.
  void SetFrameRateSink(std::function<void(int32_t fps)> sink) { frameRate_ = std::move(sink); }

  // Start-up: reads "variable.csv" and "option.dat", loads the countdown sprites.
  void Prepare();
  // A new story at `script` (empty: "main.txt").
  void StartGame(std::string_view script);

  // The per-frame update (phase 0).
  int32_t Update();
  // Runs elements from the read position until one waits.
  void ExecuteElements();
  DispatchResult DispatchCommand(std::string_view tag);
  // Clears the click wait; stops the voices when the settings ask for it.
  void Advance();

  void SetSkipMode(bool on);
  void SetAutoMode(bool on);
  // Skip and auto start through requests that the next update checks.
  void RequestSkip() { options_.skipRequest = 1; }
  void RequestAuto() { options_.autoRequest = 1; }

  // Input actions: the click (決定), the right-button action, the player hiding the window.
  void Click();
  void RightButtonAction();
  void ToggleWindowHiddenByPlayer();
  // Every shown window fades out (or in) at once when the player hides (shows) it.
  void SetWindowHiddenByPlayer(bool hidden) { areas_.SetWindowHiddenByPlayer(hidden); }
  bool WindowHiddenByPlayer() const { return areas_.WindowHiddenByPlayer(); }
  // True when the key configuration already turns a right-button release into the
  // right-button action (取消): this task's own handler then leaves it alone, so one
  // release never runs the action twice.
  void SetRightButtonMappedToCancel(bool mapped) { rightButtonMappedToCancel_ = mapped; }

  void SetGameMode(GameMode mode);
  GameMode Mode() const { return gameMode_; }

  // StoryControl.
  bool JumpToLabel(std::string_view label) override;
  bool JumpToScript(std::string_view script, std::string_view label) override;
  void Call(std::string_view script, std::string_view label) override;
  void Return() override;
  void ForgetCalls() override { record_.returns.Clear(); }
  void WaitForClick() override;
  void SetSceneName(std::string_view name) override;
  void ReturnToTitle() override;
  void StartDemo(std::string_view script, std::string_view label) override;
  void EndDemo() override;
  bool InDemo() const override { return demo_.active; }

  // Moves the read-flag cursor to the loaded script at the read position.
  void RepositionReadFlags();

  // "option.dat" and "kidoku.dat" in the game's "sys" folder.
  void LoadOptions();
  void SaveOptions();
  void SaveReadFlags();

  // The game state.
  CommandTable& Commands() { return commands_; }
  VariableTable& Variables() { return variables_; }
  ReadFlagStore& ReadFlags() { return readFlags_; }
  ScriptRecord& Record() { return record_; }
  int32_t ReadPosition() const { return readPosition_; }
  void SetReadPosition(int32_t position) { readPosition_ = position; }
  MessageAreas& Areas() { return areas_; }
  MessageArea& CurrentArea() { return areas_.Current(); }
  int32_t CurrentAreaIndex() const { return areas_.CurrentIndex(); }
  bool WindowShown() const { return areas_.WindowShown(); }
  GameData& Data() { return data_; }
  OptionsBlock& Options() { return options_; }
  GalleryFlags& Gallery() { return gallery_; }
  ScriptSounds& Sounds() { return sounds_; }
  // The records a save stores of the twelve sound channels, built from them now.
  SoundChannelRecords SoundRecords() { return sounds_.Records(); }
  bool Ducked() const { return sounds_.Ducked(); }
  // The pages before the current one, and their voices.
  Backlog& History() { return backlog_; }
  // The regular and mask choices.
  ChoiceMenu& Choices() { return choices_; }
  const TimedWait& Timed() const { return timedWait_; }
  void SetClickWait(bool wait) { clickWait_ = wait; }
  bool ClickWait() const { return clickWait_; }
  // The player's input as the update reads it; the click as DoAction delivers it.
  const PlayerInput& Input() const { return input_; }
  ClickState GetClickState() const { return input_.click; }
  void SetClickState(ClickState state) { input_.click = state; }
  const DemoReturn& Demo() const { return demo_; }
  const std::string& SceneName() const { return sceneName_; }
  // The settings apply: gives the script channels the player's sound settings (mute-all,
  // master level, each kind's level and mute) and lowers the music while ducked. Run at
  // start-up, at every new game, after the sound commands that load or start a sound and
  // when ducking ends.
  void ApplyVolumes() { sounds_.ApplySettings(options_); }

  // The image slots and zoom windows (stage/ImageLayers.h).
  ImageLayers& Layers() { return *layers_; }
  // The picture tables of the image commands.
  void SetPictureTables(const NameList* eventCgList, const CsvRowTable* abbreviations) {
    pictures_ = {eventCgList, abbreviations};
  }

  // The interpreter's own receiver of input events: the pointer, left presses, right
  // releases and arrow keys, which it turns into the player's input while the task runs.
  EventReceiver& InputReceiver() { return receiver_; }

 private:
  class Receiver : public EventReceiver {
   public:
    explicit Receiver(Interpreter& owner) : EventReceiver("CGameMain"), owner_(owner) {}
    bool HandleEvent(const InputEvent& event) override;

   private:
    Interpreter& owner_;
  };

  // Registers every command family with its services.
  void RegisterCommands();
  // What runs when no choice holds the script: ducking ends, skipping, timed waits, auto
  // mode, the click wait, and the script itself, in that order. False while a timed wait
  // holds (the click stays pending).
  bool RunScript(uint32_t now);
  void AppendText(std::string_view text);
  void PresentPage(std::string_view tag);
  bool ReadFlagsActive() const;

  GameData& data_;
  ScriptLoader& script_;
  VariableTable& variables_;
  ReadFlagStore& readFlags_;
  CommandTable commands_;
  ScriptSounds sounds_;
  Backlog backlog_;
  MessageAreas areas_;
  PlayerInput input_;
  Receiver receiver_{*this};
  std::unique_ptr<ImageLayers> layers_;
  SceneLayer sceneLayer_;
  SlotOverlayLayer overlayLayer_;
  ChoiceMenu choices_;
  PictureTables pictures_;
  TimedWait timedWait_;
  std::function<void(int32_t)> frameRate_;
  MessageWindowTask* window_ = nullptr;
  FrameCompositor* frame_ = nullptr;
  std::array<const FrameLayer*, 5> frameLayers_{};  // what Attach added to the frame

  ScriptRecord record_;
  int32_t readPosition_ = 0;
  bool clickWait_ = false;
  bool voiceAtWait_ = false;  // a voice sounded when the click wait began (auto mode's pace)
  GameMode gameMode_ = kModeStory;
  DemoReturn demo_;
  bool rightButtonMappedToCancel_ = false;
  std::string sceneName_;
  OptionsBlock options_;
  GalleryFlags gallery_;
};

}  // namespace zan
