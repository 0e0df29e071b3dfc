#pragma once
// The shapes of the screen transitions, computed once at start-up for the screen's size:
// the alpha ramp, the circle and wipe maps (sampled once per 4 x 4 block, the only place a
// transition reads them), and the ripple tables of the water transition (its phase map
// sampled once per 2 x 2 block). Per frame the transitions then run only table look-ups and
// integer arithmetic. Nothing here is ever read from the game folder.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zan {

class TransitionTables {
 public:
  // Blocks of the circle and wipe masks, and of the water ripple.
  static constexpr int32_t kMaskBlock = 4;
  static constexpr int32_t kRippleBlock = 2;

  // Tables for a screen of width x height pixels (both at least 2).
  TransitionTables(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // R[e], e = 0..1023: 0 below 512, then (e - 512) / 2, so 0..255 over the upper half.
  uint8_t Ramp(int32_t e) const { return ramp_[static_cast<size_t>(e)]; }

  // The circle and wipe values (0..1023) at the top-left pixel of block (i, j) of 4 x 4.
  int32_t MaskBlocksX() const { return maskBlocksX_; }
  int32_t MaskBlocksY() const { return maskBlocksY_; }
  int32_t Circle(int32_t i, int32_t j) const { return circle_[MaskIndex(i, j)]; }
  int32_t Wipe(int32_t i, int32_t j) const { return wipe_[MaskIndex(i, j)]; }

  // Water: the displacement of wave value w (0..255) at amplitude a (0..255), the wave at
  // phase j (0..1023) and the phase at the top-left pixel of block (i, j) of 2 x 2.
  int32_t Displacement(int32_t w, int32_t a) const {
    return displacement_[static_cast<size_t>(w) * 256 + static_cast<size_t>(a)];
  }
  int32_t Wave(int32_t j) const { return wave_[static_cast<size_t>(j)]; }
  int32_t RippleBlocksX() const { return rippleBlocksX_; }
  int32_t RippleBlocksY() const { return rippleBlocksY_; }
  int32_t RipplePhase(int32_t i, int32_t j) const {
    return ripplePhase_[static_cast<size_t>(j) * static_cast<size_t>(rippleBlocksX_) + static_cast<size_t>(i)];
  }

 private:
  size_t MaskIndex(int32_t i, int32_t j) const {
    return static_cast<size_t>(j) * static_cast<size_t>(maskBlocksX_) + static_cast<size_t>(i);
  }

  int32_t width_;
  int32_t height_;
  std::array<uint8_t, 1024> ramp_{};
  int32_t maskBlocksX_;
  int32_t maskBlocksY_;
  std::vector<int16_t> circle_;
  std::vector<int16_t> wipe_;
  std::vector<int8_t> displacement_;  // [w][a], -128..127
  std::array<uint8_t, 1024> wave_{};
  int32_t rippleBlocksX_;
  int32_t rippleBlocksY_;
  std::vector<int32_t> ripplePhase_;
};

}  // namespace zan
