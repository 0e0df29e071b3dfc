#pragma once
// MessageBoxes: modal message boxes with the classic button sets and answers.
// Text and caption are Shift-JIS.

#include <cstdint>
#include <string_view>

namespace zan {

constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_OKCANCEL = 0x1;
constexpr uint32_t MB_YESNOCANCEL = 0x3;
constexpr uint32_t MB_YESNO = 0x4;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr uint32_t kMessageBoxButtonsMask = 0xF;
constexpr uint32_t kMessageBoxIconMask = 0xF0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The answer a box gives when nobody can click: its first (default) button.
constexpr int DefaultAnswer(uint32_t type) {
  switch (type & kMessageBoxButtonsMask) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return IDYES;
    default:
      return IDOK;
  }
}

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and waits for the answer (IDOK, IDCANCEL, IDYES, IDNO).
  virtual int Show(std::string_view textSjis, std::string_view captionSjis, uint32_t type) = 0;
};

}  // namespace zan
