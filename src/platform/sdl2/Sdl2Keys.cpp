#include "platform/sdl2/Sdl2Keys.h"

namespace zan {

Key KeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return CharacterKey(static_cast<char>('A' + (key - SDLK_a)));
  if (key >= SDLK_0 && key <= SDLK_9) return CharacterKey(static_cast<char>('0' + (key - SDLK_0)));
  if (key >= SDLK_F1 && key <= SDLK_F12) return FunctionKey(1 + static_cast<int>(key - SDLK_F1));
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::kReturn;
    case SDLK_SPACE: return Key::kSpace;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return Key::kControl;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return Key::kShift;
    case SDLK_LALT:
    case SDLK_RALT: return Key::kAlt;
    case SDLK_BACKSPACE: return Key::kBackspace;
    case SDLK_TAB: return Key::kTab;
    case SDLK_DELETE: return Key::kDelete;
    case SDLK_INSERT: return Key::kInsert;
    case SDLK_HOME: return Key::kHome;
    case SDLK_END: return Key::kEnd;
    case SDLK_PAGEUP: return Key::kPageUp;
    case SDLK_PAGEDOWN: return Key::kPageDown;
    case SDLK_ESCAPE: return Key::kEscape;
    case SDLK_LEFT: return Key::kLeft;
    case SDLK_RIGHT: return Key::kRight;
    case SDLK_UP: return Key::kUp;
    case SDLK_DOWN: return Key::kDown;
    default: return Key::kNone;
  }
}

}  // namespace zan
