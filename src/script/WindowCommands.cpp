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
#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

// Sizes beyond any screen would only overflow the layout's arithmetic.
constexpr int32_t kMaxTextSize = 1000;

int32_t Number(Interpreter& game, const CommandCall& call, size_t index) {
  return game.Variables().Evaluate(call.Arg(index));
}

Rgb ColourArgs(Interpreter& game, const CommandCall& call) {
  auto channel = [&](size_t i) { return static_cast<uint8_t>(std::clamp(Number(game, call, i), 0, 255)); };
  return {channel(0), channel(1), channel(2)};
}

int32_t SizeArg(Interpreter& game, const CommandCall& call) {
  return std::clamp(Number(game, call, 0), 0, kMaxTextSize);
}

WindowSettings& Current(Interpreter& game) { return game.CurrentArea().Settings(); }

// A show or hide fades only when asked and neither skipping nor effects are off.
int32_t FadeFor(Interpreter& game, bool asked) {
  const OptionsBlock& o = game.Options();
  return asked && o.skipMode == 0 && o.noEffects == 0 ? 255 : 0;
}

R WinCurrent(Interpreter& game, const CommandCall& call) {
  game.SetCurrentAreaIndex(Number(game, call, 0));
  game.CurrentArea().ApplyGeometry(game.Areas().Layout());
  return R::kWindowChanged;
}

R WinImage(Interpreter& game, const CommandCall& call) {
  MessageArea& area = game.CurrentArea();
  if (area.LoadWindowPicture(game.Data(), call.Arg(0)) == 1) area.ApplyGeometry(game.Areas().Layout());
  return R::kContinue;
}

R WinMsgLength(Interpreter& game, const CommandCall& call) {
  const int32_t vertical = call.Is(0, "ON") ? 1 : 0;
  Current(game).vertical = vertical;
  game.CurrentArea().SetVertical(vertical);
  return R::kWindowChanged;
}

R WinDefFontColor(Interpreter& game, const CommandCall& call) {
  const Rgb colour = ColourArgs(game, call);
  Current(game).SetDefaultColour(colour);
  Current(game).SetColour(colour);
  return R::kWindowChanged;
}

R WinDefFontSize(Interpreter& game, const CommandCall& call) {
  const int32_t size = SizeArg(game, call);
  Current(game).SetDefaultSize(size);
  Current(game).SetSize(size);
  return R::kWindowChanged;
}

R WinFrame(Interpreter& game, const CommandCall& call) {
  WindowSettings& s = Current(game);
  s.hidden = call.Is(0, "ON") ? 0 : 1;
  s.fade = FadeFor(game, call.Is(1, "ON"));
  return R::kWindowChanged;
}

R WinPos(Interpreter& game, const CommandCall& call) {
  game.CurrentArea().SetWindowPosition(Number(game, call, 0), Number(game, call, 1));
  return R::kWindowChanged;
}

R WinMsgHome(Interpreter& game, const CommandCall& call) {
  WindowSettings& s = Current(game);
  s.homeX = Number(game, call, 0);
  s.homeY = Number(game, call, 1);
  LayoutSettings& layout = game.Areas().Layout().Settings();
  layout.xOffset = s.homeX;
  layout.yOffset = s.homeY;
  return R::kWindowChanged;
}

R WinClear(Interpreter& game, const CommandCall& call) {
  const int32_t index = call.Arg(0).empty() ? game.CurrentAreaIndex() : Number(game, call, 0);
  if (index < 0 || index >= MessageAreas::kAreaCount) {
    ZAN_WARN("script: WinClear of message area %d, which does not exist", index);
    return R::kContinue;
  }
  game.ClearPage(index);
  return R::kContinue;
}

