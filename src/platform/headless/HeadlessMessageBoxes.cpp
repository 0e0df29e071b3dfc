#include "platform/headless/HeadlessMessageBoxes.h"

#include <cstdio>

#include "base/ShiftJis.h"

namespace zan {

int HeadlessMessageBoxes::Show(std::string_view textSjis, std::string_view captionSjis,
                               uint32_t type) {
  shown_.push_back(Shown{std::string(textSjis), std::string(captionSjis), type});
  if (!quiet_) {
    std::string text = SjisToUtf8(textSjis);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(stderr, "zan: [%s] %s\n", SjisToUtf8(captionSjis).c_str(), text.c_str());
  }
  return DefaultAnswer(type);
}

}  // namespace zan
