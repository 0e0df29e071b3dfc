#include "platform/ZANWindow.h"

namespace zan {

CZANWindow::CZANWindow(Window& backend) : CNamedObject("CZANWindow"), backend_(backend) {}

CZANWindow::~CZANWindow() {
  if (backend_.IsCreated()) backend_.Destroy();
}

int32_t CZANWindow::Create(std::string_view titleSjis) {
  if (!backend_.Create(titleSjis, 400, 400)) return 0;
  receivers_.RegisterReceiver(this);
  return 1;
}

void CZANWindow::Show() { backend_.Show(); }
void CZANWindow::SetClientSize(int width, int height) { backend_.SetClientSize(width, height); }
void CZANWindow::CentreOnScreen() { backend_.CentreOnScreen(); }

void CZANWindow::Destroy() {
  if (!backend_.IsCreated() || destroying_) return;
  destroying_ = true;
  WindowProc(WindowMessage{WM_DESTROY, 0, 0});
  backend_.Destroy();
  receivers_.Clear();
  destroying_ = false;
}

int32_t CZANWindow::WindowProc(const WindowMessage& message) {
  return receivers_.OfferMessage(message,
                                 [this](const WindowMessage& m) { return DefWindowProc(m); });
}

int32_t CZANWindow::DefWindowProc(const WindowMessage& message) {
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
