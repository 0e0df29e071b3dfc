#include "app/KeyConfig.h"

#include "data/KeyDefinitions.h"

namespace zan {

int32_t KeyConfig::ActionCode(std::string_view name) { return ActionCodeOfName(name); }

void KeyConfig::Load(std::span<const uint8_t> bytes) {
  actions_.fill(kActionNone);
  const KeyDefinitions keys =
      ReadKeyDefinitions({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  for (const KeyDefinitionRow& row : keys.rows) actions_[static_cast<size_t>(row.input)] = row.action;
  LogDefinitionProblems("system2.lib", keys.problems);
}

int32_t KeyConfig::Lookup(int32_t input) const {
  if (input < 0 || input >= kInputCount) return kActionNone;
  return actions_[static_cast<size_t>(input)];
}

std::optional<int32_t> InputOfKey(Key key) {
  switch (key) {
    case Key::kReturn: return 4;
    case Key::kSpace: return 5;
    case Key::kControl: return 6;
    case Key::kShift: return 7;
    case Key::kBackspace: return 8;
    case Key::kDelete: return 9;
    case Key::kInsert: return 10;
    case Key::kHome: return 11;
    case Key::kEnd: return 12;
    case Key::kPageUp: return 13;
    case Key::kPageDown: return 14;
    case Key::kEscape: return 15;
    case Key::kS: return 28;
    case Key::kL: return 29;
    case Key::kO: return 30;
    default:
      if (const int n = FunctionKeyNumber(key); n != 0) return 15 + n;
      return std::nullopt;
  }
}

}  // namespace zan
