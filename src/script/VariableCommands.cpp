// Arithmetic, "If" and the jump commands. All of them read on (Continue).

#include <cstdint>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/GameData.h"
#include "script/CommandTable.h"
#include "script/Interpreter.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using R = DispatchResult;

// 32-bit wrap-around arithmetic, computed without signed overflow.
int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// The text a string assignment takes from its source argument: a string variable's text,
// an integer variable's decimal text, or the argument itself.
std::string SourceText(const VariableTable& vars, const std::string& argument) {
  std::string text;
  if (vars.StringValue(argument, &text)) return text;
  if (const auto* v = vars.FindInt(argument)) return std::to_string(v->value);
  return argument;
}

// Integer target = op(current, value); string targets are handled by the caller.
template <class Op>
R Arithmetic(Interpreter& game, const CommandCall& call, Op op) {
  VariableTable& vars = game.Variables();
  const std::string& target = call.Arg(0);
  vars.SetInt(target, op(vars.IntValue(target), vars.Evaluate(call.Arg(1))));
  return R::kContinue;
}

R Mov(Interpreter& game, const CommandCall& call) {
  VariableTable& vars = game.Variables();
  if (vars.FindString(call.Arg(0))) {
    vars.SetString(call.Arg(0), SourceText(vars, call.Arg(1)));
    return R::kContinue;
  }
  vars.SetInt(call.Arg(0), vars.Evaluate(call.Arg(1)));
  return R::kContinue;
}

R Add(Interpreter& game, const CommandCall& call) {
  VariableTable& vars = game.Variables();
  std::string text;
  if (vars.StringValue(call.Arg(0), &text)) {
    vars.SetString(call.Arg(0), text + SourceText(vars, call.Arg(1)));
    return R::kContinue;
  }
  return Arithmetic(game, call, [](int32_t a, int32_t b) { return Wrap(int64_t{a} + b); });
}

R Rnd(Interpreter& game, const CommandCall& call) {
  VariableTable& vars = game.Variables();
  int64_t low = vars.Evaluate(call.Arg(1));
  int64_t high = vars.Evaluate(call.Arg(2));
  // An inverted range is taken the right way round rather than dividing by zero or less.
  if (high < low) std::swap(low, high);
  const int64_t span = high - low + 1;
  vars.SetInt(call.Arg(0), static_cast<int32_t>(low + vars.NextRandom() % span));
  return R::kContinue;
}

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

R If(Interpreter& game, const CommandCall& call) {
  const bool otherScript = HasExtension(call.Arg(0), "txt");
  const size_t first = otherScript ? 2 : 1;
  bool holding = true;
  for (size_t i = first; i < call.args.size(); i += 2) {
    const std::string& connector = call.Arg(i + 1);
    if (!Condition(game.Variables(), call.Arg(i)) || !holding) {
      holding = false;
    } else if (connector == "|" || connector.empty()) {
      if (otherScript) game.JumpToScript(call.Arg(0), call.Arg(1));
      else game.JumpToLabel(call.Arg(0));
    }
    if (connector == "|") holding = true;
  }
  return R::kContinue;
}

// "Jump" label, or "Jump" script, label: 1 when the label was found.
int32_t Jump(Interpreter& game, const CommandCall& call) {
  if (!call.Arg(1).empty()) return game.JumpToScript(call.Arg(0), call.Arg(1));
  return game.JumpToLabel(call.Arg(0));
}

R JumpR(Interpreter& game, const CommandCall& call) {
  ReturnStack& stack = game.Record().returns;
  // Calls nest at most 100 deep: a deeper call is refused rather than losing its way back.
  if (stack.Count() >= ReturnStack::kDepth) {
    ZAN_WARN("script: JumpR in %s nests deeper than %d calls; the call is left out",
            SjisToUtf8(game.Record().name).c_str(), ReturnStack::kDepth);
    return R::kContinue;
  }
  const std::string script = game.Record().name;
  const int32_t position = game.ReadPosition();
  if (Jump(game, call) == 1) stack.Push(script, position);
  return R::kContinue;
}

R Return(Interpreter& game, const CommandCall&) {
  ReturnStack::Entry entry;
  if (!game.Record().returns.Pop(&entry) || entry.script.empty()) return R::kContinue;
  game.Script().LoadScript(game.Record(), entry.script);
  game.SetReadPosition(entry.position);
  game.RepositionReadFlags();
  return R::kContinue;
}

}  // namespace

void RegisterVariableCommands(CommandTable& table) {
  table.SetHandler("Mov", Mov);
  table.SetHandler("Add", Add);
  table.SetHandler("Sub", [](Interpreter& g, const CommandCall& c) {
    return Arithmetic(g, c, [](int32_t a, int32_t b) { return Wrap(int64_t{a} - b); });
  });
  table.SetHandler("Mul", [](Interpreter& g, const CommandCall& c) {
    return Arithmetic(g, c, [](int32_t a, int32_t b) { return Wrap(int64_t{a} * b); });
  });
  // Division by 0 leaves the target; the one quotient that overflows wraps.
  table.SetHandler("Div", [](Interpreter& g, const CommandCall& c) {
    return Arithmetic(g, c, [](int32_t a, int32_t b) { return b == 0 ? a : Wrap(int64_t{a} / b); });
  });
  table.SetHandler("Mod", [](Interpreter& g, const CommandCall& c) {
    return Arithmetic(g, c, [](int32_t a, int32_t b) { return b == 0 ? a : Wrap(int64_t{a} % b); });
  });
  table.SetHandler("Inc", [](Interpreter& g, const CommandCall& c) {
    VariableTable& vars = g.Variables();
    vars.SetInt(c.Arg(0), Wrap(int64_t{vars.IntValue(c.Arg(0))} + 1));
    return R::kContinue;
  });
  table.SetHandler("Dec", [](Interpreter& g, const CommandCall& c) {
    VariableTable& vars = g.Variables();
    vars.SetInt(c.Arg(0), Wrap(int64_t{vars.IntValue(c.Arg(0))} - 1));
    return R::kContinue;
  });
  table.SetHandler("Rnd", Rnd);
  table.SetHandler("If", If);
  table.SetHandler("Jump", [](Interpreter& g, const CommandCall& c) {
    Jump(g, c);
    return R::kContinue;
  });
  table.SetHandler("JumpR", JumpR);
  table.SetHandler("JumpClear", [](Interpreter& g, const CommandCall&) {
    g.Record().returns.Clear();
    return R::kContinue;
  });
  table.SetHandler("Return", Return);
}

}  // namespace zan
