#pragma once
// GameWindow: the game window as the game logic sees it. Every dispatched message goes
// through its window procedure to the receiver list; a message that no receiver takes gets
// the window's default handling (close box -> close -> destroy, minimise).

#include <cstdint>
#include <string_view>

#include "platform/ReceiverList.h"
#include "platform/EventReceiver.h"
#include "platform/Window.h"

namespace zan {

class GameWindow : public EventReceiver {
 public:
  explicit GameWindow(Window& backend);
  ~GameWindow() override;

  // Creates the window (hidden, 400 x 400 until sized) and registers this object as the
  // first receiver. 1 on success, 0 on failure.
  int32_t Create(std::string_view titleSjis);
  void Show();
  void SetClientSize(int width, int height);
  void CentreOnScreen();
  // Sends WM_DESTROY through the window procedure, then destroys the native window.
  void Destroy();
  bool IsCreated() const { return backend_.IsCreated(); }

  int32_t RegisterReceiver(EventReceiver* receiver) { return receivers_.RegisterReceiver(receiver); }
  ReceiverList& Receivers() { return receivers_; }
  Window& Backend() { return backend_; }

  // The window procedure: offers the message to the receivers.
  int32_t WindowProc(const WindowMessage& message);
  int32_t DefWindowProc(const WindowMessage& message);

 private:
  Window& backend_;
  ReceiverList receivers_;
  bool destroying_ = false;
};

}  // namespace zan
