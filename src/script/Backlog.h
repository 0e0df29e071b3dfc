#pragma once
// The backlog ring as far as voices go: for each of the last pages, the voice files that
// were loaded into the voice channels 6 to 10 while the page was shown, so the backlog can
// play a page's voices again. The ring has 100 slots; the slot at the write index is the
// page being shown now, and at most 99 finished pages are kept before it.
//
// The page texts join the same slots when the backlog screen is built; until then a
// finished page keeps only its voices.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zan {

class Backlog {
 public:
  static constexpr int32_t kSlots = 100;
  static constexpr int32_t kMaxPages = 99;
  static constexpr int32_t kVoices = 5;  // voice channels 6 to 10
  using Voices = std::array<std::string, kVoices>;

  // No pages, no voices.
  void Clear();
  // Voice `k` (0..4) of the page being shown; other indexes are ignored.
  void SetVoice(int32_t k, std::string_view file);
  const Voices& CurrentVoices() const { return voices_[static_cast<size_t>(writeIndex_)]; }
  // The page being shown is finished and kept; the next slot, emptied of the voices of the
  // page it held a hundred pages ago, is the page shown next.
  void NextPage();

  int32_t Count() const { return count_; }
  int32_t WriteIndex() const { return writeIndex_; }
  // The voices of kept page `k`, 0 the oldest, Count() - 1 the newest.
  const Voices& PageVoices(int32_t k) const;

 private:
  std::array<Voices, kSlots> voices_;
  int32_t count_ = 0;
  int32_t writeIndex_ = 0;
};

}  // namespace zan
