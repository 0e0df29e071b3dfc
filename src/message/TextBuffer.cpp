#include "message/TextBuffer.h"

#include <algorithm>
#include <cstring>

#include "base/ShiftJis.h"
#include "surface/Surface.h"
#include "message/Dirty.h"
#include "message/GlyphRasterizer.h"
#include "message/LineBreakRules.h"
#include "message/MessageLayout.h"

namespace zan {
namespace {

// The text of a fixed char array up to its first NUL.
std::string_view FixedText(const char* chars, size_t size) {
  return std::string_view(chars, strnlen(chars, size));
}

// The first character of text from p (one or two bytes; empty at the end).
std::string_view CharacterAt(std::string_view text, size_t p) {
  if (p >= text.size()) return {};
  const size_t n = IsSjisLeadByte(static_cast<unsigned char>(text[p])) ? 2 : 1;
  return text.substr(p, n);
}

}  // namespace

std::string_view TextCell::Text() const { return FixedText(text, sizeof text); }

int32_t TextCell::Width() const {
  if (kind == kCellBreak) return 0;
  return kind == kCellHalfWidth ? size / 2 : size;
}

void TextBuffer::Clear() { std::memset(static_cast<void*>(this), 0, sizeof *this); }

int32_t TextBuffer::Count() const { return std::clamp(count, 0, kCells); }

int32_t TextBuffer::RubyCount() const { return std::clamp(rubyCount, 0, kRubies); }

int32_t TextBuffer::LineHeight(int32_t line) const {
  return lineHeights[std::clamp(line, 0, kLines - 1)];
}

int32_t TextBuffer::LineEnd(int32_t line) const { return lineEnds[std::clamp(line, 0, kLines - 1)]; }

std::string_view TextBuffer::SpeakerName() const { return FixedText(speaker, sizeof speaker); }

void TextBuffer::SetSpeakerName(std::string_view name) {
  StoreField(speaker, name);
}

bool TextBuffer::AppendText(std::string_view text, int32_t maximum, const LayoutSettings& s) {
  return AppendText(text, maximum, s.fontSize, s.textColour, s);
}

bool TextBuffer::AppendText(std::string_view text, int32_t maximum, int32_t size, Rgb colour,
                                const LayoutSettings& settings) {
  int32_t i = Count();
  int64_t end = int64_t{i} + maximum;
  size_t p = 0;
  const size_t length = text.size();
  // Set by an automatic break; the CR LF that comes right after it is dropped instead of
  // breaking a second time (no empty line). Any character in between clears it, so that a
  // later CR LF of the same text still breaks its line.
  bool wrapped = false;
  auto full = [&] {
    count = kCells;
    LayoutLines();
    return false;
  };
  auto style = [&](TextCell& cell) {
    cell.size = size;
    cell.red = colour.r;
    cell.green = colour.g;
    cell.blue = colour.b;
  };
  while (i < end) {
    if (i >= kCells) return full();
    style(cells[i]);
    if (lineLength >= static_cast<float>(settings.charsPerLine) &&
        !IsLineStartForbidden(CharacterAt(text, p))) {
      TextCell& wrap = cells[i];
      std::memset(wrap.text, 0, sizeof wrap.text);
      wrap.kind = kCellBreak;
      lineLength = 0;
      ++end;
      wrapped = true;
      // The character goes into the very next cell: a continuation line starts flush with
      // the others (no indent cell) and holds the full number of characters.
      if (++i >= kCells) return full();
      style(cells[i]);
    }
    TextCell& cell = cells[i];
    const auto byte = static_cast<unsigned char>(p < length ? text[p] : 0);
    size_t n = 0;
    if (IsSjisLeadByte(byte)) {
      cell.kind = kCellFullWidth;
      n = 2;
      lineLength += 1.0f;
      wrapped = false;
    } else if (byte != '\r') {
      cell.kind = kCellHalfWidth;
      n = 1;
      lineLength += 0.5f;
      wrapped = false;
    } else if (!wrapped) {
      cell.kind = kCellBreak;
      lineLength = 0;
      n = 2;
    } else {
      cell.kind = kCellDroppedBreak;
      lineLength -= 2.0f;
      wrapped = false;
      p += 2;
    }
    if (n > 0 && p < length) std::memcpy(cell.text, text.data() + p, std::min(n, length - p));
    p += n;
    if (p >= length) break;
    ++i;
  }
  count = std::min(i + 1, kCells);
  LayoutLines();
  return true;
}

bool TextBuffer::AppendRubyText(std::string_view text, int32_t maximum, std::string_view ruby,
                                    const LayoutSettings& settings) {
  return AppendRubyText(text, maximum, settings.fontSize, settings.textColour, ruby, settings);
}

bool TextBuffer::AppendRubyText(std::string_view text, int32_t maximum, int32_t size, Rgb colour,
                                    std::string_view ruby, const LayoutSettings& settings) {
  int32_t first = Count();
  const bool result = AppendText(text, maximum, size, colour, settings);
  const int32_t last = Count() - 1;
  // A base that begins a new line starts with the automatic break (and a dropped CR): the
  // ruby goes over its first character, not over the end of the line before, where the
  // break sits and nothing would be drawn.
  while (first < last && (cells[first].kind == kCellBreak || cells[first].kind == kCellDroppedBreak))
    ++first;
  AddRuby(ruby, first, last);
  LayoutLines();
  return result;
}

bool TextBuffer::AddRuby(std::string_view ruby, int32_t first, int32_t last) {
  const int32_t index = RubyCount();
  if (index >= kRubies) return false;
  RubyEntry& entry = rubies[index];
  entry.active = 1;
  entry.first = first;
  entry.last = last;
  StoreField(entry.text, ruby);
  entry.state = (first >= 0 && first < kCells) ? cells[first].state : 0;
  rubyCount = index + 1;
  return true;
}

void TextBuffer::AppendIcon(int32_t row, int32_t size, Rgb colour) {
  const int32_t i = Count();
  if (i >= kCells) return;
  TextCell& cell = cells[i];
  std::memset(cell.text, 0, sizeof cell.text);
  cell.size = size;
  cell.red = colour.r;
  cell.green = colour.g;
  cell.blue = colour.b;
  cell.kind = kCellIcon;
  cell.icon = row;
  count = i + 1;
  LayoutLines();
}

void TextBuffer::Walk(int32_t uniformSize) {
  const int32_t n = Count();
  const bool uniform = uniformSize != 0;
  if (uniform) {
    for (int32_t i = 0; i < n; ++i)
      if (cells[i].size != 0) cells[i].size = uniformSize;
  }
  int32_t x = 0, y = 0, line = 0, height = 0;
  for (int32_t i = 0; i < n; ++i) {
    TextCell& cell = cells[i];
    cell.x = x;
    cell.y = y;
    cell.line = line;
    if (height < cell.size) height = uniform ? cell.size : cell.size + 3;
    if (cell.kind == kCellDroppedBreak) continue;
    const int32_t width = cell.kind == kCellHalfWidth ? cell.size / 2 : cell.size;
    const bool hasNext = i + 1 < n;
    // An opening bracket before a break moves to the next line.
    if (hasNext && cell.kind == kCellFullWidth && IsLineEndForbidden(cell.Text()) &&
        cells[i + 1].kind == kCellBreak)
      std::swap(cells[i], cells[i + 1]);
    x += uniform ? width : width - 1;
    // Closing punctuation after a break stays on the line the break ends, in the break's
    // place: it takes the position just stored in the break (otherwise it would keep where
    // it stood before, or (0, 0) when newly appended, until the next layout).
    if (hasNext && cells[i].kind == kCellBreak && IsLineStartForbidden(cells[i + 1].Text())) {
      std::swap(cells[i], cells[i + 1]);
      cells[i].x = cells[i + 1].x;
      cells[i].y = cells[i + 1].y;
      cells[i].line = cells[i + 1].line;
    }
    if (cells[i].kind == kCellBreak) {
      lineHeights[line] = height;
      lineEnds[line] = i + 1;
      // The arrays hold 20 lines: further lines go on below, sharing the last entry.
      line = std::min(line + 1, kLines - 1);
      x = 0;
      y += height;
      height = 0;
    }
  }
  lineHeights[line] = height;
  for (int32_t r = 0; r < RubyCount(); ++r) {
    if (rubies[r].first < 0 || rubies[r].first >= n) continue;
    rubies[r].x = cells[rubies[r].first].x;
    rubies[r].y = cells[rubies[r].first].y;
  }
}

int32_t TextBuffer::AlignmentOffset(int32_t line, const LayoutSettings& s) const {
  if (line < 0 || line >= kLines) return 0;
  const int32_t n = Count();
  const int32_t start = std::clamp(line > 0 ? lineEnds[line - 1] : 0, 0, n);
  const int32_t end = std::clamp(lineEnds[line] != 0 ? lineEnds[line] : n, start, n);
  int64_t width = 0;
  for (int32_t i = start; i < end; ++i) width += cells[i].Width();
  const int64_t free = int64_t{vertical != 0 ? s.areaHeight : s.areaWidth} - width;
  switch (s.alignment) {
    case 1: return static_cast<int32_t>(free / 2);
    case 2: return static_cast<int32_t>(free);
    default: return 0;
  }
}

TextPoint TextBuffer::CellPosition(int32_t index, const LayoutSettings& s) const {
  if (index < 0 || index >= kCells) return {};
  const TextCell& cell = cells[index];
  const int32_t line = std::clamp(cell.line, 0, kLines - 1);
  const int32_t extra = (s.lineGapOn ? s.lineGap : 0) + (s.rubySpaceOn ? s.rubySize : 0);
  const int32_t x = cell.x + AlignmentOffset(line, s) + s.xOffset;
  const int32_t y = cell.y + extra * (line + 1) + s.yOffset;
  if (vertical == 0) return {x, y + (lineHeights[line] - cell.size)};
  return {s.areaWidth - cell.size - y + (cell.size - lineHeights[line]), x};
}

TextPoint TextBuffer::RubyCharPosition(int32_t ruby, int32_t j, const LayoutSettings& s) const {
  if (ruby < 0 || ruby >= kRubies) return {};
  const RubyEntry& entry = rubies[ruby];
  const int32_t n = Count();
  if (entry.first < 0 || entry.first >= n) return {};
  const int32_t last = std::clamp(entry.last, entry.first, n - 1);
  int32_t width = 0;
  for (int32_t i = entry.first; i <= last; ++i) width += cells[i].Width();
  const TextPoint base = CellPosition(entry.first, s);
  const TextCell& first = cells[entry.first];
  const int32_t h = lineHeights[std::clamp(first.line, 0, kLines - 1)];
  const auto length = static_cast<int32_t>(FixedText(entry.text, sizeof entry.text).size());
  const int32_t k = width / 2 + 5 * j - 5 * length / 2;
  if (vertical == 0) return {base.x + k, base.y - s.rubySize + (first.size - h)};
  return {base.x + h, base.y + k};
}

bool TextBuffer::SetCellState(int32_t cell, int32_t state) {
  if (cell < 0 || cell >= Count()) return false;
  cells[cell].state = state;
  for (int32_t r = 0; r < RubyCount(); ++r)
    if (rubies[r].first == cell) rubies[r].state = state;
  return true;
}

bool TextBuffer::ShowAll() {
  const int32_t n = Count();
  for (int32_t i = 0; i < n; ++i) cells[i].state = kShown;
  for (int32_t r = 0; r < RubyCount(); ++r) rubies[r].state = kShown;
  if (reveal == n) return false;
  reveal = n;
  return true;
}

bool TextBuffer::IsAllShown() const {
  const int32_t n = Count();
  return reveal >= n && (n == 0 || cells[n - 1].state >= kShown);
}

void TextBuffer::StartMark(int32_t mark, int32_t first) {
  if (mark < 0 || mark >= kMarks) return;
  marks[mark].active = 1;
  marks[mark].first = first < 0 ? Count() : first;
}

void TextBuffer::EndMark(int32_t mark, int32_t last) {
  if (mark < 0 || mark >= kMarks) return;
  marks[mark].last = last < 0 ? Count() - 1 : last;
}

void TextBuffer::SetMarkText(int32_t mark, std::string_view text) {
  if (mark < 0 || mark >= kMarks) return;
  StoreField(marks[mark].text, text);
}

const ChoiceMark* TextBuffer::Mark(int32_t mark) const {
  if (mark < 0 || mark >= kMarks) return nullptr;
  return &marks[mark];
}

std::string TextBuffer::Characters() const {
  std::string out;
  const int32_t n = Count();
  for (int32_t i = 0; i < n; ++i) {
    const TextCell& cell = cells[i];
    if (cell.kind == kCellBreak) out += "\r\n";
    else if (cell.kind == kCellFullWidth || cell.kind == kCellHalfWidth) out += cell.Text();
  }
  return out;
}

void TextBuffer::Sanitize() {
  // Sizes and positions far beyond any screen would only overflow the arithmetic.
  constexpr int32_t kLimit = 100000;
  count = Count();
  rubyCount = RubyCount();
  reveal = std::clamp(reveal, 0, count);
  vertical = vertical != 0 ? 1 : 0;
  for (TextCell& cell : cells) {
    cell.size = std::clamp(cell.size, 0, 1000);
    cell.x = std::clamp(cell.x, -kLimit, kLimit);
    cell.y = std::clamp(cell.y, -kLimit, kLimit);
    cell.line = std::clamp(cell.line, 0, kLines - 1);
    cell.state = std::clamp(cell.state, 0, kShown);
  }
  for (int32_t& h : lineHeights) h = std::clamp(h, 0, kLimit);
  for (int32_t& e : lineEnds) e = std::clamp(e, 0, kCells);
  for (RubyEntry& r : rubies) {
    r.state = std::clamp(r.state, 0, kShown);
    r.x = std::clamp(r.x, -kLimit, kLimit);
    r.y = std::clamp(r.y, -kLimit, kLimit);
  }
}

// --- Drawing ---------------------------------------------------------------------------------

bool TextBuffer::RenderText(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
                            MessageLayout& layout) {
  return Render(surface, x0, y0, read, clear, layout, true);
}

bool TextBuffer::RenderTextAt(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
                              MessageLayout& layout) {
  return Render(surface, x0, y0, read, clear, layout, false);
}

bool TextBuffer::Render(Surface& surface, int32_t x0, int32_t y0, bool read, bool clear,
                        MessageLayout& layout, bool withOffsets) {
  if (!surface.View()) return false;
  if (clear) {
    surface.FillAll(0, 0, 0);
    surface.Alpha().Fill(0);
  }
  DrawCells(surface, x0, y0, read, layout, withOffsets);
  return true;
}

void TextBuffer::DrawCells(Surface& surface, int32_t x0, int32_t y0, bool read,
                            MessageLayout& layout, bool withOffsets) {
  GlyphRasterizer* r = layout.Rasterizer();
  if (r == nullptr) return;
  const LayoutSettings& s = layout.Settings();
  r->SetWeight(10);
  r->SetStyle(s.style);
  r->SetFaceName(s.faceName);
  // Positions of the text alone, without the layout's offsets.
  if (!withOffsets) {
    x0 -= s.xOffset;
    y0 -= s.yOffset;
  }
  const int32_t n = Count();
  for (int32_t i = 0; i < n; ++i) {
    const TextCell& cell = cells[i];
    if (cell.kind == kCellBreak) continue;
    const TextPoint at = CellPosition(i, s);
    const Rgb colour = read ? s.readTextColour : cell.Colour();
    r->SetGlyphColor(colour.r, colour.g, colour.b);
    if (cell.kind == kCellIcon) {
      layout.DrawIcon(surface, x0 + at.x, y0 + at.y, cell.icon, cell.size);
    } else if (!cell.Text().empty()) {
      r->SetPenPos(x0 + at.x, y0 + at.y);
      r->SetGlyphSize(cell.kind == kCellHalfWidth ? cell.size / 2 : cell.size, cell.size);
      r->DrawString(surface, cell.Text());
    }
    for (int32_t k = 0; k < RubyCount(); ++k) {
      const RubyEntry& ruby = rubies[k];
      if (ruby.first != i) continue;
      r->SetGlyphSize(s.rubySize, s.rubySize);
      const std::string_view text = FixedText(ruby.text, sizeof ruby.text);
      for (size_t j = 0; j < text.size();) {
        const std::string_view ch = CharacterAt(text, j);
        const TextPoint p = RubyCharPosition(k, static_cast<int32_t>(j), s);
        r->SetPenPos(x0 + p.x, y0 + p.y);
        r->DrawString(surface, ch);
        j += ch.size();
      }
    }
  }
}

void TextBuffer::DrawFadeIn(Surface& target, int32_t x0, int32_t y0,
                             Surface& glyphs, int32_t alpha, const LayoutSettings& s) {
  const int32_t n = Count();
  auto copy = [&](int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t state,
                  bool fading) {
    if (alpha == 255 && !fading) {
      target.Blt(dx, dy, w, h, glyphs, sx, sy, 2);
      return;
    }
    int32_t opacity;
    if (fading) {
      const int32_t a = alpha == 255 ? state : alpha * state / 255;
      opacity = a * 255 / 10;
    } else {
      opacity = (alpha * state / 255 * 255) / 10;
    }
    target.BitBltAlpha(dx, dy, w, h, glyphs, sx, sy, static_cast<uint8_t>(std::clamp(opacity, 0, 255)));
    MarkDirty(target, dx, dy, w, h);
  };
  for (int32_t i = 0; i < n; ++i) {
    TextCell& cell = cells[i];
    if (cell.state <= 0) continue;
    const bool fading = cell.state < kShown;
    if (fading) cell.state += 1;
    // Breaks draw nothing; their state only moves on with the others.
    if (cell.kind == kCellBreak || cell.kind == kCellDroppedBreak) continue;
    TextPoint at = CellPosition(i, s);
    int32_t dx = x0 + at.x, dy = y0 + at.y;
    if (fading) {
      at = {std::max(at.x, 0), std::max(at.y, 0)};
      dx = std::max(dx, 0);
      dy = std::max(dy, 0);
    }
    // The cell's own square: a half-width cell is half as wide (or tall, written vertically),
    // so that the next character is not revealed with it.
    const int32_t across = cell.Width();
    const int32_t w = vertical != 0 ? cell.size : across;
    const int32_t h = vertical != 0 ? across : cell.size;
    copy(dx, dy, w, h, at.x, at.y, cell.state, fading);
  }
  for (int32_t k = 0; k < RubyCount(); ++k) {
    RubyEntry& ruby = rubies[k];
    if (ruby.first < 0 || ruby.first >= n) continue;
    const int32_t state = cells[ruby.first].state;
    ruby.state = state;
    if (state <= 0) continue;
    int32_t opacity = state * 255 / 10;
    const std::string_view text = FixedText(ruby.text, sizeof ruby.text);
    for (size_t j = 0; j < text.size();) {
      const std::string_view ch = CharacterAt(text, j);
      const TextPoint p = RubyCharPosition(k, static_cast<int32_t>(j), s);
      const int32_t w = s.rubySize / 2 * static_cast<int32_t>(ch.size());
      if (alpha == 255 && state >= kShown) {
        target.Blt(x0 + p.x, y0 + p.y, w, s.rubySize, glyphs, p.x, p.y, 2);
      } else {
        if (alpha != 255) opacity = opacity * alpha / 255;
        target.BitBltAlpha(x0 + p.x, y0 + p.y, w, s.rubySize, glyphs, p.x, p.y,
                           static_cast<uint8_t>(std::clamp(opacity, 0, 255)));
        MarkDirty(target, x0 + p.x, y0 + p.y, w, s.rubySize);
      }
      j += ch.size();
    }
  }
}

}  // namespace zan
