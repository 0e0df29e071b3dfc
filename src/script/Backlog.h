#pragma once
// The backlog ring: for each of the last pages, a copy of its message area record (laid out
// again for the backlog) and the voice files that were loaded into the voice channels 6 to
// 10 while the page was shown, so the backlog can show a page and play its voices again.
// The ring has 100 slots; the slot at the write index is the page being shown now, and at
// most 99 finished pages are kept before it. The ring is not part of a save.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "message/MessageArea.h"

namespace zan {

class MessageLayout;

class Backlog {
 public:
  static constexpr int32_t kSlots = 100;
  static constexpr int32_t kMaxPages = 99;
  static constexpr int32_t kVoices = 5;  // voice channels 6 to 10
  static constexpr int32_t kTextSize = 18;  // the backlog lays every page out at this size
  using Voices = std::array<std::string, kVoices>;

  Backlog();

  // No pages, no voices.
  void Clear();
  // Voice `k` (0..4) of the page being shown; other indexes are ignored.
  void SetVoice(int32_t k, std::string_view file);
  const Voices& CurrentVoices() const { return voices_[static_cast<size_t>(writeIndex_)]; }
  // A finished page (a message area or the choice area) is kept in the slot at the write
  // index: its presentation state reset, laid out again at 18 pixels. The layout is left
  // horizontal, in the default face and aligned to the start, as the backlog draws. The
  // next slot, emptied of the voices of the page it held a hundred pages ago, is the page
  // shown next.
  void Record(const MessageAreaRecord& page, MessageLayout& layout);

  int32_t Count() const { return count_; }
  int32_t WriteIndex() const { return writeIndex_; }
  // Kept page `k`, 0 the oldest, Count() - 1 the newest: its record and its voices.
  const MessageAreaRecord& Page(int32_t k) const { return pages_[Slot(k)]; }
  const Voices& PageVoices(int32_t k) const { return voices_[Slot(k)]; }

 private:
  size_t Slot(int32_t k) const;

  std::vector<MessageAreaRecord> pages_;  // kSlots records of 21260 bytes
  std::array<Voices, kSlots> voices_;
  int32_t count_ = 0;
  int32_t writeIndex_ = 0;
};

// Finishes the page of area `index` ("WinClear", a finished choice): when the current area
// holds text, area `index` goes into the history; then the area and the name plate are
// cleared.
void ClearPage(MessageAreas& areas, Backlog& history, int32_t index);

}  // namespace zan
