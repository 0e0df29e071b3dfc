#pragma once
// A timed wait of the story: the script holds until `duration` ms of the system clock have
// passed since `start`. Text waits ("TW") and the wait option of animated image commands
// start it; skip mode cancels it.

#include <cstdint>

namespace zan {

struct TimedWait {
  bool active = false;
  uint32_t start = 0;     // ms, system clock
  uint32_t duration = 0;  // ms

  // A wait of `ms` from now; 0 or less: none.
  void Start(int32_t ms);
  void Cancel() { *this = {}; }
  // True once the wait has run its time at `now`.
  bool Over(uint32_t now) const { return now - start >= duration; }
};

}  // namespace zan
