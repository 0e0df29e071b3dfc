#include "app/Application.h"

#include "base/DiagnosticLog.h"
#include "platform/Files.h"

namespace zan {
Application::Application(Platform& platform)
    : EventReceiver("CZANApp"), platform_(platform), display_(platform), tasks_(platform.GetClock()),
      window_(platform.GetWindow()) {
  tasks_.SetReceivers(&window_.Receivers());
}

Application::~Application() = default;

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
}

bool Application::HandleEvent(const InputEvent& event) {
  if (event.kind == InputEvent::Kind::kWindowClosing) platform_.GetWindow().PostQuit(0);
  return false;
}

int32_t Application::MainLoop() {
  while (PumpEvent()) {
  }
  return 0;
}

bool Application::PumpEvent() {
  InputEvent event;
  if (!platform_.GetWindow().TakeEvent(&event)) return true;
  if (event.kind == InputEvent::Kind::kQuit) return false;
  window_.Dispatch(event);
  return true;
}

int32_t Application::Run(int width, int height) {
  if (appFolder_.empty()) SetAppFolder(CurrentFolder());
  width_ = width;
  height_ = height;
  Diagnostics().LogText(LogLevel::kDebug, "CreateWindow");
  if (!window_.Create(title_)) {
    platform_.GetMessageBoxes().Show("Create Window error.", "err");
    SetStartFailed();
    return 0;
  }
  Diagnostics().LogText(LogLevel::kDebug, "CreateWindow done");
  // The pointer state first: it never takes an event, and every receiver after it (one that
  // takes an event too) finds the pointer where the event leaves it.
  window_.RegisterReceiver(&mouse_);
  window_.RegisterReceiver(this);
  Diagnostics().LogText(LogLevel::kDebug, "CDraw Initializing");
  display_.InitDisplay(window_, width, height);
  Diagnostics().LogText(LogLevel::kDebug, "CDraw Initalized");
  window_.RegisterReceiver(&display_.GetDisplayMode());
  // Without a device the game runs silent: every buffer creation then fails.
  if (const InitResult init = soundManager_.Init(platform_.GetAudioOut(), platform_.GetClock());
      init.code == InitResult::Code::kNoAudioOutput)
    ZAN_WARN("sound: no audio device (%s); the game runs silent", AudioOpenResultName(init.output));
  window_.SetClientSize(width, height);
  window_.CentreOnScreen();
  window_.Show();
  MainLoop();
  window_.Destroy();
  return 0;
}

}  // namespace zan
