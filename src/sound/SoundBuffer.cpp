#include "sound/SoundBuffer.h"

#include <cstring>
#include <vector>

#include "sound/CompressedWaveDecoder.h"
#include "sound/RiffWave.h"
#include "sound/SoundLog.h"

// A refill whose decoder ran dry answers kEnded; the third in a row since the last Stop
// stops the buffer.

namespace zan {

struct SoundBuffer::TimerGate {
  std::recursive_mutex mutex;   // the buffer's lock
  SoundBuffer* buffer = nullptr;  // null once the buffer is gone: late ticks do nothing
};

SoundBuffer::SoundBuffer() : gate_(std::make_shared<TimerGate>()) { gate_->buffer = this; }

SoundBuffer::~SoundBuffer() {
  Lock lock(Mutex());
  ReleaseLocked();
  gate_->buffer = nullptr;
}

std::recursive_mutex& SoundBuffer::Mutex() { return gate_->mutex; }

void SoundBuffer::Preamble() {
  StopLocked();
  buffer_.reset();
  mp3_.Close();
  ogg_.Close();
  kind_ = kNone;
  ringSize_ = 0;
  writeOffset_ = 0;
}

void SoundBuffer::ReleaseLocked() { Preamble(); }

void SoundBuffer::Release() {
  Lock lock(Mutex());
  ReleaseLocked();
}

bool SoundBuffer::CreateDeviceBuffer(SoundDevice* device, uint32_t flags, uint32_t reduced,
                                      const WaveFormat& format, uint32_t bytes) {
  if (!device) return false;
  device_ = device;
  return device->CreateSoundBuffer(flags, format, bytes, &buffer_) == DeviceResult::kOk ||
         device->CreateSoundBuffer(reduced, format, bytes, &buffer_) == DeviceResult::kOk;
}

CreateResult SoundBuffer::CreateStaticSoundBuffer(SoundDevice* device, const uint8_t* data,
                                                   uint32_t size) {
  Lock lock(Mutex());
  Preamble();
  RiffWave wave;
  const RiffWaveResult riff = ReadRiffWave({data, data ? size : 0u}, &wave);
  if (riff == RiffWaveResult::kEmpty) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : mmioOpenの失敗");
    return BufferResult::kNoBytes;
  }
  // Decoders of this call only.
  Mp3Decoder mp3;
  OggVorbisDecoder ogg;
  if (riff == RiffWaveResult::kNotWave) {
    const Mp3Result mp3Result = mp3.OpenWhole(data, size);
    if (mp3Result != Mp3Result::kOk && ogg.OpenNoCopy(data, size) != OggResult::kOk) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : Waveファイルでない");
      return {BufferResult::kNotSound, mp3Result};
    }
  } else if (riff == RiffWaveResult::kNoFmt) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : fmtチャンクが指定できない");
    return BufferResult::kNoFmt;
  } else if (riff == RiffWaveResult::kNoData) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : データチャンクなさげ");
    return BufferResult::kNoData;
  }

  // The source and its PCM format.
  CompressedWaveDecoder codec;
  WaveFormat format;
  uint64_t byteCount = 0;
  enum { kFromMp3, kFromOgg, kFromPcm, kFromCodec } source;
  if (mp3.IsOpen()) {
    source = kFromMp3;
    format = mp3.PcmFormat();
    byteCount = mp3.EstimatedSize();
  } else if (ogg.IsOpen()) {
    source = kFromOgg;
    format = ogg.PcmFormat();
    byteCount = ogg.PcmBytes();
  } else if (wave.format == MakePcmFormat(wave.format.channels, wave.format.samplesPerSec,
                                          wave.format.bitsPerSample) &&
             (wave.format.bitsPerSample == 8 || wave.format.bitsPerSample == 16)) {
    // PCM the device plays as it is; other sample sizes are converted.
    source = kFromPcm;
    format = wave.format;
    byteCount = wave.data.size();
  } else {
    if (codec.Open(wave.format, wave.data.data(), static_cast<uint32_t>(wave.data.size())) !=
        WaveDecoderResult::kOk) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::非対応のWAVE FORMAT");
      return BufferResult::kNoConversion;
    }
    source = kFromCodec;
    format = codec.PcmFormat();
    byteCount = codec.EstimatedSize();
  }

  std::vector<uint8_t> pcm;
  if (source == kFromMp3 || source == kFromCodec) {
    // A conversion reports the bytes it actually produced.
    const ConvertResult rc = source == kFromMp3 ? mp3.ConvertWhole(pcm) : codec.ConvertWhole(pcm);
    if (rc != ConvertResult::kOk) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::Acmでの変換に失敗");
      return BufferResult::kConversionFailed;
    }
    byteCount = pcm.size();
  }
  // The device takes at most 0x0FFFFFFF bytes; a larger claim is refused before anything
  // that size is allocated.
  if (byteCount == 0 || byteCount > 0x0FFFFFFF ||
      !CreateDeviceBuffer(device, kStaticFlags, kStaticFlagsReduced, format,
                          static_cast<uint32_t>(byteCount))) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStatocSoundBufferのCreateSoundBuffer()で失敗");
    Preamble();
    return BufferResult::kDeviceRefused;
  }
  if (source == kFromOgg) {
    pcm.resize(byteCount);
    ogg.Fill(pcm.data(), static_cast<uint32_t>(byteCount), 0);
  } else if (source == kFromPcm) {
    pcm.assign(wave.data.begin(), wave.data.end());
  }

  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (buffer_->Lock(0, static_cast<uint32_t>(byteCount), &p1, &n1, &p2, &n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBufferのLock()に失敗");
    Preamble();
    return BufferResult::kLockFailed;
  }
  std::memcpy(p1, pcm.data(), n1);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBufferのUnlock()に失敗");
    Preamble();
    return BufferResult::kUnlockFailed;
  }
  kind_ = kStatic;
  return BufferResult::kOk;
}

