#include "screens/ScreenButtons.h"

#include <cstdlib>
#include <limits>

#include "screens/ScreenPicture.h"

namespace zan {
namespace {

// Twice the centre of a rectangle, so that it stays whole.
struct Centre {
  int64_t x2;
  int64_t y2;
};
Centre CentreOf(const ButtonRect& r) {
  return {2 * int64_t{r.x} + r.width, 2 * int64_t{r.y} + r.height};
}

// How far `to` lies ahead of `from` in the direction of the move (doubled pixels), and how
// far to the side.
void Offsets(FocusMove move, Centre from, Centre to, int64_t& ahead, int64_t& side) {
  const int64_t dx = to.x2 - from.x2;
  const int64_t dy = to.y2 - from.y2;
  switch (move) {
    case FocusMove::kLeft: ahead = -dx; side = dy; break;
    case FocusMove::kRight: ahead = dx; side = dy; break;
    case FocusMove::kUp: ahead = -dy; side = dx; break;
    case FocusMove::kDown: ahead = dy; side = dx; break;
  }
  side = std::llabs(side);
}

// Whether `to` overlaps `from` across the move (their columns for up and down, their rows
// for left and right).
bool InBeam(FocusMove move, const ButtonRect& from, const ButtonRect& to) {
  const bool vertical = move == FocusMove::kUp || move == FocusMove::kDown;
  const int64_t a0 = vertical ? from.x : from.y, a1 = a0 + (vertical ? from.width : from.height);
  const int64_t b0 = vertical ? to.x : to.y, b1 = b0 + (vertical ? to.width : to.height);
  return a0 < b1 && b0 < a1;
}

// Added to the score of a button aside, so that every button straight ahead comes first.
constexpr int64_t kAside = int64_t{1} << 40;

constexpr int32_t kHidden = -1;

}  // namespace

ScreenButton ScreenButton::FromRow(const ButtonRow& row, int32_t statesInRow) {
  ScreenButton b;
  b.rect = row.rect;
  for (int32_t look = 0; look < kButtonLooks; ++look)
    b.looks[static_cast<size_t>(look)] = row.sources[static_cast<size_t>(statesInRow == 1 ? 0 : look)];
  return b;
}

void ScreenButtons::Clear() {
  buttons_.clear();
  selected_ = pressed_ = clicked_ = 0;
  cancelled_ = rightPressed_ = escapePressed_ = false;
  drawn_.clear();
}

int32_t ScreenButtons::Add(const ScreenButton& button) {
  buttons_.push_back(button);
  return Count();
}

void ScreenButtons::AddRows(const ButtonTable& table, int32_t count) {
  for (int32_t item = 1; item <= count; ++item) Add(ScreenButton::FromRow(table.Item(item), table.StateCount()));
}

bool ScreenButtons::IsActive(int32_t number) const {
  return number >= 1 && number <= Count() && Button(number).Active();
}

int32_t ScreenButtons::HitTest(int32_t x, int32_t y) const {
  for (int32_t n = Count(); n >= 1; --n)
    if (IsActive(n) && Button(n).rect.Contains(x, y)) return n;
  return 0;
}

void ScreenButtons::Reset(int32_t pointerX, int32_t pointerY) {
  pointerX_ = pointerX;
  pointerY_ = pointerY;
  pressed_ = clicked_ = 0;
  cancelled_ = rightPressed_ = escapePressed_ = false;
  selected_ = blocked_ ? 0 : HitTest(pointerX, pointerY);
}

void ScreenButtons::HandleEvent(const InputEvent& event) {
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kPointerMove:
    case Kind::kButtonDown:
    case Kind::kButtonUp:
      pointerX_ = event.x;
      pointerY_ = event.y;
      break;
    default:
      break;
  }
  if (blocked_) return;
  switch (event.kind) {
    case Kind::kPointerMove:
      selected_ = HitTest(pointerX_, pointerY_);
      break;
    case Kind::kButtonDown:
      if (event.button == PointerButton::kRight) rightPressed_ = true;
      if (event.button != PointerButton::kLeft) break;
      selected_ = HitTest(pointerX_, pointerY_);
      pressed_ = selected_;
      break;
    case Kind::kButtonUp:
      if (event.button == PointerButton::kRight) {
        cancelled_ = cancelled_ || rightPressed_;
        rightPressed_ = false;
      } else if (event.button == PointerButton::kLeft) {
        selected_ = HitTest(pointerX_, pointerY_);
        if (pressed_ != 0 && pressed_ == selected_) {
          clicked_ = pressed_;
          clickedByKey_ = false;
        }
        pressed_ = 0;
      }
      break;
    case Kind::kKeyDown:
      switch (event.key) {
        case Key::kLeft: MoveFocus(FocusMove::kLeft); break;
        case Key::kRight: MoveFocus(FocusMove::kRight); break;
        case Key::kUp: MoveFocus(FocusMove::kUp); break;
        case Key::kDown: MoveFocus(FocusMove::kDown); break;
        case Key::kReturn:
          if (!event.repeat) pressed_ = selected_;
          break;
        case Key::kEscape:
          escapePressed_ = true;
          break;
        default: break;
      }
      break;
    case Kind::kKeyUp:
      if (event.key == Key::kReturn) {
        if (pressed_ != 0 && pressed_ == selected_) {
          clicked_ = pressed_;
          clickedByKey_ = true;
        }
        pressed_ = 0;
      } else if (event.key == Key::kEscape) {
        cancelled_ = cancelled_ || escapePressed_;
        escapePressed_ = false;
      }
      break;
    default:
      break;
  }
}

