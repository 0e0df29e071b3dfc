#pragma once
// Window: the platform's one game window and its event queue. The backend turns its own
// events into input events (InputEvent.h) when the queue is read; the game logic
// dispatches them itself (GameWindow).

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/EventQueue.h"

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

  // Takes native events into the queue, then takes the oldest event; false when none.
  bool TakeEvent(InputEvent* out) {
    PumpEvents();
    return queue_.Take(out);
  }
  // Takes native events into the queue, then drops the whole clicks waiting there
  // (EventQueue::DropQueuedClicks).
  size_t DropQueuedClicks() {
    PumpEvents();
    return queue_.DropQueuedClicks();
  }
  void PostEvent(const InputEvent& event) { queue_.Post(event); }
  void PostQuit(int32_t exitCode) { queue_.PostQuit(exitCode); }
  EventQueue& Queue() { return queue_; }

 protected:
  // Moves pending native events into the queue.
  virtual void PumpEvents() = 0;

  EventQueue queue_;
};

}  // namespace zan
