#include "script/TimedWait.h"

namespace zan {

void TimedWait::Start(int32_t ms) {
  Cancel();
  if (ms <= 0) return;
  active = true;
  start = clock_.Milliseconds();
  duration = static_cast<uint32_t>(ms);
}

}  // namespace zan
