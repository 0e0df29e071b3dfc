#include "platform/sdl2/Sdl2MessageBoxes.h"

#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/ShiftJis.h"
#include "platform/sdl2/Sdl2Window.h"

namespace zan {

int Sdl2MessageBoxes::Show(std::string_view textSjis, std::string_view captionSjis,
                           uint32_t type) {
  std::string text = SjisToUtf8(textSjis);
  std::string caption = SjisToUtf8(captionSjis);
  std::fprintf(stderr, "zan: [%s] %s\n", caption.c_str(), text.c_str());

  std::vector<SDL_MessageBoxButtonData> buttons;
  const int defaultFlag = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  const int escapeFlag = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  switch (type & kMessageBoxButtonsMask) {
    case MB_YESNOCANCEL:
      buttons = {{defaultFlag, IDYES, "Yes"}, {0, IDNO, "No"}, {escapeFlag, IDCANCEL, "Cancel"}};
      break;
    case MB_YESNO:
      buttons = {{defaultFlag, IDYES, "Yes"}, {escapeFlag, IDNO, "No"}};
      break;
    case MB_OKCANCEL:
      buttons = {{defaultFlag, IDOK, "OK"}, {escapeFlag, IDCANCEL, "Cancel"}};
      break;
    default:
      buttons = {{defaultFlag | escapeFlag, IDOK, "OK"}};
      break;
  }
  uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
  switch (type & kMessageBoxIconMask) {
    case MB_ICONERROR: flags = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONWARNING: flags = SDL_MESSAGEBOX_WARNING; break;
    default: break;
  }
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = window_.Native();
  data.title = caption.c_str();
  data.message = text.c_str();
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  int answer = 0;
  if (SDL_ShowMessageBox(&data, &answer) != 0 || answer <= 0) return DefaultAnswer(type);
  return answer;
}

}  // namespace zan
