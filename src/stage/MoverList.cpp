#include "stage/MoverList.h"

#include <cmath>

namespace zan {

Mover MoverList::Pair(int32_t startX, int32_t startY, int32_t endX, int32_t endY, int32_t frames,
                         int32_t easeX, int32_t easeY) {
  Mover m;
  m.startX = startX;
  m.startY = startY;
  m.endX = endX;
  m.endY = endY;
  m.duration = frames;
  m.active = 1;
  m.easeX = easeX;
  m.easeY = easeY;
  return m;
}

Mover MoverList::Single(int32_t start, int32_t end, int32_t frames, int32_t ease) {
  return Pair(start, 0, end, 0, frames, ease, kEaseLinear);
}

Mover MoverList::Shake(int32_t type, int32_t frames, int32_t amplitudeX, int32_t amplitudeY,
                          double phaseStepX, double phaseStepY) {
  Mover m = Pair(amplitudeX, amplitudeY, 0, 0, frames);
  m.shakeType = type;
  m.phaseStepX = phaseStepX;
  m.phaseStepY = phaseStepY;
  return m;
}

int32_t MoverList::Interpolate(int32_t start, int32_t end, int32_t t, int32_t frames, int32_t ease) {
  if (frames <= 0) return end;
  const double d = static_cast<double>(end) - start;
  const double tt = frames * static_cast<double>(frames);
  double offset = 0;
  switch (ease) {
    case kEaseAccelerating:
      offset = std::trunc(d / tt * (static_cast<double>(t) * t));
      break;
    case kEaseDecelerating: {
      const double back = static_cast<double>(t) - frames;
      offset = std::trunc(d - d / tt * (back * back));
      break;
    }
    default:
      // In integers: the difference of two int32 times a frame count fits in 64 bits.
      return static_cast<int32_t>(start + (int64_t{end} - start) * t / frames);
  }
  return static_cast<int32_t>(start + static_cast<int64_t>(offset));
}

bool MoverList::StepPair(Mover& m, int32_t* x, int32_t* y) {
  if (!m.active) return false;
  if (m.counter >= m.duration) {
    *x = m.endX;
    *y = m.endY;
    m.active = 0;
  } else {
    *x = Interpolate(m.startX, m.endX, m.counter, m.duration, m.easeX);
    *y = Interpolate(m.startY, m.endY, m.counter, m.duration, m.easeY);
  }
  ++m.counter;
  return true;
}

bool MoverList::StepSingle(Mover& m, int32_t* value) {
  int32_t unused = 0;
  return StepPair(m, value, &unused);
}

bool MoverList::StepShake(Mover& m, int32_t* offsetX, int32_t* offsetY, const Random& random) {
  if (!m.active) return false;
  const int32_t a = m.startX;
  const int32_t b = m.startY;
  if (m.counter >= m.duration) {
    *offsetX = m.endX;
    *offsetY = m.endY;
    m.active = 0;
  } else if (m.shakeType == kShakeSine) {
    *offsetX = static_cast<int32_t>(std::trunc(std::sin(m.phaseX) * a));
    *offsetY = static_cast<int32_t>(std::trunc(std::sin(m.phaseY) * b));
    m.phaseX += m.phaseStepX;
    m.phaseY += m.phaseStepY;
  } else if (m.counter % 2 == 0) {
    *offsetX = 0;
    *offsetY = 0;
  } else {
    if (a > 0) {
      const int32_t r1 = random();
      const int32_t r2 = random();
      const int32_t c = a - r1 % a;
      *offsetX = r2 % 2 == 0 ? -c : c;
    }
    if (b > 0) {
      const int32_t r1 = random();
      const int32_t r2 = random();
      *offsetY = r2 % 2 == 0 ? r1 % b - b : b - r1 % b;
    }
  }
  ++m.counter;
  return true;
}

bool MoverList::Stop(Mover& m) {
  const bool was = m.active != 0;
  m.active = 0;
  return was;
}

}  // namespace zan
