#pragma once
// Interpreter: the interpreter task that plays the story. Each frame its update runs script
// elements from the read position until one waits (a click, a time, a transition, a movie,
// a choice); message text goes to the current message area, command tags to the command
// table; its draw composes the image slots. It owns the live game state the commands act
// on: the loaded script and its return stack, the message areas, the image slots and zoom
// windows, the twelve script sound channels, the choices, the skip and auto modes, the
// settings block with the gallery flags, and the game mode.

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
#include "script/CommandTable.h"
#include "script/Options.h"
#include "script/ScriptLoader.h"
#include "script/SoundChannelRecord.h"
#include "sound/SoundChannelBank.h"

namespace zan {

class CsvRowTable;
class Surface;
class GameData;
class ImageLayers;
class ReadFlagStore;
class NameList;
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

// The player's click as the update sees it.
enum ClickState : int32_t {
  kClickNone = 0,
  kClickHeld = 1,
  kClickReleased = 2,  // a click this frame
  kClickPressed = 3,   // pressed this frame
};

class Interpreter : public GameTask {
 public:
  struct TimedWait {
    bool active = false;
    uint32_t start = 0;     // ms, system clock
    uint32_t duration = 0;  // ms
  };
  struct DemoReturn {
    bool active = false;
    int32_t savedMode = 0;
    std::string script;  // empty: the label is in the script running then
    std::string label;
  };

  Interpreter(TaskScheduler& tasks, GameData& data, ScriptLoader& script, VariableTable& variables,
            ReadFlagStore& readFlags, SoundManager& sound);
  ~Interpreter() override;

  // The display's frame rate follows skip mode: 0 (no pacing) while skipping, else 30.
  void SetFrameRateSink(std::function<void(int32_t fps)> sink) { frameRate_ = std::move(sink); }

  // Start-up: reads "variable.csv" and "option.dat", loads the countdown sprites.
  void Prepare();
  // A new story at `script` (empty: "main.txt").
  void StartGame(std::string_view script);
  // Shuts the game down (read flags written), ends the task, writes "option.dat".
  void ReturnToTitle();

  // The per-frame update (phase 0).
  int32_t Update();
  // Runs elements from the read position until one waits.
  void ExecuteElements();
  DispatchResult DispatchCommand(std::string_view tag);
  // Clears the click wait; stops the voices when the settings ask for it.
  void Advance();

  void SetSkipMode(int32_t on);
  void SetAutoMode(int32_t on);
  // Skip and auto start through requests that the next update checks.
  void RequestSkip() { options_.skipRequest = 1; }
  void RequestAuto() { options_.autoRequest = 1; }

  // Input actions: the click (決定), the right-button action, the player hiding the window.
  void Click();
  void RightButtonAction();
  void ToggleWindowHiddenByPlayer();
  // Every shown window fades out (or in) at once when the player hides (shows) it.
  void SetWindowHiddenByPlayer(int32_t hidden) { areas_.SetWindowHiddenByPlayer(hidden); }
  // True when the key configuration already turns a right-button release into the
  // right-button action (取消): this task's own handler then leaves it alone, so one
  // release never runs the action twice.
  void SetRightButtonMappedToCancel(bool mapped) { rightButtonMappedToCancel_ = mapped; }
  int32_t WindowHiddenByPlayer() const { return areas_.WindowHiddenByPlayer(); }
  // Ends a demo: back to its return point, else to the title.
  void EndDemo();

  void SetGameMode(int32_t mode);
  int32_t Mode() const { return gameMode_; }

  // Jumps within the loaded script; 0 (nothing changed) when the label is missing.
  int32_t JumpToLabel(std::string_view label);
  // Loads `script` and jumps to `label` in it (an empty label: JumpToLabel(script)).
  int32_t JumpToScript(std::string_view script, std::string_view label);
  // Moves the read-flag cursor to the loaded script at the read position.
  void RepositionReadFlags();
  ReadFlagStore& ReadFlags() { return readFlags_; }

  // "option.dat" and "kidoku.dat" in the game's "sys" folder.
  void LoadOptions();
  void SaveOptions();
  void SaveReadFlags();

