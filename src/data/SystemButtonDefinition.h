#pragma once
// system1.lib: the pictures and buttons over the game screen (save, load, skip, auto, ...).
//
// Lines 1 and 2 are a header. Then one picture per line (numbered from 0): field 1 names
// its bitmap; an empty name, or one starting with "×", loads nothing but keeps the number.
// The first line starting with "□画像定義終了" ends the pictures; the 9 lines after it are
// headings. Then six-line button records (numbered from 0) up to the first line starting
// with "□定義終了":
//   header: 1 "○" when the button responds, 2 its name (an action name), 3 "○" when it can
//           be dragged, 4 the number of its parent button or "絶対" (absolute: parent -1, and
//           a place in the absolute list), 5 "非表示" when it starts hidden;
//   five state lines (0 normal, 1 hovered, 2 pressed or active, 3 disabled, 4 the hover
//           picture), fields 1..7: picture number, x, y, source x, source y, width, height.
// Each button starts all zero: an empty field reads 0. Without the end line nothing is
// built.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "data/DefinitionText.h"

namespace zan {

struct SystemButtonPicture {
  int32_t number = 0;
  int32_t line = 0;
  std::string label;  // field 0, free text (Shift-JIS)
  std::string file;   // field 1 as written

  // False for an empty name or one starting with "×": the number stays, no picture loads.
  bool Loads() const;
};

struct SystemButtonState {
  int32_t picture = 0;  // a number beyond the pictures draws nothing
  int32_t x = 0;        // relative to the parent's position in the same state, if any
  int32_t y = 0;
  int32_t sourceX = 0;
  int32_t sourceY = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool HasArea() const { return width > 0 && height > 0; }
};

struct SystemButton {
  static constexpr int32_t kStates = 5;
  static constexpr int32_t kAbsolute = -1;

  int32_t number = 0;
  int32_t line = 0;   // its header line in the file
  std::string name;   // the action name (Shift-JIS, at most 259 bytes)
  int32_t action = 0;  // the name's action code, 0 when it is no action
  bool responds = false;
  bool draggable = false;
  int32_t parent = kAbsolute;  // a button number, or kAbsolute
  bool visible = true;
  std::array<SystemButtonState, kStates> states{};
};

struct SystemButtonDefinition {
  std::vector<SystemButtonPicture> pictures;
  std::vector<SystemButton> buttons;
  std::vector<int32_t> absolute;  // the absolute buttons' numbers, in record order
  std::vector<DefinitionProblem> problems;

  // The parent whose position a button's own adds to: its parent when that is another
  // button of the file, else none (-1).
  int32_t PositionParent(int32_t button) const;
  // The screen position of a button in a state: its own plus its parent's in the same
  // state (one level only), kept within the int32 range. {0, 0} for numbers outside the
  // buttons or states.
  std::array<int32_t, 2> Position(int32_t button, int32_t state) const;
};

// Reads the unscrambled text of system1.lib. An error (saying which line is missing) when
// the picture section's end or the button section's end line is never found.
Result<SystemButtonDefinition> ReadSystemButtonDefinition(std::string_view text);

}  // namespace zan
