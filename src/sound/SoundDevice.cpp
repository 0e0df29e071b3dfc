#include "sound/SoundDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zan {

struct DeviceSoundBuffer::Voice {
  std::vector<uint8_t> data;
  uint16_t channels = 2;
  uint16_t bits = 16;
  uint32_t blockAlign = 4;
  uint64_t frames = 0;
  uint64_t step = 0;      // source frames per output frame, 32.32 fixed point
  uint64_t position = 0;  // source frames, 32.32 fixed point
  uint32_t latencyFrames = 0;
  bool playing = false;
  bool looping = false;
  int32_t volume = 0;
  int32_t pan = 0;
  int32_t gainLeft = 65536;  // 16.16 fixed point
  int32_t gainRight = 65536;
};

namespace {

// Attenuation in hundredths of a decibel to a 16.16 amplitude factor; -10000 and below is
// silence.
int32_t Gain(int32_t attenuation) {
  if (attenuation <= kVolumeSilent) return 0;
  if (attenuation >= 0) return 65536;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, attenuation / 2000.0)));
}

void UpdateGains(DeviceSoundBuffer::Voice& v) {
  // Pan to the right attenuates the left side and the other way round.
  v.gainLeft = Gain(v.volume - std::max(0, v.pan));
  v.gainRight = Gain(v.volume - std::max(0, -v.pan));
}

// One sample of channel `c` of frame `i`, as signed 16 bits.
template <int Bits>
int32_t SampleAt(const uint8_t* frame, int c) {
  if constexpr (Bits == 8) {
    return (int32_t{frame[c]} - 128) * 256;
  } else {
    return static_cast<int16_t>(uint16_t(frame[2 * c]) | uint16_t(frame[2 * c + 1] << 8));
  }
}

// Adds the voice into the accumulator, once per format (bits, channels).
template <int Bits, int Channels>
void MixVoice(DeviceSoundBuffer::Voice& v, int32_t* acc, size_t frameCount) {
  constexpr int kBlock = Bits / 8 * Channels;
  const uint8_t* data = v.data.data();
  const int64_t gl = v.gainLeft;
  const int64_t gr = v.gainRight;
  for (size_t i = 0; i < frameCount; ++i) {
    uint64_t index = v.position >> 32;
    if (index >= v.frames) {
      if (!v.looping) {
        v.playing = false;
        v.position = 0;
        return;
      }
      v.position -= v.frames << 32;
      index -= v.frames;
    }
    const uint32_t frac = static_cast<uint32_t>(v.position) >> 16;  // 16-bit fraction
    const uint8_t* f0 = data + index * kBlock;
    int32_t s[2];
    for (int c = 0; c < Channels; ++c) {
      s[c] = SampleAt<Bits>(f0, c);
      if (frac) {
        uint64_t next = index + 1;
        if (next >= v.frames) next = v.looping ? 0 : index;
        const int32_t s1 = SampleAt<Bits>(data + next * kBlock, c);
        s[c] += static_cast<int32_t>((int64_t{s1 - s[c]} * frac) >> 16);
      }
    }
    const int32_t left = s[0];
    const int32_t right = Channels == 2 ? s[1] : s[0];
    acc[2 * i] += static_cast<int32_t>((left * gl) >> 16);
    acc[2 * i + 1] += static_cast<int32_t>((right * gr) >> 16);
    v.position += v.step;
  }
}

}  // namespace

// ---- SoundDevice ----

std::shared_ptr<SoundDevice> SoundDevice::Create(Clock& clock) {
  return std::shared_ptr<SoundDevice>(new SoundDevice(clock));
}

SoundDevice::~SoundDevice() = default;

DeviceResult SoundDevice::CreateSoundBuffer(uint32_t flags, const WaveFormat& format, uint32_t bytes,
                                             std::unique_ptr<DeviceSoundBuffer>* out) {
  out->reset();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (flags & refusedFlags_) return DeviceResult::kControlUnavailable;
  }
  if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.channels > 2 ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16) ||
      format.blockAlign != format.channels * format.bitsPerSample / 8 ||
      format.samplesPerSec < 100 || format.samplesPerSec > 200000)
    return DeviceResult::kBadFormat;
  if (bytes < 4 || bytes > 0x0FFFFFFF) return DeviceResult::kInvalidArgument;
  auto voice = std::make_shared<DeviceSoundBuffer::Voice>();
  voice->data.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
  voice->channels = format.channels;
  voice->bits = format.bitsPerSample;
  voice->blockAlign = format.blockAlign;
  voice->frames = bytes / format.blockAlign;
  voice->step = (uint64_t{format.samplesPerSec} << 32) / kOutputRate;
  voice->latencyFrames = std::max(1u, format.samplesPerSec / 100);  // 10 ms
  {
    std::lock_guard<std::mutex> lock(mutex_);
    voices_.push_back(voice);
  }
  out->reset(new DeviceSoundBuffer(shared_from_this(), std::move(voice), flags, format, bytes));
  return DeviceResult::kOk;
}

