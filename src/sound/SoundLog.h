#pragma once
// The sound layer's lines in the framework log. Texts are written in the source as UTF-8
// and logged as Shift-JIS, like every line of that log.

#include <cstdarg>

namespace zan {

void SoundLog(const char* utf8Format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zan
