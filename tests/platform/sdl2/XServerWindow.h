#pragma once
// The size of an SDL window as the X server has it (SDL's own idea of it can differ).
// Kept apart from the tests: Xlib's macros clash with GoogleTest's names.

struct SDL_Window;

namespace zan::test {

// False when the window is not an X11 window or the server does not answer.
bool ServerWindowSize(SDL_Window* window, int* width, int* height);

}  // namespace zan::test
