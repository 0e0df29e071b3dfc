#include "platform/sdl2/Sdl2Platform.h"

#include <SDL.h>

namespace zan {

Sdl2Platform::Sdl2Platform() { SDL_SetMainReady(); }

Sdl2Platform::~Sdl2Platform() {
  audio_.Close();
  presenter_.Close();
  window_.Destroy();
  SDL_Quit();
}

}  // namespace zan
