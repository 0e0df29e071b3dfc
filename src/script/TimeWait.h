#pragma once
// CTimeWait: a small task that waits a number of milliseconds and then calls back. Its
// phase 1 measures the elapsed time in 1/256 steps of the duration; once the count reaches
// 255 it ends, which runs the stored completion on the caller.

#include <cstdint>
#include <functional>

#include "app/core/GameTask.h"

namespace zan {

class CTimeWait : public CGameTask {
 public:
  explicit CTimeWait(CTaskManager& tasks);

  // Starts waiting `durationMs` (at least 1) and then calls `done` with `caller` as the
  // caller (the screen pattern: the callback usually restarts the caller).
  void Start(uint32_t durationMs, CGameTask* caller, Callback done);

 private:
  int32_t Step();

  uint32_t start_ = 0;
  uint32_t duration_ = 1;
};

}  // namespace zan
