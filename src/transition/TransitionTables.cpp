#include "transition/TransitionTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zan {
namespace {

constexpr double kPi = std::numbers::pi;

// A value of about -1024..1024 folded into 0..1023: negatives wrap by 1024, truncated.
int16_t FoldTo1024(double v) {
  const double folded = v < 0 ? v + 1024.0 : std::fmod(v, 1024.0);
  return static_cast<int16_t>(std::trunc(folded));
}

int32_t BlockCount(int32_t size, int32_t block) { return (size + block - 1) / block; }

}  // namespace

TransitionTables::TransitionTables(int32_t width, int32_t height)
    : width_(std::max(width, 2)),
      height_(std::max(height, 2)),
      maskBlocksX_(BlockCount(width_, kMaskBlock)),
      maskBlocksY_(BlockCount(height_, kMaskBlock)),
      rippleBlocksX_(BlockCount(width_, kRippleBlock)),
      rippleBlocksY_(BlockCount(height_, kRippleBlock)) {
  for (int32_t e = 512; e < 1024; ++e) ramp_[static_cast<size_t>(e)] = static_cast<uint8_t>((e - 512) / 2);

  // Offsets from the screen's centre (halves truncated).
  const int32_t cx = width_ / 2;
  const int32_t cy = height_ / 2;
  const size_t maskBlocks = static_cast<size_t>(maskBlocksX_) * static_cast<size_t>(maskBlocksY_);
  circle_.resize(maskBlocks);
  wipe_.resize(maskBlocks);
  for (int32_t j = 0; j < maskBlocksY_; ++j) {
    for (int32_t i = 0; i < maskBlocksX_; ++i) {
      const double x = kMaskBlock * i - cx;
      const double y = kMaskBlock * j - cy;
      // The circle turns with the angle around the centre.
      circle_[MaskIndex(i, j)] = FoldTo1024(1024.0 * std::sin(std::atan2(y, x) / kPi));
      // The wipe closes in with the distance from the centre.
      const double r = std::sqrt(x * x + y * y);
      const double s = std::max(r * 2 / kPi, 2 * kPi);
      wipe_[MaskIndex(i, j)] = FoldTo1024(1024.0 * std::sin(2 * kPi / s));
    }
  }

  displacement_.resize(256 * 256);
  for (int32_t w = 0; w < 256; ++w)
    for (int32_t a = 0; a < 256; ++a)
      displacement_[static_cast<size_t>(w) * 256 + static_cast<size_t>(a)] =
          static_cast<int8_t>(a * (w - 128) / 255);
  for (int32_t j = 0; j < 1024; ++j)
    wave_[static_cast<size_t>(j)] =
        static_cast<uint8_t>(std::trunc((std::sin(j * 2 * kPi / 1024) + 1) * 127));
  ripplePhase_.resize(static_cast<size_t>(rippleBlocksX_) * static_cast<size_t>(rippleBlocksY_));
  for (int32_t j = 0; j < rippleBlocksY_; ++j) {
    for (int32_t i = 0; i < rippleBlocksX_; ++i) {
      const double dy = kRippleBlock * j - cy;
      const double dx = kRippleBlock * i - cx;
      ripplePhase_[static_cast<size_t>(j) * static_cast<size_t>(rippleBlocksX_) + static_cast<size_t>(i)] =
          static_cast<int32_t>(std::trunc(std::sqrt(dy * dy + dx * dx) * 0.5)) * 32;
    }
  }
}

}  // namespace zan
