#pragma once
// SoundManager: the sound device and the buffers made on it. `Init` opens the platform's
// audio output and connects it to the device's mixer (44100 Hz, stereo, 16-bit); without
// it every buffer creation fails and the game runs silent.

#include <cstdint>
#include <memory>

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "sound/SoundBuffer.h"
#include "sound/SoundDevice.h"

namespace zan {

// What Init answers; with kNoAudioOutput, the audio output's own answer comes too.
struct InitResult {
  enum class Code { kOk, kAlreadyInitialized, kNoAudioOutput };
  Code code = Code::kOk;
  AudioOpenResult output = AudioOpenResult::kOpened;
};

class SoundManager {
 public:
  enum CreateFlags : int32_t { kCreateStatic = 1, kCreateStream = 2 };

  SoundManager();
  ~SoundManager();

  InitResult Init(AudioOut& out, Clock& clock);
  bool IsInitialized() const { return initialized_; }
  // kNotInitialized without a device; else the static or stream creation's answer (kOk
  // with neither flag).
  CreateResult CreateBuffer(SoundBuffer& buffer, const uint8_t* data, uint32_t size, int32_t flags);
  // Pauses the output while no buffer plays and resumes it once one does (called once a
  // frame: a sound started in a frame is heard from the end of that frame).
  void PauseWhenSilent();

  SoundDevice* Device() { return device_.get(); }

 private:
  std::shared_ptr<SoundDevice> device_;
  AudioOut* out_ = nullptr;
  bool initialized_ = false;
};

}  // namespace zan
