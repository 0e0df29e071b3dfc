#pragma once
// MessageLayout: the layout settings that the script's window commands change (font size
// and colours, text home, alignment, vertical writing, face), the icon list of
// "iconlist.csv", and plain text drawing for the name plate and the screens. Text buffers
// are appended to, laid out and drawn with its settings.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pixels/PixelFormat.h"
#include "message/TextBuffer.h"

namespace zan {

class Surface;
class GameData;
class GlyphRasterizer;

class MessageLayout {
 public:
  static constexpr size_t kMaxIcons = 100;

  // A row of "iconlist.csv": the name used in message text and the icon's picture file.
  struct Icon {
    std::string name;
    std::string file;
  };
  // The rows of the text of "iconlist.csv" (see LoadIconList).
  static std::vector<Icon> ReadIconList(std::string_view text);

  MessageLayout() = default;
  // Draws through `rasterizer` and loads icons through `data` (either may be null: nothing
  // is drawn, no icon loads).
  MessageLayout(GlyphRasterizer* rasterizer, GameData* data) : rasterizer_(rasterizer), data_(data) {}

  LayoutSettings& Settings() { return settings_; }
  const LayoutSettings& Settings() const { return settings_; }
  GlyphRasterizer* Rasterizer() { return rasterizer_; }

  // Reads "iconlist.csv" (table archive): a header line, then rows of an unused field, the
  // icon name and the picture file, up to 100 rows. A missing file leaves the list empty.
  void LoadIconList();
  // The row of an icon name, or -1.
  int32_t FindIcon(std::string_view name) const;
  size_t IconCount() const { return icons_.size(); }
  // Draws the picture of icon `row` at (x, y), scaled to `width` pixels across; false when
  // the row or its picture is missing.
  bool DrawIcon(Surface& target, int32_t x, int32_t y, int32_t row, int32_t width);

  // Vertical writing for DrawPlainText; the rasteriser turns its glyphs by 270 degrees.
  void SetVertical(int32_t flag);
  void SetFaceName(std::string_view face);
  // The text colour and the read-text colour (taken from the settings block).
  void SetColours(Rgb text, Rgb read) {
    settings_.textColour = text;
    settings_.readTextColour = read;
  }

  // Draws text without a buffer: every character but CR at size x size (a double-byte one
  // advances size, a single-byte one size / 2); CR LF starts the next line `size` lower.
  // In vertical mode lines run downward from the right. False when the surface holds no
  // pixels.
  bool DrawPlainText(std::string_view text, Surface& surface, int32_t x, int32_t y, int32_t size,
                     Rgb colour);
  bool DrawPlainText(std::string_view text, Surface& surface, int32_t x, int32_t y, int32_t size) {
    return DrawPlainText(text, surface, x, y, size, settings_.textColour);
  }

 private:
  LayoutSettings settings_;
  std::vector<Icon> icons_;
  GlyphRasterizer* rasterizer_ = nullptr;
  GameData* data_ = nullptr;
};

}  // namespace zan
