#include "app/GameApp.h"

#include <cstdlib>

#include "app/GameSettings.h"
#include "app/KeyConfig.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/SurfaceRegistry.h"
#include "message/MessageWindowTask.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "platform/Files.h"
#include "script/Interpreter.h"
#include "script/ReadFlagStore.h"
#include "script/ScriptLoader.h"
#include "script/DelayTask.h"
#include "script/VariableTable.h"

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
  // The script channels play on the frame's sound device.
  interpreter_ = std::make_unique<Interpreter>(tasks_, *gameData_, *script_, *variables_, *readFlags_,
                                          soundManager_);
  // Skip mode lifts the frame-rate limit; its end restores 30 frames a second.
  interpreter_->SetFrameRateSink([this](int32_t fps) { display_.SetFrameRate(static_cast<uint32_t>(fps)); });
  interpreter_->Areas().Attach(*messageLayout_);
  interpreter_->Attach(*messageWindow_, compositor_);
  eventCgList_ = std::make_unique<NameList>();
  pictureAbbreviations_ = std::make_unique<CsvRowTable>();
  interpreter_->SetPictureTables(eventCgList_.get(), pictureAbbreviations_.get());
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
  interpreter_.reset();
  eventCgList_.reset();
  pictureAbbreviations_.reset();
}

bool GameApp::CheckSingleInstance() {
  MessageBoxes& boxes = platform_.GetMessageBoxes();
  if (InstanceLock::IsHeld("torami_trial_menu")) {
    boxes.Show(Sjis("起動メニューが起動されています、起動メニューを終了して再度起動して下さい。"),
               AppTitle(), MB_ICONERROR);
    return false;
  }
  if (!instanceLock_.Acquire("torami_trial_app")) {
    boxes.Show(Sjis("既にゲームが起動されています。"), AppTitle(), MB_ICONERROR);
    return false;
  }
  return true;
}

bool GameApp::LocateGameData(int mode, const std::string& folder) {
  if (gameData_->LocateGameData(mode, folder) == 0) return false;
  SetAppFolder(gameData_->InstallPath());
  return true;
}

void GameApp::LoadStartupDefinitions() {
  auto load = [&](const char* name, std::optional<std::vector<uint8_t>>& into) {
    std::vector<uint8_t> bytes;
    if (gameData_->ReadTableFile(name, kSlotDefinitions, bytes) == 1) {
      into = std::move(bytes);
    } else {
      into.reset();
      platform_.GetMessageBoxes().Show(std::string(name) + Sjis(" がありません。"), "ERROR", MB_OK);
    }
  };
  load("system2.lib", keyConfigLib_);
  load("system1.lib", systemButtonLib_);
}

bool GameApp::InitializeGame() {
  variables_->SeedRandom(GetMilliseconds());
  gameData_->SetArchiveMode(1);
  errorReport_->Setup(1, &platform_.GetWindow(), gameData_->StateFile("GameErrorLog.txt"));
  gameData_->OpenGameArchives();
  ApplyGameSettings();
  // Pictures are loaded again from slot 1 after a display change.
  Surfaces().SetPictureArchive(&gameData_->GetArchive(kSlotPictures));
  readFlags_->Load(*gameData_, *script_, errorReport_.get());
  // Text cannot be drawn without a Japanese font: say which one to install.
  if (Status fonts = glyphRasterizer_->InitRasterizer(platform_.GetFontInk()); !fonts) {
    platform_.GetMessageBoxes().Show(
        TryUtf8ToSjis(fonts.error().message).value_or(fonts.error().message), "ERROR", MB_OK);
    return false;
  }
  messageLayout_->LoadIconList();
  LoadStartupDefinitions();
  if (keyConfigLib_) keyConfig_->Load(*keyConfigLib_);
  interpreter_->SetRightButtonMappedToCancel(keyConfig_->Lookup(kInputRightButton) == kActionCancel);
  pictureAbbreviations_->Load(*gameData_, Sjis("省略.csv"), kSlotTables);
  eventCgList_->Load(*gameData_, Sjis("イベントＣＧリスト.csv"), kSlotTables);
  quitRequest_ = false;
  display_.SetFrameRate(30);
  platform_.GetWindow().DisableTextInput();
  tasks_.SweepEndedTasks();
  tasks_.AddTask(&display_, kOrderDraw);
  // Added after the display at its key, the compositor runs ahead of it in each phase.
  tasks_.AddTask(&compositor_, kOrderDraw);
  display_.BackBuffer().Fill(0, 0, width_, height_, 0, 0, 0);
  spareSurfaces_[0].Create(width_, height_, DDSCAPS_SYSTEMMEMORY);
  spareSurfaces_[1].Create(width_, height_, DDSCAPS_SYSTEMMEMORY);
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
  if (!harness_.StartScriptGiven() || gameData_->GetArchive(kSlotScripts).HasEntry(script) == 1)
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
    platform_.GetMessageBoxes().Show(Sjis("DirectDrawに対応していません。"), "ERROR", MB_OK);
    platform_.GetPresenter().SetFullScreen(false);
    SetStartFailed();
    return 0;
  }
  if (!StartScriptFound()) {
    SetStartFailed(2);
    return 0;
  }
  interpreter_->Prepare();
  if (interpreter_->Options().displayMode != 1) ToggleFullScreen(true);
  // Until the title screen exists the story starts at once.
  interpreter_->StartGame(harness_.StartScript());

  Window& window = platform_.GetWindow();
  for (frame_ = 0;; ++frame_) {
    harness_.BeforeFrame(frame_, window);
    if (PumpMessage() != 1) break;
    tasks_.RunFrame();
    Sleep(1);
    if (quitRequest_) {
      quitRequest_ = false;
      if (quitAnswer_) {
        quitAnswer_ = false;
        break;
      }
    }
    if (harness_.AfterFrame(frame_)) break;
  }

  interpreter_->SaveOptions();
  interpreter_->SetGameMode(kModeStory);
  ShutDown();
  harness_.DumpVariables(*variables_);
  return 0;
}

