#pragma once
// DelayTask: a small task that waits a number of milliseconds and then calls back. Its
// phase 1 measures the elapsed time in 1/256 steps of the duration; once the count reaches
// 255 it ends, which runs the stored completion on the caller.

#include <cstdint>
#include <functional>

#include "core/GameTask.h"

namespace zan {

class DelayTask : public GameTask {
 public:
  explicit DelayTask(TaskScheduler& tasks);

  // Starts waiting `durationMs` (at least 1) and then calls `done` with `caller` as the
  // caller (the screen pattern: the callback usually restarts the caller).
  void Start(uint32_t durationMs, GameTask* caller, Callback done);

 private:
  void Step();

  uint32_t start_ = 0;
  uint32_t duration_ = 1;
};

}  // namespace zan