BufferResult SoundBuffer::CreateStreamSoundBuffer(SoundDevice* device, const uint8_t* data,
                                                   uint32_t size) {
  Lock lock(Mutex());
  Preamble();
  WaveFormat format;
  if (ogg_.Open(data, size) == OggResult::kOk) {
    format = ogg_.PcmFormat();
  } else if (mp3_.Open(data, size) == Mp3Result::kOk) {
    format = mp3_.PcmFormat();
  } else {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBuffer m_Mp3.Open error\n");
    return BufferResult::kUndecodable;
  }
  // One second of sound.
  ringSize_ = format.avgBytesPerSec;
  if (!CreateDeviceBuffer(device, kStreamFlags, kStreamFlagsReduced, format, ringSize_)) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBufferのCreateSoundBuffer()で失敗");
    Preamble();
    return BufferResult::kDeviceRefused;
  }
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (buffer_->Lock(0, ringSize_, &p1, &n1, &p2, &n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBufferのLock()に失敗");
    Preamble();
    return BufferResult::kLockFailed;
  }
  FillFromDecoder(p1, n1, 0);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateSteramSoundBufferのUnlock()に失敗");
    Preamble();
    return BufferResult::kUnlockFailed;
  }
  kind_ = kStream;
  writeOffset_ = 0;
  return BufferResult::kOk;
}

FillResult SoundBuffer::FillFromDecoder(uint8_t* out, uint32_t n, int32_t playMode) {
  if (ogg_.IsOpen()) return ogg_.Fill(out, n, playMode);
  if (mp3_.IsOpen()) return mp3_.CopyPcm(out, n, playMode);
  std::memset(out, 0, n);
  return FillResult::kEnded;
}

void SoundBuffer::ApplyDeviceVolume() {
  if (buffer_) buffer_->SetVolume(muted_ ? kVolumeSilent : volume_);
}

PlayResult SoundBuffer::Play(int32_t loop) {
  Lock lock(Mutex());
  if (!buffer_) return PlayResult::kNoDeviceBuffer;
  playMode_ = loop;
  const uint32_t now = device_->GetClock().Milliseconds();
  if (paused_) {
    paused_ = false;
    startTime_ += now - pauseTime_;  // the device position stayed where Pause left it
  } else {
    if (buffer_->IsPlaying()) return PlayResult::kAlreadyPlaying;
    buffer_->SetCurrentPosition(0);
    startTime_ = now;
  }
  pauseTime_ = 0;
  ApplyDeviceVolume();
  // A stream's ring always loops.
  buffer_->Play(loop != 0 || kind_ == kStream);
  if (kind_ == kStream && timerId_ == 0) ArmTimer();
  return PlayResult::kStarted;
}

void SoundBuffer::ArmTimer() {
  const uint64_t sequence = ++timerSequence_;
  std::shared_ptr<TimerGate> gate = gate_;
  timerId_ = device_->GetClock().StartOneShot(kRefillMs, [gate, sequence] {
    std::lock_guard<std::recursive_mutex> lock(gate->mutex);
    if (gate->buffer) gate->buffer->OnRefillTick(sequence);
  });
}

void SoundBuffer::OnRefillTick(uint64_t sequence) {
  // A tick whose timer was cancelled (by Stop, or replaced since) ends its chain here: the
  // check and the refill run under the same lock.
  if (timerId_ == 0 || sequence != timerSequence_) return;
  if (ReadStream() == FillResult::kEnded) {
    if (silenceTicks_ > 1) {
      uint32_t play = 0, write = 0;
      if (buffer_) buffer_->GetCurrentPosition(&play, &write);
      SoundLog(LogLevel::kDebug, "CSoundBufferStream SILENCE!! but... a = %d b = %d", static_cast<int>(play),
               static_cast<int>(write));
      StopLocked();
      return;
    }
    ++silenceTicks_;
  }
  ArmTimer();
}

