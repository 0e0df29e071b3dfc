#pragma once
// The sound layer's lines in the framework log. Texts are written in the source as UTF-8
// and logged as Shift-JIS, like every line of that log.

#include <cstdarg>

#include "base/DiagnosticLog.h"

namespace zan {

void SoundLog(LogLevel level, const char* utf8Format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zan
