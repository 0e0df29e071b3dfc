#include "platform/RealClock.h"

#include <chrono>

namespace zan {
namespace {
uint64_t SteadyNs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}
}  // namespace

RealClock::RealClock() : originNs_(SteadyNs()), thread_([this] { TimerThread(); }) {}

RealClock::~RealClock() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

uint64_t RealClock::Now64() const { return (SteadyNs() - originNs_) / 1000000; }

uint32_t RealClock::Milliseconds() { return static_cast<uint32_t>(Now64()); }

void RealClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock::TimerId RealClock::StartOneShot(uint32_t delayMs, std::function<void()> callback) {
  TimerId id;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = timers_.Add(Now64() + delayMs, std::move(callback));
  }
  wake_.notify_all();
  return id;
}

void RealClock::CancelTimer(TimerId id) {
  std::unique_lock<std::mutex> lock(mutex_);
  timers_.Remove(id);
  if (std::this_thread::get_id() == thread_.get_id()) return;
  finished_.wait(lock, [&] { return running_ != id; });
}

void RealClock::TimerThread() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    auto next = timers_.NextDeadline();
    if (!next) {
      wake_.wait(lock);
      continue;
    }
    uint64_t now = Now64();
    if (*next > now) {
      wake_.wait_for(lock, std::chrono::milliseconds(*next - now));
      continue;
    }
    auto due = timers_.TakeDue(now);
    if (!due) continue;
    running_ = due->id;
    lock.unlock();
    due->callback();
    lock.lock();
    running_ = 0;
    finished_.notify_all();
  }
}

}  // namespace zan
