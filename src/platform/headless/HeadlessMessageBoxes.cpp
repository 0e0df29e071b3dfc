#include "platform/headless/HeadlessMessageBoxes.h"

#include "base/DiagnosticLog.h"

namespace zan {

BoxAnswer HeadlessMessageBoxes::Ask(std::string_view textSjis, std::string_view captionSjis,
                                    BoxKind kind) {
  shown_.push_back(Shown{std::string(textSjis), std::string(captionSjis), kind});
  // Nobody can see or answer it: the log keeps it (and shows it on stderr).
  if (!quiet_) Diagnostics().LogText(LogLevel::kWarning, "[" + std::string(captionSjis) + "] " + std::string(textSjis));
  return DefaultAnswer(kind.buttons);
}

}  // namespace zan
