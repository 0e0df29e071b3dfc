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
#include <vector>

#include "base/Result.h"
#include "core/GameTask.h"
#include "message/MessageArea.h"
#include "platform/EventReceiver.h"
#include "script/Backlog.h"
#include "script/ChoiceMenu.h"
#include "script/CommandFamilies.h"
#include "script/CommandTable.h"
#include "script/Options.h"
#include "script/ParticleRecord.h"
#include "script/PlayerInput.h"
#include "script/SceneTransitions.h"
#include "script/ScriptLoader.h"
#include "script/ScriptSounds.h"
#include "script/ScriptWeather.h"
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
class TransitionPlayer;
class VariableTable;
struct SaveFile;
struct SaveTime;

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
  // The player of the transitions ("Update", the fade of a new game). Without it every scene
  // change shows at once.
  void AttachTransitions(TransitionPlayer& player) { scenes_.Attach(player); }

  // Where a save takes its time from; by default the local time (SaveTime::Now). A run on
  // a virtual clock gives one of its own, so that its saves are the same in every run.
  void SetSaveClock(std::function<SaveTime()> clock) { saveClock_ = std::move(clock); }
  // What follows the story's end (ReturnToTitle): the screen that matches the mode the
  // story was in. Without it the interpreter only idles.
  void SetTitleOpener(std::function<void(GameMode ended)> opener) { titleOpener_ = std::move(opener); }

  // The display's frame rate follows skip mode: 0 (no pacing) while skipping, else 30.
  void SetFrameRateSink(std::function<void(int32_t fps)> sink) { frameRate_ = std::move(sink); }

  // Start-up: reads "variable.csv" and "option.dat", loads the countdown sprites.
  void Prepare();
  // A new story at `script` (empty: "main.txt"). Its first scene fades in from the picture on
  // the screen over 1000 ms before the script's first element runs.
  void StartGame(std::string_view script);
  // Shows the scene as the slots stand now by a cross-fade of `milliseconds` from the picture
  // on the screen (a restored game, the return from a special script); the story is held
  // until it ends and runs again from the next frame. False when no transition could run:
  // the scene then shows at once and the story goes on.
  bool CrossToCurrentScene(int32_t milliseconds) { return scenes_.CrossFromScreen(milliseconds); }

  // The per-frame update (phase 0).
  void Update();
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
  // Opens the save screen over the story (it holds the story while it shows): "SaveRun" and
  // the right button's action 2 call it. False when it did not open. Without it neither
  // opens anything.
  void SetSaveScreenOpener(std::function<bool()> open) { openSaveScreen_ = std::move(open); }
  // The save and load screen over the story has closed: saves no longer count as made from
  // the screen "SaveRun" opened.
  void SaveScreenClosed() { openedBySaveRun_ = 0; }
  bool OpenedBySaveRun() const { return openedBySaveRun_ != 0; }
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
  void SaveRun() override;
  void StartDemo(std::string_view script, std::string_view label) override;
  void EndDemo() override;
  bool InDemo() const override { return demo_.active; }

  // Moves the read-flag cursor to the loaded script at the read position.
  void RepositionReadFlags();

  // --- Saves ("save%d.sav", "saveq.sav", "save_sel.sav", "special.sav" in the game's
  // "save" folder; script/SaveFile.h) -------------------------------------------------------
  // Writes the game as it stands; refused (nothing written, false) outside story mode or
  // without a loaded script. False (logged) when the file cannot be written.
  bool SaveGame(std::string_view file);
  // Reads and checks the whole file, then restores it; refused outside story mode. A file
  // that is missing or not a valid save changes nothing (false, logged).
  bool LoadGame(std::string_view file);
  // Checks `file` as a load would (the whole file, its script and every pending call's
  // script holding their places) without changing anything; why it cannot be loaded when
  // it cannot. Any game mode.
  Status CheckSave(std::string_view file);
  // What a save of the game as it stands holds, built from the live state.
  SaveFile CaptureSave();
  // Quick save ("saveq.sav"): refused while a choice counts down or a chosen entry blinks
  // (QuickSaveAllowed false; the player is asked first, by the application).
  bool QuickSaveAllowed() const;
  bool QuickSave();
  // Quick load ("saveq.sav").
  // Loads "saveq.sav" and crosses from the screen to the restored scene.
  bool QuickLoad();
  // Back to the last choice ("save_sel.sav", written when a choice opens).
  bool BackToLastChoice() { return LoadGame(kLastChoiceSave); }
  // A special script ("flow.txt", "map.txt"): the game is saved to "special.sav", then the
  // special script runs from its label "top" in special mode; "TitleReturn" there restores
  // the game. Nothing starts when the game cannot be saved (false).
  bool OpenSpecialScript(std::string_view script);
  // "TitleReturn": in special mode back to the game saved in "special.sav" (the title when
  // it cannot be restored), otherwise ReturnToTitle.
  void TitleReturn() override;

  static constexpr std::string_view kQuickSave = "saveq.sav";
  static constexpr std::string_view kLastChoiceSave = "save_sel.sav";
  static constexpr std::string_view kSpecialSave = "special.sav";

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
  // The weather; its record is what a save stores of it (ScriptWeather::Record, Restore).
  ScriptWeather& Weather() { return weather_; }
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
  // What every new story and every load starts from: the script record with `script`
  // loaded, 10 image slots and 5 zoom windows, the sound requests, the history, the message
  // areas (in the settings' colours), the choices, no waits, no scene name. The task runs
  // and so does the message window.
  void ResetStory(std::string_view script);
  // Whether `script` can be read and holds `position` (bytes); when not, why.
  Status ScriptHoldsPosition(const std::string& script, int32_t position);
  // The whole save of `file`, read and checked as a load needs it, or why it cannot be
  // loaded.
  Result<SaveFile> ReadLoadableSave(std::string_view file);
  // Restores a checked save (the steps of a load, in their order).
  void RestoreSave(const SaveFile& save, std::string_view file);
  // The 128 x 96 thumbnail of the stage.
  std::vector<uint8_t> Thumbnail();
  // A restore that cannot be made leaves no game to go back to: the title follows.
  void RestartAfterFailedRestore();
  // What runs when no choice holds the script: ducking ends, skipping, timed waits, auto
  // mode, the click wait, and the script itself, in that order. False while a timed wait
  // holds (the click stays pending).
  bool RunScript(uint32_t now);
  void AppendText(std::string_view text);
  void PresentPage(std::string_view tag);
  // The end of a transition: the story runs again from the next frame, and the click that
  // may have ended it is spent.
  void ResumeAfterTransition();
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
  SceneTransitions scenes_;
  ScriptWeather weather_;
  PictureTables pictures_;
  TimedWait timedWait_;
  std::function<void(int32_t)> frameRate_;
  std::function<bool()> openSaveScreen_;
  std::function<SaveTime()> saveClock_;
  std::function<void(GameMode)> titleOpener_;
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
  // Kept for the save files: the tarot screen's last result, two reserved words, and
  // whether the script opened the save screen ("SaveRun").
  int32_t tarotResult_ = 0;
  std::array<int32_t, 2> reservedWords_{};
  int32_t openedBySaveRun_ = 0;
  OptionsBlock options_;
  GalleryFlags gallery_;
};

}  // namespace zan
