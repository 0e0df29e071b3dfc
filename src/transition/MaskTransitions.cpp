// The transitions that mix the two scenes pixel by pixel under a mask: the wipe and the
// circle (masks from the start-up tables), the three picture kinds (masks made from a mask
// picture each frame) and the mask cross.

#include <algorithm>
#include <array>
#include <cstring>

#include "pixels/Blend.h"
#include "transition/TransitionKinds.h"
#include "transition/TransitionPixels.h"

namespace zan {
namespace {

// A transition that draws `MaskBlend` (old, new, mask) with a mask of its own each frame.
class MaskBlendTransition : public Transition {
 public:
  MaskBlendTransition(TransitionSetup& s, WorkMemory work)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area), work_(std::move(work)) {}

 protected:
  uint8_t* MaskRow(int32_t y) { return work_.bytes.get() + static_cast<size_t>(y) * Tables().Width(); }
  void Blend(const Frame& frame) {
    MaskBlendPixels(frame.format, frame.out, frame.old, frame.next, work_.mask, Tables().Width(),
                    Tables().Height());
  }

 private:
  WorkMemory work_;
};

// Wipe and circle: each 4 x 4 block takes the ramp at its table value moved by the progress.
class CircleTransition final : public MaskBlendTransition {
 public:
  CircleTransition(TransitionSetup& s, WorkMemory work)
      : MaskBlendTransition(s, std::move(work)), circle_(s.params.kind == TransitionKind::kCircle),
        duration_(s.duration) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    // Progress 0..1023 over the duration; the circle starts 512 behind, so it takes about
    // one and a half times the duration.
    const int64_t p = int64_t{elapsed} * 1024 / duration_;
    const int32_t b = static_cast<int32_t>(std::min<int64_t>(circle_ ? p - 512 : p, 1023));
    const TransitionTables& t = Tables();
    constexpr int32_t kBlock = TransitionTables::kMaskBlock;
    for (int32_t j = 0; j < t.MaskBlocksY(); ++j) {
      uint8_t* first = MaskRow(kBlock * j);
      for (int32_t i = 0; i < t.MaskBlocksX(); ++i) {
        const int32_t e = std::clamp(b + (circle_ ? t.Circle(i, j) : t.Wipe(i, j)), 0, 1023);
        const int32_t x = kBlock * i;
        std::memset(first + x, t.Ramp(e), static_cast<size_t>(std::min(kBlock, t.Width() - x)));
      }
      for (int32_t y = kBlock * j + 1; y < std::min(kBlock * (j + 1), t.Height()); ++y)
        std::memcpy(MaskRow(y), first, static_cast<size_t>(t.Width()));
    }
    Blend(frame);
    return b == 1023;
  }
  bool DrawsOnSkip() const override { return false; }

 private:
  bool circle_;
  uint32_t duration_;
};

// The picture kinds: the mask picture, changed each frame through a table of its 256 values.
class PictureTransition : public MaskBlendTransition {
 public:
  PictureTransition(TransitionSetup& s, WorkMemory work)
      : MaskBlendTransition(s, std::move(work)), mask_(s.mask), padded_(std::move(s.paddedMask)) {}

 protected:
  // Every mask byte m becomes table[m]; then the blend.
  void BlendThrough(const Frame& frame, const std::array<uint8_t, 256>& table) {
    for (int32_t y = 0; y < Tables().Height(); ++y) {
      const uint8_t* m = mask_.Row(y);
      uint8_t* w = MaskRow(y);
      for (int32_t x = 0; x < Tables().Width(); ++x) w[x] = table[m[x]];
    }
    Blend(frame);
  }
  const AlphaRows& Mask() const { return mask_; }

 private:
  AlphaRows mask_;
  WorkMemory padded_;  // holds the mask when the picture was smaller than the screen
};

// The plain picture cross: position 0..511 over the duration. Up to 255 the mask fades in
// from black (m * pos / 255); beyond, it is brought up to white (m - q * m / 255 + q).
class PictureCrossTransition final : public PictureTransition {
 public:
  PictureCrossTransition(TransitionSetup& s, WorkMemory work)
      : PictureTransition(s, std::move(work)),
        positions_(Stepper::Levels(s.duration, 9)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return positions_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t pos) {
      std::array<uint8_t, 256> table;
      for (uint32_t m = 0; m < 256; ++m) {
        if (pos <= 255) {
          table[m] = static_cast<uint8_t>(m * pos / 255);
        } else {
          const uint32_t q = pos - 256;
          table[m] = static_cast<uint8_t>(m - q * m / 255 + q);
        }
      }
      BlendThrough(frame, table);
    });
  }

 private:
  Stepper positions_;
};

