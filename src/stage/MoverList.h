#pragma once
// The animations of image slots and zoom windows, counted in frames (30 a second). A Mover
// runs one value or one pair of values from a start to an end over a number of frames;
// MoverList steps it once per frame. The same record serves moves, fades, scale changes
// and shakes.

#include <cstdint>
#include <functional>

namespace zan {

// Easing of one axis.
enum Easing : int32_t {
  kEaseLinear = 0,
  kEaseAccelerating = 1,  // "+"
  kEaseDecelerating = 2,  // "-"
};

// Shake kinds.
enum ShakeType : int32_t {
  kShakeRandom = 0,
  kShakeSine = 1,
};

struct Mover {
  // A fade or a scale change uses startX and endX alone; a shake keeps its amplitudes in
  // startX, startY and the offsets it leaves at its end in endX, endY (0, 0).
  int32_t startX = 0;
  int32_t startY = 0;
  int32_t endX = 0;
  int32_t endY = 0;
  // Sine shakes: the phases (radians) and what each frame adds to them.
  double phaseX = 0;
  double phaseY = 0;
  double phaseStepX = 0;
  double phaseStepY = 0;
  int32_t counter = 0;   // frames stepped so far
  int32_t duration = 0;  // frames
  int32_t active = 0;
  int32_t easeX = kEaseLinear;
  int32_t easeY = kEaseLinear;
  int32_t shakeType = kShakeRandom;
};

class MoverList {
 public:
  // The run-time library's generator (0..32767), which shakes share with the script.
  using Random = std::function<int32_t()>;

  // A mover from start to end over `frames` frames, active.
  static Mover Pair(int32_t startX, int32_t startY, int32_t endX, int32_t endY, int32_t frames,
                    int32_t easeX = kEaseLinear, int32_t easeY = kEaseLinear);
  static Mover Single(int32_t start, int32_t end, int32_t frames, int32_t ease = kEaseLinear);
  static Mover Shake(int32_t type, int32_t frames, int32_t amplitudeX, int32_t amplitudeY,
                     double phaseStepX = 0, double phaseStepY = 0);

  // The value at frame t of T from s to e: linear s + (e - s) * t / T; accelerating
  // s + trunc((e - s) / T^2 * t^2); decelerating s + trunc((e - s) - (e - s) / T^2 * (t - T)^2).
  static int32_t Interpolate(int32_t start, int32_t end, int32_t t, int32_t frames, int32_t ease);

  // One frame of a mover (nothing when inactive): the value at the counter, or the end value
  // once the counter has reached the duration (the mover then stops); the counter then
  // advances. A mover of T frames shows its start first and its end on step T + 1. True when
  // the mover was active.
  static bool StepPair(Mover& m, int32_t* x, int32_t* y);
  // The value of startX..endX with easeX (fades use it linear, scale changes with their ease).
  static bool StepSingle(Mover& m, int32_t* value);
  // One frame of a shake: the offsets. Random: (0, 0) on even frames; on odd frames each axis
  // with an amplitude above 0 takes a random offset (two draws each, x first). Sine: the
  // sine of each phase times the amplitude, then the phases advance. At the duration the
  // offsets become the end values and the shake stops.
  static bool StepShake(Mover& m, int32_t* offsetX, int32_t* offsetY, const Random& random);
  // Ends a mover at once: true when it was active (the caller sets the end state).
  static bool Stop(Mover& m);
};

}  // namespace zan
