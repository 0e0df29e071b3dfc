#include "data/CsvRowTable.h"

#include "data/GameData.h"
#include "data/TextFields.h"

namespace zan {

bool CsvRowTable::Load(GameData& data, std::string_view fileName, int slot) {
  rows_.clear();
  if (!data.GameFileExists(fileName, slot)) return false;
  std::vector<uint8_t> bytes;
  if (!data.ReadTableFile(fileName, slot, bytes)) return false;
  LoadText(AsText(bytes));
  return true;
}

void CsvRowTable::LoadText(std::string_view text) {
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
}

const CsvRow* CsvRowTable::Find(std::string_view key) const {
  for (const CsvRow& row : rows_) {
    if (CText(row.key) == key) return &row;
  }
  return nullptr;
}

}  // namespace zan
