#include "data/CsvRowTable.h"

#include "data/GameData.h"
#include "data/TextFields.h"

namespace zan {

int32_t CsvRowTable::Load(GameData& data, std::string_view fileName, int slot) {
  rows_.clear();
  if (data.GameFileExists(fileName, slot) == 0) return 0;
  std::vector<uint8_t> bytes;
  if (data.ReadTableFile(fileName, slot, bytes) == 0) return 0;
  return LoadText(AsText(bytes));
}

int32_t CsvRowTable::LoadText(std::string_view text) {
  rows_.clear();
  ForEachTableLine(text, kHeaderLines, [&](std::string_view line) {
    CsvRow row;
    GetField(line, row.key, ",", 0);
    GetField(line, row.textA, ",", 2);
    GetField(line, row.textB, ",", 3);
    GetIntField(line, &row.numberA, ",", 4);
    GetIntField(line, &row.numberB, ",", 5);
    rows_.push_back(row);
    return Count() < kMaxRows;
  });
  return 1;
}

const CsvRow* CsvRowTable::Find(std::string_view key) const {
  for (const CsvRow& row : rows_) {
    if (CText(row.key) == key) return &row;
  }
  return nullptr;
}

}  // namespace zan
