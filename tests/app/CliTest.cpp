// Runs the real `zan` binary headless, as a player's shell or a test script would.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "../surface/TestPng.h"
#include "platform/InstanceLock.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_cli_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "run");
    fs::create_directories(root / "empty");
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(root); }

  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  Outcome Run(const std::string& args) {
    std::string cmd = std::string(ZAN_BINARY) + " " + args + " >" + (root / "out").string() +
                      " 2>" + (root / "err").string();
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(root / "out"), Slurp(root / "err")};
  }

  fs::path root;
};

TEST_F(CliTest, HelpAndVersion) {
  Outcome help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--headless"), std::string::npos);
  EXPECT_NE(help.out.find("--frames N"), std::string::npos);
  Outcome version = Run("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("zan ", 0), 0u);
}

TEST_F(CliTest, HeadlessRunOfAnEmptyFolderEndsAfterItsFrames) {
  auto start = std::chrono::steady_clock::now();
  Outcome o = Run("--headless --frames 300 " + (root / "empty").string());
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(o.exitCode, 0) << o.err;
  RecordProperty("wall_seconds_for_300_frames", std::to_string(seconds));
}

TEST_F(CliTest, AudioOutWritesTheHeadlessMixAsAWaveFile) {
  const fs::path wav = root / "mix.wav";
  Outcome o = Run("--headless --frames 200 --audio-out " + wav.string() + " " +
                  (root / "empty").string());
  ASSERT_EQ(o.exitCode, 0) << o.err;
  const std::string bytes = Slurp(wav);
  // 200 frames paced at 30 a second end at 6666 ms, then the loop's 1 ms sleep: 6667 ms of
  // 44.1 kHz stereo 16-bit, 294014 samples.
  ASSERT_EQ(bytes.size(), 44u + 294014 * 4);
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(bytes.find_first_not_of('\0', 44), std::string::npos);  // nothing plays: silence
  EXPECT_EQ(Run("--audio-out " + (root / "no/such/folder/x.wav").string()).exitCode, 2);
}

TEST_F(CliTest, AScreenshotInEveryPixelFormatShowsTheBlackScreen) {
  for (const char* format : {"555", "565", "888", "8888"}) {
    const fs::path shot = root / (std::string("shot-") + format + ".png");
    Outcome o = Run(std::string("--headless --frames 3 --pixel-format ") + format + " --screenshot 1:" +
                    shot.string() + " " + (root / "empty").string());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    int w = 0, h = 0;
    auto rgb = zan::test::ReadPng(shot.string(), &w, &h);
    ASSERT_EQ(w, 800) << format;
    ASSERT_EQ(h, 600);
    EXPECT_EQ(*std::max_element(rgb.begin(), rgb.end()), 0) << format;
  }
}

TEST_F(CliTest, BadCommandLinesAndTimelinesAreRefusedBeforeStarting) {
  EXPECT_EQ(Run("--frames").exitCode, 2);
  EXPECT_EQ(Run("--no-such-option").exitCode, 2);
  std::ofstream(root / "timeline.txt") << "10 click 1 2\n11 klick 3 4\n";
  Outcome o = Run("--headless --frames 5 --input " + (root / "timeline.txt").string() + " " +
                  (root / "empty").string());
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_NE(o.err.find("line 2"), std::string::npos) << o.err;
}

TEST_F(CliTest, ASecondCopyWhileOneRunsIsRefused) {
  pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    freopen("/dev/null", "w", stderr);
    execl(ZAN_BINARY, ZAN_BINARY, "--headless", (root / "empty").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 500 && !zan::InstanceLock::IsHeld("torami_trial_app"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(zan::InstanceLock::IsHeld("torami_trial_app"));

  Outcome second = Run("--headless --frames 5 " + (root / "empty").string());
  EXPECT_NE(second.exitCode, 0);
  EXPECT_NE(second.err.find("既にゲームが起動されています。"), std::string::npos) << second.err;

  // The first copy shuts down in order on SIGTERM.
  kill(first, SIGTERM);
  int status = 0;
  waitpid(first, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(zan::InstanceLock::IsHeld("torami_trial_app"));
}

}  // namespace
