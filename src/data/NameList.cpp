#include "data/NameList.h"

#include "data/Archive.h"
#include "data/GameData.h"
#include "data/TextFields.h"

namespace zan {

bool NameList::Load(GameData& data, std::string_view fileName, int slot) {
  rows_.clear();
  loaded_ = 0;
  std::vector<uint8_t> bytes;
  if (!data.ReadTableFile(fileName, slot, bytes)) return false;
  LoadText(AsText(bytes));
  return true;
}

void NameList::LoadText(std::string_view text) {
  rows_.clear();
  ForEachTableLine(text, kHeaderLines, [&](std::string_view line) {
    std::array<char, kNameSize> name{};
    GetField(line, name, ",", 0);
    rows_.push_back(name);
    return Count() < kMaxRows;
  });
  loaded_ = 1;
}

std::optional<int32_t> NameList::Find(std::string_view name) const {
  if (loaded_ == 0) return std::nullopt;
  const std::string wanted = Archive::NormaliseName(name);
  for (int32_t i = 0; i < Count(); ++i) {
    if (Archive::NormaliseName(Name(i)) == wanted) return i;
  }
  return std::nullopt;
}

std::string_view NameList::Name(int32_t row) const {
  if (row < 0 || row >= Count()) return {};
  return CText(rows_[static_cast<size_t>(row)]);
}

}  // namespace zan
