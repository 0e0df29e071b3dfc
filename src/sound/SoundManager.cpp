#include "sound/SoundManager.h"

namespace zan {

SoundManager::SoundManager() = default;

SoundManager::~SoundManager() {
  // The output stops pulling before the device goes; buffers still alive keep the device
  // object itself (they share it) but are never mixed again.
  if (out_) out_->Close();
}

InitResult SoundManager::Init(AudioOut& out, Clock& clock) {
  if (initialized_) return {InitResult::Code::kAlreadyInitialized};
  auto device = SoundDevice::Create(clock);
  std::weak_ptr<SoundDevice> weak = device;
  const AudioOpenResult opened = out.Open([weak](int16_t* frames, size_t count) {
    if (auto d = weak.lock()) d->Mix(frames, count);
  });
  if (opened != AudioOpenResult::kOpened) return {InitResult::Code::kNoAudioOutput, opened};
  device_ = std::move(device);
  out_ = &out;
  initialized_ = true;
  return {};
}

CreateResult SoundManager::CreateBuffer(SoundBuffer& buffer, const uint8_t* data, uint32_t size,
                                         int32_t flags) {
  if (!initialized_) return BufferResult::kNotInitialized;
  if (flags & kCreateStatic) return buffer.CreateStaticSoundBuffer(device_.get(), data, size);
  if (flags & kCreateStream) return buffer.CreateStreamSoundBuffer(device_.get(), data, size);
  return BufferResult::kOk;
}

void SoundManager::PauseWhenSilent() {
  if (out_ != nullptr && device_) out_->SetPaused(!device_->AnyPlaying());
}

}  // namespace zan
