// Button-table reader: the input is a definition file. Its first byte (kept in the file)
// picks the table, so both row widths and every row limit are reached; odd first bytes read
// the input as stored (scrambled), even ones as plain text.

#include <cstdint>
#include <string_view>
#include <vector>

#include "data/ButtonTable.h"
#include "data/LibScramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  const uint8_t pick = size > 0 ? data[0] : 0;
  if (pick & 1) zan::UnscrambleLib(bytes, zan::LibKey());
  std::vector<const zan::DefinitionFile*> tables;
  for (const zan::DefinitionFile& file : zan::DefinitionFiles()) {
    if (file.grammar == zan::DefinitionGrammar::kButtonTable) tables.push_back(&file);
  }
  const zan::DefinitionFile& file = *tables[(pick >> 1) % tables.size()];
  const zan::ButtonTable table =
      zan::ReadButtonTable({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, file);
  if (table.Count() > file.rowLimit) __builtin_trap();
  for (int32_t k = 0; k <= table.rowLimit + 1; ++k) {
    const zan::ButtonRow& row = table.Item(k);
    if (row.HasArea() && !row.Contains(row.rect.x, row.rect.y)) __builtin_trap();
    for (int32_t f = 0; f < table.fieldsPerRow; ++f) (void)zan::ButtonFieldName(table.fieldsPerRow, f);
  }
  for (const zan::DefinitionProblem& problem : table.problems) {
    (void)zan::DescribeProblem(table.file, problem);
  }
  return 0;
}
