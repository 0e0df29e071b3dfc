#pragma once
// Sdl2AudioOut: the default SDL2 audio device at 44100 Hz, stereo, signed 16-bit, pulling
// from the source on SDL's audio thread.

#include <cstdint>

#include "platform/AudioOut.h"

namespace zan {

class Sdl2AudioOut : public AudioOut {
 public:
  Sdl2AudioOut() = default;
  ~Sdl2AudioOut() override;

  AudioOpenResult Open(Source source) override;
  void Close() override;
  bool IsOpen() const override { return device_ != 0; }
  // The device outputs silence by itself, without waking the source.
  void SetPaused(bool paused) override;

 private:
  static void Callback(void* self, uint8_t* stream, int length);

  uint32_t device_ = 0;
  bool paused_ = false;
  Source source_;
};

}  // namespace zan
