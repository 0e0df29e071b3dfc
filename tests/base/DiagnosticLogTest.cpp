#include "base/DiagnosticLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace zan {
namespace {

TEST(ErrorLogTest, LineFormatIsDateTimeAndMessage) {
  EXPECT_EQ(DiagnosticLog::FormatLine(2026, 3, 7, 9, 5, 1, "Flip 887601c2"),
            "03/07/26 09:05:01 : Flip 887601c2\n");
}

TEST(ErrorLogTest, OutputModeZeroKeepsOnlyTheLastMessage) {
  auto dir = std::filesystem::temp_directory_path() / "zan_errorlog_mode0";
  std::filesystem::create_directories(dir);
  DiagnosticLog log;
  log.SetEcho(false);
  log.SetFileName((dir / "errorlog.txt").string());
  std::filesystem::remove(dir / "errorlog.txt");
  log.LogMessage("DirectDrawCreate = %d", -5);
  log.LogMessage("%s %x", "Flip", 0x1f);
  EXPECT_EQ(log.LastMessage(), "Flip 1f");
  EXPECT_FALSE(std::filesystem::exists(dir / "errorlog.txt"));
  log.LogNumber(42);
  EXPECT_EQ(log.LastMessage(), "42");
}

TEST(ErrorLogTest, OutputModeOneAppendsWholeLinesFromTwoThreads) {
  auto dir = std::filesystem::temp_directory_path() / "zan_errorlog_mode1";
  std::filesystem::create_directories(dir);
  auto path = dir / "errorlog.txt";
  std::filesystem::remove(path);
  DiagnosticLog log;
  log.SetEcho(false);
  log.SetFileName(path.string());
  log.SetOutputMode(1);

  auto writer = [&log](const char* who) {
    for (int i = 0; i < 500; ++i) log.LogMessage("%s line %d", who, i);
  };
  std::thread main(writer, "main");
  std::thread timer(writer, "timer");
  main.join();
  timer.join();

  std::ifstream in(path);
  const std::regex line(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d : (main|timer) line \d+)");
  int count = 0;
  for (std::string text; std::getline(in, text); ++count) ASSERT_TRUE(std::regex_match(text, line)) << text;
  EXPECT_EQ(count, 1000);
}

}  // namespace
}  // namespace zan
