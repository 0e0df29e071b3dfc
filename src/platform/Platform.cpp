#include "platform/Platform.h"

#include <atomic>

namespace zan {
namespace {
std::atomic<Platform*> g_platform{nullptr};
}

Platform* CurrentPlatform() { return g_platform.load(); }
void SetCurrentPlatform(Platform* platform) { g_platform.store(platform); }

uint32_t GetMilliseconds() {
  Platform* p = g_platform.load();
  return p ? p->GetClock().Milliseconds() : 0;
}

void Sleep(uint32_t ms) {
  if (Platform* p = g_platform.load()) p->GetClock().Sleep(ms);
}

}  // namespace zan
