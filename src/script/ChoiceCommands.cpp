// The choice commands: the regular choice's entries and its three ways of opening ("SltRun",
// and the countdowns "SltRunCD3" and "SltRunCD5"), and the mask choice's hit mask, hover
// pictures and entries.

#include <algorithm>
#include <string_view>

#include "data/GameData.h"
#include "script/ChoiceMenu.h"
#include "script/CommandFamilies.h"
#include "script/ScriptLoader.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;
using S = ChoiceCommandServices;

constexpr int32_t kCountdown3 = 3000;  // ms
constexpr int32_t kCountdown5 = 5000;

int32_t Number(const S& s, const CommandCall& call, size_t index) {
  return s.variables.Evaluate(call.Arg(index));
}

// "SltDel" and "SltMaskDel": an empty argument means every entry (-1).
int32_t IndexOrAll(const S& s, const CommandCall& call) {
  return call.Arg(0).empty() ? -1 : Number(s, call, 0);
}

// "SltAdd" index, label, text — or index, script, label, text. The option is numbered by
// the "<SltAdd" tags of the script before this one (the read position is past it).
R SltAdd(const S& s, const CommandCall& call) {
  const bool withScript = call.args.size() >= 4;
  const size_t label = withScript ? 2 : 1;
  const int32_t option = ScriptLoader::CountChoicePointsIn(s.script.Text(), s.readPosition) - 1;
  s.choices.Add(Number(s, call, 0), withScript ? std::string_view(call.Arg(1)) : std::string_view(),
                call.Arg(label), call.Arg(label + 1), option);
  return R::kContinue;
}

// "SltRun", and with a countdown: label, or script, label.
R Run(const S& s, const CommandCall& call, int32_t countdown) {
  if (!s.choices.Show()) return R::kContinue;
  if (countdown > 0) {
    const bool withScript = call.args.size() >= 2;
    s.choices.StartCountdown(countdown, withScript ? std::string_view(call.Arg(0)) : std::string_view(),
                             call.Arg(withScript ? 1 : 0));
  }
  return R::kChoiceOpened;
}

// "SltMaskAdd" index, label, red, green, blue — or, when the second argument names a ".txt"
// script, index, script, label, red, green, blue. Without a script the label goes into the
// script field.
R SltMaskAdd(const S& s, const CommandCall& call) {
  const bool withScript = HasExtension(call.Arg(1), "txt");
  const size_t red = withScript ? 3 : 2;
  auto channel = [&](size_t i) { return static_cast<uint8_t>(std::clamp(Number(s, call, i), 0, 255)); };
  s.choices.AddMask(Number(s, call, 0), call.Arg(1),
                    withScript ? std::string_view(call.Arg(2)) : std::string_view(),
                    {channel(red), channel(red + 1), channel(red + 2)});
  return R::kContinue;
}

}  // namespace

void RegisterChoiceCommands(CommandTable& table, const ChoiceCommandServices& services) {
  SetHandlers(table, services, {
      {"SltAdd", SltAdd},
      {"SltDel", [](const S& s, const CommandCall& c) {
         s.choices.Delete(IndexOrAll(s, c));
         return R::kContinue;
       }},
      {"SltRun", [](const S& s, const CommandCall& c) { return Run(s, c, 0); }},
      {"SltRunCD3", [](const S& s, const CommandCall& c) { return Run(s, c, kCountdown3); }},
      {"SltRunCD5", [](const S& s, const CommandCall& c) { return Run(s, c, kCountdown5); }},
      {"SltMaskHitSet", [](const S& s, const CommandCall& c) {
         s.choices.SetHitMask(c.Arg(0));
         return R::kContinue;
       }},
      {"SltMaskOverSet", [](const S& s, const CommandCall& c) {
         s.choices.SetHoverPicture(Number(s, c, 0), c.Arg(1));
         return R::kContinue;
       }},
      {"SltMaskDel", [](const S& s, const CommandCall& c) {
         s.choices.DeleteMask(IndexOrAll(s, c));
         return R::kContinue;
       }},
      {"SltMaskAdd", SltMaskAdd},
      {"SltMaskRun", [](const S& s, const CommandCall&) {
         s.choices.OpenMask();
         return R::kMaskChoiceOpened;
       }},
  });
}

}  // namespace zan
