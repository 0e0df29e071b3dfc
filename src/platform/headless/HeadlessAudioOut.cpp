#include "platform/headless/HeadlessAudioOut.h"

#include <algorithm>

#include "platform/VirtualClock.h"

namespace zan {
namespace {
constexpr size_t kBlockFrames = 4096;
}

HeadlessAudioOut::HeadlessAudioOut(VirtualClock& clock) : clock_(clock) {
  // The listener lives as long as the clock's platform; it does nothing while closed.
  clock_.AddAdvanceListener([this](uint64_t now) { OnAdvance(now); });
}

AudioOpenResult HeadlessAudioOut::Open(Source source) {
  if (open_) return AudioOpenResult::kAlreadyOpen;
  source_ = std::move(source);
  openedAt_ = clock_.Now64();
  pulled_ = 0;
  open_ = true;
  return AudioOpenResult::kOpened;
}

void HeadlessAudioOut::Close() {
  open_ = false;
  source_ = nullptr;
}

void HeadlessAudioOut::OnAdvance(uint64_t now) {
  if (!open_ || now < openedAt_) return;
  const uint64_t due = (now - openedAt_) * kRate / 1000;
  while (open_ && pulled_ < due) {
    const size_t frames = static_cast<size_t>(std::min<uint64_t>(due - pulled_, kBlockFrames));
    block_.resize(frames * kChannels);
    Pull(source_, block_.data(), frames);
    pulled_ += frames;
  }
}

}  // namespace zan