// The picture blinds: level 0..255 as the cross-fade's; a pixel turns new, at once and for
// good, when its mask value m reaches m + level >= 255.
class PictureBlindTransition final : public PictureTransition {
 public:
  PictureBlindTransition(TransitionSetup& s, WorkMemory work)
      : PictureTransition(s, std::move(work)),
        levels_(Stepper::Levels(s.duration, 8)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return levels_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t level) {
      std::array<uint8_t, 256> table;
      for (uint32_t m = 0; m < 256; ++m) table[m] = m + level >= 255 ? 255 : 0;
      BlendThrough(frame, table);
    });
  }

 private:
  Stepper levels_;
};

// The directional picture cross: the mask picture, a screen in size, slides in from one side
// 8 pixels a step over three eighths of the extent in steps; ahead of it the old scene, behind
// it the new. It has crossed the screen after two thirds of the steps.
class DirectionalTransition final : public PictureTransition {
 public:
  DirectionalTransition(TransitionSetup& s, WorkMemory work)
      : PictureTransition(s, std::move(work)), direction_(s.params.direction) {
    const int32_t extent = Horizontal() ? s.tables.Width() : s.tables.Height();
    const uint32_t total = std::max(static_cast<uint32_t>(extent) * 3 / 8, 1u);
    steps_ = Stepper::Spread(s.duration, total, total);
  }

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return steps_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t n) { DrawStep(frame, n); });
  }

 private:
  // The mask placed 8 n pixels in from its side.
  void DrawStep(const Frame& frame, uint32_t n) {
    const int32_t d = static_cast<int32_t>(8 * n);
    const int32_t w = Tables().Width();
    const int32_t h = Tables().Height();
    // The mask's top-left corner on the screen.
    int32_t ox = 0;
    int32_t oy = 0;
    switch (direction_) {
      case 0: ox = d - w; break;
      case 1: oy = d - h; break;
      case 2: ox = w - d; break;
      default: oy = h - d; break;
    }
    // Left and top: white behind the mask, black ahead of it; right and bottom the same, seen
    // from the other side.
    const bool sticksOut = ox < 0 || oy < 0;
    const uint8_t rest = ((direction_ == 0 || direction_ == 1) == sticksOut) ? 0 : 255;
    const int32_t left = std::clamp(ox, 0, w);
    const int32_t right = std::clamp(ox + w, 0, w);
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* row = MaskRow(y);
      const int32_t my = y - oy;
      if (my < 0 || my >= h || left >= right) {
        std::memset(row, rest, static_cast<size_t>(w));
        continue;
      }
      std::memset(row, rest, static_cast<size_t>(left));
      std::memcpy(row + left, Mask().Row(my) + (left - ox), static_cast<size_t>(right - left));
      std::memset(row + right, rest, static_cast<size_t>(w - right));
    }
    Blend(frame);
  }

  bool Horizontal() const { return direction_ == 0 || direction_ == 2; }

  int32_t direction_;
  Stepper steps_;
};

// The mask cross: the level runs 0..255 over the duration; pixels whose mask value the level
// has passed show the second scene, those within 7 above it a mix. Reversed, the level runs
// down and the scenes swap, so high mask values turn first.
class MaskCrossTransition final : public Transition {
 public:
  explicit MaskCrossTransition(TransitionSetup& s)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area),
        reverse_(s.params.kind == TransitionKind::kMaskCrossReverse),
        duration_(s.duration),
        mask_(s.mask),
        padded_(std::move(s.paddedMask)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    if (elapsed >= duration_) {
      ShowNew(frame);
      return true;
    }
    const int32_t up = static_cast<int32_t>(uint64_t{elapsed} * 255 / duration_);
    const PixelRows& first = reverse_ ? frame.next : frame.old;
    const PixelRows& second = reverse_ ? frame.old : frame.next;
    MaskCrossPixels(frame.format, frame.out, first, second, mask_, Tables().Width(), Tables().Height(),
                    reverse_ ? 255 - up : up);
    return false;
  }

 private:
  bool reverse_;
  uint32_t duration_;
  AlphaRows mask_;
  WorkMemory padded_;
};

}  // namespace

std::unique_ptr<Transition> MakeMaskBlend(TransitionSetup& setup) {
  WorkMemory work;
  if (!setup.TakeMask(work)) return nullptr;
  switch (setup.params.kind) {
    case TransitionKind::kWipe:
    case TransitionKind::kCircle: return std::make_unique<CircleTransition>(setup, std::move(work));
    case TransitionKind::kPictureCross: return std::make_unique<PictureCrossTransition>(setup, std::move(work));
    case TransitionKind::kPictureBlind: return std::make_unique<PictureBlindTransition>(setup, std::move(work));
    default: return std::make_unique<DirectionalTransition>(setup, std::move(work));
  }
}

std::unique_ptr<Transition> MakeMaskCross(TransitionSetup& setup) {
  return std::make_unique<MaskCrossTransition>(setup);
}

}  // namespace zan
