#pragma once
// The window message model the game logic is written against: numbered messages with two
// parameters, as the window delivers them. Numbers and codes keep their classic values so
// the logic can be read against the tables it was designed from.

#include <cstdint>

namespace zan {

struct WindowMessage {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Messages.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ERASEBKGND = 0x0014;
constexpr uint32_t WM_SYSCOLORCHANGE = 0x0015;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_GETMINMAXINFO = 0x0024;
constexpr uint32_t WM_DEVMODECHANGE = 0x001B;
constexpr uint32_t WM_NCCREATE = 0x0081;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;
constexpr uint32_t WM_PALETTEISCHANGING = 0x0310;
constexpr uint32_t WM_PALETTECHANGED = 0x0311;
constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;

// WM_SYSCOMMAND codes (wParam).
constexpr uintptr_t SC_MINIMIZE = 0xF020;
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;

// WM_SETCURSOR hit-test code (low word of lParam).
constexpr intptr_t HTCLIENT = 1;

// Mouse key-state flags (wParam of mouse messages).
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_SHIFT = 0x0004;
constexpr uintptr_t MK_CONTROL = 0x0008;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// One notch of the mouse wheel, as the high word of WM_MOUSEWHEEL's wParam.
constexpr int WHEEL_DELTA = 120;

// Virtual-key codes (wParam of WM_KEYDOWN / WM_KEYUP).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;  // Page Up
constexpr uint32_t VK_NEXT = 0x22;   // Page Down
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_F1 = 0x70;  // VK_F1 + n is F(n+1), up to VK_F12
constexpr uint32_t VK_F12 = 0x7B;
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).

// lParam of mouse messages: client x in the low word, y in the high word.
constexpr intptr_t MakeLParam(int low, int high) {
  return static_cast<intptr_t>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr uint16_t LowWord(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HighWord(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
// wParam of WM_MOUSEWHEEL: the signed delta in the high word, key flags in the low word.
constexpr uintptr_t MakeWheelWParam(int delta, uintptr_t keys) {
  return static_cast<uintptr_t>(static_cast<uint32_t>((keys & 0xFFFF) | ((delta & 0xFFFF) << 16)));
}
constexpr int WheelDelta(uintptr_t wParam) { return static_cast<int16_t>(HighWord(wParam)); }
// Bit 30 of a WM_KEYDOWN lParam: the key was already down (auto-repeat).
constexpr intptr_t kKeyRepeatFlag = intptr_t{1} << 30;

}  // namespace zan
