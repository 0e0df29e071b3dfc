#include "zanarc/LibShow.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "base/ShiftJis.h"
#include "data/ButtonTable.h"
#include "data/DefinitionFiles.h"
#include "data/KeyDefinitions.h"
#include "data/LibScramble.h"
#include "data/SystemButtonDefinition.h"
#include "zanarc/GameText.h"

namespace zan {
namespace {

using enum DefinitionFileId;

// What the rows of a button table stand for on their screen.
struct TableMeaning {
  std::string_view screen;
  bool minusOneHides = false;  // a state with source x -1 is not drawn
  std::vector<std::string> roles;  // item k at k - 1
};

std::vector<std::string> Numbered(std::string_view what, int count, std::string_view after = {}) {
  std::vector<std::string> roles;
  for (int i = 0; i < count; ++i) roles.push_back(std::string(what) + " " + std::to_string(i) + std::string(after));
  return roles;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TableMeaning MeaningOf(DefinitionFileId id) {
  switch (id) {
    case kConfig:
      return {"configuration screen", false,
              {"skip unread text: on", "skip unread text: off", "setting at offset 124: 1",
               "setting at offset 124: 0", "window", "full screen", "screen effects: on",
               "screen effects: off", "setting at offset 120: 1", "setting at offset 120: 0",
               "confirmations: on", "confirmations: off", "right click: skip",
               "right click: hide the window", "right click: save screen", "reset to defaults",
               "quit", "return to the title", "close"}};
    case kTitle:
      return {"title menu", false,
              {"new game (main.txt)", "load", "prologue skip (pskip.txt; when g_pskip is 1)",
               "bonus page (when g_clear is 1)", "configuration", "quit",
               "bonus page: CG gallery", "bonus page: scene replay", "bonus page: music room",
               "bonus page: flow_t.txt"}};
    case kSaveLoad:
      return {"save and load screen", false,
              Joined(Joined({"next page", "previous page", "back"}, Numbered("delete slot", 10)),
                     Numbered("slot", 10, " frame and thumbnail"))};
    case kSaveLoadSpots:
      return {"save and load screen, second table (read; the screen draws and hits nothing from it)",
              false, {}};
    case kGallery:
      return {"CG gallery", true, Joined({"previous page", "next page", "close"}, Numbered("slot", 20))};
    case kSceneReplay:
      return {"scene replay", true, Joined({"previous page", "next page", "close"}, Numbered("slot", 20))};
    case kMusicRoom:
      return {"music room", false,
              Joined({"play", "stop", "pause", "loop on/off", "close"}, Numbered("track", 12))};
    case kTreasures:
      return {"treasure gallery", true,
              {"scroll up", "scroll down", "close, title music again", "close",
               "bonus sp1.txt (from 50 treasures)", "bonus sp2.txt (at 100 treasures)"}};
    default:
      return {};
  }
}

std::string_view InputSource(int32_t input) {
  static constexpr std::string_view kNames[] = {
      "wheel away", "-", "left button", "right button", "Enter, wheel towards", "Space", "Ctrl",
      "Shift", "Backspace", "Delete, middle button", "Insert", "Home", "End", "Page Up",
      "Page Down", "Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11",
      "F12", "S", "L", "O"};
  if (input >= 0 && input < static_cast<int32_t>(std::size(kNames))) return kNames[input];
  return "-";
}

std::string_view ActionMeaning(int32_t code) {
  static constexpr std::string_view kNames[] = {
      "no action", "decide", "decide 2", "cancel (right-click action)", "hide the window",
      "flow (flow.txt)", "map (map.txt)", "auto", "skip", "save", "load", "quick save",
      "quick load", "menu", "close the menu", "configuration", "backlog", "backlog up",
      "backlog down", "return to the title", "quit", "panic button", "surface viewer",
      "sound viewer", "script viewer", "task viewer", "back to the last choice",
      "window / full screen", "minimise", "replay the voices", "affection"};
  if (code >= 0 && code < static_cast<int32_t>(std::size(kNames))) return kNames[code];
  return "no action";
}

std::string_view FormName(LibForm form) {
  switch (form) {
    case LibForm::kScrambled: return "scrambled, as stored in system.arc";
    case LibForm::kShiftJis: return "Shift-JIS text, not scrambled";
    case LibForm::kUtf8: return "UTF-8 source text";
  }
  return {};
}

std::string Utf8(std::string_view sjis) { return SjisToUtf8(sjis); }

// The label and note of a row, for the last column.
std::string Labels(std::string_view label, std::string_view note) {
  if (label.empty() && note.empty()) return {};
  return "  [" + Utf8(label) + (note.empty() ? "" : " / " + Utf8(note)) + "]";
}

int PrintProblems(std::string_view name, const std::vector<DefinitionProblem>& problems,
                  std::ostream& out) {
  if (problems.empty()) {
    out << "\nno problems\n";
    return 0;
  }
  out << "\n" << problems.size() << (problems.size() == 1 ? " problem:\n" : " problems:\n");
  for (const DefinitionProblem& p : problems) out << "  " << Utf8(DescribeProblem(name, p)) << "\n";
  return 1;
}

std::string Value(int32_t value, bool wasEmpty) { return std::to_string(value) + (wasEmpty ? "^" : ""); }

int ShowButtonTable(const DefinitionFile& file, std::string_view text, std::ostream& out) {
  const ButtonTable table = ReadButtonTable(text, file);
  const TableMeaning meaning = MeaningOf(file.id);
  out << "a button table of " << table.fieldsPerRow << " fields; the screen reads "
      << table.rowLimit << " rows (line k + 2 is item k)\n";
  out << "^ = the field is empty and keeps the value of the row above (0 in the first row)\n";
  if (meaning.minusOneHides) out << "a state with source x -1 is not drawn\n";
  out << "\n" << std::setw(4) << "item" << std::setw(7) << "x" << std::setw(7) << "y"
      << std::setw(7) << "width" << std::setw(7) << "height";
  const char* states[] = {"normal", "hovered", "pressed", "state 3"};
  if (table.StateCount() == 1) {
    out << std::setw(12) << "source";
  } else {
    for (const char* s : states) out << std::setw(12) << s;
  }
  out << "  meaning\n";
  for (const ButtonRow& row : table.rows) {
    out << std::setw(4) << row.item << std::setw(7) << Value(row.rect.x, row.FieldWasEmpty(2))
        << std::setw(7) << Value(row.rect.y, row.FieldWasEmpty(3)) << std::setw(7)
        << Value(row.rect.width, row.FieldWasEmpty(4)) << std::setw(7)
        << Value(row.rect.height, row.FieldWasEmpty(5));
    for (int32_t s = 0; s < table.StateCount(); ++s) {
      const ButtonSource& source = row.sources[static_cast<size_t>(s)];
      const bool empty = row.FieldWasEmpty(6 + 2 * s) || row.FieldWasEmpty(7 + 2 * s);
      const std::string shown = meaning.minusOneHides && source.MarkedNotDrawn()
                                    ? std::string("not drawn")
                                    : std::to_string(source.x) + "," + std::to_string(source.y) +
                                          (empty ? "^" : "");
      out << std::setw(12) << shown;
    }
    const size_t index = static_cast<size_t>(row.item - 1);
    out << "  " << (index < meaning.roles.size() ? meaning.roles[index] : std::string("(not used)"));
    if (!row.HasArea()) out << " (no area: never hit)";
    out << Labels(row.label, row.note) << "\n";
  }
  if (table.Count() < table.rowLimit) {
    out << (table.Count() + 1 == table.rowLimit ? "item " : "items ") << table.Count() + 1
        << (table.Count() + 1 == table.rowLimit ? "" : ".." + std::to_string(table.rowLimit))
        << ": no row; all zero, never hit\n";
  }
  return PrintProblems(file.name, table.problems, out);
}

int ShowKeyMap(const DefinitionFile& file, std::string_view text, std::ostream& out) {
  const KeyDefinitions keys = ReadKeyDefinitions(text);
  out << "line k + 2 is input k; everything after its first comma names the action\n\n";
  out << std::setw(5) << "input" << "  " << std::left << std::setw(22) << "source" << std::setw(34)
      << "action" << std::right << "label\n";
  for (const KeyDefinitionRow& row : keys.rows) {
    std::string action = "-";
    if (row.action != 0) {
      action = std::to_string(row.action) + " " + std::string(ActionMeaning(row.action));
    } else if (!row.actionName.empty()) {
      action = "none";
    }
    out << std::setw(5) << row.input << "  " << std::left << std::setw(22) << InputSource(row.input)
        << std::setw(34) << action << std::right << Utf8(row.label)
        << (row.actionName.empty() ? "" : " -> " + Utf8(row.actionName)) << "\n";
  }
  if (keys.rows.size() < static_cast<size_t>(KeyDefinitions::kInputCount)) {
    out << "inputs " << keys.rows.size() << "..35: no line; no action\n";
  }
  return PrintProblems(file.name, keys.problems, out);
}

std::string Pair(int32_t a, int32_t b) { return std::to_string(a) + "," + std::to_string(b); }

int ShowSystemButtons(const DefinitionFile& file, std::string_view text, std::ostream& out,
                      std::ostream& err) {
  auto def = ReadSystemButtonDefinition(text);
  if (!def) {
    err << "zanarc: " << file.name << ": " << Utf8(def.error().message) << "\n";
    return 1;
  }
  out << "pictures (numbered from 0), then buttons of six lines each (numbered from 0)\n\n";
  out << "pictures:\n";
  for (const SystemButtonPicture& p : def->pictures) {
    out << std::setw(4) << p.number << "  "
        << (p.Loads() ? Utf8(p.file) : "(none" + (p.file.empty() ? "" : ": " + Utf8(p.file)) + ")")
        << Labels(p.label, {}) << "\n";
  }
  if (def->pictures.empty()) out << "  (none)\n";

  const char* states[] = {"normal", "hovered", "pressed", "disabled", "hover picture"};
  out << "\nbuttons (\"at\" is the position on the screen: the button's own plus its parent's):\n";
  for (const SystemButton& b : def->buttons) {
    std::string parent;
    if (b.parent == SystemButton::kAbsolute) {
      const auto at = std::find(def->absolute.begin(), def->absolute.end(), b.number);
      parent = at == def->absolute.end() ? "absolute, not in the absolute list"
                                         : "absolute " + std::to_string(at - def->absolute.begin());
    } else {
      parent = "child of button " + std::to_string(b.parent);
    }
    out << std::setw(4) << b.number << "  " << Utf8(b.name) << ": "
        << (b.action != 0 ? "action " + std::to_string(b.action) + " " + std::string(ActionMeaning(b.action))
                          : std::string("no action"))
        << "; " << parent << "; " << (b.visible ? "shown" : "hidden") << "; "
        << (b.responds ? "responds" : "does not respond (always drawn disabled)")
        << (b.draggable ? "; draggable" : "") << "\n";
    for (int32_t s = 0; s < SystemButton::kStates; ++s) {
      const SystemButtonState& st = b.states[static_cast<size_t>(s)];
      const auto at = def->Position(b.number, s);
      const bool hasPicture =
          st.picture >= 0 && st.picture < static_cast<int32_t>(def->pictures.size()) &&
          def->pictures[static_cast<size_t>(st.picture)].Loads();
      std::ostringstream line;
      line << "        " << std::left << std::setw(14) << states[s] << std::right << "picture "
           << std::setw(3) << st.picture << (hasPicture ? "" : " (none)") << "  at " << Pair(at[0], at[1]);
      if (def->PositionParent(b.number) >= 0) line << " (own " << Pair(st.x, st.y) << ")";
      line << "  from " << Pair(st.sourceX, st.sourceY) << "  size " << st.width << "x" << st.height;
      if (s == 0 && b.responds && !st.HasArea()) line << " (no area: never hit)";
      out << line.str() << "\n";
    }
  }
  if (def->buttons.empty()) out << "  (none)\n";
  out << "\nabsolute list:";
  for (size_t k = 0; k < def->absolute.size(); ++k) out << " " << k << "=button " << def->absolute[k];
  out << (def->absolute.empty() ? " (empty)\n" : "\n");
  return PrintProblems(file.name, def->problems, out);
}

size_t Count(const std::vector<uint8_t>& bytes, std::string_view pair) {
  size_t n = 0;
  for (size_t i = 0; i + pair.size() <= bytes.size(); ++i) {
    if (std::equal(pair.begin(), pair.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                   [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; })) {
      ++n;
    }
  }
  return n;
}

// True when the bytes are well-formed UTF-8 (shortest forms, no surrogates).
bool IsUtf8(const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t b = bytes[i];
    size_t n = 0;
    uint32_t min = 0;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      n = 1, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      n = 2, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      n = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + n >= bytes.size()) return false;
    uint32_t c = b & (0x3F >> n);
    for (size_t k = 1; k <= n; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return false;
      c = c << 6 | (bytes[i + k] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

Result<LibText> DefinitionTextOf(const std::vector<uint8_t>& bytes) {
  // The scrambling shifts every byte by the key's first byte: a scrambled CR LF is that
  // shift of "\r\n".
  const auto shift = static_cast<uint8_t>(LibKey()[0]);
  const std::string scrambledCrLf{static_cast<char>('\r' + shift), static_cast<char>('\n' + shift)};
  const std::string scrambledLf{static_cast<char>('\n' + shift)};
  const size_t plainLines = Count(bytes, "\r\n");
  const size_t scrambledLines = Count(bytes, scrambledCrLf);
  const bool scrambled = scrambledLines > plainLines ||
                         (plainLines == 0 && Count(bytes, scrambledLf) > Count(bytes, "\n"));
  if (scrambled) {
    std::vector<uint8_t> plain = bytes;
    UnscrambleLib(plain, LibKey());
    return LibText{LibForm::kScrambled, std::string(plain.begin(), plain.end())};
  }
  const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b < 0x80; });
  if (!ascii && IsUtf8(bytes)) {
    auto sjis = GameTextToSjis(raw);
    if (!sjis) return sjis.error();
    return LibText{LibForm::kUtf8, std::string(sjis->begin(), sjis->end())};
  }
  return LibText{LibForm::kShiftJis, std::string(raw)};
}

int ShowDefinitionFile(const std::string& name, const std::vector<uint8_t>& bytes,
                       std::ostream& out, std::ostream& err) {
  const DefinitionFile* file = FindDefinitionFile(name);
  if (!file) {
    std::string known;
    for (const DefinitionFile& f : DefinitionFiles()) known += " " + std::string(f.name);
    err << "zanarc: " << name << " is not the name of a definition file (known:" << known
        << "; give --as NAME to read a file under one of them)\n";
    return 1;
  }
  auto text = DefinitionTextOf(bytes);
  if (!text) {
    err << "zanarc: " << name << ": " << text.error().message << "\n";
    return 1;
  }
  out << file->name;
  if (file->grammar == DefinitionGrammar::kButtonTable) {
    out << ": " << MeaningOf(file->id).screen << "\n";
  } else if (file->grammar == DefinitionGrammar::kKeyMap) {
    out << ": the actions of the keys and mouse buttons\n";
  } else {
    out << ": the system buttons over the game screen\n";
  }
  out << "read as " << FormName(text->form) << "\n";
  switch (file->grammar) {
    case DefinitionGrammar::kButtonTable: return ShowButtonTable(*file, text->text, out);
    case DefinitionGrammar::kKeyMap: return ShowKeyMap(*file, text->text, out);
    case DefinitionGrammar::kSystemButtons: return ShowSystemButtons(*file, text->text, out, err);
  }
  return 1;
}

}  // namespace zan
