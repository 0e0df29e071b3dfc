#include "platform/sdl2/Sdl2MessageBoxes.h"

#include <SDL.h>

#include <string>
#include <vector>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/sdl2/Sdl2Window.h"

namespace zan {

namespace {

// SDL's button ids for the answers.
int ButtonId(BoxAnswer answer) { return static_cast<int>(answer) + 1; }

}  // namespace

BoxAnswer Sdl2MessageBoxes::Ask(std::string_view textSjis, std::string_view captionSjis,
                                BoxKind kind) {
  std::string text = SjisToUtf8(textSjis);
  std::string caption = SjisToUtf8(captionSjis);
  Diagnostics().LogText(LogLevel::kWarning, "[" + std::string(captionSjis) + "] " + std::string(textSjis));

  std::vector<SDL_MessageBoxButtonData> buttons;
  const int defaultFlag = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  const int escapeFlag = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  const int yes = ButtonId(BoxAnswer::kYes);
  const int no = ButtonId(BoxAnswer::kNo);
  const int ok = ButtonId(BoxAnswer::kOk);
  const int cancel = ButtonId(BoxAnswer::kCancel);
  switch (kind.buttons) {
    case BoxButtons::kYesNoCancel:
      buttons = {{defaultFlag, yes, "Yes"}, {0, no, "No"}, {escapeFlag, cancel, "Cancel"}};
      break;
    case BoxButtons::kYesNo:
      buttons = {{defaultFlag, yes, "Yes"}, {escapeFlag, no, "No"}};
      break;
    case BoxButtons::kOkCancel:
      buttons = {{defaultFlag, ok, "OK"}, {escapeFlag, cancel, "Cancel"}};
      break;
    case BoxButtons::kOk:
      buttons = {{defaultFlag | escapeFlag, ok, "OK"}};
      break;
  }
  uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
  if (kind.icon == BoxIcon::kError) flags = SDL_MESSAGEBOX_ERROR;
  if (kind.icon == BoxIcon::kWarning) flags = SDL_MESSAGEBOX_WARNING;
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = window_.Native();
  data.title = caption.c_str();
  data.message = text.c_str();
  data.numbuttons = static_cast<int>(buttons.size());
  data.buttons = buttons.data();
  int answer = 0;
  if (SDL_ShowMessageBox(&data, &answer) != 0) {
    ZAN_WARN("the message box cannot be shown (%s): it takes its default answer", SDL_GetError());
    return DefaultAnswer(kind.buttons);
  }
  if (answer < ok || answer > no) return DefaultAnswer(kind.buttons);
  return static_cast<BoxAnswer>(answer - 1);
}

}  // namespace zan
