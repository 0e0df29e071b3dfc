#pragma once
// GameWindow: the game window as the game logic sees it. Every event taken from the queue
// is dispatched to the receiver list; a close request that no receiver takes closes the
// window.

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
  // first receiver. False when the window cannot be made.
  bool Create(std::string_view titleSjis);
  void Show();
  void SetClientSize(int width, int height);
  void CentreOnScreen();
  // Dispatches kWindowClosing, then destroys the native window.
  void Destroy();
  bool IsCreated() const { return backend_.IsCreated(); }

  bool RegisterReceiver(EventReceiver* receiver) { return receivers_.RegisterReceiver(receiver); }
  ReceiverList& Receivers() { return receivers_; }
  Window& Backend() { return backend_; }

  // Offers the event to the receivers; when none takes it, the default handling runs.
  // True when a receiver took it.
  bool Dispatch(const InputEvent& event);

 private:
  bool DefaultHandling(const InputEvent& event);

  Window& backend_;
  ReceiverList receivers_;
  bool destroying_ = false;
};

}  // namespace zan