int32_t ScreenButtons::TakeClicked() {
  const int32_t clicked = clicked_;
  clicked_ = 0;
  return clicked;
}

bool ScreenButtons::TakeCancelled() {
  const bool cancelled = cancelled_;
  cancelled_ = false;
  return cancelled;
}

void ScreenButtons::SetBlocked(bool blocked) {
  if (blocked == blocked_) return;
  blocked_ = blocked;
  pressed_ = clicked_ = 0;
  cancelled_ = rightPressed_ = escapePressed_ = false;
  selected_ = blocked ? 0 : HitTest(pointerX_, pointerY_);
}

void ScreenButtons::Select(int32_t number) {
  if (!blocked_ && (number == 0 || IsActive(number))) selected_ = number;
}

void ScreenButtons::MoveFocus(FocusMove move) {
  if (blocked_) return;
  int32_t best = 0;
  int64_t bestScore = std::numeric_limits<int64_t>::max();
  for (int32_t n = 1; n <= Count(); ++n) {
    if (n == selected_ || !IsActive(n)) continue;
    const Centre to = CentreOf(Button(n).rect);
    int64_t score = 0;
    if (selected_ == 0) {
      // Coming in from the opposite edge: the first button met is the least far ahead.
      int64_t side = 0;
      Offsets(move, {0, 0}, to, score, side);
    } else {
      int64_t ahead = 0;
      int64_t side = 0;
      Offsets(move, CentreOf(Button(selected_).rect), to, ahead, side);
      if (ahead <= 0) continue;
      // A button that overlaps the selected one across the move lies straight ahead and comes
      // before any aside, the nearest first: a slot under a page button is met before the
      // slot's own small button further down, however the two line up.
      score = InBeam(move, Button(selected_).rect, Button(n).rect) ? ahead : kAside + ahead + 2 * side;
    }
    if (score < bestScore) {
      bestScore = score;
      best = n;
    }
  }
  if (best != 0) selected_ = best;
}

ButtonLook ScreenButtons::LookOf(int32_t number) const {
  if (!Button(number).enabled) return ButtonLook::kDisabled;
  if (number != selected_) return ButtonLook::kNormal;
  return number == pressed_ ? ButtonLook::kPressed : ButtonLook::kHovered;
}

void ScreenButtons::DrawButton(Surface& target, ScreenPicture& sheet, int32_t number, ButtonLook look,
                               uint8_t opacity) const {
  const ScreenButton& b = Button(number);
  const ButtonSource& from = b.looks[static_cast<size_t>(look)];
  if (!from.MarkedNotDrawn())
    sheet.DrawPart(target, b.rect.x, b.rect.y, b.rect.width, b.rect.height, from.x, from.y, opacity);
}

void ScreenButtons::Draw(Surface& target, ScreenPicture& sheet) {
  for (int32_t n = 1; n <= Count(); ++n) {
    const ScreenButton& b = Button(n);
    if (b.visible && b.rect.HasArea()) DrawButton(target, sheet, n, LookOf(n));
  }
  if (selected_ != 0) {
    const ScreenButton& b = Button(selected_);
    if (b.hoverPicture.HasArea() && !b.hoverSource.MarkedNotDrawn())
      sheet.DrawPart(target, b.hoverPicture.x, b.hoverPicture.y, b.hoverPicture.width, b.hoverPicture.height,
                     b.hoverSource.x, b.hoverSource.y);
  }
  drawn_ = Shown();
}

std::vector<int32_t> ScreenButtons::Shown() const {
  std::vector<int32_t> shown;
  shown.reserve(buttons_.size() + 1);
  for (int32_t n = 1; n <= Count(); ++n) {
    const ScreenButton& b = Button(n);
    shown.push_back(b.visible && b.rect.HasArea() ? static_cast<int32_t>(LookOf(n)) : kHidden);
  }
  shown.push_back(selected_);
  return shown;
}

bool ScreenButtons::Changed() const { return drawn_.empty() || drawn_ != Shown(); }

}  // namespace zan
