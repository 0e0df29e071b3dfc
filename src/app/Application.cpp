#include "app/Application.h"

#include "core/MouseState.h"
#include "base/DiagnosticLog.h"
#include "platform/Files.h"

namespace zan {
namespace {
Application* g_app = nullptr;
}

Application* Application::Instance() { return g_app; }

Application::Application(Platform& platform)
    : EventReceiver("CZANApp"), platform_(platform), display_(platform), window_(platform.GetWindow()) {
  tasks_.SetReceivers(&window_.Receivers());
}

Application::~Application() {
  if (g_app == this) g_app = nullptr;
}

void Application::FrameSetup(std::string titleSjis, std::string className) {
  title_ = std::move(titleSjis);
  className_ = std::move(className);
}

void Application::SetTitle(std::string titleSjis) {
  title_ = std::move(titleSjis);
  if (platform_.GetWindow().IsCreated()) platform_.GetWindow().SetTitle(title_);
}

void Application::SetAppFolder(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  appFolder_ = std::move(folder);
  SetApplicationFolder(appFolder_);
}

int32_t Application::WindowMessageHandler(const WindowMessage& message) {
  if (message.message == WM_DESTROY) platform_.GetWindow().PostQuitMessage(0);
  return 0;
}

int32_t Application::MainLoop() {
  while (PumpMessage() == 1) {
  }
  return 0;
}

int32_t Application::PumpMessage() {
  Window& window = platform_.GetWindow();
  if (!window.PeekMessage(nullptr, 0, 0, false)) return 1;
  WindowMessage message;
  window.PeekMessage(&message, 0, 0, true);
  if (message.message == WM_QUIT) return 0;
  window_.WindowProc(message);
  return 1;
}

int32_t Application::Run(int width, int height, int depthHint, int fullScreen) {
  if (appFolder_.empty()) SetAppFolder(CurrentFolder());
  width_ = width;
  height_ = height;
  Diagnostics().LogText(LogLevel::kDebug, "CreateWindow");
  if (window_.Create(title_) == 0) {
    platform_.GetMessageBoxes().Show("Create Window error.", "err", MB_OK);
    SetStartFailed();
    return 0;
  }
  Diagnostics().LogText(LogLevel::kDebug, "CreateWindow done");
  g_app = this;
  window_.RegisterReceiver(this);
  Diagnostics().LogText(LogLevel::kDebug, "CDraw Initializing");
  // The run's full-screen flag is the display's GDI-only switch; the display starts windowed.
  display_.InitDisplay(window_, width, height, 0, static_cast<uint32_t>(depthHint), fullScreen);
  Diagnostics().LogText(LogLevel::kDebug, "CDraw Initalized");
  window_.RegisterReceiver(&display_.GetDisplayMode());
  // Without a device the game runs silent: every buffer creation then fails.
  if (int32_t rc = soundManager_.Init(platform_.GetAudioOut(), platform_.GetClock()); rc > 1)
    ZAN_WARN("sound: no audio device (%d); the game runs silent", rc);
  window_.RegisterReceiver(&soundManager_);
  window_.RegisterReceiver(&Mouse());
  window_.SetClientSize(width, height);
  window_.CentreOnScreen();
  window_.Show();
  MainLoop();
  window_.Destroy();
  return 0;
}

}  // namespace zan
