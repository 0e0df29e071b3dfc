#pragma once
// TextBuffer: one message laid out cell by cell. A cell is one character (double-byte or
// single-byte), a line break or an inline icon, with its own size, colour, position and
// display state. Appending breaks lines automatically after the layout's characters per
// line and follows the line-breaking rules; ruby is attached to a range of cells; layout
// computes positions, line heights and alignment, horizontally or in vertical writing.
//
// The buffer is a fixed little-endian record of 21172 bytes that saves and the backlog
// store byte for byte (MessageAreaRecord). A record read from a file may hold anything:
// every operation keeps its indexes inside the arrays.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pixels/PixelFormat.h"

namespace zan {

class Surface;
class MessageLayout;

// The settings a buffer is appended to, laid out and drawn with (MessageLayout keeps them).
struct LayoutSettings {
  int32_t style = 2;             // rasteriser style (0..5)
  int32_t xOffset = 0;           // added to every cell's x
  int32_t yOffset = 0;           // added to every cell's y
  int32_t charsPerLine = 30;     // automatic break, in full-width units
  int32_t fontSize = 18;         // of appended cells, pixels
  Rgb textColour{255, 255, 255};
  Rgb readTextColour{0, 255, 255};
  int32_t alignment = 0;         // 0 start, 1 centre, 2 end of the line
  int32_t areaWidth = 800;       // alignment width in horizontal writing
  int32_t areaHeight = 400;      // alignment width in vertical writing
  std::string faceName;
  int32_t vertical = 0;          // for DrawPlainText
  int32_t lineGapOn = 1;
  int32_t rubySpaceOn = 1;
  int32_t lineGap = 0;           // pixels
  int32_t rubySize = 10;         // pixels
};

enum CellKind : int32_t {
  kCellFullWidth = 0,
  kCellHalfWidth = 1,
  kCellBreak = 2,
  kCellDroppedBreak = 3,  // a CR after an automatic break: no advance, draws nothing
  kCellIcon = 4,
};

struct TextCell {
  char text[4];       // one or two bytes of the character, or a manual break's CR LF
  int32_t kind;
  int32_t size;       // pixels; a half-width cell is size / 2 wide
  int32_t x;          // from the start of its line
  int32_t y;          // from the top of the text to the top of its line
  uint8_t red, green, blue;
  uint8_t zero;
  int32_t line;
  int32_t icon;       // icon list row, -1 when absent
  int32_t state;      // 0 hidden, 1..9 fading in, 10 or more shown

  std::string_view Text() const;
  Rgb Colour() const { return {red, green, blue}; }
  // The advance of the cell in alignment widths: 0 for a break, size / 2 half-width.
  int32_t Width() const;
};

struct RubyEntry {
  int32_t active;
  int32_t first;
  int32_t last;
  char text[32];
  int32_t x;
  int32_t y;
  int32_t state;
};

struct ChoiceMark {
  int32_t active;
  int32_t first;
  int32_t last;
  char text[260];
};

struct TextPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const TextPoint&, const TextPoint&) = default;
};

class TextBuffer {
 public:
  static constexpr int32_t kCells = 400;
  static constexpr int32_t kLines = 20;
  static constexpr int32_t kRubies = 20;
  static constexpr int32_t kMarks = 20;
  static constexpr int32_t kShown = 10;  // display state of a fully shown cell

  // Every byte 0, the speaker name included.
  void Clear();

  // Appends Shift-JIS text (CR LF breaks lines) as at most `maximum` cells; false when the
  // buffer became full (it keeps 400 cells). Lays the buffer out.
  bool AppendText(std::string_view text, int32_t maximum, int32_t size, Rgb colour,
                  const LayoutSettings& settings);
  // In the settings' size and colour.
  bool AppendText(std::string_view text, int32_t maximum, const LayoutSettings& settings);
  // Appends in the settings' size and colour with `ruby` over the new cells (from the first
  // character: an automatic break the text begins with stays outside the ruby).
  bool AppendRubyText(std::string_view text, int32_t maximum, std::string_view ruby,
                      const LayoutSettings& settings);
  // The same in the given size and colour.
  bool AppendRubyText(std::string_view text, int32_t maximum, int32_t size, Rgb colour,
                      std::string_view ruby, const LayoutSettings& settings);
  // False (nothing added) when all 20 rubies exist.
  bool AddRuby(std::string_view ruby, int32_t first, int32_t last);
  // An inline icon of the icon list's row (-1: none, it keeps its width and draws nothing)
  // in the given size and colour. A full buffer takes none.
  void AppendIcon(int32_t row, int32_t size, Rgb colour);

