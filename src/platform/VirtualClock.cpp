#include "platform/VirtualClock.h"

#include <algorithm>

namespace zan {

uint32_t VirtualClock::Milliseconds() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return static_cast<uint32_t>(now_);
}

uint64_t VirtualClock::Now64() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return now_;
}

Clock::TimerId VirtualClock::StartOneShot(uint32_t delayMs, std::function<void()> callback) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return timers_.Add(now_ + delayMs, std::move(callback));
}

void VirtualClock::CancelTimer(TimerId id) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  timers_.Remove(id);
}

void VirtualClock::AddAdvanceListener(std::function<void(uint64_t)> listener) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  listeners_.push_back(std::move(listener));
}

void VirtualClock::Advance(uint32_t ms) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const uint64_t target = now_ + ms;
  for (;;) {
    uint64_t step = target;
    if (auto next = timers_.NextDeadline()) step = std::max(now_, std::min(step, *next));
    now_ = step;
    for (auto& listener : listeners_) listener(now_);
    while (auto due = timers_.TakeDue(now_)) due->callback();
    if (now_ >= target) break;
  }
}

}  // namespace zan
