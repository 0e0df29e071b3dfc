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
// Results follow the device conventions: 0 (DS_OK) or a negative error code below.
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

constexpr int32_t DS_OK = 0;
constexpr int32_t DSERR_BUFFERLOST = static_cast<int32_t>(0x88780096);
constexpr int32_t DSERR_INVALIDPARAM = static_cast<int32_t>(0x80070057);
constexpr int32_t DSERR_BADFORMAT = static_cast<int32_t>(0x88780064);
constexpr int32_t DSERR_CONTROLUNAVAIL = static_cast<int32_t>(0x8878001E);
constexpr int32_t DSERR_INVALIDCALL = static_cast<int32_t>(0x88780032);

constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;
constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_BUFFERLOST = 0x2;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;
constexpr uint32_t DSBPLAY_LOOPING = 0x1;

constexpr int32_t kVolumeSilent = -10000;

class SoundDevice;

class DeviceSoundBuffer {
 public:
  ~DeviceSoundBuffer();
  DeviceSoundBuffer(const DeviceSoundBuffer&) = delete;
  DeviceSoundBuffer& operator=(const DeviceSoundBuffer&) = delete;

  // Maps `bytes` from `offset` as one region, or two when the span wraps past the end.
  int32_t Lock(uint32_t offset, uint32_t bytes, uint8_t** region1, uint32_t* size1,
               uint8_t** region2, uint32_t* size2);
  // Commits what was written to the regions of the last Lock.
  int32_t Unlock(uint8_t* region1, uint32_t size1, uint8_t* region2, uint32_t size2);
  // Play and write cursors in bytes; the write cursor is ahead by the mixer's latency while
  // playing (data before it is already being played).
  int32_t GetCurrentPosition(uint32_t* play, uint32_t* write);
  int32_t GetStatus(uint32_t* status);
  int32_t Play(uint32_t flags);
  // Stops; the position stays.
  int32_t Stop();
  int32_t SetCurrentPosition(uint32_t offset);
  int32_t SetVolume(int32_t volume);
  int32_t SetPan(int32_t pan);
  int32_t Restore();

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
  int32_t CreateSoundBuffer(uint32_t flags, const WaveFormat& format, uint32_t bytes,
                            std::unique_ptr<DeviceSoundBuffer>* out);
  // Renders `frameCount` stereo frames (interleaved) and moves the play cursors on.
  void Mix(int16_t* out, size_t frameCount);
  // What a device reset does to every buffer: each reports itself lost until restored.
  void LoseBuffers();
  // Controls this device cannot offer (creating a buffer that asks for one fails).
  void SetRefusedFlags(uint32_t flags);
  size_t BufferCount() const;
  // Whether any buffer plays (and is not lost).
  bool AnyPlaying() const;
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
