#include "script/DelayTask.h"

#include <algorithm>

#include "base/ShiftJis.h"
#include "core/TaskScheduler.h"

namespace zan {

DelayTask::DelayTask(TaskScheduler& tasks)
    : GameTask(tasks, "CTimeWait", Sjis("CTimeWait::【時間待ち】")) {
  SetHandler(1, [this] { Step(); });
}

void DelayTask::Start(uint32_t durationMs, GameTask* caller, Callback done) {
  duration_ = std::max<uint32_t>(durationMs, 1);
  start_ = Manager().Now();
  SetCaller(caller);
  SetOnEnd(std::move(done));
  GameTask::Start(kOrderScreen);
}

void DelayTask::Step() {
  const uint32_t elapsed = Manager().Now() - start_;
  const uint32_t step = std::max<uint32_t>(duration_ / 256, 1);
  const uint32_t factor = std::max<uint32_t>(256 / duration_, 1);
  if (static_cast<uint64_t>(elapsed / step) * factor >= 255) End();
}

}  // namespace zan
