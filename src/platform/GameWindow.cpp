#include "platform/GameWindow.h"

namespace zan {

GameWindow::GameWindow(Window& backend) : EventReceiver("CZANWindow"), backend_(backend) {}

GameWindow::~GameWindow() {
  if (backend_.IsCreated()) backend_.Destroy();
}

int32_t GameWindow::Create(std::string_view titleSjis) {
  if (!backend_.Create(titleSjis, 400, 400)) return 0;
  receivers_.RegisterReceiver(this);
  return 1;
}

void GameWindow::Show() { backend_.Show(); }
void GameWindow::SetClientSize(int width, int height) { backend_.SetClientSize(width, height); }
void GameWindow::CentreOnScreen() { backend_.CentreOnScreen(); }

void GameWindow::Destroy() {
  if (!backend_.IsCreated() || destroying_) return;
  destroying_ = true;
  WindowProc(WindowMessage{WM_DESTROY, 0, 0});
  backend_.Destroy();
  receivers_.Clear();
  destroying_ = false;
}

int32_t GameWindow::WindowProc(const WindowMessage& message) {
  return receivers_.OfferMessage(message,
                                 [this](const WindowMessage& m) { return DefWindowProc(m); });
}

int32_t GameWindow::DefWindowProc(const WindowMessage& message) {
  switch (message.message) {
    case WM_SYSCOMMAND:
      if ((message.wParam & 0xFFF0) == SC_CLOSE) return WindowProc(WindowMessage{WM_CLOSE, 0, 0});
      if ((message.wParam & 0xFFF0) == SC_MINIMIZE) backend_.Minimise();
      return 0;
    case WM_CLOSE:
      Destroy();
      return 0;
    default:
      return 0;
  }
}

}  // namespace zan
