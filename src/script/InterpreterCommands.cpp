// The interpreter's own commands: the text waits, "If" and the jumps and calls, the scene
// name, demo mode and the return to the title.

#include <string>
#include <string_view>

#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "script/CommandFamilies.h"
#include "script/StoryControl.h"
#include "script/TimedWait.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

// One condition "left op right": true when it holds.
bool Condition(const VariableTable& vars, std::string_view text) {
  auto isOperator = [](char c) { return c == '=' || c == '!' || c == '<' || c == '>'; };
  size_t op = 0;
  while (op < text.size() && !isOperator(text[op]))
    op += IsSjisLeadByte(static_cast<unsigned char>(text[op])) && op + 1 < text.size() ? 2 : 1;
  if (op >= text.size()) return false;  // a condition needs an operator
  size_t right = op;
  while (right < text.size() && isOperator(text[right])) ++right;
  std::string left;
  for (char c : text.substr(0, op))
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '(') left.push_back(c);
  std::string rightText;
  for (char c : text.substr(right))
    if (c != ' ' && c != ')') rightText.push_back(c);
  const std::string_view oper = text.substr(op, right - op);
  const int32_t a = vars.Evaluate(left);
  const int32_t b = vars.Evaluate(rightText);
  if (oper == "=" || oper == "==") return a == b;
  if (oper == "!=") return a != b;
  if (oper == "<=") return a <= b;
  if (oper == ">=") return a >= b;
  if (oper == "<") return a < b;
  if (oper == ">") return a > b;
  return false;
}

// "If" target, condition, connector, condition, ...: the target is a label, or a ".txt"
// script followed by its label.
R If(const InterpreterCommandServices& s, const CommandCall& call) {
  const bool otherScript = HasExtension(call.Arg(0), "txt");
  const size_t first = otherScript ? 2 : 1;
  bool holding = true;
  for (size_t i = first; i < call.args.size(); i += 2) {
    const std::string& connector = call.Arg(i + 1);
    if (!Condition(s.variables, call.Arg(i)) || !holding) {
      holding = false;
    } else if (connector == "|" || connector.empty()) {
      if (otherScript) s.story.JumpToScript(call.Arg(0), call.Arg(1));
      else s.story.JumpToLabel(call.Arg(0));
    }
    if (connector == "|") holding = true;
  }
  return R::kContinue;
}

// The target of "Jump", "JumpR" and "DemoRun": a label, or a script and its label.
std::string_view TargetScript(const CommandCall& call) {
  return call.Arg(1).empty() ? std::string_view() : std::string_view(call.Arg(0));
}
std::string_view TargetLabel(const CommandCall& call) {
  return call.Arg(1).empty() ? call.Arg(0) : call.Arg(1);
}

}  // namespace

void RegisterInterpreterCommands(CommandTable& table, const InterpreterCommandServices& services) {
  using S = InterpreterCommandServices;
  SetHandlers(table, services, {
      {"KW", [](const S& s, const CommandCall&) {
         s.story.WaitForClick();
         return R::kShowText;
       }},
      {"TW", [](const S& s, const CommandCall& c) {
         s.wait.Start(s.variables.Evaluate(c.Arg(0)));
         return R::kShowText;
       }},
      {"If", If},
      {"Jump", [](const S& s, const CommandCall& c) {
         if (TargetScript(c).empty()) s.story.JumpToLabel(TargetLabel(c));
         else s.story.JumpToScript(TargetScript(c), TargetLabel(c));
         return R::kContinue;
       }},
      {"JumpR", [](const S& s, const CommandCall& c) {
         s.story.Call(TargetScript(c), TargetLabel(c));
         return R::kContinue;
       }},
      {"JumpClear", [](const S& s, const CommandCall&) {
         s.story.ForgetCalls();
         return R::kContinue;
       }},
      {"Return", [](const S& s, const CommandCall&) {
         s.story.Return();
         return R::kContinue;
       }},
      {"SceneSet", [](const S& s, const CommandCall& c) {
         s.story.SetSceneName(c.Arg(0));
         return R::kContinue;
       }},
      {"TitleReturn", [](const S& s, const CommandCall&) {
         s.story.TitleReturn();
         return R::kStopFrame;
       }},
      {"SaveRun", [](const S& s, const CommandCall&) {
         s.story.SaveRun();
         return R::kChoiceOpened;
       }},
      {"DemoRun", [](const S& s, const CommandCall& c) {
         s.story.StartDemo(TargetScript(c), TargetLabel(c));
         return R::kContinue;
       }},
      {"DemoEnd", [](const S& s, const CommandCall&) {
         if (s.story.InDemo()) s.story.EndDemo();
         return R::kContinue;
       }},
  });
}

}  // namespace zan
