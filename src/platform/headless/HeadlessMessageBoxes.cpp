#include "platform/headless/HeadlessMessageBoxes.h"

#include <cstdio>

#include "base/ShiftJis.h"

namespace zan {

BoxAnswer HeadlessMessageBoxes::Ask(std::string_view textSjis, std::string_view captionSjis,
                                    BoxKind kind) {
  shown_.push_back(Shown{std::string(textSjis), std::string(captionSjis), kind});
  if (!quiet_) {
    std::string text = SjisToUtf8(textSjis);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(stderr, "zan: [%s] %s\n", SjisToUtf8(captionSjis).c_str(), text.c_str());
  }
  return DefaultAnswer(kind.buttons);
}

}  // namespace zan
