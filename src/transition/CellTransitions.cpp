// The transitions that draw the screen in cells: the blinds (16-pixel columns opening one
// after the other) and the pattern (frames of a pattern picture over every cell).

#include <algorithm>

#include "base/DiagnosticLog.h"
#include "pixels/Blend.h"
#include "pixels/PixelOps.h"
#include "surface/Surface.h"
#include "transition/TransitionKinds.h"

namespace zan {
namespace {

// The blinds: (W + 256) / 16 steps. Block b of 16 columns starts opening at step b and shows
// min(n - b, 15) + 1 columns of the new scene at step n, so every block is open by step b + 15.
class BlindTransition final : public Transition {
 public:
  static constexpr int32_t kBlock = 16;

  explicit BlindTransition(const TransitionSetup& s)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area),
        steps_(Stepper::Spread(s.duration, Total(s.tables), Total(s.tables))) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return steps_.Frame(elapsed, [&] { ShowOld(frame); }, [&](uint32_t n) { DrawStep(frame, n); });
  }

 private:
  void DrawStep(const Frame& frame, uint32_t n) {
    if (n == steps_.last) {
      ShowNew(frame);
      return;
    }
    ShowOld(frame);
    const int32_t width = Tables().Width();
    for (int32_t b = 0; b <= static_cast<int32_t>(n) && kBlock * b < width; ++b) {
      const int32_t x = kBlock * b;
      const int32_t open = std::min(std::min(static_cast<int32_t>(n) - b, kBlock - 1) + 1, width - x);
      CopyPixels(frame.format, frame.out, frame.next, ClippedCopy{x, 0, x, 0, open, Tables().Height()});
    }
  }

  static uint32_t Total(const TransitionTables& t) { return static_cast<uint32_t>(t.Width() + 256) / kBlock; }

  Stepper steps_;
};

// The pattern: the screen in cells of the pattern's cell size (as many as fit, rounded);
// frame f of the pattern drawn by its alpha over each cell of the new scene. The old scene is
// never shown.
class PatternTransition final : public Transition {
 public:
  explicit PatternTransition(const TransitionSetup& s)
      : Transition(s.params.kind, s.tables, s.old, s.next, s.area),
        pattern_(*s.params.pattern),
        frames_(static_cast<uint32_t>(s.params.patternFrames)),
        cellWidth_(s.params.cellWidth),
        cellHeight_(s.params.cellHeight),
        columns_(static_cast<int32_t>(static_cast<double>(s.tables.Width()) / cellWidth_ + 0.5)),
        rows_(static_cast<int32_t>(static_cast<double>(s.tables.Height()) / cellHeight_ + 0.5)),
        steps_(Stepper::Spread(s.duration, frames_, frames_ - 1)) {}

 protected:
  bool DrawFrame(const Frame& frame, uint32_t elapsed) override {
    return steps_.Frame(elapsed, [&] { ShowNew(frame); }, [&](uint32_t f) { DrawCells(frame, f); });
  }
  // Every cell once more with the last frame.
  void DrawFinal(const Frame& frame) override { DrawCells(frame, frames_ - 1); }

 private:
  void DrawCells(const Frame& frame, uint32_t f) {
    // The new scene under every cell (and on any strip the rounded cells leave uncovered).
    ShowNew(frame);
    const PixelRows picture = pattern_.View();
    const AlphaRows alpha = pattern_.Alpha().View();
    if (!picture || !alpha) return;
    // Only what both the pixels and the alpha hold is read.
    const int32_t width = std::min(picture.width, alpha.width);
    const int32_t height = std::min(picture.height, alpha.height);
    const int64_t sx = int64_t{f} * cellWidth_;
    for (int32_t j = 0; j < rows_; ++j) {
      for (int32_t i = 0; i < columns_; ++i) {
        const auto c = ClipCopy(int64_t{i} * cellWidth_, int64_t{j} * cellHeight_, cellWidth_, cellHeight_,
                                Tables().Width(), Tables().Height(), sx, 0, width, height);
        if (c) AlphaBlendPixels(frame.format, frame.out, picture, alpha, *c);
      }
    }
  }

  const Surface& pattern_;
  uint32_t frames_;
  int32_t cellWidth_;
  int32_t cellHeight_;
  int32_t columns_;
  int32_t rows_;
  Stepper steps_;
};

}  // namespace

std::unique_ptr<Transition> MakeCellPattern(TransitionSetup& setup) {
  if (setup.params.kind == TransitionKind::kBlind) return std::make_unique<BlindTransition>(setup);
  const TransitionParams& p = setup.params;
  const int32_t width = std::min(p.pattern->Width(), p.pattern->Alpha().Width());
  const int32_t height = std::min(p.pattern->Height(), p.pattern->Alpha().Height());
  if (int64_t{p.patternFrames} * p.cellWidth > width || p.cellHeight > height)
    ZAN_WARN("transition Pattern: the pattern picture is %dx%d, smaller than %d frames of %dx%d; "
            "frames are drawn only where it has them",
            width, height, p.patternFrames, p.cellWidth, p.cellHeight);
  return std::make_unique<PatternTransition>(setup);
}

}  // namespace zan
