#include "app/GameApp.h"

#include <cstdlib>

#include "app/KeyConfig.h"
#include "base/ShiftJis.h"
#include "graphics/DirectDrawManager.h"
#include "message/DrawMessage.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageArea.h"
#include "message/MessageLayout.h"
#include "platform/Files.h"
#include "script/GameMain.h"
#include "script/Kidoku.h"
#include "script/MessageHost.h"
#include "script/Script.h"
#include "script/TimeWait.h"
#include "script/Variable.h"

namespace zan {
namespace {

const std::string& AppTitle() {
  static const std::string title = Sjis("ＴＯＲＡＭＩTRIAL Ver.");
  return title;
}

}  // namespace

CGameApp::CGameApp(Platform& platform, Harness& harness)
    : CZANApp(platform), harness_(harness) {
  errorReport_ = std::make_unique<CErrorReport>(&platform.GetMessageBoxes());
  keyConfig_ = std::make_unique<CKeyConfig>();
  gameData_ = std::make_unique<CGameData>(*errorReport_, platform.GetMessageBoxes());
  glyphRasterizer_ = std::make_unique<CGlyphRasterizer>();
  script_ = std::make_unique<CScript>(*gameData_, &platform.GetMessageBoxes());
  variables_ = std::make_unique<CVariable>();
  messageLayout_ = std::make_unique<CMessageLayout>(glyphRasterizer_.get(), gameData_.get());
  kidoku_ = std::make_unique<CKidoku>();
  drawMessage_ = std::make_unique<CDrawMessage>(tasks_, draw_.BackBuffer());
  gameSoundManager_ = std::make_unique<CSoundManager>();
  timeWait_ = std::make_unique<CTimeWait>(tasks_);
  // The script channels play on the frame's sound device.
  gameMain_ = std::make_unique<CGameMain>(tasks_, *gameData_, *script_, *variables_, *kidoku_,
                                          soundManager_);
  // Skip mode lifts the frame-rate limit; its end restores 30 frames a second.
  gameMain_->SetFrameRateSink([this](int32_t fps) { draw_.SetFrameRate(static_cast<uint32_t>(fps)); });
  messageHost_ = std::make_unique<CGameMessageHost>(*gameMain_);
  drawMessage_->SetHost(messageHost_.get());
  gameMain_->Areas().Attach(*messageLayout_, *drawMessage_);
  eventCgList_ = std::make_unique<CNameList>();
  pictureAbbreviations_ = std::make_unique<CCsvRowTable>();
  gameMain_->SetPictureTables(eventCgList_.get(), pictureAbbreviations_.get());
  gameMain_->SetDrawTarget(&draw_.BackBuffer());
}

CGameApp::~CGameApp() {
  errorReport_.reset();
  keyConfig_.reset();
  gameData_.reset();
  glyphRasterizer_.reset();
  script_.reset();
  variables_.reset();
  messageLayout_.reset();
  kidoku_.reset();
  drawMessage_.reset();
  timeWait_.reset();
  gameSoundManager_.reset();
  gameMain_.reset();
  messageHost_.reset();
  eventCgList_.reset();
  pictureAbbreviations_.reset();
}

int32_t CGameApp::CheckSingleInstance() {
  MessageBoxes& boxes = platform_.GetMessageBoxes();
  if (InstanceLock::IsHeld("torami_trial_menu")) {
    boxes.Show(Sjis("起動メニューが起動されています、起動メニューを終了して再度起動して下さい。"),
               AppTitle(), MB_ICONERROR);
    return 0;
  }
  if (!instanceLock_.Acquire("torami_trial_app")) {
    boxes.Show(Sjis("既にゲームが起動されています。"), AppTitle(), MB_ICONERROR);
    return 0;
  }
  return 1;
}

int32_t CGameApp::LocateGameData(int mode, const std::string& folder) {
  if (gameData_->LocateGameData(mode, folder) == 0) return 0;
  SetAppFolder(gameData_->InstallPath());
  return 1;
}

void CGameApp::LoadStartupDefinitions() {
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

bool CGameApp::InitializeGame() {
  variables_->SeedRandom(GetMilliseconds());
  gameData_->SetArchiveMode(1);
  errorReport_->Setup(1, &platform_.GetWindow(), gameData_->InstallPath() + "GameErrorLog.txt");
  gameData_->OpenGameArchives();
  // Pictures are loaded again from slot 1 after a display change.
  DirectDrawManager().SetPictureArchive(&gameData_->Archive(kSlotPictures));
  kidoku_->Load(*gameData_, *script_, errorReport_.get());
  // Text cannot be drawn without a Japanese font: say which one to install.
  if (Status fonts = glyphRasterizer_->InitRasterizer(platform_.GetFontInk()); !fonts) {
    platform_.GetMessageBoxes().Show(
        TryUtf8ToSjis(fonts.error().message).value_or(fonts.error().message), "ERROR", MB_OK);
    return false;
  }
  messageLayout_->LoadIconList();
  LoadStartupDefinitions();
  if (keyConfigLib_) keyConfig_->Load(*keyConfigLib_);
  gameMain_->SetRightButtonMappedToCancel(keyConfig_->Lookup(kInputRightButton) == kActionCancel);
  pictureAbbreviations_->Load(*gameData_, Sjis("省略.csv"), kSlotTables);
  eventCgList_->Load(*gameData_, Sjis("イベントＣＧリスト.csv"), kSlotTables);
  quitRequest_ = 0;
  draw_.SetFrameRate(30);
  platform_.GetWindow().DisableTextInput();
  tasks_.SweepEndedTasks();
  tasks_.AddTask(&draw_, kOrderDraw);
  draw_.BackBuffer().Fill(0, 0, width_, height_, 0, 0, 0);
  spareSurfaces_[0].Create(width_, height_, DDSCAPS_SYSTEMMEMORY);
  spareSurfaces_[1].Create(width_, height_, DDSCAPS_SYSTEMMEMORY);
  window_.RegisterReceiver(&gameMain_->InputReceiver());
  return true;
}

int32_t CGameApp::MainLoop() {
  width_ = Width();
  height_ = Height();
  if (!InitializeGame()) {
    SetStartFailed();
    return 0;
  }
  if (!IsDeviceFormat(draw_.PixelFormatCode())) {
    platform_.GetMessageBoxes().Show(Sjis("DirectDrawに対応していません。"), "ERROR", MB_OK);
    platform_.GetPresenter().SetFullScreen(false);
    SetStartFailed();
    return 0;
  }
  gameMain_->Prepare();
  if (gameMain_->Options().displayMode != 1) ToggleFullScreen(1);
  // Until the title screen exists the story starts at once.
  gameMain_->StartGame(harness_.StartScript());

  Window& window = platform_.GetWindow();
  for (frame_ = 0;; ++frame_) {
    harness_.BeforeFrame(frame_, window);
    if (PumpMessage() != 1) break;
    tasks_.RunFrame();
    Sleep(1);
    if (quitRequest_ == 1) {
      quitRequest_ = 0;
      if (quitAnswer_ == 1) {
        quitAnswer_ = 0;
        break;
      }
    }
    if (harness_.AfterFrame(frame_)) break;
  }

  gameMain_->SaveOptions();
  gameMain_->SetGameMode(kModeStory);
  ShutDown();
  harness_.DumpVariables(*variables_);
  return 0;
}

void CGameApp::ShutDown() {
  if (draw_.IsFullScreen()) draw_.SetFullScreen(0);
  gameMain_->SaveReadFlags();
  instanceLock_.Release();
  spareSurfaces_[0].Release();
  spareSurfaces_[1].Release();
  window_.Destroy();
  platform_.GetWindow().PostQuitMessage(0);
}

int32_t CGameApp::QuitRequest() {
  if (gameMain_->IsRunning()) {
    gameMain_->SetSkipMode(0);
    gameMain_->SetAutoMode(0);
  }
  quitRequest_ = 1;
  quitAnswer_ = 1;
  return 1;
}

void CGameApp::FlushClickMessages() {
  Window& window = platform_.GetWindow();
  while (window.PeekMessage(nullptr, WM_KEYDOWN, WM_KEYDOWN, true)) {
  }
  while (window.PeekMessage(nullptr, WM_LBUTTONUP, WM_LBUTTONUP, true)) {
  }
  while (window.PeekMessage(nullptr, WM_RBUTTONUP, WM_RBUTTONUP, true)) {
  }
}

void CGameApp::ToggleFullScreen() { ToggleFullScreen(draw_.IsFullScreen() ? 0 : 1); }

void CGameApp::ToggleFullScreen(int32_t target) {
  if (target == 1) platform_.GetWindow().DisableTextInput();
  if ((target == 1) != draw_.IsFullScreen()) draw_.SetFullScreen(target == 1 ? 1 : 0);
}

int32_t CGameApp::WindowMessageHandler(const WindowMessage& message) {
  switch (message.message) {
    case WM_ACTIVATEAPP:
      if (message.wParam == 0) {
        // Losing the focus leaves full screen and remembers the window as the display mode.
        if (draw_.IsFullScreen()) ToggleFullScreen(0);
        gameMain_->Options().displayMode = 1;
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
              AppTitle() + "\n" + Sjis("ZAN ビジュアルノベルエンジン"), AppTitle(), MB_OK);
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
