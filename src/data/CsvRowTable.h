#pragma once
// CsvRowTable: rows of a text table after one header line, up to 300: a key (field 0),
// two texts (fields 2 and 3) and two numbers (fields 4 and 5); field 1 is a comment. The
// application loads "省略.csv" into one: picture abbreviations of the script, with the
// picture, its overlay picture and the overlay's offset.

#include <cstdint>
#include <string_view>
#include <vector>

namespace zan {

class GameData;

struct CsvRow {
  char key[260] = {};
  char textA[260] = {};
  char textB[260] = {};
  int32_t numberA = 0;
  int32_t numberB = 0;
};

class CsvRowTable {
 public:
  static constexpr int32_t kMaxRows = 300;
  static constexpr int kHeaderLines = 1;

  // Reads the file from `slot` (a .lib file is unscrambled first). A file that does not
  // exist leaves the table empty without a report; true when it was read.
  bool Load(GameData& data, std::string_view fileName, int slot);
  // Parses the unscrambled text.
  void LoadText(std::string_view text);
  // The first row whose key equals `key` byte for byte; null when there is none.
  const CsvRow* Find(std::string_view key) const;

  int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
  const CsvRow& Row(int32_t i) const { return rows_[static_cast<size_t>(i)]; }

 private:
  std::vector<CsvRow> rows_;
};

}  // namespace zan
