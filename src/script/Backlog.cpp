#include "script/Backlog.h"

#include <algorithm>

namespace zan {

void Backlog::Clear() {
  for (Voices& page : voices_) page = {};
  count_ = 0;
  writeIndex_ = 0;
}

void Backlog::SetVoice(int32_t k, std::string_view file) {
  if (k < 0 || k >= kVoices) return;
  voices_[static_cast<size_t>(writeIndex_)][static_cast<size_t>(k)] = file;
}

void Backlog::NextPage() {
  count_ = std::min(count_ + 1, kMaxPages);
  writeIndex_ = (writeIndex_ + 1) % kSlots;
  voices_[static_cast<size_t>(writeIndex_)] = {};
}

const Backlog::Voices& Backlog::PageVoices(int32_t k) const {
  // Until the ring is full the pages are its first slots; then the oldest page is the one
  // after the write index.
  const int32_t slot = count_ < kMaxPages ? k : (k + writeIndex_ + 1) % kSlots;
  return voices_[static_cast<size_t>(std::clamp(slot, 0, kSlots - 1))];
}

}  // namespace zan
