#pragma once
// The key configuration file system2.lib and the action names it (and the system buttons of
// system1.lib) use. Line 1 is a header; line k + 2 gives input k (0..35: mouse buttons and
// wheel, keys): everything after its first comma is the name of the action the input fires,
// matched byte for byte; the text before the comma is a label. A name that is no action,
// an empty one, or a missing line gives no action (0).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/DefinitionText.h"

namespace zan {

// The action code (1..30) of an action name in Shift-JIS ("決定", "スキップ", ...); 0 when
// the name is none.
int32_t ActionCodeOfName(std::string_view name);

struct KeyDefinitionRow {
  int32_t input = 0;       // 0..35
  int32_t line = 0;        // its line in the file
  std::string label;       // field 0, free text (Shift-JIS)
  std::string actionName;  // everything after the first comma (Shift-JIS)
  int32_t action = 0;      // its code, 0 for none
};

struct KeyDefinitions {
  static constexpr int32_t kInputCount = 36;

  std::vector<KeyDefinitionRow> rows;  // input 0 first; inputs past the file's end are absent
  std::vector<DefinitionProblem> problems;
};

// Reads the unscrambled text of system2.lib. Never fails; a name that is no action, and
// lines past input 35, are listed in the problems.
KeyDefinitions ReadKeyDefinitions(std::string_view text);

}  // namespace zan
