#include "base/DiagnosticLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "../base/TempFolder.h"

namespace zan {
namespace {

TEST(ErrorLogTest, LineFormatIsDateTimeAndMessage) {
  EXPECT_EQ(DiagnosticLog::FormatLine(2026, 3, 7, 9, 5, 1, "Flip 887601c2"),
            "03/07/26 09:05:01 : Flip 887601c2\n");
}

TEST(ErrorLogTest, OutputModeZeroKeepsOnlyTheLastMessage) {
  const test::TempFolder dir("errorlog_mode0");
  DiagnosticLog log;
  log.SetEcho(false);
  log.SetFileName((dir / "errorlog.txt").string());
  std::filesystem::remove(dir / "errorlog.txt");
  log.LogMessage(LogLevel::kDebug, "Present = %d", -5);
  log.LogMessage(LogLevel::kWarning, "%s %x", "Flip", 0x1f);
  EXPECT_EQ(log.LastMessage(), "Flip 1f");
  EXPECT_FALSE(std::filesystem::exists(dir / "errorlog.txt"));
  log.LogNumber(LogLevel::kDebug, 42);
  EXPECT_EQ(log.LastMessage(), "42");
}

TEST(ErrorLogTest, OutputModeOneAppendsWholeLinesFromTwoThreads) {
  const test::TempFolder dir("errorlog_mode1");
  auto path = dir / "errorlog.txt";
  std::filesystem::remove(path);
  DiagnosticLog log;
  log.SetEcho(false);
  log.SetFileName(path.string());
  log.SetOutputMode(1);

  auto writer = [&log](const char* who) {
    for (int i = 0; i < 500; ++i)
      log.LogMessage(i % 2 ? LogLevel::kDebug : LogLevel::kWarning, "%s line %d", who, i);
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

// What reaches stderr: warnings always, debug lines only when verbose; the last message
// and the file take both.
TEST(ErrorLogTest, DebugLinesReachStderrOnlyWhenVerbose) {
  struct Case {
    bool verbose;
    LogLevel level;
    bool echoed;
  };
  const Case cases[] = {{false, LogLevel::kDebug, false},
                        {false, LogLevel::kWarning, true},
                        {true, LogLevel::kDebug, true},
                        {true, LogLevel::kWarning, true}};
  const test::TempFolder dir("errorlog_levels");
  for (const Case& c : cases) {
    const auto path = dir / "errorlog.txt";
    std::filesystem::remove(path);
    DiagnosticLog log;
    log.SetFileName(path.string());
    log.SetOutputMode(1);
    log.SetVerbose(c.verbose);
    ::testing::internal::CaptureStderr();
    log.LogText(c.level, "CDraw Initalized");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, c.echoed ? "zan: CDraw Initalized\n" : "") << c.verbose;
    EXPECT_EQ(log.LastMessage(), "CDraw Initalized");
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.substr(line.size() - 19), " : CDraw Initalized");
  }
}

}  // namespace
}  // namespace zan
