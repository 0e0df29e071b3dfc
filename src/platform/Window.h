#pragma once
// Window: the platform's one game window and its message queue. The backend turns its own
// events into window messages (see WindowMessage.h) when the queue is peeked; the game
// logic dispatches them itself (GameWindow).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/MessageQueue.h"

namespace zan {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

class Window {
 public:
  virtual ~Window() = default;

  // Creates the window hidden, with the client area width x height. Titles are Shift-JIS.
  virtual bool Create(std::string_view titleSjis, int width, int height) = 0;
  virtual void Destroy() = 0;
  virtual bool IsCreated() const = 0;
  virtual void Show() = 0;
  virtual void SetTitle(std::string_view titleSjis) = 0;
  virtual std::string Title() const = 0;  // Shift-JIS
  virtual void SetClientSize(int width, int height) = 0;
  virtual void CentreOnScreen() = 0;
  virtual void Minimise() = 0;
  // Text input (an input method) is switched off for good by the game.
  virtual void DisableTextInput() = 0;
  // Size of the desktop the window lives on, in pixels.
  virtual ScreenSize DesktopSize() const = 0;

  // Takes native events into the queue, then peeks it.
  bool PeekMessage(WindowMessage* out, uint32_t first, uint32_t last, bool remove) {
    PumpEvents();
    return queue_.Peek(out, first, last, remove);
  }
  void PostMessage(const WindowMessage& message) { queue_.Post(message); }
  void PostQuitMessage(int exitCode) { queue_.PostQuit(exitCode); }
  MessageQueue& Queue() { return queue_; }

 protected:
  // Moves pending native events into the queue.
  virtual void PumpEvents() = 0;

  MessageQueue queue_;
};

}  // namespace zan
