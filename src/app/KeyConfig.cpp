#include "app/KeyConfig.h"

#include "data/KeyDefinitions.h"
#include "platform/WindowMessage.h"

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

int32_t InputOfKey(uint32_t key) {
  switch (key) {
    case VK_RETURN: return 4;
    case VK_SPACE: return 5;
    case VK_CONTROL: return 6;
    case VK_SHIFT: return 7;
    case VK_BACK: return 8;
    case VK_DELETE: return 9;
    case VK_INSERT: return 10;
    case VK_HOME: return 11;
    case VK_END: return 12;
    case VK_PRIOR: return 13;
    case VK_NEXT: return 14;
    case VK_ESCAPE: return 15;
    case 'S': return 28;
    case 'L': return 29;
    case 'O': return 30;
    default:
      if (key >= VK_F1 && key <= VK_F12) return static_cast<int32_t>(16 + (key - VK_F1));
      return -1;
  }
}

}  // namespace zan
