#pragma once
// NameList: the first field of each line of a text table, after three header lines; up
// to 1000 names of at most 31 bytes. The application loads "イベントＣＧリスト.csv" into one:
// a picture's row number there is its gallery flag.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zan {

class GameData;

class NameList {
 public:
  static constexpr int32_t kMaxRows = 1000;
  static constexpr size_t kNameSize = 32;
  static constexpr int kHeaderLines = 3;

  // Reads the file from `slot` (a .lib file is unscrambled first). True when it was read;
  // a file that cannot be read is reported by the reader and leaves the list empty.
  bool Load(GameData& data, std::string_view fileName, int slot);
  // Parses the unscrambled text.
  void LoadText(std::string_view text);
  // The row of `name` compared without regard to ASCII case (double-byte characters
  // exactly); none when absent or the list is not loaded.
  std::optional<int32_t> Find(std::string_view name) const;

  bool IsLoaded() const { return loaded_ != 0; }
  int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
  std::string_view Name(int32_t row) const;

 private:
  int32_t loaded_ = 0;
  std::vector<std::array<char, kNameSize>> rows_;
};

}  // namespace zan
