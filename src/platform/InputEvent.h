#pragma once
// InputEvent: what the window tells the game. Keys and pointer buttons going down and up,
// pointer moves and wheel notches (positions in the game's pixels, whatever size the window
// has), the close box, the focus, a picture on screen that must be shown again, the window
// closing, and the end of the loop. Each backend turns its own events into these.

#include <cstdint>

namespace zan {

// The keys the game has a use for.
enum class Key : uint8_t {
  kNone,
  kReturn,
  kSpace,
  kEscape,
  kBackspace,
  kTab,
  kShift,
  kControl,
  kAlt,
  kInsert,
  kDelete,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kLeft,
  kUp,
  kRight,
  kDown,
  kF1, kF2, kF3, kF4, kF5, kF6, kF7, kF8, kF9, kF10, kF11, kF12,
  kA, kB, kC, kD, kE, kF, kG, kH, kI, kJ, kK, kL, kM,
  kN, kO, kP, kQ, kR, kS, kT, kU, kV, kW, kX, kY, kZ,
  k0, k1, k2, k3, k4, k5, k6, k7, k8, k9,
};

// F1..F12 for n = 1..12; kNone otherwise.
constexpr Key FunctionKey(int n) {
  return n >= 1 && n <= 12 ? static_cast<Key>(static_cast<int>(Key::kF1) + n - 1) : Key::kNone;
}
// The letter keys for 'A'..'Z' (either case) and the digit keys for '0'..'9'; kNone otherwise.
constexpr Key CharacterKey(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<Key>(static_cast<int>(Key::kA) + (c - 'A'));
  if (c >= '0' && c <= '9') return static_cast<Key>(static_cast<int>(Key::k0) + (c - '0'));
  return Key::kNone;
}
// 1..12 for F1..F12, else 0.
constexpr int FunctionKeyNumber(Key key) {
  return key >= Key::kF1 && key <= Key::kF12 ? static_cast<int>(key) - static_cast<int>(Key::kF1) + 1 : 0;
}

enum class PointerButton : uint8_t { kLeft, kRight, kMiddle };

struct InputEvent {
  enum class Kind : uint8_t {
    kNone,
    kKeyDown,        // key, repeat
    kKeyUp,          // key
    kButtonDown,     // button, x, y
    kButtonUp,       // button, x, y
    kPointerMove,    // x, y
    kWheel,          // notches, x, y
    kCloseRequest,   // the window's close box
    kFocusGained,
    kFocusLost,
    kRedraw,         // the window was uncovered or resized: its picture must be shown again
    kWindowClosing,  // the window is being destroyed
    kQuit,           // the loop ends (exitCode)
  };

  Kind kind = Kind::kNone;
  Key key = Key::kNone;
  bool repeat = false;  // a key held down sending its press again
  PointerButton button = PointerButton::kLeft;
  // The pointer in game pixels; outside 0..width-1 x 0..height-1 when a held button drags
  // it past the window's edge.
  int32_t x = 0;
  int32_t y = 0;
  int32_t notches = 0;  // wheel: + away from the player, - towards
  int32_t exitCode = 0;

  static constexpr InputEvent Of(Kind kind) {
    InputEvent e;
    e.kind = kind;
    return e;
  }
  static constexpr InputEvent KeyDown(Key key, bool repeat = false) {
    InputEvent e = Of(Kind::kKeyDown);
    e.key = key;
    e.repeat = repeat;
    return e;
  }
  static constexpr InputEvent KeyUp(Key key) {
    InputEvent e = Of(Kind::kKeyUp);
    e.key = key;
    return e;
  }
  static constexpr InputEvent ButtonDown(PointerButton button, int32_t x, int32_t y) {
    return Pointer(Kind::kButtonDown, button, x, y);
  }
  static constexpr InputEvent ButtonUp(PointerButton button, int32_t x, int32_t y) {
    return Pointer(Kind::kButtonUp, button, x, y);
  }
  static constexpr InputEvent PointerMove(int32_t x, int32_t y) {
    return Pointer(Kind::kPointerMove, PointerButton::kLeft, x, y);
  }
  static constexpr InputEvent Wheel(int32_t notches, int32_t x, int32_t y) {
    InputEvent e = Pointer(Kind::kWheel, PointerButton::kLeft, x, y);
    e.notches = notches;
    return e;
  }
  static constexpr InputEvent Quit(int32_t exitCode) {
    InputEvent e = Of(Kind::kQuit);
    e.exitCode = exitCode;
    return e;
  }

  bool IsKey(Kind k, Key which) const { return kind == k && key == which; }
  bool IsButton(Kind k, PointerButton which) const { return kind == k && button == which; }

 private:
  static constexpr InputEvent Pointer(Kind kind, PointerButton button, int32_t x, int32_t y) {
    InputEvent e = Of(kind);
    e.button = button;
    e.x = x;
    e.y = y;
    return e;
  }
};

}  // namespace zan
