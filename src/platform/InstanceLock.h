#pragma once
// InstanceLock: a named lock held by one process at a time, machine-wide for the user
// (flock on a file in the user's runtime folder, $XDG_RUNTIME_DIR or else /tmp). The
// kernel drops it when the holder ends, so a crashed run never leaves it stuck.

#include <string>
#include <string_view>

namespace zan {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when some process (this one included) holds the lock of that name.
  static bool IsHeld(std::string_view name);
  // Takes the lock; false when another holder has it.
  bool Acquire(std::string_view name);
  void Release();
  bool Held() const { return fd_ >= 0; }

  static std::string LockPath(std::string_view name);

 private:
  int fd_ = -1;
};

}  // namespace zan
