#pragma once
// DiagnosticLog: the framework's diagnostic log. Every framework class writes its diagnostics
// here (display, surface, sound failures). It keeps the last message; in output mode 1 it
// also appends "MM/DD/YY HH:MM:SS : message" lines to "errorlog.txt" in the current folder.
// Safe to call from the main thread and the sound timer thread at once.
//
// Besides the file, each line is echoed to stderr (as UTF-8) unless echo is switched off,
// so that a developer running the game sees why something was refused.

#include <cstdarg>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace zan {

class DiagnosticLog {
 public:
  DiagnosticLog();

  void LogText(std::string_view message);
  void LogNumber(int n);
  // Fills %d, %s, %x (and the rest of printf) from the arguments, then logs the text.
  void LogMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void LogMessageV(const char* format, va_list args);

  void SetOutputMode(int mode);
  int OutputMode() const;
  std::string LastMessage() const;
  std::string FileName() const { return fileName_; }
  void SetFileName(std::string name);

  void SetEcho(bool echo);

  // The line written to the file for a message at the given local time parts.
  static std::string FormatLine(int year, int month, int day, int hour, int minute, int second,
                                std::string_view message);

 private:
  mutable std::mutex mutex_;
  int outputMode_ = 0;
  bool echo_ = true;
  std::string last_;
  std::string fileName_ = "errorlog.txt";
};

// The one process-wide framework log.
DiagnosticLog& Diagnostics();

// Shorthand for Diagnostics().LogMessage(...).
#define ZAN_LOG(...) ::zan::Diagnostics().LogMessage(__VA_ARGS__)

}  // namespace zan