void SoundDevice::Remove(const DeviceSoundBuffer::Voice* voice) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(voices_, [&](const auto& v) { return v.get() == voice; });
}

void SoundDevice::Mix(int16_t* out, size_t frameCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  accumulator_.assign(frameCount * 2, 0);
  int32_t* acc = accumulator_.data();
  for (auto& voice : voices_) {
    DeviceSoundBuffer::Voice& v = *voice;
    if (!v.playing) continue;
    if (v.frames == 0) {
      v.playing = false;
      continue;
    }
    if (v.bits == 8) {
      v.channels == 1 ? MixVoice<8, 1>(v, acc, frameCount) : MixVoice<8, 2>(v, acc, frameCount);
    } else {
      v.channels == 1 ? MixVoice<16, 1>(v, acc, frameCount) : MixVoice<16, 2>(v, acc, frameCount);
    }
  }
  for (size_t i = 0; i < frameCount * 2; ++i)
    out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
}

void SoundDevice::SetRefusedFlags(uint32_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  refusedFlags_ = flags;
}

size_t SoundDevice::BufferCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return voices_.size();
}

// ---- DeviceSoundBuffer ----

DeviceSoundBuffer::DeviceSoundBuffer(std::shared_ptr<SoundDevice> device, std::shared_ptr<Voice> voice,
                             uint32_t flags, const WaveFormat& format, uint32_t size)
    : device_(std::move(device)), voice_(std::move(voice)), flags_(flags), format_(format),
      size_(size) {}

DeviceSoundBuffer::~DeviceSoundBuffer() { device_->Remove(voice_.get()); }

DeviceResult DeviceSoundBuffer::Lock(uint32_t offset, uint32_t bytes, uint8_t** region1,
                                     uint32_t* size1, uint8_t** region2, uint32_t* size2) {
  *region1 = *region2 = nullptr;
  *size1 = *size2 = 0;
  if (offset >= size_ || bytes == 0 || bytes > size_) return DeviceResult::kInvalidArgument;
  scratch_.resize(bytes);
  lockOffset_ = offset;
  lockBytes_ = bytes;
  const uint32_t first = std::min(bytes, size_ - offset);
  *region1 = scratch_.data();
  *size1 = first;
  if (first < bytes) {
    *region2 = scratch_.data() + first;
    *size2 = bytes - first;
  }
  return DeviceResult::kOk;
}

DeviceResult DeviceSoundBuffer::Unlock(uint8_t* region1, uint32_t size1, uint8_t* region2,
                                       uint32_t size2) {
  if (lockBytes_ == 0 || region1 != scratch_.data() || size1 + size2 > lockBytes_)
    return DeviceResult::kInvalidArgument;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  std::memcpy(voice_->data.data() + lockOffset_, region1, size1);
  if (region2 && size2) std::memcpy(voice_->data.data(), region2, size2);
  lockBytes_ = 0;
  return DeviceResult::kOk;
}

void DeviceSoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  const uint64_t frame = std::min(voice_->position >> 32, voice_->frames);
  const uint32_t p = static_cast<uint32_t>((frame % std::max<uint64_t>(voice_->frames, 1)) *
                                           voice_->blockAlign);
  uint32_t w = p;
  if (voice_->playing)
    w = static_cast<uint32_t>((uint64_t{p} + uint64_t{voice_->latencyFrames} * voice_->blockAlign) %
                              size_);
  if (play) *play = p;
  if (write) *write = w;
}

bool DeviceSoundBuffer::IsPlaying() {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return voice_->playing;
}

void DeviceSoundBuffer::Play(bool looping) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  voice_->playing = true;
  voice_->looping = looping;
}

void DeviceSoundBuffer::Stop() {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  voice_->playing = false;
}

DeviceResult DeviceSoundBuffer::SetCurrentPosition(uint32_t offset) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  if (offset >= size_) return DeviceResult::kInvalidArgument;
  voice_->position = uint64_t{offset / voice_->blockAlign} << 32;
  return DeviceResult::kOk;
}

DeviceResult DeviceSoundBuffer::SetVolume(int32_t volume) {
  if (!(flags_ & buffer_control::kVolume)) return DeviceResult::kControlUnavailable;
  if (volume < kVolumeSilent || volume > 0) return DeviceResult::kInvalidArgument;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  voice_->volume = volume;
  UpdateGains(*voice_);
  return DeviceResult::kOk;
}

DeviceResult DeviceSoundBuffer::SetPan(int32_t pan) {
  if (!(flags_ & buffer_control::kPan)) return DeviceResult::kControlUnavailable;
  if (pan < -10000 || pan > 10000) return DeviceResult::kInvalidArgument;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  voice_->pan = pan;
  UpdateGains(*voice_);
  return DeviceResult::kOk;
}

}  // namespace zan
