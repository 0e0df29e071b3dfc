#pragma once
// SoundBuffer: one playable sound on the sound device, of one of two kinds:
//  - static: the whole sound decoded to PCM at load and copied into one device buffer;
//  - stream: a decoder (Ogg Vorbis, or MP3 and compressed WAVE through Mp3Decoder) stays open and
//    feeds a ring-shaped device buffer holding one second of sound; a one-shot 500 ms timer
//    refills the played part of the ring on the clock's timer thread.
//
// Operations return small codes, 0 for success (the table of failures and their log lines
// is in SoundBuffer.cpp). Every operation holds the buffer's lock; the decoders' locks are
// taken inside it, never the other way round.

#include <cstdint>
#include <memory>
#include <mutex>

#include "sound/Mp3Decoder.h"
#include "sound/OggVorbisDecoder.h"
#include "sound/SoundDevice.h"

namespace zan {

class SoundBuffer {
 public:
  enum Kind : int32_t { kNone = 0, kStatic = 1, kStream = 2 };
  static constexpr int32_t kEndCode = 99;
  static constexpr uint32_t kRefillMs = 500;
  // Device control flags of each kind, and the reduced set asked for when the device
  // refuses the first.
  static constexpr uint32_t kStaticFlagsReduced =
      buffer_control::kGlobalFocus | buffer_control::kVolume;
  static constexpr uint32_t kStaticFlags =
      kStaticFlagsReduced | buffer_control::kPan | buffer_control::kFrequency;
  static constexpr uint32_t kStreamFlagsReduced =
      kStaticFlagsReduced | buffer_control::kPositionNotify | buffer_control::kPrecisePosition;
  static constexpr uint32_t kStreamFlags =
      kStreamFlagsReduced | buffer_control::kPan | buffer_control::kFrequency;

  SoundBuffer();
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // 0, or 2 (no bytes), 4 (no fmt), 5 (no data), 6 (no conversion), 7 (device refused),
  // 8 (lock), 9 (conversion failed), 10 (unlock), or the MP3 open's code when the bytes are
  // neither WAVE, MP3 nor Ogg.
  int32_t CreateStaticSoundBuffer(SoundDevice* device, const uint8_t* data, uint32_t size);
  // 0, 1 (no decoder accepts the data), 7, 8 or 10.
  int32_t CreateStreamSoundBuffer(SoundDevice* device, const uint8_t* data, uint32_t size);

  // 0 started or resumed; 1 no device buffer; 2 already playing (the loop flag is stored
  // all the same).
  int32_t Play(int32_t loop);
  void Stop();
  // 0 paused; 1 not playing or no device buffer.
  int32_t Pause();
  bool IsPlaying();
  bool IsPaused();
  // 1 outside -10000..0 (nothing changes), else 0.
  int32_t SetVolume(int32_t volume);
  void SetMute(bool mute);
  void SetPan(int32_t pan);
  void SetLoopPosition(uint32_t ms);
  void Release();
  // One refill of the ring (the timer tick's work); see SoundBuffer.cpp for the codes.
  int32_t ReadStream();

  int32_t GetKind();
  bool HasDeviceBuffer();
  int32_t PlayMode();
  int32_t Volume();
  bool IsMuted();
  // How far the Ogg decoder has decoded, in seconds; 0 without an Ogg stream.
  double OggTime();
  // Counts refills that returned the end code since the last Stop.
  int32_t SilenceTicks();
  // The device buffer (tests and the sound viewer look at its cursors).
  DeviceSoundBuffer* DeviceBuffer() { return buffer_.get(); }

 private:
  struct TimerGate;
  using Lock = std::lock_guard<std::recursive_mutex>;

  std::recursive_mutex& Mutex();
  void Preamble();
  void StopLocked();
  void ReleaseLocked();
  void ArmTimer();
  void OnRefillTick(uint64_t sequence);
  int32_t FillFromDecoder(uint8_t* out, uint32_t n, int32_t playMode);
  int32_t CreateDeviceBuffer(SoundDevice* device, uint32_t flags, uint32_t reduced,
                             const WaveFormat& format, uint32_t bytes);
  void ApplyDeviceVolume();

  std::shared_ptr<TimerGate> gate_;
  SoundDevice* device_ = nullptr;
  uint32_t timerId_ = 0;
  uint64_t timerSequence_ = 0;  // identifies the pending tick; stale ticks do nothing
  uint32_t writeOffset_ = 0;
  uint32_t startTime_ = 0;
  bool paused_ = false;
  uint32_t ringSize_ = 0;
  std::unique_ptr<DeviceSoundBuffer> buffer_;
  bool muted_ = false;
  int32_t volume_ = 0;
  int32_t silenceTicks_ = 0;
  int32_t kind_ = kNone;
  Mp3Decoder mp3_;
  OggVorbisDecoder ogg_;
  int32_t playMode_ = 0;
  uint32_t loopPosition_ = 0;
  uint32_t pauseTime_ = 0;
};

}  // namespace zan
