// The choice commands: the regular choice's entries and its three ways of opening ("SltRun",
// and the countdowns "SltRunCD3" and "SltRunCD5"), and the mask choice's hit mask, hover
// pictures and entries.

#include <algorithm>
#include <string_view>

#include "base/DiagnosticLog.h"
#include "data/GameData.h"
#include "script/ChoiceMenu.h"
#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

constexpr int32_t kCountdown3 = 3000;  // ms
constexpr int32_t kCountdown5 = 5000;

int32_t Number(Interpreter& game, const CommandCall& call, size_t index) {
  return game.Variables().Evaluate(call.Arg(index));
}

// "SltDel" and "SltMaskDel": an empty argument means every entry (-1).
int32_t IndexOrAll(Interpreter& game, const CommandCall& call) {
  return call.Arg(0).empty() ? -1 : Number(game, call, 0);
}

// "SltAdd" index, label, text — or index, script, label, text.
R SltAdd(Interpreter& game, const CommandCall& call) {
  const bool withScript = call.args.size() >= 4;
  const size_t label = withScript ? 2 : 1;
  game.Choices().Add(Number(game, call, 0), withScript ? std::string_view(call.Arg(1)) : std::string_view(),
                     call.Arg(label), call.Arg(label + 1));
  return R::kContinue;
}

// "SltRun", and with a countdown: label, or script, label.
R Run(Interpreter& game, const CommandCall& call, int32_t countdown) {
  if (!game.Choices().Show()) return R::kContinue;
  if (countdown > 0) {
    const bool withScript = call.args.size() >= 2;
    game.Choices().StartCountdown(countdown, withScript ? std::string_view(call.Arg(0)) : std::string_view(),
                                  call.Arg(withScript ? 1 : 0));
  }
  return R::kChoiceOpened;
}

// "SltMaskAdd" index, label, red, green, blue — or, when the second argument names a ".txt"
// script, index, script, label, red, green, blue. Without a script the label goes into the
// script field.
R SltMaskAdd(Interpreter& game, const CommandCall& call) {
  const bool withScript = HasExtension(call.Arg(1), "txt");
  const size_t red = withScript ? 3 : 2;
  auto channel = [&](size_t i) { return static_cast<uint8_t>(std::clamp(Number(game, call, i), 0, 255)); };
  game.Choices().AddMask(Number(game, call, 0), call.Arg(1),
                         withScript ? std::string_view(call.Arg(2)) : std::string_view(),
                         {channel(red), channel(red + 1), channel(red + 2)});
  return R::kContinue;
}

}  // namespace

void RegisterChoiceCommands(CommandTable& table) {
  table.SetHandler("SltAdd", SltAdd);
  table.SetHandler("SltDel", [](Interpreter& g, const CommandCall& c) {
    g.Choices().Delete(IndexOrAll(g, c));
    return R::kContinue;
  });
  table.SetHandler("SltRun", [](Interpreter& g, const CommandCall& c) { return Run(g, c, 0); });
  table.SetHandler("SltRunCD3", [](Interpreter& g, const CommandCall& c) { return Run(g, c, kCountdown3); });
  table.SetHandler("SltRunCD5", [](Interpreter& g, const CommandCall& c) { return Run(g, c, kCountdown5); });
  table.SetHandler("SltMaskHitSet", [](Interpreter& g, const CommandCall& c) {
    g.Choices().SetHitMask(c.Arg(0));
    return R::kContinue;
  });
  table.SetHandler("SltMaskOverSet", [](Interpreter& g, const CommandCall& c) {
    g.Choices().SetHoverPicture(Number(g, c, 0), c.Arg(1));
    return R::kContinue;
  });
  table.SetHandler("SltMaskDel", [](Interpreter& g, const CommandCall& c) {
    g.Choices().DeleteMask(IndexOrAll(g, c));
    return R::kContinue;
  });
  table.SetHandler("SltMaskAdd", SltMaskAdd);
  table.SetHandler("SltMaskRun", [](Interpreter& g, const CommandCall&) {
    g.Choices().OpenMask();
    return R::kMaskChoiceOpened;
  });
}

}  // namespace zan
