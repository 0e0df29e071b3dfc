#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace zan {
namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("zan_lock_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(InstanceLockTest, OneHolderAtATime) {
  EXPECT_FALSE(InstanceLock::IsHeld("torami_trial_app"));
  InstanceLock first;
  ASSERT_TRUE(first.Acquire("torami_trial_app"));
  EXPECT_TRUE(InstanceLock::IsHeld("torami_trial_app"));
  EXPECT_FALSE(InstanceLock::IsHeld("torami_trial_menu"));
  InstanceLock second;
  EXPECT_FALSE(second.Acquire("torami_trial_app"));
  first.Release();
  EXPECT_FALSE(InstanceLock::IsHeld("torami_trial_app"));
  EXPECT_TRUE(second.Acquire("torami_trial_app"));
}

// A holder that is killed (no chance to release or remove anything) never blocks the next
// start: the lock goes with the process.
TEST_F(InstanceLockTest, AKilledHolderNeverBlocksTheNextStart) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock held;
    const char said = held.Acquire("torami_trial_app") ? '1' : '0';
    (void)!::write(ready[1], &said, 1);
    for (;;) ::pause();
  }
  // Killed and reaped however this test ends.
  struct Reaper {
    pid_t pid;
    ~Reaper() {
      if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
      }
    }
  } reaper{child};
  ::close(ready[1]);
  char said = 0;
  ASSERT_EQ(::read(ready[0], &said, 1), 1);
  ::close(ready[0]);
  ASSERT_EQ(said, '1');
  EXPECT_TRUE(InstanceLock::IsHeld("torami_trial_app"));
  InstanceLock next;
  EXPECT_FALSE(next.Acquire("torami_trial_app"));
  ::kill(child, SIGKILL);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  reaper.pid = 0;
  EXPECT_FALSE(InstanceLock::IsHeld("torami_trial_app"));
  EXPECT_TRUE(next.Acquire("torami_trial_app"));
}

TEST_F(InstanceLockTest, LivesInTheRuntimeFolder) {
  EXPECT_EQ(InstanceLock::LockPath("x"), (dir_ / "zan-x.lock").string());
}

}  // namespace
}  // namespace zan
