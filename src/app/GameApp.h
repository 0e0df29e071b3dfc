#pragma once
// CGameApp: the game's application object. It creates every service and screen once, in a
// fixed order, owns them for the whole run, replaces the framework's message handler with
// the game's, and runs the game's main loop: one window message, phase 0 and phase 1 over
// the task list, Sleep(1).

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/Harness.h"
#include "app/ZANApp.h"
#include "app/core/ErrorReport.h"
#include "platform/InstanceLock.h"
#include "sound/SoundManager.h"

namespace zan {

struct AppOptions;

class CGameApp : public CZANApp {
 public:
  static constexpr int kArchiveSlots = 6;
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
  // Finds the game data. Mode 0: the game folder is `folder` (the current folder when
  // empty) and every archive slot is a file in it. 1 on success.
  int32_t LocateGameData(int mode, const std::string& folder = {});

  // Asks whether to quit; the main loop acts on the answer after the frame.
  int32_t QuitRequest();
  // Drops queued key presses and button releases (clicks that piled up in a long frame).
  void FlushClickMessages();

  CErrorReport& ErrorReport() { return *errorReport_; }
  const std::string& InstallPath() const { return installPath_; }
  const std::string& SlotPath(int slot) const { return slotPaths_[static_cast<size_t>(slot)]; }
  int32_t ArchiveMode() const { return archiveMode_; }
  int32_t QuitRequestPending() const { return quitRequest_; }
  uint64_t FrameCount() const { return frame_; }

 private:
  void InitializeGame();
  void ShutDown();

  Harness& harness_;
  int32_t archiveMode_ = 0;
  InstanceLock instanceLock_;
  int32_t quitRequest_ = 0;
  // The answer to the quit question. Until the yes/no dialog exists there is no question
  // to ask, so a request is answered yes at once.
  int32_t quitAnswer_ = 0;
  std::string installPath_;
  std::array<std::string, kArchiveSlots> slotPaths_;
  uint64_t frame_ = 0;

  // Owned services, in construction order.
  std::unique_ptr<CErrorReport> errorReport_;
  // The second, game-side sound manager, at its place in the order. It is never
  // initialised: the channels play on the frame's device (SoundManager()).
  std::unique_ptr<CSoundManager> gameSoundManager_;
};

}  // namespace zan
