// The SDL2 audio output on SDL's dummy audio driver: a pause that lasts closes the device
// (its thread ends, nothing is pulled), a resume opens it again, and the output stays open.

#include "platform/sdl2/Sdl2AudioOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace zan {
namespace {

using namespace std::chrono_literals;

// Threads of this process whose name starts with "SDLAudio" (SDL names its device threads so).
int AudioThreads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind("SDLAudio", 0) == 0) ++count;
  }
  return count;
}

// Waits up to 2 s for `done`.
template <typename Done>
bool Within2s(Done done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return done();
}

class Sdl2AudioOutTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  std::atomic<int> pulls{0};
  AudioOut::Source Counting() {
    return [this](int16_t* frames, size_t count) {
      std::fill(frames, frames + count * AudioOut::kChannels, int16_t{0});
      ++pulls;
    };
  }
};

TEST_F(Sdl2AudioOutTest, APauseThatLastsClosesTheDeviceAndAResumeOpensItAgain) {
  Sdl2AudioOut out(100);  // closes after 100 ms of pause
  ASSERT_EQ(out.Open(Counting()), AudioOpenResult::kOpened);
  EXPECT_EQ(out.Open(Counting()), AudioOpenResult::kAlreadyOpen);
  ASSERT_TRUE(Within2s([&] { return pulls > 0; }));
  EXPECT_EQ(AudioThreads(), 1);

  out.SetPaused(true);
  EXPECT_TRUE(out.DeviceOpen());  // a short pause only pauses
  std::this_thread::sleep_for(150ms);
  out.SetPaused(true);  // asked again once a frame: now it has lasted
  EXPECT_FALSE(out.DeviceOpen());
  EXPECT_TRUE(out.IsOpen());
  EXPECT_EQ(AudioThreads(), 0);
  const int pulled = pulls;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(pulls, pulled);

  out.SetPaused(false);
  EXPECT_TRUE(out.DeviceOpen());
  EXPECT_TRUE(Within2s([&] { return pulls > pulled; }));
  EXPECT_EQ(AudioThreads(), 1);

  // A pause and resume within the delay keeps the device.
  out.SetPaused(true);
  out.SetPaused(false);
  EXPECT_TRUE(out.DeviceOpen());

  out.Close();
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(AudioThreads(), 0);
  EXPECT_EQ(out.Open(Counting()), AudioOpenResult::kOpened);  // opens again after a close
}

TEST_F(Sdl2AudioOutTest, AClosedDeviceIsClosedByCloseAndNotOpenedByAResumeAfterIt) {
  Sdl2AudioOut out(0);
  ASSERT_EQ(out.Open(Counting()), AudioOpenResult::kOpened);
  out.SetPaused(true);
  out.SetPaused(true);
  ASSERT_FALSE(out.DeviceOpen());
  out.Close();
  EXPECT_FALSE(out.IsOpen());
  out.SetPaused(false);
  EXPECT_FALSE(out.DeviceOpen());
  EXPECT_EQ(AudioThreads(), 0);
}

}  // namespace
}  // namespace zan
