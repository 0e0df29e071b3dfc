#include "script/Backlog.h"

#include <algorithm>
#include <cstring>

#include "message/GlyphRasterizer.h"
#include "message/MessageLayout.h"

namespace zan {

Backlog::Backlog() : pages_(kSlots) { Clear(); }

void Backlog::Clear() {
  for (MessageAreaRecord& page : pages_) std::memset(static_cast<void*>(&page), 0, sizeof page);
  for (Voices& page : voices_) page = {};
  count_ = 0;
  writeIndex_ = 0;
}

void Backlog::SetVoice(int32_t k, std::string_view file) {
  if (k < 0 || k >= kVoices) return;
  voices_[static_cast<size_t>(writeIndex_)][static_cast<size_t>(k)] = file;
}

void Backlog::Record(const MessageAreaRecord& page, MessageLayout& layout) {
  MessageAreaRecord& copy = pages_[static_cast<size_t>(writeIndex_)];
  copy = page;
  // The backlog draws the page whole, not typed out.
  TextBuffer& b = copy.buffer;
  for (TextCell& cell : b.cells) cell.state = 0;
  for (RubyEntry& ruby : b.rubies) ruby.state = 0;
  b.SetRevealCursor(0);
  layout.SetVertical(0);
  layout.SetFaceName(GlyphRasterizer::DefaultFace());
  layout.Settings().alignment = 0;
  b.LayoutLinesUniform(kTextSize);
  count_ = std::min(count_ + 1, kMaxPages);
  writeIndex_ = (writeIndex_ + 1) % kSlots;
  // The voices of the slot's old page would otherwise pass for the next page's.
  voices_[static_cast<size_t>(writeIndex_)] = {};
}

size_t Backlog::Slot(int32_t k) const {
  // Until the ring is full the pages are its first slots; then the oldest page is the one
  // after the write index.
  const int32_t slot = count_ < kMaxPages ? k : (k + writeIndex_ + 1) % kSlots;
  return static_cast<size_t>(std::clamp(slot, 0, kSlots - 1));
}

void ClearPage(MessageAreas& areas, Backlog& history, int32_t index) {
  MessageArea& area = areas.Area(index);
  if (areas.Current().HoldsText()) history.Record(area.Record(), areas.Layout());
  area.Clear();
  areas.ClearNamePlate();
}

}  // namespace zan
