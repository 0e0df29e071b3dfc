#include "app/GameApp.h"

#include <cstdlib>

#include "app/GameAppTitle.h"
#include "app/GameSettings.h"
#include "app/KeyConfig.h"
#include "app/StorySaves.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "message/MessageWindowTask.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "platform/Files.h"
#include "script/Interpreter.h"
#include "script/ReadFlagStore.h"
#include "script/SaveFile.h"
#include "script/ScriptLoader.h"
#include "script/DelayTask.h"
#include "script/VariableTable.h"
#include "screens/SaveLoadScreen.h"
#include "screens/SystemSounds.h"
#include "screens/YesNoDialog.h"
#include "stage/ImageLayers.h"
#include "transition/TransitionPlayer.h"

namespace zan {
namespace {

const std::string& AppTitle() {
  static const std::string title = Sjis("ＴＯＲＡＭＩTRIAL Ver.");
  return title;
}

}  // namespace

GameApp::GameApp(Platform& platform, Harness& harness)
    : Application(platform), harness_(harness), compositor_(tasks_, display_.BackBuffer()) {
  errorReport_ = std::make_unique<ErrorReporter>(&platform.GetMessageBoxes());
  keyConfig_ = std::make_unique<KeyConfig>();
  gameData_ = std::make_unique<GameData>(*errorReport_, platform.GetMessageBoxes());
  glyphRasterizer_ = std::make_unique<GlyphRasterizer>();
  script_ = std::make_unique<ScriptLoader>(*gameData_, &platform.GetMessageBoxes());
  variables_ = std::make_unique<VariableTable>();
  messageLayout_ = std::make_unique<MessageLayout>(glyphRasterizer_.get(), gameData_.get());
  readFlags_ = std::make_unique<ReadFlagStore>();
  messageWindow_ = std::make_unique<MessageWindowTask>(tasks_);
  delay_ = std::make_unique<DelayTask>(tasks_);
  transitions_ = std::make_unique<TransitionPlayer>(tasks_, compositor_, display_.BackBuffer(),
                                                    ImageLayers::kStageWidth, ImageLayers::kStageHeight);
  // The script channels play on the frame's sound device.
  interpreter_ = std::make_unique<Interpreter>(tasks_, *gameData_, *script_, *variables_, *readFlags_,
                                          soundManager_);
  // Skip mode lifts the frame-rate limit; its end restores 30 frames a second.
  interpreter_->SetFrameRateSink([this](int32_t fps) { display_.SetFrameRate(static_cast<uint32_t>(fps)); });
  interpreter_->Areas().Attach(*messageLayout_);
  interpreter_->Attach(*messageWindow_, compositor_);
  interpreter_->AttachTransitions(*transitions_);
  dialog_ = std::make_unique<YesNoDialog>(tasks_, compositor_, *gameData_, interpreter_->Options(), mouse_);
  systemSounds_ = std::make_unique<SystemSounds>(
      tasks_, soundManager_,
      [data = gameData_.get()](std::string_view name, std::vector<uint8_t>& bytes) {
        return data->ReadGameFile(name, kSlotSounds, bytes);
      },
      interpreter_->Options());
  MakeSaveLoadScreen();
  MakeTitle();
  eventCgList_ = std::make_unique<NameList>();
  pictureAbbreviations_ = std::make_unique<CsvRowTable>();
  interpreter_->SetPictureTables(eventCgList_.get(), pictureAbbreviations_.get());
  // On a virtual clock (headless) saves are dated from 2000-01-01 00:00 by that clock, so
  // that a run and its saves repeat exactly.
  if (platform.GetClock().MovesOnlyBySleeping()) {
    interpreter_->SetSaveClock([&clock = platform.GetClock()] {
      constexpr int64_t kFirstDay = 946684800;  // 2000-01-01 00:00 UTC, in seconds since 1970
      return SaveTime::FromUnixSeconds(kFirstDay + clock.Milliseconds() / 1000);
    });
  }
  // The timeline's input actions, as released keys mapped to them, and its saves and loads.
  harness_.SetActionSink([this](int32_t action) { DoAction(action, 0); });
  harness_.SetSlotSink([this](bool save, int32_t slot) {
    const std::string file = "save" + std::to_string(slot) + ".sav";
    if (!storyLive_) {
      ZAN_WARN("%s: no story runs (the title shows); nothing is %s", file.c_str(), save ? "saved" : "loaded");
      return;
    }
    if (save) interpreter_->SaveGame(file);
    else interpreter_->LoadGame(file);
  });
}

GameApp::~GameApp() {
  errorReport_.reset();
  keyConfig_.reset();
  gameData_.reset();
  glyphRasterizer_.reset();
  script_.reset();
  variables_.reset();
  messageLayout_.reset();
  readFlags_.reset();
  messageWindow_.reset();
  delay_.reset();
  transitions_.reset();
  interpreter_.reset();
  dialog_.reset();
  systemSounds_.reset();
  saveLoad_.reset();
  storySaves_.reset();
  titleLink_.reset();
  title_.reset();
  eventCgList_.reset();
  pictureAbbreviations_.reset();
}

bool GameApp::CheckSingleInstance() {
  MessageBoxes& boxes = platform_.GetMessageBoxes();
  if (InstanceLock::IsHeld("torami_trial_menu")) {
    boxes.Show(Sjis("起動メニューが起動されています、起動メニューを終了して再度起動して下さい。"),
               AppTitle(), kErrorBox);
    return false;
  }
  if (!instanceLock_.Acquire("torami_trial_app")) {
    boxes.Show(Sjis("既にゲームが起動されています。"), AppTitle(), kErrorBox);
    return false;
  }
  return true;
}

bool GameApp::LocateGameData(int mode, const std::string& folder) {
  if (!gameData_->LocateGameData(mode, folder)) return false;
  SetAppFolder(gameData_->InstallPath());
  return true;
}

void GameApp::LoadStartupDefinitions() {
  auto load = [&](const char* name, std::optional<std::vector<uint8_t>>& into) {
    std::vector<uint8_t> bytes;
    if (gameData_->ReadTableFile(name, kSlotDefinitions, bytes)) {
      into = std::move(bytes);
    } else {
      into.reset();
      platform_.GetMessageBoxes().Show(std::string(name) + Sjis(" がありません。"), "ERROR");
    }
  };
  load("system2.lib", keyConfigLib_);
  load("system1.lib", systemButtonLib_);
}

bool GameApp::InitializeGame() {
  // "Rnd" and the weather draw from one generator: the seed given, else the clock's time
  // (fixed under the headless clock, so such runs repeat).
  variables_->SeedRandom(harness_.Seed().value_or(platform_.GetClock().Milliseconds()));
  gameData_->SetArchiveMode(1);
  errorReport_->Setup(1, &platform_.GetWindow(), gameData_->StateFile("GameErrorLog.txt"));
  gameData_->OpenGameArchives();
  ApplyGameSettings();
  readFlags_->Load(*gameData_, *script_, errorReport_.get());
  // Text cannot be drawn without a Japanese font: say which one to install.
  if (Status fonts = glyphRasterizer_->InitRasterizer(platform_.GetFontInk()); !fonts) {
    platform_.GetMessageBoxes().Show(
        TryUtf8ToSjis(fonts.error().message).value_or(fonts.error().message), "ERROR");
    return false;
  }
  messageLayout_->LoadIconList();
  LoadStartupDefinitions();
  if (keyConfigLib_) keyConfig_->Load(*keyConfigLib_);
  interpreter_->SetRightButtonMappedToCancel(keyConfig_->Lookup(kInputRightButton) == kActionCancel);
  pictureAbbreviations_->Load(*gameData_, Sjis("省略.csv"), kSlotTables);
  eventCgList_->Load(*gameData_, Sjis("イベントＣＧリスト.csv"), kSlotTables);
  quitQuestion_ = {};
  display_.SetFrameRate(30);
  platform_.GetWindow().DisableTextInput();
  tasks_.SweepEndedTasks();
  tasks_.AddTask(&display_, kOrderDraw);
  // Added after the display at its key, the compositor runs ahead of it in each phase.
  tasks_.AddTask(&compositor_, kOrderDraw);
  display_.BackBuffer().Fill(0, 0, width_, height_, 0, 0, 0);
  window_.RegisterReceiver(&interpreter_->InputReceiver());
  return true;
}

void GameApp::ApplyGameSettings() {
  const GameSettings settings = GameSettings::Load(*gameData_);
  // A title bar that already shows an error line (a missing archive) keeps it.
  if (!settings.titleSjis.empty() && platform_.GetWindow().Title() == TitleSjis())
    SetTitle(settings.titleSjis);
  settings.ApplyDefaults(interpreter_->Options());
}

bool GameApp::StartScriptFound() {
  const std::string& script = harness_.StartScript();
  if (!harness_.StartScriptGiven() || gameData_->GetArchive(kSlotScripts).HasEntry(script))
    return true;
  ZAN_WARN("--start %s: msg.arc holds no such script", SjisToUtf8(script).c_str());
  return false;
}

int32_t GameApp::MainLoop() {
  width_ = Width();
  height_ = Height();
  if (!InitializeGame()) {
    SetStartFailed();
    return 0;
  }
  if (!IsDeviceFormat(display_.PixelFormatCode())) {
    platform_.GetMessageBoxes().Show(Sjis("DirectDrawに対応していません。"), "ERROR");
    platform_.GetPresenter().SetFullScreen(false);
    SetStartFailed();
    return 0;
  }
  if (!StartScriptFound()) {
    SetStartFailed(2);
    return 0;
  }
  interpreter_->Prepare();
  systemSounds_->ApplySettings();
  if (interpreter_->Options().displayMode != 1) ToggleFullScreen(true);
  // Authors and tests name the script to start at and skip the title.
  if (harness_.StartScriptGiven()) StartStory(harness_.StartScript(), {});
  else OpenTitle(false);

  Window& window = platform_.GetWindow();
  for (frame_ = 0;; ++frame_) {
    harness_.BeforeFrame(frame_, window);
    if (!PumpEvent()) break;
    tasks_.RunFrame();
    soundManager_.PauseWhenSilent();
    // The pass yields the processor for 1 ms unless the frame's pacing slept already, or
    // frames are not paced (skip mode) and this one changed the picture: skipped pages run
    // back to back, a skip waiting on something does not spin. A clock that moves only by
    // sleeping still moves 1 ms a pass, so the story's time goes as it always did.
    Clock& clock = platform_.GetClock();
    const FrameTimer& timer = display_.GetFrameTimer();
    const bool rested = timer.Rate() != 0 ? timer.Slept() : compositor_.FrameChanged();
    if (clock.MovesOnlyBySleeping() || !rested) clock.Sleep(1);
    if (TakeAnswers()) break;
    if (harness_.AfterFrame(frame_)) break;
  }

  ZAN_DEBUG("frames: %llu composed, %llu left as they were; %llu presented, %llu pixels",
            static_cast<unsigned long long>(compositor_.ComposedFrames()),
            static_cast<unsigned long long>(compositor_.UndrawnFrames()),
            static_cast<unsigned long long>(display_.PresentedFrames()),
            static_cast<unsigned long long>(display_.PresentedPixels()));
  interpreter_->SaveOptions();
  interpreter_->SetGameMode(kModeStory);
  ShutDown();
  harness_.DumpVariables(*variables_);
  return 0;
}

Surface& GameApp::SpareSurface(int index) {
  Surface& surface = spareSurfaces_[static_cast<size_t>(index)];
  if (!surface.View() && width_ > 0 && height_ > 0) surface.Create(width_, height_);
  return surface;
}

void GameApp::ShutDown() {
  if (display_.IsFullScreen()) display_.SetFullScreen(0);
  interpreter_->SaveReadFlags();
  instanceLock_.Release();
  spareSurfaces_[0].Release();
  spareSurfaces_[1].Release();
  window_.Destroy();
  platform_.GetWindow().PostQuit(0);
}

void GameApp::QuitRequest() {
  if (dialog_->IsOpen()) return;
  if (interpreter_->IsRunning()) {
    interpreter_->SetSkipMode(false);
    interpreter_->SetAutoMode(false);
  }
  const GameMode mode = interpreter_->Mode();
  quitQuestion_ = dialog_->Ask(mode == kModeSceneReplay || mode == kModeMusicRoom ? DialogKind::kQuitDuringReplay
                                                                                   : DialogKind::kQuit);
}

void GameApp::AskReturnToTitle() {
  if (dialog_->IsOpen() || !storyLive_) return;
  // The story must not skip or advance on its own behind the question.
  if (interpreter_->IsRunning()) {
    interpreter_->SetSkipMode(false);
    interpreter_->SetAutoMode(false);
  }
  titleQuestion_ = dialog_->Ask(interpreter_->Mode() == kModeSceneReplay ? DialogKind::kReturnDuringReplay
                                                                         : DialogKind::kReturnToTitle);
}

void GameApp::AskQuickSave() {
  if (dialog_->IsOpen() || !interpreter_->QuickSaveAllowed()) return;
  interpreter_->SetSkipMode(false);
  interpreter_->SetAutoMode(false);
  quickSaveQuestion_ = dialog_->Ask(DialogKind::kOverwrite);
}

bool GameApp::TakeAnswers() {
  auto answered = [this](DialogTicket& question, bool& yes) {
    if (!question.Valid()) return false;
    const DialogAnswer answer = dialog_->AnswerOf(question);
    if (answer == DialogAnswer::kPending) return false;
    yes = answer == DialogAnswer::kYes;
    question = {};
    return true;
  };
  bool yes = false;
  if (answered(quickSaveQuestion_, yes) && yes) interpreter_->QuickSave();
  if (answered(titleQuestion_, yes) && yes) ReturnToTitle();
  return answered(quitQuestion_, yes) && yes;
}

void GameApp::ReturnToTitle() {
  CloseSaveLoadOverStory();
  if (!storyLive_) return;
  // The story's end opens the title (AfterStory).
  interpreter_->ReturnToTitle();
  tasks_.SweepEndedTasks();
}

void GameApp::FlushClickMessages() { platform_.GetWindow().DropQueuedClicks(); }

void GameApp::ToggleFullScreen() { ToggleFullScreen(!display_.IsFullScreen()); }

void GameApp::ToggleFullScreen(bool fullScreen) {
  if (fullScreen) platform_.GetWindow().DisableTextInput();
  if (fullScreen != display_.IsFullScreen()) display_.SetFullScreen(fullScreen ? 1 : 0);
}

bool GameApp::HandleEvent(const InputEvent& event) {
  // A question that shows takes the keys and buttons before anybody else.
  if (dialog_->HandleEvent(event)) return true;
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kFocusLost:
      // Losing the focus leaves full screen and remembers the window as the display mode.
      if (display_.IsFullScreen()) ToggleFullScreen(false);
      interpreter_->Options().displayMode = 1;
      return false;
    case Kind::kKeyDown:
    case Kind::kKeyUp:
    case Kind::kButtonDown:
    case Kind::kButtonUp:
    case Kind::kWheel:
      return RouteInput(event);
    case Kind::kCloseRequest:
      QuitRequest();
      return true;  // the window is never closed directly
    default:
      return false;
  }
}

}  // namespace zan
