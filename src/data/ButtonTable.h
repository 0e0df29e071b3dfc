#pragma once
// Button tables: the definition files that place a screen's items (system3-1.lib,
// system4.lib, system5-1.lib, system5-2.lib, system6-1.lib ... system6-4.lib).
//
// Line 1 is a header and line 2 is skipped; every further line is one row, row k for item
// k (items count from 1), up to the rows the screen reads (at most 99). A row of 14 fields:
// 0 and 1 free text for the author, 2..5 the item's rectangle on the screen (x, y, width,
// height), then the source x and y in the screen's button picture of states 0, 1, 2 and 3
// (fields 6..13). A row of 8 fields (system5-2.lib) has a single source (fields 6, 7).
// An empty (or missing) field keeps the value of the same field in the row above; in the
// first row it reads 0. (The two free-text fields are kept as each row writes them.) Numbers keep their sign: the gallery tables mark a state that is not
// drawn with source x -1.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "data/DefinitionFiles.h"
#include "data/DefinitionText.h"

namespace zan {

class GameData;

struct ButtonRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  // A rectangle of width or height 0 or less has no area: a screen never hits such an item
  // (a zeroed item would otherwise catch clicks at its corner).
  bool HasArea() const { return width > 0 && height > 0; }
  // The rectangle test of the screens, both edges inclusive (x = left + width is inside).
  bool Contains(int32_t px, int32_t py) const;
};

// Where one state of an item comes from in the screen's button picture.
struct ButtonSource {
  int32_t x = 0;
  int32_t y = 0;

  // The gallery screens skip a state whose source x is -1.
  bool MarkedNotDrawn() const { return x == -1; }
};

struct ButtonRow {
  static constexpr int32_t kStates = 4;

  int32_t item = 0;   // from 1; 0 for an item the file has no row for
  int32_t line = 0;   // its line in the file
  std::string label;  // field 0 (Shift-JIS), free text
  std::string note;   // field 1, free text
  ButtonRect rect;    // fields 2..5
  std::array<ButtonSource, kStates> sources{};  // fields 6..13; an 8-field row fills sources[0]
  uint32_t emptyFields = 0;  // bit i: field i (2..13) was empty and kept the value above

  bool HasArea() const { return rect.HasArea(); }
  bool Contains(int32_t px, int32_t py) const { return rect.Contains(px, py); }
  bool FieldWasEmpty(int32_t field) const {
    return field >= 0 && field < 32 && (emptyFields >> field & 1u) != 0;
  }
};

struct ButtonTable {
  std::string file;
  int32_t fieldsPerRow = 14;
  int32_t rowLimit = 0;        // the rows the screen reads
  std::vector<ButtonRow> rows;  // in item order, item 1 first
  std::vector<DefinitionProblem> problems;

  int32_t Count() const { return static_cast<int32_t>(rows.size()); }
  // The sources a row carries: 4, or 1 for an 8-field table.
  int32_t StateCount() const { return fieldsPerRow == 8 ? 1 : ButtonRow::kStates; }
  // Item k; an item the file has no row for (or k outside the rows) is all zero, without
  // area.
  const ButtonRow& Item(int32_t k) const;
};

// The meaning of field `field` of a row with `fieldsPerRow` fields ("width",
// "state 2 source x"); "" beyond the row.
std::string_view ButtonFieldName(int32_t fieldsPerRow, int32_t field);

// Reads the unscrambled text of `file` (a button table). Never fails: what does not read
// cleanly is read as the game would and listed in the table's problems.
ButtonTable ReadButtonTable(std::string_view text, const DefinitionFile& file);

// Reads the button table `id` from the definition archive. A missing file is an error (the
// game data reader has reported it); the problems of a file that was read are logged in
// one line.
Result<ButtonTable> LoadButtonTable(GameData& data, DefinitionFileId id);

}  // namespace zan
