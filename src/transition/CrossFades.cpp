// The transitions built on the cross-fade: the plain cross, the noise (through random greys)
// and the water (a cross-fade under a ripple).

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pixels/Blend.h"
#include "pixels/PixelOps.h"
#include "transition/TransitionKinds.h"
#include "transition/TransitionPixels.h"

namespace zan {
namespace {

// `out` over `area` becomes `first` faded toward `second` by level 1..255 (255: `second`).
void CrossFadeArea(int32_t format, const PixelRows& out, const PixelRows& first, const PixelRows& second,
                   const ClippedCopy& area, uint32_t level) {
  if (level >= 255) {
    CopyPixels(format, out, second, area);
    return;
  }
  CrossFadePixels(format, out, first, second,
                  TripleRect{area.dx, area.dy, area.dx, area.dy, area.width, area.height},
                  static_cast<uint8_t>(level));
}

class CrossTransition final : public Transition {
 public:
  explicit CrossTransition(const TransitionSetup& s)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area), levels_(Stepper::Levels(s.duration, 8)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return levels_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t level) {
      CrossFadeArea(frame.format, frame.out, frame.old, frame.next, frame.area, level);
    });
  }

 private:
  Stepper levels_;
};

// Two cross-fades over half the duration each (levels as the cross's over the half): old to
// noise, then (the clock started again) noise to new. Every frame draws fresh noise.
class NoiseTransition final : public Transition {
 public:
  NoiseTransition(const TransitionSetup& s, WorkMemory work)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area),
        levels_(Stepper::Levels(std::max(s.duration / 2, 1u), 8)),
        work_(std::move(work)) {
    // The noise is drawn only over the area (and not at all on a bitmap): start from black.
    std::memset(work_.bytes.get(), 0, static_cast<size_t>(work_.pixels.pitch) * work_.pixels.height);
  }

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    const uint32_t since = elapsed - phaseStart_;
    const uint32_t level = levels_.At(since);
    if (!levels_.Started(since) && !toNew_) {
      ShowOld(frame);
      return false;
    }
    NoisePixels(frame.format, work_.pixels, frame.area);
    if (!toNew_) {
      CrossFadeArea(frame.format, frame.out, frame.old, work_.pixels, frame.area, level);
      if (level == 255) {
        toNew_ = true;
        phaseStart_ = elapsed;
      }
      return false;
    }
    // Right after the turn (no step yet) the noise shows alone.
    if (level == 0) {
      CopyPixels(frame.format, frame.out, work_.pixels, frame.area);
      return false;
    }
    CrossFadeArea(frame.format, frame.out, work_.pixels, frame.next, frame.area, level);
    return level == 255;
  }

 private:
  Stepper levels_;
  WorkMemory work_;
  bool toNew_ = false;
  uint32_t phaseStart_ = 0;
};

// The cross-fade drawn into the work buffer, then shifted sideways block by block along
// circular waves from the centre; the waves swell to the middle of the fade and die down.
class WaterTransition final : public Transition {
 public:
  WaterTransition(const TransitionSetup& s, WorkMemory work)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area),
        levels_(Stepper::Levels(s.duration, 8)),
        work_(std::move(work)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return levels_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t level) {
      CrossFadeArea(frame.format, work_.pixels, frame.old, frame.next, frame.area, level);
      const int32_t amplitude = static_cast<int32_t>(level < 128 ? 2 * level : 2 * (255 - level));
      const int32_t phase = static_cast<int32_t>(std::trunc(static_cast<double>(elapsed) * -0.1));
      RipplePixels(frame.format, frame.out, work_.pixels, Tables(), std::min(amplitude, 255), phase);
    });
  }

 private:
  Stepper levels_;
  WorkMemory work_;
};

}  // namespace

std::unique_ptr<Transition> MakeCrossFade(TransitionSetup& setup) {
  if (setup.params.kind == TransitionKind::kCross) return std::make_unique<CrossTransition>(setup);
  WorkMemory work;
  if (!setup.TakePixels(work)) return nullptr;
  if (setup.params.kind == TransitionKind::kNoise) return std::make_unique<NoiseTransition>(setup, std::move(work));
  return std::make_unique<WaterTransition>(setup, std::move(work));
}

}  // namespace zan
