#pragma once
// SoundDevice: the sound device the buffers play on, and its mixer. It keeps secondary
// buffers (`DeviceSoundBuffer`): rings or blocks of PCM (8 or 16 bits, mono or stereo, 100 Hz
// to 200 kHz), each with a play cursor, a play state, a volume and a pan. `Mix`, called by
// the platform's audio output, renders the playing buffers as 44100 Hz stereo 16-bit
// frames: each buffer is resampled (linear interpolation), scaled by its volume and pan,
// summed, and the sum saturated to 16 bits.
//
// Volume is attenuation in hundredths of a decibel, -10000 (silent) to 0. Pan -10000 (left)
// to 10000 (right) attenuates the other side by as much; +-10000 silences it.
//
// Writing goes through Lock and Unlock: the regions Lock hands out are the caller's own
// scratch memory, copied into the buffer by Unlock under the device's lock, so the mixer
// thread never reads memory that is being written.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "sound/WaveFormat.h"

namespace zan {

// What a device operation answers.
enum class DeviceResult { kOk, kInvalidArgument, kBadFormat, kControlUnavailable };

// The controls a buffer is created with (a bit set). Only volume and pan change what the
// mixer does; the others are asked for by the stream buffers and a device may refuse them.
namespace buffer_control {
constexpr uint32_t kFrequency = 0x20;
constexpr uint32_t kPan = 0x40;
constexpr uint32_t kVolume = 0x80;
constexpr uint32_t kPositionNotify = 0x100;
constexpr uint32_t kGlobalFocus = 0x8000;
constexpr uint32_t kPrecisePosition = 0x10000;
}  // namespace buffer_control

constexpr int32_t kVolumeSilent = -10000;

class SoundDevice;

class DeviceSoundBuffer {
 public:
  ~DeviceSoundBuffer();
  DeviceSoundBuffer(const DeviceSoundBuffer&) = delete;
  DeviceSoundBuffer& operator=(const DeviceSoundBuffer&) = delete;

  // Maps `bytes` from `offset` as one region, or two when the span wraps past the end.
  DeviceResult Lock(uint32_t offset, uint32_t bytes, uint8_t** region1, uint32_t* size1,
                    uint8_t** region2, uint32_t* size2);
  // Commits what was written to the regions of the last Lock.
  DeviceResult Unlock(uint8_t* region1, uint32_t size1, uint8_t* region2, uint32_t size2);
  // Play and write cursors in bytes; the write cursor is ahead by the mixer's latency while
  // playing (data before it is already being played).
  void GetCurrentPosition(uint32_t* play, uint32_t* write);
  bool IsPlaying();
  void Play(bool looping);
  // Stops; the position stays.
  void Stop();
  DeviceResult SetCurrentPosition(uint32_t offset);
  // kControlUnavailable without the volume control; kInvalidArgument outside -10000..0.
  DeviceResult SetVolume(int32_t volume);
  // kControlUnavailable without the pan control; kInvalidArgument outside -10000..10000.
  DeviceResult SetPan(int32_t pan);

  uint32_t Flags() const { return flags_; }
  uint32_t Size() const { return size_; }
  const WaveFormat& Format() const { return format_; }

  // The device's side of the buffer (samples, cursor, state), shared with the mixer.
  struct Voice;

 private:
  friend class SoundDevice;
  DeviceSoundBuffer(std::shared_ptr<SoundDevice> device, std::shared_ptr<Voice> voice,
                uint32_t flags, const WaveFormat& format, uint32_t size);

  std::shared_ptr<SoundDevice> device_;
  std::shared_ptr<Voice> voice_;
  uint32_t flags_;
  WaveFormat format_;
  uint32_t size_;
  std::vector<uint8_t> scratch_;
  uint32_t lockOffset_ = 0;
  uint32_t lockBytes_ = 0;
};

class SoundDevice : public std::enable_shared_from_this<SoundDevice> {
 public:
  static constexpr uint32_t kOutputRate = 44100;

  // `clock` is the time base of the buffers' refill timers.
  static std::shared_ptr<SoundDevice> Create(Clock& clock);
  ~SoundDevice();

  // A secondary buffer of `bytes` bytes in `format` with the control `flags`.
  DeviceResult CreateSoundBuffer(uint32_t flags, const WaveFormat& format, uint32_t bytes,
                            std::unique_ptr<DeviceSoundBuffer>* out);
  // Renders `frameCount` stereo frames (interleaved) and moves the play cursors on.
  void Mix(int16_t* out, size_t frameCount);
  // Controls this device cannot offer (creating a buffer that asks for one fails).
  void SetRefusedFlags(uint32_t flags);
  size_t BufferCount() const;
  Clock& GetClock() const { return clock_; }

 private:
  friend class DeviceSoundBuffer;
  explicit SoundDevice(Clock& clock) : clock_(clock) {}
  void Remove(const DeviceSoundBuffer::Voice* voice);

  Clock& clock_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<DeviceSoundBuffer::Voice>> voices_;
  std::vector<int32_t> accumulator_;
  uint32_t refusedFlags_ = 0;
};

}  // namespace zan
