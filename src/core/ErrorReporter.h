#pragma once
// ErrorReporter: the game's error reporter for problems with the game data (a missing
// archive, a file absent from an archive). Each report is a timestamped line
// "YYYY/MM/DD hh:mm : message" appended to GameErrorLog.txt in the install folder and put
// into the window's title bar, so the last error stays visible; with the dialog on it is
// also shown in a message box. Reports never end the program.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace zan {

class MessageBoxes;
class Window;

class ErrorReporter {
 public:
  explicit ErrorReporter(MessageBoxes* boxes);

  // Set-up: dialog off (1 = never a message box), the window for the title bar and as the
  // message box's owner (may be null), and the log file's path.
  void Setup(int32_t dialogOff, Window* window, std::string logPath);
  // Mode 1 appends to the log file, mode 0 replaces it with the one line.
  void ReportError(std::string_view message, int32_t mode);
  // Reports "message [detail]".
  void ReportErrorDetail(std::string_view message, std::string_view detail, int32_t mode);

  bool IsSetUp() const { return setUp_ != 0; }
  const std::string& LogPath() const { return logPath_; }

  // "YYYY/MM/DD hh:mm : " + message, for the given local time.
  static std::string FormatLine(const std::tm& local, std::string_view message);
  // Tests pin the time; by default it is the local time now.
  void SetTimeSource(std::function<std::tm()> now) { now_ = std::move(now); }

 private:
  std::string StampedLine(std::string_view message) const;

  int32_t setUp_ = 0;
  int32_t dialogOff_ = 0;
  Window* window_ = nullptr;
  std::string logPath_;
  MessageBoxes* boxes_;
  std::function<std::tm()> now_;
};

}  // namespace zan
