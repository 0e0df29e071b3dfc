#include "sound/SoundLog.h"

#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"

namespace zan {

void SoundLog(LogLevel level, const char* utf8Format, ...) {
  const std::string format = Sjis(utf8Format);
  va_list args;
  va_start(args, utf8Format);
  Diagnostics().LogMessageV(level, format.c_str(), args);
  va_end(args);
}

}  // namespace zan
