#pragma once
// HeadlessMessageBoxes: no box can be shown, so each goes to the framework log (a warning,
// on stderr as UTF-8) and is answered with its default button. Keeps what was shown, for
// tests.

#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace zan {

class HeadlessMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string text;     // Shift-JIS
    std::string caption;  // Shift-JIS
    BoxKind kind;
  };

  const std::vector<Shown>& History() const { return shown_; }
  void SetQuiet(bool quiet) { quiet_ = quiet; }

 protected:
  BoxAnswer Ask(std::string_view textSjis, std::string_view captionSjis, BoxKind kind) override;

 private:
  std::vector<Shown> shown_;
  bool quiet_ = false;
};

}  // namespace zan
