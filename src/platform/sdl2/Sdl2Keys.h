#pragma once
// The virtual-key code of an SDL key, 0 for keys the game has no use for.

#include <SDL_keycode.h>
#include <cstdint>

namespace zan {

uint32_t VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace zan
