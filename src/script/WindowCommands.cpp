// The message window commands: which area is current, its window picture, position, text
// home, fonts, colours and alignment, what text joins the page (variables, ruby, icons),
// clearing a page, and showing or hiding the window.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/TextFields.h"
#include "message/MessageArea.h"
#include "script/Backlog.h"
#include "script/CommandFamilies.h"
#include "script/Options.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;
using S = WindowCommandServices;

// Sizes beyond any screen would only overflow the layout's arithmetic.
constexpr int32_t kMaxTextSize = 1000;

int32_t Number(const S& s, const CommandCall& call, size_t index) {
  return s.variables.Evaluate(call.Arg(index));
}

Rgb ColourArgs(const S& s, const CommandCall& call) {
  auto channel = [&](size_t i) { return static_cast<uint8_t>(std::clamp(Number(s, call, i), 0, 255)); };
  return {channel(0), channel(1), channel(2)};
}

int32_t SizeArg(const S& s, const CommandCall& call) {
  return std::clamp(Number(s, call, 0), 0, kMaxTextSize);
}

WindowSettings& Current(const S& s) { return s.areas.Current().Settings(); }

// A show or hide fades only when asked and neither skipping nor effects are off.
int32_t FadeFor(const S& s, bool asked) {
  return asked && s.options.skipMode == 0 && s.options.noEffects == 0 ? 255 : 0;
}

R WinCurrent(const S& s, const CommandCall& call) {
  s.areas.SetCurrent(Number(s, call, 0));
  s.areas.Current().ApplyGeometry(s.areas.Layout());
  return R::kWindowChanged;
}

R WinImage(const S& s, const CommandCall& call) {
  MessageArea& area = s.areas.Current();
  if (area.LoadWindowPicture(s.data, call.Arg(0))) area.ApplyGeometry(s.areas.Layout());
  return R::kContinue;
}

R WinMsgLength(const S& s, const CommandCall& call) {
  const int32_t vertical = call.Is(0, "ON") ? 1 : 0;
  Current(s).vertical = vertical;
  s.areas.Current().SetVertical(vertical);
  return R::kWindowChanged;
}

R WinDefFontColor(const S& s, const CommandCall& call) {
  const Rgb colour = ColourArgs(s, call);
  Current(s).SetDefaultColour(colour);
  Current(s).SetColour(colour);
  return R::kWindowChanged;
}

R WinDefFontSize(const S& s, const CommandCall& call) {
  const int32_t size = SizeArg(s, call);
  Current(s).SetDefaultSize(size);
  Current(s).SetSize(size);
  return R::kWindowChanged;
}

R WinFrame(const S& s, const CommandCall& call) {
  WindowSettings& settings = Current(s);
  settings.hidden = call.Is(0, "ON") ? 0 : 1;
  settings.fade = FadeFor(s, call.Is(1, "ON"));
  return R::kWindowChanged;
}

R WinPos(const S& s, const CommandCall& call) {
  s.areas.Current().SetWindowPosition(Number(s, call, 0), Number(s, call, 1));
  return R::kWindowChanged;
}

R WinMsgHome(const S& s, const CommandCall& call) {
  WindowSettings& settings = Current(s);
  settings.homeX = Number(s, call, 0);
  settings.homeY = Number(s, call, 1);
  LayoutSettings& layout = s.areas.Layout().Settings();
  layout.xOffset = settings.homeX;
  layout.yOffset = settings.homeY;
  return R::kWindowChanged;
}

R WinClear(const S& s, const CommandCall& call) {
  const int32_t index = call.Arg(0).empty() ? s.areas.CurrentIndex() : Number(s, call, 0);
  if (index < 0 || index >= MessageAreas::kAreaCount) {
    ZAN_WARN("script: WinClear of message area %d, which does not exist", index);
    return R::kContinue;
  }
  ClearPage(s.areas, s.history, index);
  return R::kContinue;
}

R WinNumber(const S& s, const CommandCall& call) {
  const VariableTable::IntVariable* variable = s.variables.FindInt(call.Arg(0));
  if (variable == nullptr) return R::kContinue;
  std::array<char, kFieldSize> text{};
  FormatNumber(text, variable->value, call.Is(1, "Full"), call.Is(2, "Comma"));
  s.areas.Append(s.areas.CurrentIndex(), CText(text));
  return R::kContinue;
}

R WinString(const S& s, const CommandCall& call) {
  std::string text;
  if (const VariableTable::IntVariable* v = s.variables.FindInt(call.Arg(0))) text = std::to_string(v->value);
  else if (!s.variables.StringValue(call.Arg(0), &text)) return R::kContinue;
  s.areas.Append(s.areas.CurrentIndex(), text);
  return R::kContinue;
}

R WinRubi(const S& s, const CommandCall& call) {
  s.areas.Current().AppendRuby(call.Arg(0), call.Arg(1), s.areas.Layout());
  return R::kContinue;
}

R WinEmo(const S& s, const CommandCall& call) {
  s.areas.Current().AppendIcon(call.Arg(0), s.areas.Layout());
  return R::kContinue;
}

R WinAlign(const S& s, const CommandCall& call) {
  static const std::array<std::string, 3> keywords = {Sjis("左"), Sjis("中"), Sjis("右")};
  for (size_t i = 0; i < keywords.size(); ++i)
    if (call.Arg(0) == keywords[i]) Current(s).alignment = static_cast<int32_t>(i);
  s.areas.Current().ApplyGeometry(s.areas.Layout());
  return R::kContinue;
}

// "WinOn" / "WinOff": the current area's frame and the system icons.
R ShowWindow(const S& s, const CommandCall& call, bool shown) {
  WindowSettings& settings = Current(s);
  settings.hidden = shown ? 0 : 1;
  settings.fade = FadeFor(s, call.Is(0, "ON"));
  s.areas.SetWindowShown(shown);
  return R::kWindowChanged;
}

R FontColour(const S& s, const CommandCall& call) {
  Current(s).SetColour(ColourArgs(s, call));
  return R::kWindowChanged;
}

R DefaultFontColour(const S& s, const CommandCall&) {
  Current(s).SetColour(Current(s).DefaultColour());
  return R::kWindowChanged;
}

R FontSize(const S& s, const CommandCall& call) {
  Current(s).SetSize(SizeArg(s, call));
  return R::kWindowChanged;
}

R DefaultFontSize(const S& s, const CommandCall&) {
  Current(s).SetSize(Current(s).defaultSize);
  return R::kWindowChanged;
}

}  // namespace

void RegisterWindowCommands(CommandTable& table, const WindowCommandServices& services) {
  SetHandlers(table, services, {
      {"WinCurrent", WinCurrent},
      {"WinImage", WinImage},
      {"WinMsgLength", WinMsgLength},
      {"WinDefFontColor", WinDefFontColor},
      {"WinDefFontSize", WinDefFontSize},
      {"WinFrame", WinFrame},
      {"WinPos", WinPos},
      {"WinMsgHome", WinMsgHome},
      {"WinClear", WinClear},
      {"WinFontColor", FontColour},
      {"/WinFontColor", DefaultFontColour},
      {"WinFontSize", FontSize},
      {"/WinFontSize", DefaultFontSize},
      {"WinNumber", WinNumber},
      {"WinString", WinString},
      {"WinRubi", WinRubi},
      {"WinEmo", WinEmo},
      {"WinAlign", WinAlign},
      {"WinOn", [](const S& s, const CommandCall& c) { return ShowWindow(s, c, true); }},
      {"WinOff", [](const S& s, const CommandCall& c) { return ShowWindow(s, c, false); }},
  });
}

}  // namespace zan
