#pragma once
// A scenario test's folder and runs: the test writes its game into ROOT/game (WriteGame),
// runs the real `zan` binary on it with an input timeline, and reads what the run left. ROOT
// is named by the process and the test, so tests in parallel never meet; it is removed after
// the test unless ZAN_KEEP is set. The including test defines ZAN_BINARY.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ZanRun.h"

namespace zan::testing {

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "game");
    WriteGame(root / "game");
  }
  void TearDown() override {
    if (!std::getenv("ZAN_KEEP")) std::filesystem::remove_all(root);
  }
  virtual void WriteGame(const std::filesystem::path& dir) = 0;

  // Runs zan on the game with `timeline` as its input; true when it ended normally.
  bool Run(const std::string& timeline, const std::string& args) {
    std::ofstream(root / "input.txt") << timeline;
    return zan.Run("--input " + Path("input.txt") + " " + args);
  }
  // The last run dumped the variable line `line` ("name=value").
  bool Has(const std::string& line) const { return zan.Vars().find(line + "\n") != std::string::npos; }
  std::string Path(const std::string& name) const { return (root / name).string(); }

  std::filesystem::path root = std::filesystem::temp_directory_path() /
                               ("zan_scenario_" + std::to_string(::getpid()) + "_" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "_" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  ZanRun zan{ZAN_BINARY, root};
};

}  // namespace zan::testing
