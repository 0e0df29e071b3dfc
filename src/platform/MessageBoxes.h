#pragma once
// MessageBoxes: modal message boxes with a set of buttons and an icon. Text and caption are
// Shift-JIS.

#include <cstdint>
#include <string_view>

namespace zan {

enum class BoxButtons : uint8_t { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class BoxIcon : uint8_t { kNone, kError, kQuestion, kWarning, kInformation };
enum class BoxAnswer : uint8_t { kOk, kCancel, kYes, kNo };

struct BoxKind {
  BoxButtons buttons = BoxButtons::kOk;
  BoxIcon icon = BoxIcon::kNone;
  friend bool operator==(const BoxKind&, const BoxKind&) = default;
};

// An error with an OK button.
constexpr BoxKind kErrorBox{BoxButtons::kOk, BoxIcon::kError};

// The answer a box gives when nobody can click: its first (default) button.
constexpr BoxAnswer DefaultAnswer(BoxButtons buttons) {
  return buttons == BoxButtons::kYesNo || buttons == BoxButtons::kYesNoCancel ? BoxAnswer::kYes
                                                                              : BoxAnswer::kOk;
}

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and waits for the answer.
  BoxAnswer Show(std::string_view textSjis, std::string_view captionSjis, BoxKind kind = {}) {
    return Ask(textSjis, captionSjis, kind);
  }

 protected:
  virtual BoxAnswer Ask(std::string_view textSjis, std::string_view captionSjis, BoxKind kind) = 0;
};

}  // namespace zan
