#include "sound/SoundBuffer.h"

#include <cstring>
#include <vector>

#include "sound/CompressedWaveDecoder.h"
#include "sound/RiffWave.h"
#include "sound/SoundLog.h"

// Create and refill failures, each logged once:
//   1  stream: neither decoder accepts the data
//   2  static: no bytes (the memory file cannot be opened)
//   4  static: no usable "fmt " chunk            5  static: no "data" chunk
//   6  static: no conversion of the WAVE format to PCM
//   7  the device refuses the buffer with both flag sets
//   8  lock failed                                9  static: the conversion failed
//   10 unlock failed                              13 refill during a pause (no log)
//   15 refill without device buffer               16 refill: both cursors 0 (no log)
//   99 refill: the decoder ran dry; the third in a row since the last Stop stops the buffer

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

int32_t SoundBuffer::CreateDeviceBuffer(SoundDevice* device, uint32_t flags, uint32_t reduced,
                                         const WaveFormat& format, uint32_t bytes) {
  if (!device) return 7;
  device_ = device;
  if (device->CreateSoundBuffer(flags, format, bytes, &buffer_) == DeviceResult::kOk) return 0;
  if (device->CreateSoundBuffer(reduced, format, bytes, &buffer_) == DeviceResult::kOk) return 0;
  return 7;
}

int32_t SoundBuffer::CreateStaticSoundBuffer(SoundDevice* device, const uint8_t* data,
                                              uint32_t size) {
  Lock lock(Mutex());
  Preamble();
  RiffWave wave;
  const RiffWaveResult riff = ReadRiffWave({data, data ? size : 0u}, &wave);
  if (riff == kRiffWaveEmpty) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : mmioOpenの失敗");
    return 2;
  }
  // Decoders of this call only.
  Mp3Decoder mp3;
  OggVorbisDecoder ogg;
  if (riff == kRiffWaveNotWave) {
    const int32_t mp3Result = mp3.OpenWhole(data, size);
    if (mp3Result != 0 && ogg.OpenNoCopy(data, size) != 0) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : Waveファイルでない");
      return mp3Result;
    }
  } else if (riff == kRiffWaveNoFmt) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : fmtチャンクが指定できない");
    return 4;
  } else if (riff == kRiffWaveNoData) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBuffer : データチャンクなさげ");
    return 5;
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
    if (codec.Open(wave.format, wave.data.data(), static_cast<uint32_t>(wave.data.size())) != 0) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::非対応のWAVE FORMAT");
      return 6;
    }
    source = kFromCodec;
    format = codec.PcmFormat();
    byteCount = codec.EstimatedSize();
  }

  std::vector<uint8_t> pcm;
  if (source == kFromMp3 || source == kFromCodec) {
    // A conversion reports the bytes it actually produced.
    const int32_t rc = source == kFromMp3 ? mp3.ConvertWhole(pcm) : codec.ConvertWhole(pcm);
    if (rc != 0) {
      SoundLog(LogLevel::kWarning, "CSoundBuffer::Acmでの変換に失敗");
      return 9;
    }
    byteCount = pcm.size();
  }
  // The device takes at most 0x0FFFFFFF bytes; a larger claim is refused before anything
  // that size is allocated.
  if (byteCount == 0 || byteCount > 0x0FFFFFFF ||
      CreateDeviceBuffer(device, kStaticFlags, kStaticFlagsReduced, format,
                         static_cast<uint32_t>(byteCount)) != 0) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStatocSoundBufferのCreateSoundBuffer()で失敗");
    Preamble();
    return 7;
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
    return 8;
  }
  std::memcpy(p1, pcm.data(), n1);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStaticSoundBufferのUnlock()に失敗");
    Preamble();
    return 10;
  }
  kind_ = kStatic;
  return 0;
}

int32_t SoundBuffer::CreateStreamSoundBuffer(SoundDevice* device, const uint8_t* data,
                                              uint32_t size) {
  Lock lock(Mutex());
  Preamble();
  WaveFormat format;
  if (ogg_.Open(data, size) == 0) {
    format = ogg_.PcmFormat();
  } else if (mp3_.Open(data, size) == 0) {
    format = mp3_.PcmFormat();
  } else {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBuffer m_Mp3.Open error\n");
    return 1;
  }
  // One second of sound.
  ringSize_ = format.avgBytesPerSec;
  if (CreateDeviceBuffer(device, kStreamFlags, kStreamFlagsReduced, format, ringSize_) != 0) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBufferのCreateSoundBuffer()で失敗");
    Preamble();
    return 7;
  }
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (buffer_->Lock(0, ringSize_, &p1, &n1, &p2, &n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateStreamSoundBufferのLock()に失敗");
    Preamble();
    return 8;
  }
  FillFromDecoder(p1, n1, 0);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::CreateSteramSoundBufferのUnlock()に失敗");
    Preamble();
    return 10;
  }
  kind_ = kStream;
  writeOffset_ = 0;
  return 0;
}

int32_t SoundBuffer::FillFromDecoder(uint8_t* out, uint32_t n, int32_t playMode) {
  if (ogg_.IsOpen()) return ogg_.Fill(out, n, playMode);
  if (mp3_.IsOpen()) return mp3_.CopyPcm(out, n, playMode);
  std::memset(out, 0, n);
  return kEndCode;
}

void SoundBuffer::ApplyDeviceVolume() {
  if (buffer_) buffer_->SetVolume(muted_ ? kVolumeSilent : volume_);
}

int32_t SoundBuffer::Play(int32_t loop) {
  Lock lock(Mutex());
  if (!buffer_) return 1;
  playMode_ = loop;
  const uint32_t now = device_->GetClock().Milliseconds();
  if (paused_) {
    paused_ = false;
    startTime_ += now - pauseTime_;  // the device position stayed where Pause left it
  } else {
    if (buffer_->IsPlaying()) return 2;
    buffer_->SetCurrentPosition(0);
    startTime_ = now;
  }
  pauseTime_ = 0;
  ApplyDeviceVolume();
  // A stream's ring always loops.
  buffer_->Play(loop != 0 || kind_ == kStream);
  if (kind_ == kStream && timerId_ == 0) ArmTimer();
  return 0;
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
  if (ReadStream() == kEndCode) {
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

int32_t SoundBuffer::ReadStream() {
  Lock lock(Mutex());
  if (!buffer_) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::ReadStream m_lpDSB がNULL");
    return 15;
  }
  if (paused_) return 13;
  uint32_t play = 0, write = 0;
  buffer_->GetCurrentPosition(&play, &write);
  if (play == 0 && write == 0) return 16;
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
    return 8;
  }
  const int32_t result = FillFromDecoder(p1, n1, playMode_);
  if (p2 && n2) FillFromDecoder(p2, n2, playMode_);
  if (buffer_->Unlock(p1, n1, p2, n2) != DeviceResult::kOk) {
    SoundLog(LogLevel::kWarning, "CSoundBuffer::ReadStreamのUnlock()に失敗");
    return 10;
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

int32_t SoundBuffer::Pause() {
  Lock lock(Mutex());
  if (!buffer_) return 1;
  if (!buffer_->IsPlaying()) return 1;
  paused_ = true;
  buffer_->Stop();
  pauseTime_ = device_->GetClock().Milliseconds();
  return 0;
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

int32_t SoundBuffer::SetVolume(int32_t volume) {
  Lock lock(Mutex());
  if (volume > 0 || volume < kVolumeSilent) return 1;
  volume_ = volume;
  if (!muted_ && buffer_) buffer_->SetVolume(volume);
  return 0;
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
