#pragma once
// Sdl2AudioOut: the default SDL2 audio device at 44100 Hz, stereo, signed 16-bit, pulling
// from the source on SDL's audio thread.
//
// A paused device still wakes its thread for every period (some 43 times a second) to play
// silence, so a pause that lasts closes the device, and the next resume opens it again: the
// sound that resumes it starts from the silence of a fresh device.

#include <cstdint>

#include "platform/AudioOut.h"

namespace zan {

class Sdl2AudioOut : public AudioOut {
 public:
  // A pause of `closeAfterMs` milliseconds or more closes the device.
  explicit Sdl2AudioOut(uint32_t closeAfterMs = 2000) : closeAfterMs_(closeAfterMs) {}
  ~Sdl2AudioOut() override;

  AudioOpenResult Open(Source source) override;
  void Close() override;
  // Open from Open to Close, the device itself closed or not.
  bool IsOpen() const override { return open_; }
  // The device outputs silence by itself, without waking the source; asked to pause again
  // once the pause has lasted, it closes. A resume that cannot open the device again is
  // logged and tried again a second later at the earliest.
  void SetPaused(bool paused) override;
  // Whether SDL's device is open now (its thread running).
  bool DeviceOpen() const { return device_ != 0; }

 private:
  static void Callback(void* self, uint8_t* stream, int length);
  bool OpenDevice();
  void CloseDevice();

  uint32_t closeAfterMs_;
  uint32_t device_ = 0;
  bool open_ = false;
  bool paused_ = false;
  uint64_t pausedSince_ = 0;    // ms, SDL's ticks
  uint64_t reopenFailed_ = 0;   // ms, SDL's ticks, of the last failed reopening (0: none)
  Source source_;
};

}  // namespace zan