void GameApp::ShutDown() {
  if (display_.IsFullScreen()) display_.SetFullScreen(0);
  interpreter_->SaveReadFlags();
  instanceLock_.Release();
  spareSurfaces_[0].Release();
  spareSurfaces_[1].Release();
  window_.Destroy();
  platform_.GetWindow().PostQuitMessage(0);
}

void GameApp::QuitRequest() {
  if (interpreter_->IsRunning()) {
    interpreter_->SetSkipMode(false);
    interpreter_->SetAutoMode(false);
  }
  quitRequest_ = true;
  quitAnswer_ = true;
}

void GameApp::FlushClickMessages() {
  Window& window = platform_.GetWindow();
  while (window.PeekMessage(nullptr, WM_KEYDOWN, WM_KEYDOWN, true)) {
  }
  while (window.PeekMessage(nullptr, WM_LBUTTONUP, WM_LBUTTONUP, true)) {
  }
  while (window.PeekMessage(nullptr, WM_RBUTTONUP, WM_RBUTTONUP, true)) {
  }
}

void GameApp::ToggleFullScreen() { ToggleFullScreen(!display_.IsFullScreen()); }

void GameApp::ToggleFullScreen(bool fullScreen) {
  if (fullScreen) platform_.GetWindow().DisableTextInput();
  if (fullScreen != display_.IsFullScreen()) display_.SetFullScreen(fullScreen ? 1 : 0);
}

int32_t GameApp::WindowMessageHandler(const WindowMessage& message) {
  switch (message.message) {
    case WM_ACTIVATEAPP:
      if (message.wParam == 0) {
        // Losing the focus leaves full screen and remembers the window as the display mode.
        if (display_.IsFullScreen()) ToggleFullScreen(false);
        interpreter_->Options().displayMode = 1;
      }
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
      return RouteInput(message);
    case WM_COMMAND:
      switch (LowWord(message.wParam)) {
        case kCommandAbout:
          platform_.GetMessageBoxes().Show(
              TitleSjis() + "\n" + Sjis("ZAN ビジュアルノベルエンジン"), TitleSjis(), MB_OK);
          break;
        case kCommandQuit:
          QuitRequest();
          break;
        case kCommandShowPath:
          platform_.GetMessageBoxes().Show(
              TryUtf8ToSjis(gameData_->InstallPath()).value_or(gameData_->InstallPath()),
              Sjis("パス"), MB_OK);
          break;
        default:
          break;
      }
      return 0;
    case WM_SYSCOMMAND:
      switch (message.wParam & 0xFFF0) {
        case SC_CLOSE:
          QuitRequest();
          return 1;  // the window is never closed directly
        case SC_SCREENSAVE:
          return 1;  // no screen saver while the game has focus
        default:
          return 0;
      }
    case WM_ERASEBKGND:
      return 1;
    default:
      return 0;
  }
}

}  // namespace zan
