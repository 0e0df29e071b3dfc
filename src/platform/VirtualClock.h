#pragma once
// VirtualClock: a clock whose time moves only when the program sleeps (or a test advances
// it). Timers fire, in deadline order, on the thread that moves time past them, and
// listeners hear of every step first, so audio rendered up to a deadline is rendered
// before the timer that refills it runs. Runs are deterministic and as fast as the CPU.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/TimerQueue.h"

namespace zan {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(uint32_t start = 0) : now_(start) {}

  uint32_t Milliseconds() override;
  void Sleep(uint32_t ms) override { Advance(ms); }
  bool MovesOnlyBySleeping() const override { return true; }
  TimerId StartOneShot(uint32_t delayMs, std::function<void()> callback) override;
  void CancelTimer(TimerId id) override;

  // Moves time forward by ms, stopping at each timer deadline on the way.
  void Advance(uint32_t ms);
  // Called with the new time after each step, before the timers due at that time.
  void AddAdvanceListener(std::function<void(uint64_t now)> listener);
  uint64_t Now64() const;

 private:
  mutable std::recursive_mutex mutex_;
  uint64_t now_;
  TimerQueue timers_;
  std::vector<std::function<void(uint64_t)>> listeners_;
};

}  // namespace zan
