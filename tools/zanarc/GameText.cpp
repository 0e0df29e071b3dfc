#include "zanarc/GameText.h"

#include "base/ShiftJis.h"
#include "data/GameData.h"

namespace zan {

Result<std::vector<uint8_t>> GameTextToSjis(std::string_view utf8) {
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  std::vector<uint8_t> out;
  out.reserve(utf8.size() + utf8.size() / 16);
  size_t lineNumber = 1;
  while (!utf8.empty()) {
    const size_t lf = utf8.find('\n');
    std::string_view line = utf8.substr(0, lf);
    const bool ended = lf != std::string_view::npos;
    utf8.remove_prefix(ended ? lf + 1 : utf8.size());
    if (ended && line.ends_with('\r')) line.remove_suffix(1);
    auto sjis = TryUtf8ToSjis(line);
    if (!sjis) {
      return MakeError("line " + std::to_string(lineNumber) +
                       ": not UTF-8, or a character without a Shift-JIS form");
    }
    out.insert(out.end(), sjis->begin(), sjis->end());
    if (ended) {
      out.push_back('\r');
      out.push_back('\n');
    }
    ++lineNumber;
  }
  return out;
}

bool IsGameTextFile(std::string_view fileName) {
  return HasExtension(fileName, "txt") || HasExtension(fileName, "csv") ||
         HasExtension(fileName, "lib");
}

}  // namespace zan
