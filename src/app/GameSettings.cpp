#include "app/GameSettings.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "script/Options.h"

namespace zan {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t comma = text.find(',');
    fields.push_back(Trim(text.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

std::optional<uint8_t> ParseByte(std::string_view text) {
  unsigned value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || value > 255)
    return std::nullopt;
  return static_cast<uint8_t>(value);
}

std::optional<GameSettings::Colour> ParseColour(std::string_view text) {
  const auto fields = SplitFields(text);
  if (fields.size() != 3) return std::nullopt;
  GameSettings::Colour colour{};
  for (size_t i = 0; i < 3; ++i) {
    const auto part = ParseByte(fields[i]);
    if (!part) return std::nullopt;
    colour[i] = *part;
  }
  return colour;
}

}  // namespace

GameSettings GameSettings::Parse(std::string_view text) {
  GameSettings settings;
  size_t row = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (++row == 1 || Trim(line).empty()) continue;  // the header line

    const size_t comma = line.find(',');
    const std::string_view name = Trim(line.substr(0, comma));
    const std::string_view rest = comma == std::string_view::npos ? "" : line.substr(comma + 1);
    const std::string shownName = SjisToUtf8(name);
    auto refuse = [&](const char* why) {
      ZAN_WARN("%s: row %zu (%s): %s; left out", kGameSettingsFile, row, shownName.c_str(), why);
    };
    if (EqualsNoCase(name, "title")) {
      const std::string_view title = CutToCharacters(Trim(rest), kMaxTitleBytes);
      if (title.empty()) refuse("no title");
      else settings.titleSjis = title;
    } else if (EqualsNoCase(name, "window_opacity")) {
      const auto opacity = ParseByte(Trim(rest));
      if (!opacity) refuse("not a number from 0 to 255");
      else settings.windowOpacity = opacity;
    } else if (EqualsNoCase(name, "window_colour") || EqualsNoCase(name, "text_colour") ||
               EqualsNoCase(name, "read_text_colour")) {
      const auto colour = ParseColour(rest);
      if (!colour) {
        refuse("not three numbers red, green, blue from 0 to 255");
        continue;
      }
      if (EqualsNoCase(name, "window_colour")) settings.windowColour = colour;
      else if (EqualsNoCase(name, "text_colour")) settings.textColour = colour;
      else settings.readTextColour = colour;
    } else {
      refuse("unknown name");
    }
  }
  return settings;
}

GameSettings GameSettings::Load(GameData& data) {
  if (!data.GameFileExists(kGameSettingsFile, kSlotTables)) return {};
  std::vector<uint8_t> bytes;
  if (!data.ReadGameFile(kGameSettingsFile, kSlotTables, bytes)) return {};
  return Parse(AsText(bytes));
}

void GameSettings::ApplyDefaults(OptionsBlock& options) const {
  auto copy = [](const std::optional<Colour>& from, uint8_t (&to)[3]) {
    if (from) std::copy(from->begin(), from->end(), to);
  };
  copy(windowColour, options.windowTint);
  if (windowOpacity) options.windowOpacity = *windowOpacity;
  copy(textColour, options.textColour);
  copy(readTextColour, options.readTextColour);
}

}  // namespace zan
