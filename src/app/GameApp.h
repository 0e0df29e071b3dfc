#pragma once
// GameApp: the game's application object. It creates every service and screen once, in a
// fixed order, owns them for the whole run, replaces the framework's event handler with
// the game's, and runs the game's main loop: one window event, phase 0 and phase 1 over
// the task list, Sleep(1). The frame compositor, last of phase 1, draws the frame that the
// display presents in the next frame's phase 0.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Harness.h"
#include "app/Application.h"
#include "core/ErrorReporter.h"
#include "core/YesNoQuestions.h"
#include "data/CsvRowTable.h"
#include "data/GameData.h"
#include "data/NameList.h"
#include "frame/FrameCompositor.h"
#include "platform/InstanceLock.h"

namespace zan {

struct AppOptions;
class MessageWindowTask;
class Interpreter;
class GlyphRasterizer;
class KeyConfig;
class ReadFlagStore;
class MessageLayout;
class ScriptLoader;
class DelayTask;
class TransitionPlayer;
class VariableTable;
class SystemSounds;
class TitleScreen;
class TitleLink;
class YesNoDialog;
class SaveLoadScreen;
class StorySaves;
enum class SaveLoadMode : int32_t;

class GameApp : public Application {
 public:
  static constexpr int kArchiveSlots = kGameSlotCount;

  GameApp(Platform& platform, Harness& harness);
  ~GameApp() override;

  bool HandleEvent(const InputEvent& event) override;
  int32_t MainLoop() override;

  // Refuses a second running copy (and a start while the start-up menu runs): true to go on.
  bool CheckSingleInstance();
  // Finds the game data (GameData::LocateGameData) and makes its folder the application
  // folder. Mode 0: the game folder is `folder` (the current folder when empty). True on
  // success.
  bool LocateGameData(int mode, const std::string& folder = {});

  // Asks whether to quit (nothing while a question shows); the main loop acts on the answer
  // after the frame: yes ends it, and the settings are written as the game shuts down.
  void QuitRequest();
  // Asks whether to return to the title (input action 19); on yes after the frame the story
  // ends and the title opens. Nothing is asked while no story runs (the title shows).
  void AskReturnToTitle();
  // Asks whether to quick save (input action 11; the overwrite question); on yes after the
  // frame the game is saved to "saveq.sav". Nothing is asked while a choice counts down or
  // a picked entry blinks, when no save could be made.
  void AskQuickSave();
  // Drops the whole clicks queued behind the one being handled (clicks that piled up in a
  // long frame); the release of a press just handled stays.
  void FlushClickMessages();
  // Input: the action an input number fires (through the key configuration), and the
  // action itself; true when the action was handled (GameAppInput.cpp).
  bool RaiseInput(int32_t input, int32_t pressed);
  bool DoAction(int32_t code, int32_t pressed);
  // Switches between the window and full screen; with a target, to full screen (true) or
  // the window. The input method goes off before full screen.
  void ToggleFullScreen();
  void ToggleFullScreen(bool fullScreen);

  ErrorReporter& ErrorReport() { return *errorReport_; }
  GameData& Data() { return *gameData_; }
  const std::string& InstallPath() const { return gameData_->InstallPath(); }
  const std::string& SlotPath(int slot) const { return gameData_->SlotPath(slot); }
  int32_t ArchiveMode() const { return gameData_->ArchiveMode(); }
  // The start-up definition files, unscrambled; empty when missing. Held until the key
  // configuration (system2.lib) and the system buttons (system1.lib) take them over.
  const std::optional<std::vector<uint8_t>>& KeyConfigDefinition() const { return keyConfigLib_; }
  const std::optional<std::vector<uint8_t>>& SystemButtonDefinition() const { return systemButtonLib_; }
  // "イベントＣＧリスト.csv" and "省略.csv".
  NameList& EventCgList() { return *eventCgList_; }
  CsvRowTable& PictureAbbreviations() { return *pictureAbbreviations_; }
  KeyConfig& Keys() { return *keyConfig_; }
  ScriptLoader& Script() { return *script_; }
  VariableTable& Variables() { return *variables_; }
  ReadFlagStore& ReadFlags() { return *readFlags_; }
  DelayTask& Delay() { return *delay_; }
  // The transitions: the story's and the screens' cross-fades.
  TransitionPlayer& Transitions() { return *transitions_; }
  Interpreter& Game() { return *interpreter_; }
  GlyphRasterizer& Glyphs() { return *glyphRasterizer_; }
  MessageLayout& Layout() { return *messageLayout_; }
  MessageWindowTask& MessageWindow() { return *messageWindow_; }
  FrameCompositor& Compositor() { return compositor_; }
  // Composes and presents every frame whole (the --full-redraw switch).
  void SetFullRedraw(bool on) {
    compositor_.SetFullRedraw(on);
    display_.SetFullRedraw(on);
  }
  // The yes/no dialog: whoever asks a question polls its answer with the ticket.
  YesNoDialog& Dialog() { return *dialog_; }
  // The system screens' eleven sound channels.
  SystemSounds& SystemSound() { return *systemSounds_; }
  // The save and load screen. The title opens it in load mode with itself as caller
  // (SaveLoadScreen::Open) and, when it has closed, asks it for the chosen file.
  SaveLoadScreen& SaveLoad() { return *saveLoad_; }
  // Opens the save and load screen over the story (input actions 9 and 10, "SaveRun", the
  // right button's action 2): the story is held until it closes, then crosses back in.
  // False when it does not open: the story is not running or not in story mode, a choice
  // counts down, or the screen is open already.
  bool OpenSaveLoadOverStory(SaveLoadMode mode);
  // The title screen (GameAppTitle.cpp).
  TitleScreen& Title() { return *title_; }
  // Whether a story is under way (from its start to its return to the title), also while
  // a transition holds it.
  bool StoryLive() const { return storyLive_; }
  // Opens the title: the whole start-up sequence, or with `skipIntro` the title at once.
  void OpenTitle(bool skipIntro);
  // A new story at `script`, restored from `saveFile` when that is not empty.
  void StartStory(std::string_view script, std::string_view saveFile);
  bool QuitRequestPending() const { return quitQuestion_.Valid(); }
  uint64_t FrameCount() const { return frame_; }
  // The two spare full-screen surfaces, made when first asked for (nothing the story runs
  // draws into them); the const one is never made by asking.
  Surface& SpareSurface(int index);
  const Surface& SpareSurface(int index) const { return spareSurfaces_[static_cast<size_t>(index)]; }

