#pragma once
// CGameApp: the game's application object. It creates every service and screen once, in a
// fixed order, owns them for the whole run, replaces the framework's message handler with
// the game's, and runs the game's main loop: one window message, phase 0 and phase 1 over
// the task list, Sleep(1).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Harness.h"
#include "app/ZANApp.h"
#include "app/core/ErrorReport.h"
#include "data/CsvRowTable.h"
#include "data/GameData.h"
#include "data/NameList.h"
#include "platform/InstanceLock.h"
#include "sound/SoundManager.h"

namespace zan {

struct AppOptions;
class CDrawMessage;
class CGameMain;
class CGameMessageHost;
class CGlyphRasterizer;
class CKeyConfig;
class CKidoku;
class CMessageLayout;
class CScript;
class CTimeWait;
class CVariable;

class CGameApp : public CZANApp {
 public:
  static constexpr int kArchiveSlots = kGameSlotCount;
  // WM_COMMAND identifiers of the game's menus.
  static constexpr uint32_t kCommandAbout = 40046;
  static constexpr uint32_t kCommandQuit = 40047;
  static constexpr uint32_t kCommandShowPath = 40166;

  CGameApp(Platform& platform, Harness& harness);
  ~CGameApp() override;

  int32_t WindowMessageHandler(const WindowMessage& message) override;
  int32_t MainLoop() override;

  // Refuses a second running copy (and a start while the start-up menu runs): 1 to go on.
  int32_t CheckSingleInstance();
  // Finds the game data (CGameData::LocateGameData) and makes its folder the application
  // folder. Mode 0: the game folder is `folder` (the current folder when empty). 1 on success.
  int32_t LocateGameData(int mode, const std::string& folder = {});

  // Asks whether to quit; the main loop acts on the answer after the frame.
  int32_t QuitRequest();
  // Drops queued key presses and button releases (clicks that piled up in a long frame).
  void FlushClickMessages();
  // Input: the action an input number fires (through the key configuration), and the
  // action itself; DoAction answers 1 when it handled the code (GameAppInput.cpp).
  int32_t RaiseInput(int32_t input, int32_t pressed);
  int32_t DoAction(int32_t code, int32_t pressed);
  // Switches between the window and full screen; with a target, to full screen (1) or the
  // window (0). The input method goes off before full screen.
  void ToggleFullScreen();
  void ToggleFullScreen(int32_t target);

  CErrorReport& ErrorReport() { return *errorReport_; }
  CGameData& GameData() { return *gameData_; }
  const std::string& InstallPath() const { return gameData_->InstallPath(); }
  const std::string& SlotPath(int slot) const { return gameData_->SlotPath(slot); }
  int32_t ArchiveMode() const { return gameData_->ArchiveMode(); }
  // The start-up definition files, unscrambled; empty when missing. Held until the key
  // configuration (system2.lib) and the system buttons (system1.lib) take them over.
  const std::optional<std::vector<uint8_t>>& KeyConfigDefinition() const { return keyConfigLib_; }
  const std::optional<std::vector<uint8_t>>& SystemButtonDefinition() const { return systemButtonLib_; }
  // "イベントＣＧリスト.csv" and "省略.csv".
  CNameList& EventCgList() { return *eventCgList_; }
  CCsvRowTable& PictureAbbreviations() { return *pictureAbbreviations_; }
  CKeyConfig& KeyConfig() { return *keyConfig_; }
  CScript& Script() { return *script_; }
  CVariable& Variables() { return *variables_; }
  CKidoku& Kidoku() { return *kidoku_; }
  CTimeWait& TimeWait() { return *timeWait_; }
  CGameMain& GameMain() { return *gameMain_; }
  CGlyphRasterizer& GlyphRasterizer() { return *glyphRasterizer_; }
  CMessageLayout& MessageLayout() { return *messageLayout_; }
  CDrawMessage& DrawMessage() { return *drawMessage_; }
  int32_t QuitRequestPending() const { return quitRequest_; }
  uint64_t FrameCount() const { return frame_; }
  // The three spare full-screen surfaces (the first two are made at start-up).
  CDirectDrawSurface& SpareSurface(int index) { return spareSurfaces_[static_cast<size_t>(index)]; }

 private:
  // False when the start-up cannot go on (a message says why).
  bool InitializeGame();
  // Reads system2.lib then system1.lib from the definition archive.
  void LoadStartupDefinitions();
  void ShutDown();
  // Key, button and wheel messages turned into inputs (GameAppInput.cpp).
  int32_t RouteInput(const WindowMessage& message);

  Harness& harness_;
  InstanceLock instanceLock_;
  int32_t quitRequest_ = 0;
  // The answer to the quit question. Until the yes/no dialog exists there is no question
  // to ask, so a request is answered yes at once.
  int32_t quitAnswer_ = 0;
  uint64_t frame_ = 0;
  std::optional<std::vector<uint8_t>> keyConfigLib_;
  std::optional<std::vector<uint8_t>> systemButtonLib_;
  std::array<CDirectDrawSurface, 3> spareSurfaces_;

  // Owned services, in construction order (the destructor deletes them in the same order).
  std::unique_ptr<CErrorReport> errorReport_;
  std::unique_ptr<CKeyConfig> keyConfig_;
  // The game data reader: archive paths and readers, and folder mode's settings.
  std::unique_ptr<CGameData> gameData_;
  std::unique_ptr<CGlyphRasterizer> glyphRasterizer_;
  std::unique_ptr<CScript> script_;
  std::unique_ptr<CVariable> variables_;
  std::unique_ptr<CMessageLayout> messageLayout_;
  std::unique_ptr<CKidoku> kidoku_;
  std::unique_ptr<CDrawMessage> drawMessage_;
  // The second, game-side sound manager, at its place in the order. It is never
  // initialised: the channels play on the frame's device (SoundManager()).
  std::unique_ptr<CSoundManager> gameSoundManager_;
  std::unique_ptr<CTimeWait> timeWait_;
  std::unique_ptr<CGameMain> gameMain_;
  // What the message window task reads of the interpreter.
  std::unique_ptr<CGameMessageHost> messageHost_;
  std::unique_ptr<CNameList> eventCgList_;
  std::unique_ptr<CCsvRowTable> pictureAbbreviations_;
};

}  // namespace zan
