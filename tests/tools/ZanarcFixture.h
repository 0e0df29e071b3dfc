#pragma once
// Runs zanarc in-process in a fresh folder of its own per test.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "zanarc/Zanarc.h"

namespace zan {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

class ZanarcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("zan_zanarc_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  Outcome Zanarc(std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = RunZanarc(args, out, err);
    return {code, out.str(), err.str()};
  }
  std::string P(const std::string& name) { return (dir / name).string(); }

  std::filesystem::path dir;
};

}  // namespace zan