 private:
  // False when the start-up cannot go on (a message says why).
  bool InitializeGame();
  // Reads system2.lib then system1.lib from the definition archive.
  void LoadStartupDefinitions();
  // The title and the settings' defaults the game names in its game.csv.
  void ApplyGameSettings();
  // False (logged) when a start script given on the command line is not in msg.arc.
  bool StartScriptFound();
  void ShutDown();
  // After each frame: the answers to the quit and title questions. True to end the loop.
  bool TakeAnswers();
  // Ends the story as the return to the title does; the title follows.
  void ReturnToTitle();
  // --- The title (GameAppTitle.cpp) ---------------------------------------------------------
  // Makes the title screen and lets the story's end open it.
  void MakeTitle();
  // The story ended in `mode`: its screen follows.
  void AfterStory(int32_t mode);
  // Key, button and wheel events turned into inputs (GameAppInput.cpp). True when the
  // event is taken.
  bool RouteInput(const InputEvent& event);
  // The save and load screen and what it asks of the story (GameAppSaveLoad.cpp).
  void MakeSaveLoadScreen();
  void SaveLoadClosedOverStory();
  // The story ends (the return to the title): a save and load screen over it closes at
  // once, and the story it held runs again so that it can be shut down in order.
  void CloseSaveLoadOverStory();

  Harness& harness_;
  InstanceLock instanceLock_;
  FrameCompositor compositor_;
  // The questions asked and not yet answered (invalid tickets when none).
  DialogTicket quitQuestion_;
  DialogTicket titleQuestion_;
  DialogTicket quickSaveQuestion_;
  uint64_t frame_ = 0;
  bool storyLive_ = false;
  std::optional<std::vector<uint8_t>> keyConfigLib_;
  std::optional<std::vector<uint8_t>> systemButtonLib_;
  std::array<Surface, 2> spareSurfaces_;

  // Owned services, in construction order (the destructor deletes them in the same order).
  std::unique_ptr<ErrorReporter> errorReport_;
  std::unique_ptr<KeyConfig> keyConfig_;
  // The game data reader: archive paths and readers, and folder mode's settings.
  std::unique_ptr<GameData> gameData_;
  std::unique_ptr<GlyphRasterizer> glyphRasterizer_;
  std::unique_ptr<ScriptLoader> script_;
  std::unique_ptr<VariableTable> variables_;
  std::unique_ptr<MessageLayout> messageLayout_;
  std::unique_ptr<ReadFlagStore> readFlags_;
  std::unique_ptr<MessageWindowTask> messageWindow_;
  std::unique_ptr<DelayTask> delay_;
  std::unique_ptr<TransitionPlayer> transitions_;
  std::unique_ptr<Interpreter> interpreter_;
  // The dialog and the system sounds follow the settings the interpreter keeps.
  std::unique_ptr<YesNoDialog> dialog_;
  std::unique_ptr<SystemSounds> systemSounds_;
  std::unique_ptr<StorySaves> storySaves_;
  std::unique_ptr<SaveLoadScreen> saveLoad_;
  std::unique_ptr<TitleLink> titleLink_;
  std::unique_ptr<TitleScreen> title_;
  std::unique_ptr<NameList> eventCgList_;
  std::unique_ptr<CsvRowTable> pictureAbbreviations_;
};

}  // namespace zan
