#pragma once
// The window's message queue. Messages are taken one at a time by the main loop; a filter
// (first..last message number, 0..0 for any) lets the game drop piled-up clicks.
// Consecutive pointer moves are merged into the latest one, as a window system does, so
// a moving mouse never floods a loop that takes one message per frame.

#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/WindowMessage.h"

namespace zan {

class MessageQueue {
 public:
  void Post(const WindowMessage& message);
  // Asks the loop to end: WM_QUIT is delivered once every message posted before it is taken.
  void PostQuit(int exitCode);

  // Finds the first message within the filter; with remove it is taken off the queue.
  bool Peek(WindowMessage* out, uint32_t first, uint32_t last, bool remove);

  size_t Size() const;
  void Clear();

 private:
  static bool Matches(uint32_t message, uint32_t first, uint32_t last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
  }

  mutable std::mutex mutex_;
  std::deque<WindowMessage> messages_;
  bool quitPosted_ = false;
  int exitCode_ = 0;
};

}  // namespace zan
