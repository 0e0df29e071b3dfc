#pragma once
// SoundManager: the sound device and the buffers made on it. `Init` opens the platform's
// audio output and connects it to the device's mixer (44100 Hz, stereo, 16-bit); without
// it every buffer creation fails and the game runs silent.

#include <cstdint>
#include <memory>

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "sound/SoundDevice.h"

namespace zan {

class SoundBuffer;

class SoundManager {
 public:
  enum CreateFlags : int32_t { kCreateStatic = 1, kCreateStream = 2 };

  SoundManager();
  ~SoundManager();

  // 1 when already initialised; 0 on success; else the audio output's failure code.
  int32_t Init(AudioOut& out, Clock& clock);
  bool IsInitialized() const { return initialized_; }
  // 1 when not initialised; static: CreateStaticSoundBuffer's code; stream: 0, or 1 when
  // CreateStreamSoundBuffer failed; no flag: 0.
  int32_t CreateBuffer(SoundBuffer& buffer, const uint8_t* data, uint32_t size, int32_t flags);

  SoundDevice* Device() { return device_.get(); }

 private:
  std::shared_ptr<SoundDevice> device_;
  AudioOut* out_ = nullptr;
  bool initialized_ = false;
};

}  // namespace zan
