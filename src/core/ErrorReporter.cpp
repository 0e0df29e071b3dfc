#include "core/ErrorReporter.h"

#include <cstdio>

#include "base/ShiftJis.h"
#include "platform/MessageBoxes.h"
#include "platform/Window.h"

namespace zan {

ErrorReporter::ErrorReporter(MessageBoxes* boxes) : boxes_(boxes) {
  now_ = [] {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
  };
}

void ErrorReporter::Setup(int32_t dialogOff, Window* window, std::string logPath) {
  setUp_ = 1;
  dialogOff_ = dialogOff;
  window_ = window;
  logPath_ = std::move(logPath);
}

std::string ErrorReporter::FormatLine(const std::tm& local, std::string_view message) {
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d : ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  return std::string(stamp) + std::string(message);
}

std::string ErrorReporter::StampedLine(std::string_view message) const {
  return FormatLine(now_(), message);
}

void ErrorReporter::ReportError(std::string_view message, int32_t mode) {
  // Before set-up the dialog counts as on and there is no window.
  const bool dialog = setUp_ == 0 || dialogOff_ == 0;
  Window* window = setUp_ != 0 ? window_ : nullptr;

  if (dialog) {
    std::string line = StampedLine(message);
    if (boxes_) boxes_->Show(line, "Error");
    if (window) window->SetTitle(line);
  }
  if (setUp_ != 0 && !logPath_.empty()) {
    if (std::FILE* f = std::fopen(logPath_.c_str(), mode == 1 ? "ab" : "wb")) {
      std::string line = StampedLine(message);
      line += "\r\n";  // the log is a Windows text file: CR LF line ends
      std::fwrite(line.data(), 1, line.size(), f);
      std::fclose(f);
    }
  }
  if (window) window->SetTitle(StampedLine(message));
  if (!dialog) {
    // Nobody sees the title bar of a headless run; say it where a developer looks.
    std::fprintf(stderr, "zan: %s\n", SjisToUtf8(message).c_str());
  }
}

void ErrorReporter::ReportErrorDetail(std::string_view message, std::string_view detail,
                                      int32_t mode) {
  std::string text(message);
  text += " [";
  text += detail;
  text += "]";
  ReportError(text, mode);
}

}  // namespace zan
