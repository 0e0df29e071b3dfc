#pragma once
// SoundManager: the sound device and the buffers made on it. `Init` opens the platform's
// audio output and connects it to the device's mixer (44100 Hz, stereo, 16-bit); without
// it every buffer creation fails and the game runs silent. It keeps the list of stream
// buffers and, when the application gets the focus again, restores them.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/EventReceiver.h"
#include "sound/SoundDevice.h"

namespace zan {

class SoundBuffer;

class SoundManager : public EventReceiver {
 public:
  enum CreateFlags : int32_t { kCreateStatic = 1, kCreateStream = 2 };

  SoundManager();
  ~SoundManager() override;

  // 1 when already initialised; 0 on success; else the audio output's failure code.
  int32_t Init(AudioOut& out, Clock& clock);
  bool IsInitialized() const { return initialized_; }
  // 1 when not initialised; static: CreateStaticSoundBuffer's code; stream: 0, or 1 when
  // CreateStreamSoundBuffer failed; no flag: 0. A stream buffer made here joins the list.
  int32_t CreateBuffer(SoundBuffer& buffer, const uint8_t* data, uint32_t size, int32_t flags);
  void Register(SoundBuffer* buffer);
  // 1 when the buffer was in the list, else 0.
  int32_t Unregister(SoundBuffer* buffer);
  size_t StreamCount() const;
  // Pauses the output while no buffer plays and resumes it once one does (called once a
  // frame: a sound started in a frame is heard from the end of that frame).
  void PauseWhenSilent();

  // Restores every listed stream buffer when the application becomes active; never
  // consumes the message.
  bool HandleEvent(const InputEvent& event) override;

  SoundDevice* Device() { return device_.get(); }

 private:
  std::shared_ptr<SoundDevice> device_;
  AudioOut* out_ = nullptr;
  bool initialized_ = false;
  mutable std::mutex listMutex_;
  std::vector<SoundBuffer*> streams_;
};

}  // namespace zan
