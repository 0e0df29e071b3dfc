#include "data/SystemButtonDefinition.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "base/ShiftJis.h"
#include "data/KeyDefinitions.h"

namespace zan {
namespace {

constexpr size_t kHeaderLines = 2;
constexpr size_t kHeadingLines = 9;
constexpr size_t kRecordLines = 1 + SystemButton::kStates;
constexpr int32_t kHeaderFields = 6;
constexpr int32_t kStateFields = 8;

constexpr std::string_view kStateFieldNames[] = {
    "label", "picture", "x", "y", "source x", "source y", "width", "height",
};

const std::string& Mark() {
  static const std::string mark = Sjis("○");
  return mark;
}

std::optional<size_t> FirstLineStartingWith(const std::vector<DefinitionLine>& lines, size_t from,
                                            size_t to, std::string_view prefix) {
  for (size_t i = from; i < to && i < lines.size(); ++i) {
    if (lines[i].text.starts_with(prefix)) return i;
  }
  return std::nullopt;
}

// Positions come from the file: their sum must not overflow.
int32_t SaturatedSum(int32_t a, int32_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

std::string ButtonName(int32_t number) { return "button " + std::to_string(number); }

void CheckFieldCount(DefinitionFields& f, int32_t expected) {
  const int32_t count = f.Count();
  if (count < expected) {
    f.ReportLine("has " + std::to_string(count) + " fields, not " + std::to_string(expected) +
                 ": fields " + std::to_string(count) + ".." + std::to_string(expected - 1) +
                 " read as empty");
  } else if (count > expected) {
    f.ReportLine("has " + std::to_string(count) + " fields; only the first " +
                 std::to_string(expected) + " are read");
  }
  if (f.Cut()) f.ReportLine("is longer than 260 bytes; the rest of it is not read");
}

// A "○" flag: true for the mark, false for anything else (reported unless empty or "×").
bool Flag(DefinitionFields& f, int32_t index, std::string_view name) {
  static const std::string cross = Sjis("×");
  const std::string text = f.Text(index);
  if (text == Mark()) return true;
  if (!text.empty() && text != cross) {
    f.Report(index, name, QuotedField(text) + " is not " + QuotedField(Mark()) + " or " +
                              QuotedField(cross) + ": read as " + QuotedField(cross));
  }
  return false;
}

void ReadHeader(DefinitionFields& f, SystemButton& button, std::vector<int32_t>& absolute) {
  static const std::string absoluteWord = Sjis("絶対");
  static const std::string hidden = Sjis("非表示");
  static const std::string shown = Sjis("表示");
  CheckFieldCount(f, kHeaderFields);
  button.responds = Flag(f, 1, "responds");
  button.name = f.Text(2);
  button.action = ActionCodeOfName(button.name);
  button.draggable = Flag(f, 3, "draggable");
  if (f.Text(4) == absoluteWord) {
    button.parent = SystemButton::kAbsolute;
    absolute.push_back(button.number);
  } else {
    button.parent = 0;
    f.Number(4, "parent", button.parent);
  }
  const std::string visibility = f.Text(5);
  button.visible = visibility != hidden;
  if (!visibility.empty() && visibility != hidden && visibility != shown) {
    f.Report(5, "visibility", QuotedField(visibility) + " is not " + QuotedField(hidden) +
                                  ": the button starts shown");
  }
  if (button.responds && button.action == 0) {
    f.Report(2, "name", QuotedField(button.name) +
                            " is not an action name: the button responds but does nothing");
  }
}

void CheckParent(DefinitionFields& f, const SystemButton& button, const std::vector<int32_t>& absolute,
                 int32_t count) {
  static const std::string absoluteWord = Sjis("絶対");
  if (button.parent == SystemButton::kAbsolute) {
    if (absolute.empty() || absolute.back() != button.number) {
      f.Report(4, "parent", "-1 as a number: the button is drawn as absolute but is not in the "
                            "absolute list; write " + QuotedField(absoluteWord));
    }
  } else if (button.parent == button.number) {
    f.Report(4, "parent", "the button is its own parent");
  } else if (button.parent < 0 || button.parent >= count) {
    f.Report(4, "parent", std::to_string(button.parent) + " is not a button number (0.." +
                              std::to_string(count - 1) + ")");
  }
}

}  // namespace

bool SystemButtonPicture::Loads() const {
  static const std::string cross = Sjis("×");
  return !file.empty() && !file.starts_with(cross);
}

int32_t SystemButtonDefinition::PositionParent(int32_t button) const {
  if (button < 0 || button >= static_cast<int32_t>(buttons.size())) return -1;
  const int32_t parent = buttons[static_cast<size_t>(button)].parent;
  if (parent < 0 || parent >= static_cast<int32_t>(buttons.size()) || parent == button) return -1;
  return parent;
}

std::array<int32_t, 2> SystemButtonDefinition::Position(int32_t button, int32_t state) const {
  if (button < 0 || button >= static_cast<int32_t>(buttons.size()) || state < 0 ||
      state >= SystemButton::kStates) {
    return {0, 0};
  }
  const SystemButtonState& own = buttons[static_cast<size_t>(button)].states[static_cast<size_t>(state)];
  std::array<int32_t, 2> at{own.x, own.y};
  if (const int32_t parent = PositionParent(button); parent >= 0) {
    const SystemButtonState& p = buttons[static_cast<size_t>(parent)].states[static_cast<size_t>(state)];
    at[0] = SaturatedSum(at[0], p.x);
    at[1] = SaturatedSum(at[1], p.y);
  }
  return at;
}

Result<SystemButtonDefinition> ReadSystemButtonDefinition(std::string_view text) {
  static const std::string picturesEnd = Sjis("□画像定義終了");
  static const std::string buttonsEnd = Sjis("□定義終了");
  const std::vector<DefinitionLine> lines = SplitDefinitionLines(text);

  const std::optional<size_t> marker =
      FirstLineStartingWith(lines, kHeaderLines, lines.size(), picturesEnd);
  if (!marker) {
    return MakeError("no line after the two header lines starts with " + QuotedField(picturesEnd) +
                     " (the end of the pictures): no buttons are built");
  }
  const size_t first = *marker + 1 + kHeadingLines;
  const std::optional<size_t> end = FirstLineStartingWith(lines, first, lines.size(), buttonsEnd);
  if (!end) {
    std::string message = "no line after the headings starts with " + QuotedField(buttonsEnd) +
                          " (the end of the buttons): no buttons are built";
    if (auto early = FirstLineStartingWith(lines, *marker + 1, first, buttonsEnd)) {
      message += "; line " + std::to_string(lines[*early].number) + " is one of the " +
                 std::to_string(kHeadingLines) + " heading lines after line " +
                 std::to_string(lines[*marker].number) + " and is skipped with them";
    }
    return MakeError(std::move(message));
  }

  SystemButtonDefinition def;
  for (size_t i = kHeaderLines; i < *marker; ++i) {
    SystemButtonPicture picture;
    picture.number = static_cast<int32_t>(def.pictures.size());
    picture.line = lines[i].number;
    DefinitionFields f(lines[i], "picture " + std::to_string(picture.number), def.problems);
    picture.label = f.Text(0);
    picture.file = f.Text(1);
    if (lines[i].cut) f.ReportLine("is longer than 260 bytes; the rest of it is not read");
    def.pictures.push_back(std::move(picture));
  }

  const size_t count = (*end - first) / kRecordLines;
  for (size_t b = 0; b < count; ++b) {
    const size_t header = first + b * kRecordLines;
    SystemButton button;
    button.number = static_cast<int32_t>(b);
    button.line = lines[header].number;
    DefinitionFields h(lines[header], ButtonName(button.number), def.problems);
    ReadHeader(h, button, def.absolute);
    CheckParent(h, button, def.absolute, static_cast<int32_t>(count));
    for (int32_t s = 0; s < SystemButton::kStates; ++s) {
      const DefinitionLine& line = lines[header + 1 + static_cast<size_t>(s)];
      DefinitionFields f(line, ButtonName(button.number) + " state " + std::to_string(s), def.problems);
      CheckFieldCount(f, kStateFields);
      SystemButtonState& state = button.states[static_cast<size_t>(s)];
      int32_t* values[] = {&state.picture, &state.x,      &state.y,     &state.sourceX,
                           &state.sourceY, &state.width, &state.height};
      for (int32_t i = 1; i < kStateFields; ++i) f.Number(i, kStateFieldNames[i], *values[i - 1]);
    }
    def.buttons.push_back(std::move(button));
  }
  if (const size_t rest = (*end - first) % kRecordLines; rest != 0) {
    const size_t from = first + count * kRecordLines;
    def.problems.push_back(
        {lines[from].number, ButtonName(static_cast<int32_t>(count)), -1, {},
         "lines " + std::to_string(lines[from].number) + ".." + std::to_string(lines[*end].number - 1) +
             " are " + std::to_string(rest) + " of the " + std::to_string(kRecordLines) +
             " lines of a button record before the end line: not read"});
  }
  return def;
}

}  // namespace zan
