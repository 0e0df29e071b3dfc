#include "sound/SoundManager.h"

#include <algorithm>

#include "sound/SoundBuffer.h"

namespace zan {

SoundManager::SoundManager() : EventReceiver("CSoundManager") {}

SoundManager::~SoundManager() {
  // The output stops pulling before the device goes; buffers still alive keep the device
  // object itself (they share it) but are never mixed again.
  if (out_) out_->Close();
  std::lock_guard<std::mutex> lock(listMutex_);
  for (SoundBuffer* buffer : streams_) buffer->SetManager(nullptr);
}

int32_t SoundManager::Init(AudioOut& out, Clock& clock) {
  if (initialized_) return 1;
  auto device = SoundDevice::Create(clock);
  std::weak_ptr<SoundDevice> weak = device;
  const int32_t rc = out.Open([weak](int16_t* frames, size_t count) {
    if (auto d = weak.lock()) d->Mix(frames, count);
  });
  if (rc != 0) return rc;
  device_ = std::move(device);
  out_ = &out;
  initialized_ = true;
  return 0;
}

int32_t SoundManager::CreateBuffer(SoundBuffer& buffer, const uint8_t* data, uint32_t size,
                                    int32_t flags) {
  if (!initialized_) return 1;
  buffer.SetManager(this);
  if (flags & kCreateStatic) return buffer.CreateStaticSoundBuffer(device_.get(), data, size);
  if (flags & kCreateStream) {
    if (buffer.CreateStreamSoundBuffer(device_.get(), data, size) != 0) return 1;
    Register(&buffer);
    return 0;
  }
  return 0;
}

void SoundManager::Register(SoundBuffer* buffer) {
  std::lock_guard<std::mutex> lock(listMutex_);
  if (std::find(streams_.begin(), streams_.end(), buffer) == streams_.end())
    streams_.push_back(buffer);
}

int32_t SoundManager::Unregister(SoundBuffer* buffer) {
  std::lock_guard<std::mutex> lock(listMutex_);
  auto it = std::find(streams_.begin(), streams_.end(), buffer);
  if (it == streams_.end()) return 0;
  streams_.erase(it);
  return 1;
}

void SoundManager::PauseWhenSilent() {
  if (out_ != nullptr && device_) out_->SetPaused(!device_->AnyPlaying());
}

size_t SoundManager::StreamCount() const {
  std::lock_guard<std::mutex> lock(listMutex_);
  return streams_.size();
}

bool SoundManager::HandleEvent(const InputEvent& event) {
  if (event.kind == InputEvent::Kind::kFocusGained) {
    // A snapshot: a buffer's lock is never taken with the list lock held (the order is
    // buffer, then list). Buffers are created and destroyed on this thread only.
    std::vector<SoundBuffer*> snapshot;
    {
      std::lock_guard<std::mutex> lock(listMutex_);
      snapshot = streams_;
    }
    for (SoundBuffer* buffer : snapshot) buffer->Restore();
  }
  return false;
}

}  // namespace zan
