#pragma once
// InputTimeline: a scripted sequence of input events for automated runs (--input FILE).
// One event a line, "#" starts a comment:
//   FRAME click X Y | rclick X Y | tap X Y | press X Y | release X Y | move X Y
//   FRAME key NAME | keydown NAME | keyup NAME | wheel up|down | close | action N
// "click" presses the left button at FRAME and releases it at FRAME+1 ("rclick" the right
// one); "tap" presses and releases it at FRAME, both reaching the queue together as a
// fast click or a touchpad tap does; "key" presses at FRAME and releases at FRAME+1;
// "action N" fires input action N (1..30) as the release of a key mapped to it would,
// whatever the game's key configuration maps.
// Events of a frame are posted to the window's queue before that frame's event step, in
// file order; lines go in frame order.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "platform/InputEvent.h"

namespace zan {

struct TimelineAction {
  enum class Kind { kMove, kPress, kRelease, kTap, kKeyDown, kKeyUp, kWheel, kClose, kAction };
  Kind kind = Kind::kMove;
  PointerButton button = PointerButton::kLeft;
  // Client coordinates, outside the window too; kCurrentPointer: where the pointer is.
  static constexpr int kCurrentPointer = INT32_MIN;
  int x = kCurrentPointer;
  int y = kCurrentPointer;
  Key key = Key::kNone;
  int wheelNotches = 0;  // +1 away from the player (up), -1 towards (down)
  int action = 0;        // an input action, 1..30
};

class InputTimeline {
 public:
  static Result<InputTimeline> Parse(std::string_view text);
  static Result<InputTimeline> Load(const std::string& path);

  // The key of a key name, Key::kNone when unknown. Names: Return Space Escape Up Down
  // Left Right PageUp PageDown Home End Insert Delete BackSpace Ctrl Shift F1..F12, and
  // the letters A..Z.
  static Key KeyFromName(std::string_view name);

  void Add(uint64_t frame, const TimelineAction& action) { actions_.emplace(frame, action); }
  // The actions due at a frame, in the order they were given.
  std::vector<TimelineAction> ActionsAt(uint64_t frame) const;
  bool Empty() const { return actions_.empty(); }
  uint64_t LastFrame() const { return actions_.empty() ? 0 : actions_.rbegin()->first; }

 private:
  std::multimap<uint64_t, TimelineAction> actions_;
};

}  // namespace zan
