#pragma once
// The engine's key for an SDL key, Key::kNone for keys the game has no use for.

#include <SDL_keycode.h>

#include "platform/InputEvent.h"

namespace zan {

Key KeyFromSdl(SDL_Keycode key);

}  // namespace zan
