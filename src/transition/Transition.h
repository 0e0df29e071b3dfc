#pragma once
// Screen transitions: the picture on the screen turns from the old scene into the new one
// over a span of time. A transition is started once with the two scenes and its parameters,
// then asked each frame to draw the moment `elapsed` milliseconds after its start into the
// target (the back buffer); it says when it has drawn its final picture. A transition that
// cannot start (a bad parameter, a missing picture, no memory) says why, with a log line, so
// that the caller shows the new scene at once and goes on.
//
// All timing is unsigned 32-bit arithmetic on elapsed = now - start, in milliseconds. Every
// frame is drawn in the pixel format of the scenes (which the target shares), written once
// over the format traits.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "base/Result.h"
#include "pixels/Clip.h"
#include "pixels/Pixels.h"
#include "transition/TransitionTables.h"

namespace zan {

class AlphaPlane;
class Surface;

enum class TransitionKind {
  kCross,                    // "Cross": a cross-fade
  kMaskCross,                // "MaskCross": by a mask picture, its low values first
  kMaskCrossReverse,         // "MaskCrossR": by a mask picture, its high values first
  kWipe,                     // "Waip": closes in from the edges
  kCircle,                   // "Circle": turns around the centre
  kBlind,                    // "Blind": 16-pixel blinds opening from the left
  kWater,                    // "Water": a cross-fade under a ripple, always 3000 ms
  kNoise,                    // "NoiseC": through random greys
  kPictureCross,             // "ImageCross": the mask picture faded in, then brought up to white
  kPictureCrossDirectional,  // "ImageCross" with a direction: the mask picture slides across
  kPictureBlind,             // "ImageBlind": hard-edged, the mask's brightest parts first
  kPattern,                  // "Pattern": frames of a pattern picture over the new scene
};

// The duration "Water" takes whatever it is given.
constexpr int32_t kWaterDuration = 3000;

struct TransitionArea {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct TransitionParams {
  TransitionKind kind = TransitionKind::kCross;
  // Milliseconds; 0 or less lasts 1 ms. "Water" always takes kWaterDuration.
  int32_t duration = 0;
  // Cross and noise: only this rectangle of the screen changes; none is the whole screen.
  std::optional<TransitionArea> area;
  // The mask picture of the mask and picture kinds (one byte per pixel). Where it is smaller
  // than the screen, the screen beyond it counts as mask value 0.
  const AlphaPlane* mask = nullptr;
  // The directional picture cross: where the mask comes from, 0 left, 1 top, 2 right, 3 bottom.
  int32_t direction = 0;
  // The pattern: `patternFrames` frames of cellWidth x cellHeight side by side in a picture
  // with alpha, drawn over every cell of the new scene.
  const Surface* pattern = nullptr;
  int32_t patternFrames = 0;
  int32_t cellWidth = 0;
  int32_t cellHeight = 0;
};

// Hands out the work memory a transition needs (zeroed is not required): null when there is
// none to be had. The default takes it from the heap.
using TransitionAllocator = std::function<std::unique_ptr<uint8_t[]>(size_t bytes)>;

class Transition {
 public:
  virtual ~Transition();
  Transition(const Transition&) = delete;
  Transition& operator=(const Transition&) = delete;

  TransitionKind Kind() const { return kind_; }
  // Draws the frame `elapsed` ms after the start into `target` (the screen's size or more, in
  // the scenes' format) and extends its dirty rectangle. True once the final picture is drawn:
  // the caller ends the transition then. Later calls draw the final picture again. A target
  // that does not fit draws nothing (logged once) and ends the transition.
  bool Draw(Surface& target, uint32_t elapsed);
  // The player skipped: the final picture at once, and the transition is done. The circle and
  // the wipe draw nothing here: the next scene drawing replaces their frame.
  void Finish(Surface& target);
  bool Done() const { return done_; }

 protected:
  // What one frame draws with: the scenes and the target as plain memory, and the changing
  // part of the screen.
  struct Frame {
    int32_t format = 0;
    PixelRows out;
    PixelRows old;
    PixelRows next;
    ClippedCopy area;  // dx, dy, width, height (sx = dx, sy = dy)
  };

  Transition(TransitionKind kind, const TransitionTables& tables, const Surface& old, const Surface& next,
             const ClippedCopy& area);

  const TransitionTables& Tables() const { return tables_; }
  // The frame at `elapsed`; true when it is the final picture.
  virtual bool DrawFrame(const Frame& frame, uint32_t elapsed) = 0;
  // The final picture: the new scene over the changing part.
  virtual void DrawFinal(const Frame& frame);
  // Whether a skip draws the final picture.
  virtual bool DrawsOnSkip() const { return true; }

  // Copies of the old or the new scene over the changing part.
  static void ShowOld(const Frame& frame);
  static void ShowNew(const Frame& frame);

 private:
  // The frame's views when the target fits; logs once when it does not.
  std::optional<Frame> Prepare(Surface& target);

  TransitionKind kind_;
  const TransitionTables& tables_;
  const Surface& old_;
  const Surface& next_;
  ClippedCopy area_;
  bool done_ = false;
  bool targetRefused_ = false;
};

// Starts a transition from the old scene to the new one (both the screen's size or more, one
// pixel format), or says why it cannot (logged). The scenes, the mask and the pattern must
// outlive the transition; `tables` are the screen's.
Result<std::unique_ptr<Transition>> StartTransition(const TransitionTables& tables,
                                                    const TransitionParams& params,
                                                    const Surface& old, const Surface& next,
                                                    const TransitionAllocator& allocate = {});

// The name of the task that runs a kind ("CUpdateCross", ...; the wipe and the circle share
// "CUpdateCircle", both mask crosses "CUpdateMaskCross").
const char* TransitionTaskName(TransitionKind kind);
// Whether a kind is driven by a mask plane (the mask crosses, both picture crosses, the
// picture blinds).
bool TransitionUsesMask(TransitionKind kind);

// The kind a script names ("Cross", "MaskCross", "MaskCrossR", "Waip", "Circle", "Blind",
// "Water", "NoiseC", "ImageCross", "ImageBlind", "Pattern"; ASCII case ignored). "ImageCross"
// gives the plain picture cross; a direction word makes it directional.
std::optional<TransitionKind> TransitionKindByName(std::string_view name);
// "left", "top", "right", "bottom" (ASCII case ignored): 0, 1, 2, 3.
std::optional<int32_t> TransitionDirectionByName(std::string_view word);

}  // namespace zan