  // State the command families work on.
  CommandTable& Commands() { return commands_; }
  VariableTable& Variables() { return variables_; }
  ScriptLoader& Script() { return script_; }
  ScriptRecord& Record() { return record_; }
  int32_t ReadPosition() const { return readPosition_; }
  void SetReadPosition(int32_t position) { readPosition_ = position; }
  MessageAreas& Areas() { return areas_; }
  MessageArea& CurrentArea() { return areas_.areas[static_cast<size_t>(currentArea_)]; }
  int32_t CurrentAreaIndex() const { return currentArea_; }
  // 0..2; anything else leaves the current area as it is.
  void SetCurrentAreaIndex(int32_t index);
  // Hands the current area's settings to the message layout (after every window command
  // and before a page is presented).
  void ApplyWindowSettings() { areas_.ApplySettings(currentArea_); }
  // Finishes the page of area `index` ("WinClear"): when the current area holds text, area
  // `index` goes into the history; then the area, its speaker and the name plate are
  // cleared.
  void ClearPage(int32_t index);
  // "WinOn" / "WinOff": whether the window and the system icons are shown (saved).
  void SetWindowShown(int32_t shown) { windowShown_ = shown; }
  int32_t WindowShown() const { return windowShown_; }
  GameData& Data() { return data_; }
  OptionsBlock& Options() { return options_; }
  GalleryFlags& Gallery() { return gallery_; }
  SoundChannelBank& Sounds() { return sounds_; }
  // What the sound commands recorded of each script channel (saved with the game).
  SoundChannelRecords& SoundRecords() { return soundRecords_; }
  bool AnyVoicePlaying() { return sounds_.AnyVoicePlaying(); }
  // Set while a voice lowers the music; the update clears it once no voice sounds.
  void SetDucked(int32_t ducked) { ducked_ = ducked; }
  int32_t Ducked() const { return ducked_; }
  // The pages before the current one, and their voices.
  Backlog& History() { return backlog_; }
  // The regular and mask choices.
  ChoiceMenu& Choices() { return choices_; }
  // Starts a timed wait of `ms` (0 or less: none).
  void StartTimedWait(int32_t ms);
  const TimedWait& Timed() const { return timedWait_; }
  void SetClickWait(int32_t wait) { clickWait_ = wait; }
  int32_t ClickWait() const { return clickWait_; }
  void SetVoiceAtWait(int32_t voice) { voiceAtWait_ = voice; }
  int32_t GetClickState() const { return clickState_; }
  void SetClickState(int32_t state) { clickState_ = state; }
  int32_t ArrowKey() const { return arrowKey_; }
  DemoReturn& Demo() { return demo_; }
  void SetSceneName(std::string_view name);
  const std::string& SceneName() const { return sceneName_; }
  // The settings apply: gives the script channels the player's sound settings (mute-all,
  // master level, each kind's level and mute) and lowers the music while ducked. Run at
  // start-up, at every new game, after the sound commands that load or start a sound and
  // when ducking ends.
  void ApplyVolumes();

  // The image slots and zoom windows (stage/ImageLayers.h), drawn each frame into the
  // draw target (the back buffer).
  ImageLayers& Layers() { return *layers_; }
  void SetDrawTarget(Surface* target) { drawTarget_ = target; }
  // What the message window task draws under its areas: the slots' eye animations, then
  // the zoom windows.
  void DrawSlotOverlays(Surface& target);
  // What it draws over its areas: the regular choice.
  void DrawChoices(Surface& target);
  // The picture tables of the image commands: "イベントＣＧリスト.csv" (gallery rows) and
  // "省略.csv" (picture abbreviations); null when absent.
  void SetPictureTables(const NameList* eventCgList, const CsvRowTable* abbreviations) {
    eventCgList_ = eventCgList;
    abbreviations_ = abbreviations;
  }
  const NameList* EventCgList() const { return eventCgList_; }
  const CsvRowTable* Abbreviations() const { return abbreviations_; }

  // Interpreter's own receiver of input events: left press, right release, mouse moves and
  // arrow keys, while the task runs.
  EventReceiver& InputReceiver() { return input_; }

 private:
  class Input : public EventReceiver {
   public:
    explicit Input(Interpreter& owner) : EventReceiver("CGameMain"), owner_(owner) {}
    bool HandleEvent(const InputEvent& event) override;

   private:
    Interpreter& owner_;
  };

  // A new game's channel records: empty, the music channels looping (and the channels
  // themselves set to loop, so that what plays agrees with what a save restores).
  void SetUpSoundChannels();
  // Update steps 9 to 11: ducking, skipping, timed waits, auto mode, the click wait, and
  // the script itself. False while a timed wait holds (the click stays pending).
  bool RunScript(uint32_t now);
  // The per-frame draw (phase 1): the scene of the image slots.
  int32_t Draw();
  void AppendText(std::string_view text);
  void PresentPage(std::string_view tag);
  bool ReadFlagsActive() const;

  GameData& data_;
  ScriptLoader& script_;
  VariableTable& variables_;
  ReadFlagStore& readFlags_;
  CommandTable commands_;
  SoundChannelBank sounds_;
  SoundChannelRecords soundRecords_;
  Backlog backlog_;
  ChoiceMenu choices_{*this};
  Input input_{*this};
  std::function<void(int32_t)> frameRate_;

  ScriptRecord record_;
  int32_t readPosition_ = 0;
  MessageAreas areas_;
  int32_t currentArea_ = 0;
  int32_t clickState_ = kClickNone;
  int32_t clickWait_ = 0;
  TimedWait timedWait_;
  int32_t voiceAtWait_ = 0;
  int32_t ducked_ = 0;
  int32_t gameMode_ = kModeStory;
  DemoReturn demo_;
  int32_t arrowKey_ = 0;
  int32_t mouseMoved_ = 0;
  bool rightButtonMappedToCancel_ = false;
  int32_t windowShown_ = 0;
  std::string sceneName_;
  OptionsBlock options_;
  GalleryFlags gallery_;
  std::unique_ptr<ImageLayers> layers_;
  Surface* drawTarget_ = nullptr;
  bool moviesAllowed_ = true;
  const NameList* eventCgList_ = nullptr;
  const CsvRowTable* abbreviations_ = nullptr;
};

}  // namespace zan
