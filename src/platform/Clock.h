#pragma once
// Clock: the millisecond clock, sleeping, and one-shot timers. Times are uint32
// milliseconds that wrap like any tick counter; compare them by subtraction.

#include <cstdint>
#include <functional>

namespace zan {

class Clock {
 public:
  using TimerId = uint32_t;
  virtual ~Clock() = default;

  virtual uint32_t Milliseconds() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // Whether time moves only when the program sleeps (a clock of tests and headless runs).
  virtual bool MovesOnlyBySleeping() const { return false; }

  // Calls `callback` once, `delayMs` from now, on the timer thread (the headless clock calls
  // it on the thread that sleeps past the deadline). Returns a non-zero id.
  virtual TimerId StartOneShot(uint32_t delayMs, std::function<void()> callback) = 0;
  // Cancels a pending timer. When it returns, the callback is not running any more and will
  // not run, unless it is called from within that very callback.
  virtual void CancelTimer(TimerId id) = 0;
};

}  // namespace zan
