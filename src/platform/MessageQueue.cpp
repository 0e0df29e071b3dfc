#include "platform/MessageQueue.h"

namespace zan {

void MessageQueue::Post(const WindowMessage& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (message.message == WM_MOUSEMOVE && !messages_.empty() &&
      messages_.back().message == WM_MOUSEMOVE) {
    messages_.back() = message;
    return;
  }
  messages_.push_back(message);
}

void MessageQueue::PostQuit(int exitCode) {
  std::lock_guard<std::mutex> lock(mutex_);
  quitPosted_ = true;
  exitCode_ = exitCode;
}

bool MessageQueue::Peek(WindowMessage* out, uint32_t first, uint32_t last, bool remove) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = messages_.begin(); it != messages_.end(); ++it) {
    if (!Matches(it->message, first, last)) continue;
    if (out) *out = *it;
    if (remove) messages_.erase(it);
    return true;
  }
  if (quitPosted_ && Matches(WM_QUIT, first, last)) {
    if (out) *out = WindowMessage{WM_QUIT, static_cast<uintptr_t>(exitCode_), 0};
    if (remove) quitPosted_ = false;
    return true;
  }
  return false;
}

size_t MessageQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size() + (quitPosted_ ? 1 : 0);
}

void MessageQueue::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
  quitPosted_ = false;
}

}  // namespace zan
