// Commands the interpreter core carries out itself: the text waits, the scene name, demo
// mode and the return to the title.

#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

R ClickWait(Interpreter& game, const CommandCall&) {
  game.SetClickWait(1);
  game.SetVoiceAtWait(game.AnyVoicePlaying() ? 1 : 0);
  MessageArea& area = game.CurrentArea();
  area.SetVertical(area.Settings().vertical);
  return R::kShowText;
}

R TimedTextWait(Interpreter& game, const CommandCall& call) {
  game.StartTimedWait(game.Variables().Evaluate(call.Arg(0)));
  return R::kShowText;
}

R DemoRun(Interpreter& game, const CommandCall& call) {
  Interpreter::DemoReturn& demo = game.Demo();
  demo.active = true;
  demo.savedMode = game.Mode();
  if (!call.Arg(1).empty()) {
    demo.script = call.Arg(0);
    demo.label = call.Arg(1);
  } else {
    demo.script.clear();
    demo.label = call.Arg(0);
  }
  game.SetGameMode(kModeDemo);
  return R::kContinue;
}

}  // namespace

void RegisterInterpreterCommands(CommandTable& table) {
  table.SetHandler("KW", ClickWait);
  table.SetHandler("TW", TimedTextWait);
  table.SetHandler("SceneSet", [](Interpreter& g, const CommandCall& c) {
    g.SetSceneName(c.Arg(0));
    return R::kContinue;
  });
  table.SetHandler("TitleReturn", [](Interpreter& g, const CommandCall&) {
    g.ReturnToTitle();
    return R::kStopFrame;
  });
  table.SetHandler("DemoRun", DemoRun);
  table.SetHandler("DemoEnd", [](Interpreter& g, const CommandCall&) {
    if (g.Demo().active) g.EndDemo();
    return R::kContinue;
  });
}

}  // namespace zan
