#pragma once
// A timed wait of the story: the script holds until `duration` ms of the clock have passed
// since `start`. Text waits ("TW") and the wait option of animated image commands start it;
// skip mode cancels it.

#include <cstdint>

#include "platform/Clock.h"

namespace zan {

class TimedWait {
 public:
  explicit TimedWait(Clock& clock) : clock_(clock) {}

  // A wait of `ms` from now; 0 or less: none.
  void Start(int32_t ms);
  void Cancel() { active = false; }
  // True once the wait has run its time at `now`.
  bool Over(uint32_t now) const { return now - start >= duration; }

  bool active = false;
  uint32_t start = 0;     // ms, the clock's
  uint32_t duration = 0;  // ms

 private:
  Clock& clock_;
};

}  // namespace zan
