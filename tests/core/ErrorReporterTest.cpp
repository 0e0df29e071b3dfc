#include "core/ErrorReporter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "../base/TempFolder.h"
#include "base/ShiftJis.h"
#include "platform/headless/HeadlessPlatform.h"

namespace zan {
namespace {

std::tm FixedTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 10;
  t.tm_hour = 2;
  t.tm_min = 5;
  return t;
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ErrorReporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.GetMessageBoxes().SetQuiet(true);
    report.SetTimeSource(FixedTime);
  }
  test::TempFolder folder{"error_report"};  // a folder of this run's own, removed at the end
  const std::filesystem::path dir = folder.Path();
  HeadlessPlatform platform;
  ErrorReporter report{&platform.GetMessageBoxes()};
};

TEST_F(ErrorReporterTest, BeforeSetUpAReportIsADialogAndNoFile) {
  report.ReportError("boom", 1);
  const auto& shown = platform.GetMessageBoxes().History();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, "Error");
  EXPECT_EQ(shown[0].text, "2026/12/10 02:05 : boom");
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(ErrorReporterTest, AfterSetUpReportsAppendToTheFileAndTheTitleBar) {
  auto log = dir / "GameErrorLog.txt";
  platform.GetWindow().Create("title", 800, 600);
  report.Setup(1, &platform.GetWindow(), log.string());
  const std::string missing = Sjis("[×]アーカイブデータがありませんでした");
  report.ReportErrorDetail(missing, "/games/x/msg.arc", 1);
  report.ReportError("second", 1);

  EXPECT_TRUE(platform.GetMessageBoxes().History().empty());
  EXPECT_EQ(platform.GetWindow().Title(), "2026/12/10 02:05 : second");
  EXPECT_EQ(ReadAll(log), "2026/12/10 02:05 : " + missing + " [/games/x/msg.arc]\r\n" +
                              "2026/12/10 02:05 : second\r\n");

  report.ReportError("only", 0);  // mode 0 replaces the file
  EXPECT_EQ(ReadAll(log), "2026/12/10 02:05 : only\r\n");
}

TEST_F(ErrorReporterTest, DialogOnShowsTheBoxAndStillLogs) {
  auto log = dir / "GameErrorLog.txt";
  report.Setup(0, &platform.GetWindow(), log.string());
  report.ReportError("shown", 1);
  EXPECT_EQ(platform.GetMessageBoxes().History().size(), 1u);
  EXPECT_EQ(ReadAll(log), "2026/12/10 02:05 : shown\r\n");
}

TEST_F(ErrorReporterTest, AnUnwritablePathIsSkippedQuietly) {
  report.Setup(1, nullptr, (dir / "no" / "such" / "folder.txt").string());
  report.ReportError("lost", 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));  // no folder is made for it
}

}  // namespace
}  // namespace zan
