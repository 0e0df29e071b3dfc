#pragma once
// What a request for PCM answers, from a decoder or from a stream buffer's refill (which
// passes on its decoder's answer when it gets that far).

namespace zan {

enum class FillResult {
  kFilled,          // the request holds sound
  kEnded,           // the data ended: the rest of the request is silence
  kNotOpen,         // decoder: nothing opened for streaming; the request is left as it was
  kPaused,          // refill: the buffer is paused (nothing done, no log)
  kNoDeviceBuffer,  // refill: no device buffer
  kNotStarted,      // refill: both device cursors at 0 (nothing done, no log)
  kLockFailed,      // refill: the device refused the lock
  kUnlockFailed,    // refill: the device refused the unlock
};

}  // namespace zan
