#include "XServerWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace zan::test {

bool ServerWindowSize(SDL_Window* window, int* width, int* height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

}  // namespace zan::test
