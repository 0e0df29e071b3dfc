#pragma once
// ScreenButtons: the buttons of a system screen (or of a dialog), numbered from 1 as the rows
// of a button table are; 0 means none.
//
// A button has a rectangle on the screen and four looks, each a part of the screen's sprite
// sheet: normal, hovered, pressed, disabled (states 0..3 of a table row). One button at a
// time is selected: the one under the pointer, or the one the arrow keys walked to. The
// selected button shows its hovered look (so the keyboard focus looks like the hover) and,
// when it has one, its hover picture: an extra part drawn at its own place. A button is
// clicked when the left button goes down and up on it, or when Enter goes down and up while
// it is selected; the pressed look shows in between. A right click or Escape (down and up) is
// a cancel.
//
// Hit testing: the last button that is visible, enabled and whose rectangle holds the point,
// both edges inclusive (x = left + width is inside). A button whose width or height is 0 or
// less is never hit, selected or drawn: a zeroed table row (an item the file does not have)
// must not catch clicks at its corner.
//
// While a yes/no dialog covers the screen the buttons are blocked: nothing is selected,
// pressed or clicked; when it closes, the button under the pointer is selected again.

#include <array>
#include <cstdint>
#include <vector>

#include "data/ButtonTable.h"
#include "platform/InputEvent.h"

namespace zan {

class ScreenPicture;
class Surface;

enum class ButtonLook : uint8_t { kNormal, kHovered, kPressed, kDisabled };
constexpr int32_t kButtonLooks = 4;

enum class FocusMove : uint8_t { kLeft, kRight, kUp, kDown };

struct ScreenButton {
  ButtonRect rect;  // on the screen
  // Where each look (ButtonLook order) comes from in the sprite sheet; a source x of -1
  // draws nothing for that look.
  std::array<ButtonSource, kButtonLooks> looks{};
  bool enabled = true;  // a disabled button shows its disabled look and is never hit
  bool visible = true;  // a hidden button is neither drawn nor hit
  // Drawn while the button is selected, from `hoverSource` of the sheet; none without area.
  ButtonRect hoverPicture;
  ButtonSource hoverSource;

  // Can be hit, selected and clicked.
  bool Active() const { return visible && enabled && rect.HasArea(); }

  // A button from a table row: its rectangle, and states 0..3 as the four looks (a row
  // of the 8-field table has one source: every look shows it).
  static ScreenButton FromRow(const ButtonRow& row, int32_t statesInRow = ButtonRow::kStates);
};

class ScreenButtons {
 public:
  void Clear();
  // Adds a button; its number.
  int32_t Add(const ScreenButton& button);
  // Items 1..count of a table as buttons 1..count (an item the table has no row for is
  // zero-sized: never hit).
  void AddRows(const ButtonTable& table, int32_t count);
  int32_t Count() const { return static_cast<int32_t>(buttons_.size()); }
  // Button `number` (1..Count()).
  ScreenButton& Button(int32_t number) { return buttons_[static_cast<size_t>(number - 1)]; }
  const ScreenButton& Button(int32_t number) const { return buttons_[static_cast<size_t>(number - 1)]; }

  // The button at a point, 0 for none (see the rule above).
  int32_t HitTest(int32_t x, int32_t y) const;

  // A fresh start (a screen or dialog opening): nothing pressed, clicked or cancelled, the
  // button under the pointer selected.
  void Reset(int32_t pointerX, int32_t pointerY);
  // Pointer moves, left and right buttons, the arrow keys, Enter and Escape.
  void HandleEvent(const InputEvent& event);
  // The button clicked since the last call (0 for none), and whether a cancel came.
  int32_t TakeClicked();
  // Whether the last click came from Enter rather than the mouse.
  bool LastClickByKey() const { return clickedByKey_; }
  bool TakeCancelled();

  void SetBlocked(bool blocked);
  bool Blocked() const { return blocked_; }
  // The selected button (0 for none); Select moves the selection (the keyboard focus) to an
  // active button, or to none.
  int32_t Selected() const { return selected_; }
  void Select(int32_t number);
  // Walks the selection to the nearest active button in that direction: first among those
  // that overlap the selected one across the move (by their centres), else the nearest aside
  // (straight ahead counting over sideways); without a selection, to the first one met coming
  // in from the opposite edge. Stays put when there is none.
  void MoveFocus(FocusMove move);

  ButtonLook LookOf(int32_t number) const;
  // Draws every visible button with area in its look, then the selected button's hover
  // picture, from the sheet.
  void Draw(Surface& target, ScreenPicture& sheet);
  // Draws one button in a given look at an opacity (fades).
  void DrawButton(Surface& target, ScreenPicture& sheet, int32_t number, ButtonLook look,
                  uint8_t opacity = 255) const;
  // Whether Draw would draw otherwise than it last did.
  bool Changed() const;
  // A screen that draws its buttons in its own way (DrawButton) has drawn them as they are
  // now.
  void MarkDrawn() { drawn_ = Shown(); }

 private:
  bool IsActive(int32_t number) const;
  // What Draw shows of each button (a look, or hidden), and the selection.
  std::vector<int32_t> Shown() const;

  std::vector<ScreenButton> buttons_;
  int32_t pointerX_ = 0;
  int32_t pointerY_ = 0;
  int32_t selected_ = 0;
  int32_t pressed_ = 0;
  int32_t clicked_ = 0;
  bool clickedByKey_ = false;
  bool cancelled_ = false;
  // A cancel is a release whose press the buttons saw: the release that opened the screen
  // (a right click with the save screen as its action) does not close it again.
  bool rightPressed_ = false;
  bool escapePressed_ = false;
  bool blocked_ = false;
  std::vector<int32_t> drawn_;  // Shown() at the last Draw; empty before the first
};

}  // namespace zan