  void LayoutLines() { Walk(0); }
  // Every sized cell at `size`, lines as high as their largest cell, no overlap.
  void LayoutLinesUniform(int32_t size) { Walk(size); }

  TextPoint CellPosition(int32_t cell, const LayoutSettings& settings) const;
  TextPoint RubyCharPosition(int32_t ruby, int32_t byteOffset, const LayoutSettings& settings) const;
  int32_t AlignmentOffset(int32_t line, const LayoutSettings& settings) const;

  // False when the cell does not exist. A ruby takes the state of its first cell.
  bool SetCellState(int32_t cell, int32_t state);
  // Every cell shown and the reveal cursor at the count: true when the cursor moved.
  bool ShowAll();
  // Every cell revealed and the last one done fading in.
  bool IsAllShown() const;

  // Choice marks 0..19: a cell range registered under a choice's index.
  void StartMark(int32_t mark, int32_t first);  // -1: the current count
  void EndMark(int32_t mark, int32_t last);     // -1: the last cell
  void SetMarkText(int32_t mark, std::string_view text);
  const ChoiceMark* Mark(int32_t mark) const;

  // Draws every cell once into a surface (its glyphs at their positions plus (x0, y0));
  // the read switch draws characters in the read-text colour. False when the surface holds
  // no pixels.
  bool RenderText(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
                  MessageLayout& layout);
  // The same without the layout's offsets (the text at its own layout position).
  bool RenderTextAt(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
                    MessageLayout& layout);
  // Copies the revealed cells from the glyph surface to the target at (x0, y0), fading each
  // in over nine frames (a fading cell's state advances by one per call); `alpha` scales it
  // all (255: as they are).
  void DrawFadeIn(Surface& target, int32_t x0, int32_t y0, Surface& glyphs,
                  int32_t alpha, const LayoutSettings& settings);

  // The characters in order, a break as CR LF; dropped breaks and icons left out.
  std::string Characters() const;
  // Keeps every index and number of a record read from a file inside its range.
  void Sanitize();

  int32_t Count() const;
  const TextCell& Cell(int32_t index) const { return cells[index]; }
  std::string_view SpeakerName() const;
  void SetSpeakerName(std::string_view name);  // cut to 31 bytes at a character boundary
  bool Vertical() const { return vertical != 0; }
  void SetVertical(int32_t flag) { vertical = flag ? 1 : 0; }
  int32_t RevealCursor() const { return reveal; }
  void SetRevealCursor(int32_t cursor) { reveal = cursor; }
  float LineLength() const { return lineLength; }
  int32_t LineHeight(int32_t line) const;
  int32_t LineEnd(int32_t line) const;
  int32_t RubyCount() const;
  const RubyEntry& Ruby(int32_t index) const { return rubies[index]; }

  // The stored layout (public so that its offsets can be checked).
  TextCell cells[kCells];
  int32_t count;
  float lineLength;
  int32_t lineHeights[kLines];
  int32_t lineEnds[kLines];
  RubyEntry rubies[kRubies];
  int32_t rubyCount;
  ChoiceMark marks[kMarks];
  int32_t vertical;
  char speaker[32];
  int32_t reveal;

 private:
  void Walk(int32_t uniformSize);
  bool Render(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
              MessageLayout& layout, bool withOffsets);
  void DrawCells(Surface& surface, int32_t x0, int32_t y0, bool read,
                 MessageLayout& layout, bool withOffsets);
};

static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(float) == 4);
static_assert(sizeof(TextCell) == 36);
static_assert(offsetof(TextCell, kind) == 4 && offsetof(TextCell, red) == 20 &&
              offsetof(TextCell, line) == 24 && offsetof(TextCell, state) == 32);
static_assert(sizeof(RubyEntry) == 56 && offsetof(RubyEntry, x) == 44);
static_assert(sizeof(ChoiceMark) == 272);
static_assert(offsetof(TextBuffer, count) == 14400);
static_assert(offsetof(TextBuffer, lineLength) == 14404);
static_assert(offsetof(TextBuffer, lineHeights) == 14408);
static_assert(offsetof(TextBuffer, lineEnds) == 14488);
static_assert(offsetof(TextBuffer, rubies) == 14568);
static_assert(offsetof(TextBuffer, rubyCount) == 15688);
static_assert(offsetof(TextBuffer, marks) == 15692);
static_assert(offsetof(TextBuffer, vertical) == 21132);
static_assert(offsetof(TextBuffer, speaker) == 21136);
static_assert(offsetof(TextBuffer, reveal) == 21168);
static_assert(sizeof(TextBuffer) == 21172);

}  // namespace zan
