#include "data/ButtonTable.h"

#include <algorithm>

#include "data/GameData.h"
#include "data/TextFields.h"

namespace zan {
namespace {

constexpr int32_t kHeaderLines = 2;
constexpr int32_t kMostRows = 99;
constexpr int32_t kFirstNumberField = 2;

constexpr std::string_view kFieldNames[] = {
    "label", "note", "x", "y", "width", "height",
    "state 0 source x", "state 0 source y", "state 1 source x", "state 1 source y",
    "state 2 source x", "state 2 source y", "state 3 source x", "state 3 source y",
};

std::string ItemName(int32_t item) { return "item " + std::to_string(item); }

}  // namespace

bool ButtonRect::Contains(int32_t px, int32_t py) const {
  return PointInRect(px, py, x, y, width, height);
}

const ButtonRow& ButtonTable::Item(int32_t k) const {
  static const ButtonRow kNone{};
  if (k < 1 || k > Count()) return kNone;
  return rows[static_cast<size_t>(k - 1)];
}

std::string_view ButtonFieldName(int32_t fieldsPerRow, int32_t field) {
  if (field < 0 || field >= fieldsPerRow || field >= static_cast<int32_t>(std::size(kFieldNames))) {
    return {};
  }
  if (fieldsPerRow == 8 && field >= 6) return field == 6 ? "source x" : "source y";
  return kFieldNames[field];
}

ButtonTable ReadButtonTable(std::string_view text, const DefinitionFile& file) {
  ButtonTable table;
  table.file = std::string(file.name);
  table.fieldsPerRow = file.fieldsPerRow == 8 ? 8 : 14;
  table.rowLimit = std::clamp(file.rowLimit, 0, kMostRows);
  const int32_t fields = table.fieldsPerRow;

  const std::vector<DefinitionLine> lines = SplitDefinitionLines(text);
  // The values of fields 2..13 carry over from row to row: an empty field keeps them.
  std::array<int32_t, 12> values{};
  size_t next = kHeaderLines;
  for (; next < lines.size() && table.Count() < table.rowLimit; ++next) {
    const DefinitionLine& line = lines[next];
    ButtonRow row;
    row.item = table.Count() + 1;
    row.line = line.number;
    DefinitionFields f(line, ItemName(row.item), table.problems);
    row.label = f.Text(0);
    row.note = f.Text(1);
    for (int32_t i = kFirstNumberField; i < fields; ++i) {
      if (!f.Number(i, ButtonFieldName(fields, i), values[static_cast<size_t>(i - kFirstNumberField)])) {
        row.emptyFields |= 1u << i;
      }
    }
    row.rect = {values[0], values[1], values[2], values[3]};
    for (int32_t s = 0; s < (fields - 6) / 2; ++s) {
      row.sources[static_cast<size_t>(s)] = {values[static_cast<size_t>(4 + 2 * s)],
                                             values[static_cast<size_t>(5 + 2 * s)]};
    }

    const std::string above = row.item == 1 ? "read 0 (there is no row above)"
                                            : "keep the values of the row above";
    const int32_t count = f.Count();
    if (line.text.empty()) {
      f.ReportLine("is blank: all its fields " + above);
    } else if (count < fields) {
      f.ReportLine("has " + std::to_string(count) + " fields, not " + std::to_string(fields) +
                   ": fields " + std::to_string(count) + ".." + std::to_string(fields - 1) + " " +
                   above);
    } else if (count > fields) {
      f.ReportLine("has " + std::to_string(count) + " fields; only the first " +
                   std::to_string(fields) + " are read");
    }
    if (line.cut) f.ReportLine("is longer than 260 bytes; the rest of it is not read");
    table.rows.push_back(std::move(row));
  }
  for (; next < lines.size(); ++next) {
    if (lines[next].text.empty()) continue;
    table.problems.push_back({lines[next].number, {}, -1, {},
                              "rows after item " + std::to_string(table.rowLimit) +
                                  " are not read: the screen reads " +
                                  std::to_string(table.rowLimit) + " rows"});
    break;
  }
  return table;
}

Result<ButtonTable> LoadButtonTable(GameData& data, DefinitionFileId id) {
  const DefinitionFile& file = Definition(id);
  if (file.grammar != DefinitionGrammar::kButtonTable) {
    return MakeError(std::string(file.name) + " is not a button table");
  }
  std::vector<uint8_t> bytes;
  if (!data.ReadTableFile(file.name, kSlotDefinitions, bytes)) {
    return MakeError(std::string(file.name) + " is missing from the definition archive");
  }
  ButtonTable table = ReadButtonTable(AsText(bytes), file);
  LogDefinitionProblems(file.name, table.problems);
  return table;
}

}  // namespace zan
