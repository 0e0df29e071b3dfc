#pragma once
// What a game says of itself in "game.csv" of its data archive (dat.arc): the window title,
// and the message window's colours a new player starts with. A header line, then one row
// each, the name first (ASCII, any case):
//
//   title,星を拾った夜               the window title: the rest of the row, commas included
//   window_colour,r,g,b              the colour the window picture is tinted with
//   window_opacity,n                 the window's opacity, 0..255
//   text_colour,r,g,b                new text
//   read_text_colour,r,g,b           text read in an earlier play
//
// Every row is optional. A game without the file keeps the engine's own title and colours.
// The colours are the defaults of the settings: once "option.dat" has been written, the
// player's stored values win. A row that cannot be read is logged and left out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zan {

class GameData;
struct OptionsBlock;

struct GameSettings {
  using Colour = std::array<uint8_t, 3>;  // red, green, blue
  std::string titleSjis;                  // empty: the game names none
  std::optional<Colour> windowColour;
  std::optional<uint8_t> windowOpacity;
  std::optional<Colour> textColour;
  std::optional<Colour> readTextColour;

  // Parses the file's bytes (Shift-JIS, CR LF or LF).
  static GameSettings Parse(std::string_view text);
  // Reads "game.csv" from the data archive; a game without one gets empty settings and no
  // report in its error log.
  static GameSettings Load(GameData& data);

  // The colours named here replace the defaults of a fresh settings block.
  void ApplyDefaults(OptionsBlock& options) const;
};

// The file's name in dat.arc.
inline constexpr const char* kGameSettingsFile = "game.csv";
// The longest title kept, in bytes (cut at a character boundary).
inline constexpr size_t kMaxTitleBytes = 255;

}  // namespace zan
