#pragma once
// The window's event queue. The main loop takes one event at a time. Consecutive pointer
// moves are merged into the latest one, as a window system does, so a moving mouse never
// floods a loop that takes one event per frame.

#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/InputEvent.h"

namespace zan {

class EventQueue {
 public:
  void Post(const InputEvent& event);
  // Asks the loop to end: a kQuit event is delivered once every event posted before it is
  // taken.
  void PostQuit(int32_t exitCode);

  // Takes the oldest event; false when there is none.
  bool Take(InputEvent* out);

  // Drops the whole clicks waiting in the queue (clicks that piled up during a slow
  // frame): each button or key press together with its release, and the repeats of a key
  // held down in between. A release whose press is not in the queue (that of the press just
  // handled) stays, and so does a press whose release has not arrived: a press and its
  // release always make one click. Returns the number of events dropped.
  size_t DropQueuedClicks();

  size_t Size() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::deque<InputEvent> events_;
  bool quitPosted_ = false;
  int32_t exitCode_ = 0;
};

}  // namespace zan
