// Field tokenisers and the two tables: the input is a text table (as read from the archive,
// and once more as a scrambled .lib file).

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "data/CsvRowTable.h"
#include "data/LibScramble.h"
#include "data/NameList.h"
#include "data/TextFields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  zan::ForEachTableLine(text, 1, [](std::string_view line) {
    char field[8];
    int32_t number = 0;
    for (int32_t i = 0; i < 16; ++i) {
      zan::GetField(line, field, ",", i);
      zan::GetIntField(line, &number, ",", i);
    }
    char rest[zan::kFieldSize];
    zan::DropField(line, rest, ",");
    return true;
  });
  char out[zan::kFieldSize];
  for (int32_t p = 0; p < static_cast<int32_t>(size);) {
    p = zan::ScanField(text, p, out, ",", "\n");
  }
  zan::SkipPast(text, "\n");

  zan::NameList list;
  list.LoadText(text);
  list.Find(text.substr(0, 40));
  zan::CsvRowTable table;
  table.LoadText(text);
  table.Find(text.substr(0, 10));

  std::vector<uint8_t> lib(data, data + size);
  zan::UnscrambleLib(lib, zan::LibKey());
  list.LoadText({reinterpret_cast<const char*>(lib.data()), lib.size()});

  if (size >= 4) {
    int32_t value;
    std::memcpy(&value, data, 4);
    char number[24];
    zan::FormatNumber(number, value, data[0] & 1, data[0] & 2);
    char tiny[3];
    zan::FormatNumber(tiny, value, true, true);
  }
  return 0;
}
