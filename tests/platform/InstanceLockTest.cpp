#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

TEST_F(InstanceLockTest, LivesInTheRuntimeFolder) {
  EXPECT_EQ(InstanceLock::LockPath("x"), (dir_ / "zan-x.lock").string());
}

}  // namespace
}  // namespace zan
