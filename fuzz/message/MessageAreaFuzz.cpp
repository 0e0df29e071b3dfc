// A stored message area record (saves, the backlog) over arbitrary bytes: read it, then lay
// it out, position, type, append to and draw everything it holds.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "surface/Surface.h"
#include "message/MessageArea.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zan;
  // Made once and kept for the whole run.
  static Surface& screen = *new Surface;
  static Surface& glyphs = *new Surface;
  if (!screen.View()) {
    screen.CreateInFormat(320, 240, 565);
    glyphs.CreateInFormat(320, 240, 565);
    glyphs.Alpha().Fill(255);
  }
  std::vector<uint8_t> bytes(MessageAreaRecord::kSize, 0);
  std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
  auto record = std::make_unique<MessageAreaRecord>();
  MessageAreaRecord::Decode(std::span<const uint8_t, MessageAreaRecord::kSize>(bytes), *record);
  TextBuffer& b = record->buffer;
  LayoutSettings s;
  s.alignment = size % 3;
  (void)b.Characters();
  (void)b.SpeakerName();
  for (int32_t i = 0; i < b.Count(); ++i) b.CellPosition(i, s);
  for (int32_t r = 0; r < b.RubyCount(); ++r) b.RubyCharPosition(r, 1, s);
  b.DrawFadeIn(screen, record->windowX, record->windowY, glyphs, 255, s);
  b.DrawFadeIn(screen, 0, 0, glyphs, 100, s);
  b.LayoutLines();
  b.SetCellState(b.RevealCursor(), 1);
  b.AppendText("\x82\xa0\r\nx", 8, 20, {}, s);
  b.AppendIcon(3, 20, {});
  b.LayoutLinesUniform(16);
  b.ShowAll();
  if (!b.IsAllShown() || b.Count() > TextBuffer::kCells) __builtin_trap();
  return 0;
}
