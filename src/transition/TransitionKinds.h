#pragma once
// Inside the transition library: what StartTransition has checked and prepared for a kind,
// and the constructors of the kinds' families.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "transition/Transition.h"

namespace zan {

// One block of work memory from the allocator: pixels in the scenes' format, or mask bytes.
struct WorkMemory {
  std::unique_ptr<uint8_t[]> bytes;
  PixelRows pixels;  // a pixel buffer: the screen's size in the format
  AlphaRows mask;    // a mask buffer: the screen's size, one byte a pixel

  uint8_t* MaskBytes() { return bytes.get(); }
};

struct TransitionSetup {
  const TransitionTables& tables;
  const TransitionParams& params;
  const Surface& old;
  const Surface& next;
  int32_t format = 0;
  uint32_t duration = 1;  // at least 1
  ClippedCopy area;       // the changing part of the screen
  // The screen-sized mask of the mask and picture kinds: the mask picture itself, or a copy
  // padded with 0 where the picture is smaller than the screen (held by `paddedMask`).
  AlphaRows mask;
  WorkMemory paddedMask;
  const TransitionAllocator& allocate;

  // A pixel buffer or a mask buffer of the screen's size; false when there is no memory.
  bool TakePixels(WorkMemory& out) const;
  bool TakeMask(WorkMemory& out) const;
};

// The families; each returns null when its work memory cannot be had.
std::unique_ptr<Transition> MakeCrossFade(TransitionSetup& setup);    // cross, noise, water
std::unique_ptr<Transition> MakeMaskBlend(TransitionSetup& setup);    // wipe, circle, picture kinds
std::unique_ptr<Transition> MakeMaskCross(TransitionSetup& setup);    // both mask crosses
std::unique_ptr<Transition> MakeCellPattern(TransitionSetup& setup);  // blind, pattern

// Progress in steps: every `interval` ms the value rises by `per`, up to `last`. Products are
// taken in 64 bits, so no long transition wraps around and never ends.
struct Stepper {
  // 2^bits values over the duration: a step every duration >> bits ms, 2^bits / duration
  // values a step (each at least 1), up to 2^bits - 1.
  static Stepper Levels(uint32_t duration, int bits) {
    return {std::max(duration >> bits, 1u), std::max((1u << bits) / duration, 1u), (1u << bits) - 1};
  }
  // `count` steps spread over the duration: a step every duration / count ms, count / duration
  // steps at a time (each at least 1), up to `last`.
  static Stepper Spread(uint32_t duration, uint32_t count, uint32_t last) {
    return {std::max(duration / count, 1u), std::max(count / duration, 1u), last};
  }

  // False until the first step.
  bool Started(uint32_t elapsed) const { return elapsed >= interval; }
  uint32_t At(uint32_t elapsed) const {
    const uint64_t n = uint64_t{elapsed / interval} * per;
    return n < last ? static_cast<uint32_t>(n) : last;
  }
  // One frame of a stepped transition: `before` until the first step, then `step` with the
  // value. True when the value is the last.
  template <class Before, class Step>
  bool Frame(uint32_t elapsed, Before before, Step step) const {
    if (!Started(elapsed)) {
      before();
      return false;
    }
    const uint32_t value = At(elapsed);
    step(value);
    return value == last;
  }

  uint32_t interval = 1;
  uint32_t per = 1;
  uint32_t last = 0;
};

}  // namespace zan
