#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zan {

std::string InstanceLock::LockPath(std::string_view name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::string path = (dir && *dir) ? dir : "/tmp";
  path += "/zan-";
  path += name;
  path += ".lock";
  return path;
}

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::IsHeld(std::string_view name) {
  int fd = ::open(LockPath(name).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;  // never created, so never held
  bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);  // closing drops the probe's own lock if it got one
  return held;
}

bool InstanceLock::Acquire(std::string_view name) {
  Release();
  int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace zan
