#include "base/DiagnosticLog.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "base/ShiftJis.h"

namespace zan {

DiagnosticLog::DiagnosticLog() = default;

std::string DiagnosticLog::FormatLine(int year, int month, int day, int hour, int minute, int second,
                                  std::string_view message) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d", month, day, year % 100, hour,
                minute, second);
  std::string line(stamp);
  line += " : ";
  line += message;
  line += '\n';
  return line;
}

void DiagnosticLog::LogText(LogLevel level, std::string_view message) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::string line = FormatLine(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec, message);

  std::lock_guard<std::mutex> lock(mutex_);
  last_.assign(message);
  if (outputMode_ == 1) {
    if (std::FILE* f = std::fopen(fileName_.c_str(), "ab")) {
      std::fwrite(line.data(), 1, line.size(), f);
      std::fclose(f);
    }
  }
  if (echo_ && (verbose_ || level != LogLevel::kDebug)) {
    std::string text = SjisToUtf8(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(stderr, "zan: %s\n", text.c_str());
  }
}

void DiagnosticLog::LogNumber(LogLevel level, int n) { LogMessage(level, "%d", n); }

void DiagnosticLog::LogMessage(LogLevel level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogMessageV(level, format, args);
  va_end(args);
}

void DiagnosticLog::LogMessageV(LogLevel level, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n < 0) return;
  std::vector<char> text(static_cast<size_t>(n) + 1);
  std::vsnprintf(text.data(), text.size(), format, args);
  LogText(level, std::string_view(text.data(), static_cast<size_t>(n)));
}

void DiagnosticLog::SetOutputMode(int mode) {
  std::lock_guard<std::mutex> lock(mutex_);
  outputMode_ = mode;
}

int DiagnosticLog::OutputMode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return outputMode_;
}

std::string DiagnosticLog::LastMessage() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void DiagnosticLog::SetFileName(std::string name) {
  std::lock_guard<std::mutex> lock(mutex_);
  fileName_ = std::move(name);
}

void DiagnosticLog::SetEcho(bool echo) {
  std::lock_guard<std::mutex> lock(mutex_);
  echo_ = echo;
}

void DiagnosticLog::SetVerbose(bool verbose) {
  std::lock_guard<std::mutex> lock(mutex_);
  verbose_ = verbose;
}

DiagnosticLog& Diagnostics() {
  static DiagnosticLog log;
  return log;
}

}  // namespace zan
