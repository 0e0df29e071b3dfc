#pragma once
// Application: the framework's application object. It holds the display, the task list, the
// window and the platform services, runs the start-up (window, display, sound device) and provides a
// default message pump. The game's GameApp derives from it and replaces the message
// handler and the main loop.

#include <cstdint>
#include <string>

#include "core/TaskScheduler.h"
#include "display/Display.h"
#include "platform/EventReceiver.h"
#include "platform/Platform.h"
#include "platform/GameWindow.h"
#include "sound/SoundManager.h"

namespace zan {

class Application : public EventReceiver {
 public:
  explicit Application(Platform& platform);
  ~Application() override;

  // The window-message handler. The default posts the quit message on WM_DESTROY.
  virtual int32_t WindowMessageHandler(const WindowMessage& message);
  // The main loop. The default is the message pump alone, until WM_QUIT.
  virtual int32_t MainLoop();
  // Creates the window and the display, then runs the main loop. Returns 0.
  virtual int32_t Run(int width, int height, int depthHint, int fullScreen);

  // Frame set-up: the window title (Shift-JIS) and the window class name.
  void FrameSetup(std::string titleSjis, std::string className);
  // A title the game names for itself replaces the frame set-up's, in the window too.
  void SetTitle(std::string titleSjis);

  // One message pump step: 0 when WM_QUIT was taken from the queue, else 1. Takes and
  // dispatches at most one message.
  int32_t PumpMessage();

  int32_t HandleMessage(const WindowMessage& message) override {
    return WindowMessageHandler(message);
  }

  Platform& GetPlatform() { return platform_; }
  Display& GetDisplay() { return display_; }
  TaskScheduler& Tasks() { return tasks_; }
  // The sound device, initialised by Run once the window exists.
  SoundManager& Sound() { return soundManager_; }
  GameWindow& MainWindow() { return window_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The application folder, ending in '/'.
  const std::string& AppFolder() const { return appFolder_; }
  void SetAppFolder(std::string folder);
  const std::string& TitleSjis() const { return title_; }
  const std::string& ClassName() const { return className_; }
  // Set when the start-up could not complete (no window); the program then exits with the
  // status given (1, or 2 for a command line that asked for what the game lacks).
  bool StartFailed() const { return startFailure_ != 0; }
  int StartFailureStatus() const { return startFailure_; }

  // The one application object, through which tasks reach the services; null outside Run.
  static Application* Instance();

 protected:
  void SetStartFailed(int status = 1) { startFailure_ = status; }

  Platform& platform_;
  Display display_;
  TaskScheduler tasks_;
  SoundManager soundManager_;
  GameWindow window_;
  int width_ = 0;
  int height_ = 0;

 private:
  std::string appFolder_;
  std::string title_;
  std::string className_;
  int startFailure_ = 0;
};

}  // namespace zan
