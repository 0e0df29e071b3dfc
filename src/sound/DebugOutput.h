#pragma once
// DebugOutput: a line for a developer watching the program: written to stderr only, never
// to the error logs.

#include <string_view>

namespace zan {

// `utf8` is the line as written in the source; it goes to stderr as "zan: debug: ...".
void DebugOutput(std::string_view utf8);

}  // namespace zan
