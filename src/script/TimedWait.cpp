#include "script/TimedWait.h"

#include "platform/Platform.h"

namespace zan {

void TimedWait::Start(int32_t ms) {
  Cancel();
  if (ms <= 0) return;
  *this = {true, GetMilliseconds(), static_cast<uint32_t>(ms)};
}

}  // namespace zan
