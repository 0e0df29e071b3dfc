#pragma once
// Text files of a game's sources are UTF-8 with LF line ends; the game reads Shift-JIS with
// CR LF. This converts one file's bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace zan {

// Drops a UTF-8 byte order mark, turns every LF (and CR LF) into CR LF and converts to
// Shift-JIS. Refused, naming the line: text that is not UTF-8 or has no Shift-JIS form.
Result<std::vector<uint8_t>> GameTextToSjis(std::string_view utf8);

// The extensions that are converted: .txt, .csv and .lib (any case). The name is Shift-JIS.
bool IsGameTextFile(std::string_view fileName);

}  // namespace zan
