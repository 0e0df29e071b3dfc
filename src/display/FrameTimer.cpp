#include "display/FrameTimer.h"

namespace zan {

FrameTimer::FrameTimer(Clock& clock) : clock_(clock) {}

void FrameTimer::SetFrameRate(uint32_t rate) {
  base_ = clock_.Milliseconds();
  waitedTotal_ = 0;
  times_.fill(0);
  waits_.fill(0);
  ringPosition_ = 0;
  frames_ = 0;
  late_ = 0;
  lateLastSecond_ = 0;
  lateThisSecond_ = 0;
  accumulator_ = 0;
  rate_ = rate;
  if (rate != 0) interval_ = 65536000 / rate;
}

void FrameTimer::PaceFrame() {
  const uint32_t now = clock_.Milliseconds();
  if (rate_ != 0 && frames_ % rate_ == 0) {
    lateLastSecond_ = lateThisSecond_;
    lateThisSecond_ = 0;
  }
  const uint32_t slot = ringPosition_ & (kRing - 1);
  times_[slot] = now;
  if (++ringPosition_ == 2 * kRing) ringPosition_ = kRing;
  ++frames_;
  slept_ = false;
  if (rate_ == 0) {
    waits_[slot] = 0;
    return;
  }
  accumulator_ = (accumulator_ & 0xFFFF) + interval_;
  const uint32_t frameLength = accumulator_ >> 16;
  const uint32_t elapsed = now - base_;
  if (elapsed < frameLength) {
    waitedTotal_ += elapsed;
    waits_[slot] = elapsed;
    late_ = 0;
    clock_.Sleep(frameLength - elapsed);
    slept_ = true;
    base_ += frameLength;
    return;
  }
  uint32_t over = elapsed - frameLength;
  if (over >= 250) over = 0;
  late_ = over >= 3 * frameLength ? 1 : 0;
  if (late_) ++lateThisSecond_;
  base_ = now - over;
  waits_[slot] = 0;
}

}  // namespace zan
