#pragma once
// SoundBuffer: one playable sound on the sound device, of one of two kinds:
//  - static: the whole sound decoded to PCM at load and copied into one device buffer;
//  - stream: a decoder (Ogg Vorbis, or MP3 and compressed WAVE through Mp3Decoder) stays open and
//    feeds a ring-shaped device buffer holding one second of sound; a one-shot 500 ms timer
//    refills the played part of the ring on the clock's timer thread.
//
// Each failure to create or refill is logged once (SoundBuffer.cpp). Every operation holds
// the buffer's lock; the decoders' locks are taken inside it, never the other way round.

#include <cstdint>
#include <memory>
#include <mutex>

#include "sound/FillResult.h"
#include "sound/Mp3Decoder.h"
#include "sound/OggVorbisDecoder.h"
#include "sound/SoundDevice.h"

namespace zan {

// What creating a buffer answers.
enum class BufferResult {
  kOk,
  kNoBytes,            // static: no bytes (the memory file cannot be opened)
  kNoFmt,              // static: no usable "fmt " chunk
  kNoData,             // static: no "data" chunk
  kNoConversion,       // static: no conversion of the WAVE format to PCM
  kDeviceRefused,      // the device refuses the buffer with both control sets
  kLockFailed,         // the device refuses to lock the new buffer
  kConversionFailed,   // static: the conversion decoded nothing
  kUnlockFailed,       // the device refuses to unlock it
  kNotSound,           // static: neither WAVE, MP3 nor Ogg (the MP3 open's answer says why)
  kUndecodable,        // stream: neither the Ogg nor the MP3 decoder accepts the bytes
  kNotInitialized,     // the sound manager has no device
};

// A creation's answer, and with kNotSound what the MP3 open answered for the bytes (the
// last decoder tried, whose answer the static buffer passes on).
struct CreateResult {
  CreateResult(BufferResult result = BufferResult::kOk, Mp3Result mp3 = Mp3Result::kOk)
      : result(result), mp3(mp3) {}
  bool ok() const { return result == BufferResult::kOk; }
  bool operator==(const CreateResult&) const = default;

  BufferResult result;
  Mp3Result mp3;
};

// What Play answers.
enum class PlayResult {
  kStarted,  // from the start, or on from where a pause left it
  kNoDeviceBuffer,
  kAlreadyPlaying,
};

class SoundBuffer {
 public:
  enum Kind : int32_t { kNone = 0, kStatic = 1, kStream = 2 };
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

  // kOk, or any static or common failure (kNotSound with the MP3 open's answer).
  CreateResult CreateStaticSoundBuffer(SoundDevice* device, const uint8_t* data, uint32_t size);
  // kOk, kUndecodable, kDeviceRefused, kLockFailed or kUnlockFailed.
  BufferResult CreateStreamSoundBuffer(SoundDevice* device, const uint8_t* data, uint32_t size);

  // The loop flag is stored even when the buffer is already playing.
  PlayResult Play(int32_t loop);
  void Stop();
  // False when not playing or without a device buffer.
  bool Pause();
  bool IsPlaying();
  bool IsPaused();
  // False outside -10000..0 (nothing changes).
  bool SetVolume(int32_t volume);
  void SetMute(bool mute);
  void SetPan(int32_t pan);
  void SetLoopPosition(uint32_t ms);
  void Release();
  // One refill of the ring (the timer tick's work): the decoder's answer for the refilled
  // part, or why nothing was refilled.
  FillResult ReadStream();

  int32_t GetKind();
  bool HasDeviceBuffer();
  int32_t PlayMode();
  int32_t Volume();
  bool IsMuted();
  // How far the Ogg decoder has decoded, in seconds; 0 without an Ogg stream.
  double OggTime();
  // Counts refills that answered kEnded since the last Stop.
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
  FillResult FillFromDecoder(uint8_t* out, uint32_t n, int32_t playMode);
  // False when the device refuses both control sets.
  bool CreateDeviceBuffer(SoundDevice* device, uint32_t flags, uint32_t reduced,
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
