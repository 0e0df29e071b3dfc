// Arithmetic on the variables. All of it reads on (Continue).

#include <cstdint>
#include <string>

#include "script/CommandFamilies.h"
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
R Arithmetic(VariableTable& vars, const CommandCall& call, Op op) {
  const std::string& target = call.Arg(0);
  vars.SetInt(target, op(vars.IntValue(target), vars.Evaluate(call.Arg(1))));
  return R::kContinue;
}

R Mov(VariableTable& vars, const CommandCall& call) {
  if (vars.FindString(call.Arg(0))) {
    vars.SetString(call.Arg(0), SourceText(vars, call.Arg(1)));
    return R::kContinue;
  }
  vars.SetInt(call.Arg(0), vars.Evaluate(call.Arg(1)));
  return R::kContinue;
}

R Add(VariableTable& vars, const CommandCall& call) {
  std::string text;
  if (vars.StringValue(call.Arg(0), &text)) {
    vars.SetString(call.Arg(0), text + SourceText(vars, call.Arg(1)));
    return R::kContinue;
  }
  return Arithmetic(vars, call, [](int32_t a, int32_t b) { return Wrap(int64_t{a} + b); });
}

R Rnd(VariableTable& vars, const CommandCall& call) {
  int64_t low = vars.Evaluate(call.Arg(1));
  int64_t high = vars.Evaluate(call.Arg(2));
  // An inverted range is taken the right way round rather than dividing by zero or less.
  if (high < low) std::swap(low, high);
  const int64_t span = high - low + 1;
  vars.SetInt(call.Arg(0), static_cast<int32_t>(low + vars.NextRandom() % span));
  return R::kContinue;
}

}  // namespace

void RegisterVariableCommands(CommandTable& table, const VariableCommandServices& services) {
  VariableTable* vars = &services.variables;
  auto arithmetic = [vars](auto op) {
    return [vars, op](const CommandCall& c) { return Arithmetic(*vars, c, op); };
  };
  table.SetHandler("Mov", [vars](const CommandCall& c) { return Mov(*vars, c); });
  table.SetHandler("Add", [vars](const CommandCall& c) { return Add(*vars, c); });
  table.SetHandler("Sub", arithmetic([](int32_t a, int32_t b) { return Wrap(int64_t{a} - b); }));
  table.SetHandler("Mul", arithmetic([](int32_t a, int32_t b) { return Wrap(int64_t{a} * b); }));
  // Division by 0 leaves the target; the one quotient that overflows wraps.
  table.SetHandler("Div", arithmetic([](int32_t a, int32_t b) { return b == 0 ? a : Wrap(int64_t{a} / b); }));
  table.SetHandler("Mod", arithmetic([](int32_t a, int32_t b) { return b == 0 ? a : Wrap(int64_t{a} % b); }));
  // The second argument plays no part.
  table.SetHandler("Inc", arithmetic([](int32_t a, int32_t) { return Wrap(int64_t{a} + 1); }));
  table.SetHandler("Dec", arithmetic([](int32_t a, int32_t) { return Wrap(int64_t{a} - 1); }));
  table.SetHandler("Rnd", [vars](const CommandCall& c) { return Rnd(*vars, c); });
}

}  // namespace zan
