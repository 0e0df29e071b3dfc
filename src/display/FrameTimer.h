#pragma once
// FrameTimer: holds the frame rate. After each frame it sleeps until the next deadline; the
// frame interval is kept in 16.16 fixed point with the fraction carried from frame to frame,
// so the average rate is exact (at 30 frames per second: 33, 33, 33, 34, then 33, 33, 34 over
// and over). A frame that ends late starts the next one at once; a stall of 250 ms or more
// drops the lost time instead of running frames back to back. Rate 0 does not pace at all.
// Times are the clock's milliseconds (uint32, wrapping).

#include <array>
#include <cstdint>

#include "platform/Clock.h"

namespace zan {

class FrameTimer {
 public:
  static constexpr uint32_t kRing = 32;
  // A new timer runs at 60 frames per second on `clock`.
  explicit FrameTimer(Clock& clock);

  // Sets the rate (0 = no pacing); the deadline starts now and the statistics are cleared.
  void SetFrameRate(uint32_t rate);
  // Ends a frame: records its time and sleeps until the next deadline.
  void PaceFrame();

  uint32_t Rate() const { return rate_; }
  uint32_t Interval() const { return interval_; }  // ms, 16.16 fixed point
  uint32_t DeadlineBase() const { return base_; }
  uint32_t Accumulator() const { return accumulator_; }
  uint32_t WaitedTotal() const { return waitedTotal_; }  // ms slept before deadlines
  uint32_t FrameCount() const { return frames_; }
  bool IsLate() const { return late_ != 0; }
  // Whether the last PaceFrame slept until its deadline.
  bool Slept() const { return slept_; }
  // Late frames (3 frame lengths or more behind) in the last completed second.
  uint32_t LateFramesLastSecond() const { return lateLastSecond_; }
  uint32_t LateFramesThisSecond() const { return lateThisSecond_; }
  // The ring of frame times and the ring of waits; RingPosition counts 0..63, then 32..63.
  const std::array<uint32_t, kRing>& FrameTimes() const { return times_; }
  const std::array<uint32_t, kRing>& Waits() const { return waits_; }
  uint32_t RingPosition() const { return ringPosition_; }

 private:
  Clock& clock_;
  uint32_t rate_ = 60;
  uint32_t interval_ = 65536000 / 60;
  uint32_t base_ = 0;
  uint32_t accumulator_ = 0;
  uint32_t waitedTotal_ = 0;
  std::array<uint32_t, kRing> times_{};
  std::array<uint32_t, kRing> waits_{};
  uint32_t ringPosition_ = 0;
  uint32_t frames_ = 0;
  uint8_t late_ = 0;
  bool slept_ = false;
  uint32_t lateLastSecond_ = 0;
  uint32_t lateThisSecond_ = 0;
};

}  // namespace zan