FillResult SoundBuffer::ReadStream() {
  Lock lock(Mutex());
  if (!buffer_) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::ReadStream m_lpDSB がNULL");
    return FillResult::kNoDeviceBuffer;
  }
  if (paused_) return FillResult::kPaused;
  uint32_t play = 0, write = 0;
  buffer_->GetCurrentPosition(&play, &write);
  if (play == 0 && write == 0) return FillResult::kNotStarted;
  if (writeOffset_ == ringSize_) writeOffset_ = 0;
  const uint32_t offset = writeOffset_;
  // An offset equal to the play cursor refills the whole ring.
  const uint32_t n = offset < play ? play - offset : play + ringSize_ - offset;
  writeOffset_ = offset + n > ringSize_ ? offset + n - ringSize_ : offset + n;
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (const DeviceResult locked = buffer_->Lock(offset, n, &p1, &n1, &p2, &n2);
      locked != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::ReadStreamのLock()に失敗 hr = %d offset %d size %d",
             static_cast<int>(locked), static_cast<int>(offset), static_cast<int>(n));
    return FillResult::kLockFailed;
  }
  const FillResult result = FillFromDecoder(p1, n1, playMode_);
  if (p2 && n2) FillFromDecoder(p2, n2, playMode_);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::ReadStreamのUnlock()に失敗");
    return FillResult::kUnlockFailed;
  }
  return result;
}

void SoundBuffer::StopLocked() {
  if (!buffer_) {
    timerId_ = 0;
    return;
  }
  if (!buffer_->IsPlaying() && !paused_) return;
  mp3_.Rewind();
  ogg_.Rewind();
  writeOffset_ = 0;
  silenceTicks_ = 0;
  // The pending tick stays with the clock and finds no timer id when it runs.
  timerId_ = 0;
  buffer_->Stop();
  buffer_->SetCurrentPosition(0);
  paused_ = false;
  startTime_ = 0;
  pauseTime_ = 0;
  if (kind_ == kStream) {
    // Pre-fill the rewound ring so the next Play starts at once.
    uint8_t *p1, *p2;
    uint32_t n1, n2;
    if (buffer_->Lock(0, ringSize_, &p1, &n1, &p2, &n2) == DeviceResult::kOk) {
      FillFromDecoder(p1, n1, 0);
      buffer_->Unlock(p1, n1, p2, n2);
    }
  }
}

void SoundBuffer::Stop() {
  Lock lock(Mutex());
  StopLocked();
}

bool SoundBuffer::Pause() {
  Lock lock(Mutex());
  if (!buffer_ || !buffer_->IsPlaying()) return false;
  paused_ = true;
  buffer_->Stop();
  pauseTime_ = device_->GetClock().Milliseconds();
  return true;
}

bool SoundBuffer::IsPlaying() {
  Lock lock(Mutex());
  if (!buffer_) return false;
  return buffer_->IsPlaying();
}

bool SoundBuffer::IsPaused() {
  Lock lock(Mutex());
  return paused_;
}

bool SoundBuffer::SetVolume(int32_t volume) {
  Lock lock(Mutex());
  if (volume > 0 || volume < kVolumeSilent) return false;
  volume_ = volume;
  if (!muted_ && buffer_) buffer_->SetVolume(volume);
  return true;
}

void SoundBuffer::SetMute(bool mute) {
  Lock lock(Mutex());
  muted_ = mute;
  ApplyDeviceVolume();
}

void SoundBuffer::SetPan(int32_t pan) {
  Lock lock(Mutex());
  // A buffer made with the reduced flag set has no pan control and ignores this.
  if (buffer_) buffer_->SetPan(pan);
}

void SoundBuffer::SetLoopPosition(uint32_t ms) {
  Lock lock(Mutex());
  loopPosition_ = ms;
  ogg_.SetLoopPosition(ms);
}

int32_t SoundBuffer::GetKind() {
  Lock lock(Mutex());
  return kind_;
}
bool SoundBuffer::HasDeviceBuffer() {
  Lock lock(Mutex());
  return buffer_ != nullptr;
}
int32_t SoundBuffer::PlayMode() {
  Lock lock(Mutex());
  return playMode_;
}
int32_t SoundBuffer::Volume() {
  Lock lock(Mutex());
  return volume_;
}
bool SoundBuffer::IsMuted() {
  Lock lock(Mutex());
  return muted_;
}
double SoundBuffer::OggTime() {
  Lock lock(Mutex());
  return ogg_.IsOpen() ? ogg_.TimeTell() : 0.0;
}
int32_t SoundBuffer::SilenceTicks() {
  Lock lock(Mutex());
  return silenceTicks_;
}

}  // namespace zan
