#pragma once
// zanarc lib-show: a definition file's rows as a table with their meaning on their screen,
// and every problem of the file with its line, row and field.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "base/Result.h"

namespace zan {

// How the bytes of a .lib file were written.
enum class LibForm {
  kScrambled,  // as the archive stores it
  kShiftJis,   // unscrambled (zanarc lib-decode)
  kUtf8,       // a game source (UTF-8, LF), as authors write it
};

struct LibText {
  LibForm form = LibForm::kShiftJis;
  std::string text;  // unscrambled Shift-JIS
};

// Tells the three forms apart by their line ends (CR LF, or the scrambled CR LF) and by
// whether the text is UTF-8, and gives the text as the game reads it. Refused: a UTF-8 text
// with a character that has no Shift-JIS form.
Result<LibText> DefinitionTextOf(const std::vector<uint8_t>& bytes);

// Prints the file `name` (a definition file's name, which chooses the grammar) read from
// `bytes`. 0 when it reads cleanly, 1 when it has problems or cannot be read at all.
int ShowDefinitionFile(const std::string& name, const std::vector<uint8_t>& bytes,
                       std::ostream& out, std::ostream& err);

}  // namespace zan
