#include "sound/DebugOutput.h"

#include <cstdio>

namespace zan {

void DebugOutput(std::string_view utf8) {
  std::string_view text = utf8;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::fprintf(stderr, "zan: debug: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace zan
