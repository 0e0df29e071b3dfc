#pragma once
// HeadlessAudioOut: no device. While open, every step of the virtual clock pulls the frames
// that fall due up to the new time (44.1 frames a millisecond, counted exactly from the
// open), before the timers due at that time run, so streaming refills see the play cursors
// a real device would show.

#include <cstdint>
#include <vector>

#include "platform/AudioOut.h"

namespace zan {

class VirtualClock;

class HeadlessAudioOut : public AudioOut {
 public:
  explicit HeadlessAudioOut(VirtualClock& clock);

  AudioOpenResult Open(Source source) override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  // Frames pulled since the open.
  uint64_t FramesPulled() const { return pulled_; }

 private:
  void OnAdvance(uint64_t now);

  VirtualClock& clock_;
  Source source_;
  bool open_ = false;
  uint64_t openedAt_ = 0;  // clock time of the open, ms
  uint64_t pulled_ = 0;
  std::vector<int16_t> block_;
};

}  // namespace zan
