#include "platform/GameWindow.h"

namespace zan {

GameWindow::GameWindow(Window& backend) : EventReceiver("CZANWindow"), backend_(backend) {}

GameWindow::~GameWindow() {
  if (backend_.IsCreated()) backend_.Destroy();
}

bool GameWindow::Create(std::string_view titleSjis) {
  if (!backend_.Create(titleSjis, 400, 400)) return false;
  receivers_.RegisterReceiver(this);
  return true;
}

void GameWindow::Show() { backend_.Show(); }
void GameWindow::SetClientSize(int width, int height) { backend_.SetClientSize(width, height); }
void GameWindow::CentreOnScreen() { backend_.CentreOnScreen(); }

void GameWindow::Destroy() {
  if (!backend_.IsCreated() || destroying_) return;
  destroying_ = true;
  Dispatch(InputEvent::Of(InputEvent::Kind::kWindowClosing));
  backend_.Destroy();
  receivers_.Clear();
  destroying_ = false;
}

bool GameWindow::Dispatch(const InputEvent& event) {
  return receivers_.OfferEvent(event, [this](const InputEvent& e) { return DefaultHandling(e); });
}

bool GameWindow::DefaultHandling(const InputEvent& event) {
  if (event.kind == InputEvent::Kind::kCloseRequest) Destroy();
  return false;
}

}  // namespace zan