R WinNumber(Interpreter& game, const CommandCall& call) {
  const VariableTable::IntVariable* variable = game.Variables().FindInt(call.Arg(0));
  if (variable == nullptr) return R::kContinue;
  std::array<char, kFieldSize> text{};
  FormatNumber(text, variable->value, call.Is(1, "Full"), call.Is(2, "Comma"));
  game.Areas().Append(game.CurrentAreaIndex(), CText(text));
  return R::kContinue;
}

R WinString(Interpreter& game, const CommandCall& call) {
  const VariableTable& vars = game.Variables();
  std::string text;
  if (const VariableTable::IntVariable* v = vars.FindInt(call.Arg(0))) text = std::to_string(v->value);
  else if (vars.StringValue(call.Arg(0), &text) == 0) return R::kContinue;
  game.Areas().Append(game.CurrentAreaIndex(), text);
  return R::kContinue;
}

R WinRubi(Interpreter& game, const CommandCall& call) {
  game.CurrentArea().AppendRuby(call.Arg(0), call.Arg(1), game.Areas().Layout());
  return R::kContinue;
}

R WinEmo(Interpreter& game, const CommandCall& call) {
  game.CurrentArea().AppendIcon(call.Arg(0), game.Areas().Layout());
  return R::kContinue;
}

R WinAlign(Interpreter& game, const CommandCall& call) {
  static const std::array<std::string, 3> keywords = {Sjis("左"), Sjis("中"), Sjis("右")};
  for (size_t i = 0; i < keywords.size(); ++i)
    if (call.Arg(0) == keywords[i]) Current(game).alignment = static_cast<int32_t>(i);
  game.CurrentArea().ApplyGeometry(game.Areas().Layout());
  return R::kContinue;
}

// "WinOn" / "WinOff": the current area's frame and the system icons.
R ShowWindow(Interpreter& game, const CommandCall& call, int32_t shown) {
  WindowSettings& s = Current(game);
  s.hidden = shown ? 0 : 1;
  s.fade = FadeFor(game, call.Is(0, "ON"));
  game.SetWindowShown(shown);
  return R::kWindowChanged;
}

}  // namespace

void RegisterWindowCommands(CommandTable& table) {
  table.SetHandler("WinCurrent", WinCurrent);
  table.SetHandler("WinImage", WinImage);
  table.SetHandler("WinMsgLength", WinMsgLength);
  table.SetHandler("WinDefFontColor", WinDefFontColor);
  table.SetHandler("WinDefFontSize", WinDefFontSize);
  table.SetHandler("WinFrame", WinFrame);
  table.SetHandler("WinPos", WinPos);
  table.SetHandler("WinMsgHome", WinMsgHome);
  table.SetHandler("WinClear", WinClear);
  table.SetHandler("WinFontColor", [](Interpreter& g, const CommandCall& c) {
    Current(g).SetColour(ColourArgs(g, c));
    return R::kWindowChanged;
  });
  table.SetHandler("/WinFontColor", [](Interpreter& g, const CommandCall&) {
    Current(g).SetColour(Current(g).DefaultColour());
    return R::kWindowChanged;
  });
  table.SetHandler("WinFontSize", [](Interpreter& g, const CommandCall& c) {
    Current(g).SetSize(SizeArg(g, c));
    return R::kWindowChanged;
  });
  table.SetHandler("/WinFontSize", [](Interpreter& g, const CommandCall&) {
    Current(g).SetSize(Current(g).defaultSize);
    return R::kWindowChanged;
  });
  table.SetHandler("WinNumber", WinNumber);
  table.SetHandler("WinString", WinString);
  table.SetHandler("WinRubi", WinRubi);
  table.SetHandler("WinEmo", WinEmo);
  table.SetHandler("WinAlign", WinAlign);
  table.SetHandler("WinOn", [](Interpreter& g, const CommandCall& c) { return ShowWindow(g, c, 1); });
  table.SetHandler("WinOff", [](Interpreter& g, const CommandCall& c) { return ShowWindow(g, c, 0); });
}

}  // namespace zan
