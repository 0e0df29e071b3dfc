#pragma once
// RealClock: the machine's monotonic clock, a real sleep, and one-shot timers served by a
// thread of their own.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/Clock.h"
#include "platform/TimerQueue.h"

namespace zan {

class RealClock : public Clock {
 public:
  RealClock();
  ~RealClock() override;

  uint32_t Milliseconds() override;
  void Sleep(uint32_t ms) override;
  TimerId StartOneShot(uint32_t delayMs, std::function<void()> callback) override;
  void CancelTimer(TimerId id) override;

 private:
  uint64_t Now64() const;
  void TimerThread();

  const uint64_t originNs_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable finished_;
  TimerQueue timers_;
  TimerId running_ = 0;  // the timer whose callback runs now, 0 when none
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace zan
