#pragma once
// DiagnosticLog: the framework's diagnostic log. Every framework class writes its diagnostics
// here (display, surface, sound failures). It keeps the last message; in output mode 1 it
// also appends "MM/DD/YY HH:MM:SS : message" lines to "errorlog.txt" in the current folder.
// Safe to call from the main thread and the sound timer thread at once.
//
// Each line has a level. Warnings (something was refused or failed, and the program went on)
// are echoed to stderr as UTF-8, so that whoever runs the game sees why; debug lines (the
// steps of a set-up, the ends of streams) only when verbose is on. The file and the last
// message take every line, whatever its level.

#include <cstdarg>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace zan {

enum class LogLevel { kDebug, kWarning };

class DiagnosticLog {
 public:
  DiagnosticLog();

  void LogText(LogLevel level, std::string_view message);
  void LogNumber(LogLevel level, int n);
  // Fills %d, %s, %x (and the rest of printf) from the arguments, then logs the text.
  void LogMessage(LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void LogMessageV(LogLevel level, const char* format, va_list args);

  void SetOutputMode(int mode);
  int OutputMode() const;
  std::string LastMessage() const;
  std::string FileName() const { return fileName_; }
  void SetFileName(std::string name);

  // Echo on stderr at all (tests and tools switch it off), and of debug lines too.
  void SetEcho(bool echo);
  void SetVerbose(bool verbose);

  // The line written to the file for a message at the given local time parts.
  static std::string FormatLine(int year, int month, int day, int hour, int minute, int second,
                                std::string_view message);

 private:
  mutable std::mutex mutex_;
  int outputMode_ = 0;
  bool echo_ = true;
  bool verbose_ = false;
  std::string last_;
  std::string fileName_ = "errorlog.txt";
};

// The one process-wide framework log.
DiagnosticLog& Diagnostics();

// Shorthands for Diagnostics().LogMessage(level, ...).
#define ZAN_DEBUG(...) ::zan::Diagnostics().LogMessage(::zan::LogLevel::kDebug, __VA_ARGS__)
#define ZAN_WARN(...) ::zan::Diagnostics().LogMessage(::zan::LogLevel::kWarning, __VA_ARGS__)

}  // namespace zan
