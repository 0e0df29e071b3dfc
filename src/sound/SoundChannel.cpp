#include "sound/SoundChannel.h"

#include <algorithm>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "sound/SoundManager.h"

namespace zan {
namespace {

int32_t ClampVolume(int32_t v) { return std::clamp(v, kVolumeSilent, 0); }

const std::string& TaskPrefix() {
  static const std::string prefix = Sjis("CSoundProcess::【♪】");
  return prefix;
}

}  // namespace

int32_t CombineVolume(int32_t master, int32_t kind, int32_t fade, int32_t script) {
  // Integer division truncating toward zero at every step.
  const int32_t pM = master / 100 + 100;
  const int32_t pF = fade / 100 + 100;
  const int32_t pS = script / 100 + 100;
  int32_t t = pM * (kind + 10000) / 100;
  t = t * pF / 100;
  t = t * pS / 100;
  return t - 10000;
}

SoundChannel::SoundChannel(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader)
    : Task(TaskPrefix()), tasks_(tasks), manager_(manager), reader_(std::move(reader)) {
  SetHandler(0, [this] { Step(); });
}

SoundChannel::~SoundChannel() { tasks_.RemoveTask(this); }

void SoundChannel::StartTask() {
  if (!tasks_.IsRunning(this)) tasks_.AddTask(this, kOrderMessage);
}

void SoundChannel::RemoveTask() { tasks_.RemoveTask(this); }

bool SoundChannel::Load(std::string_view name, int32_t flags) {
  std::vector<uint8_t> bytes;
  if (!reader_ || !reader_(name, bytes)) return false;
  buffer_.Release();
  if (!manager_.CreateBuffer(buffer_, bytes.data(), static_cast<uint32_t>(bytes.size()), flags).ok() &&
      manager_.IsInitialized())
    ZAN_WARN("sound: \"%.*s\" (%zu bytes) is refused and stays silent (the lines above say why)",
            static_cast<int>(name.size()), name.data(), bytes.size());
  bytes.clear();
  StartTask();
  fileName_.assign(name.substr(0, kFileNameSize - 1));
  SetDescription(TaskPrefix() + fileName_);
  fadeLevel_ = 0;
  fadeStartLevel_ = 0;
  fadingIn_ = false;
  fadingOut_ = false;
  ApplyVolume();
  // The new buffer starts centred and unmuted: it takes the channel's pan and mutes, so a
  // "SoundDir" or "SoundMute" given before the load holds for the new sound.
  buffer_.SetPan(pan_);
  ApplyMute();
  return true;
}

void SoundChannel::ApplyVolume() {
  buffer_.SetVolume(CombineVolume(master_, kind_, fadeLevel_, scriptVolume_));
}

int32_t SoundChannel::CombinedVolume() const {
  return CombineVolume(master_, kind_, fadeLevel_, scriptVolume_);
}

void SoundChannel::ApplyMute() { buffer_.SetMute(globalMute_ || kindMute_ || scriptMute_); }

void SoundChannel::Play(int32_t loop) {
  if (!buffer_.HasDeviceBuffer()) return;
  if (loopPositionSet_) {
    buffer_.Play(0);
    buffer_.SetLoopPosition(loopPosition_);
  } else {
    // A loop position cleared since the last play must not linger in the decoder.
    buffer_.SetLoopPosition(0);
    buffer_.Play(loop);
  }
  playing_ = true;
  loop_ = loop != 0;
  ApplyMute();
}

void SoundChannel::Stop() {
  buffer_.Stop();
  playing_ = false;
  fadeLevel_ = 0;
  ApplyVolume();
}

void SoundChannel::PauseToggle() {
  if (buffer_.IsPaused()) {
    buffer_.Play(buffer_.PlayMode());
    playing_ = true;
  } else {
    buffer_.Pause();
    playing_ = false;
  }
}

void SoundChannel::Release() {
  Stop();
  buffer_.Release();
}

void SoundChannel::Reset() {
  fileName_.clear();
  SetDescription(TaskPrefix());
  master_ = kind_ = scriptVolume_ = fadeLevel_ = fadeStartLevel_ = 0;
  globalMute_ = kindMute_ = scriptMute_ = false;
  pan_ = 0;
  playing_ = loopPositionSet_ = loop_ = false;
  loopPosition_ = 0;
  fadeStart_ = fadeDuration_ = 0;
  fadingIn_ = fadingOut_ = stopAfterFade_ = false;
  rampFrom_ = rampTo_ = 0;
  rampActive_ = false;
  rampStart_ = rampDuration_ = 0;
  buffer_.SetPan(0);
}

void SoundChannel::SetGlobalMute(bool mute) {
  globalMute_ = mute;
  ApplyMute();
}

void SoundChannel::SetKindMute(bool mute) {
  kindMute_ = mute;
  ApplyMute();
}

void SoundChannel::SetScriptMute(bool mute) {
  scriptMute_ = mute;
  ApplyMute();
}

void SoundChannel::SetMasterFactor(int32_t value) {
  master_ = ClampVolume(value);
  ApplyVolume();
}

void SoundChannel::SetKindFactor(int32_t value) {
  kind_ = ClampVolume(value);
  ApplyVolume();
}

void SoundChannel::SetScriptVolume(int32_t value) {
  rampActive_ = false;
  StoreScriptVolume(value);
}

void SoundChannel::StoreScriptVolume(int32_t value) {
  scriptVolume_ = ClampVolume(value);
  ApplyVolume();
}

void SoundChannel::SetPan(int32_t pan) {
  pan_ = std::clamp(pan, -10000, 10000);
  buffer_.SetPan(pan_);
}

void SoundChannel::SetFadeLevel(int32_t level) {
  fadeLevel_ = ClampVolume(level);
  fadeStartLevel_ = fadeLevel_;
  fadingIn_ = fadingOut_ = false;
  ApplyVolume();
}

void SoundChannel::FadeIn(uint32_t durationMs, bool fromSilence) {
  if (fromSilence) {
    fadeLevel_ = fadeStartLevel_ = kVolumeSilent;
    fadingIn_ = fadingOut_ = false;
  }
  fadeStartLevel_ = fadeLevel_;
  fadeStart_ = tasks_.Now();
  fadeDuration_ = durationMs;
  fadingIn_ = true;
  fadingOut_ = false;
  ApplyVolume();
}

void SoundChannel::FadeOut(uint32_t durationMs, bool fromFull) {
  if (fromFull) {
    fadeLevel_ = fadeStartLevel_ = 0;
    fadingIn_ = fadingOut_ = false;
  }
  fadeStartLevel_ = fadeLevel_;
  fadeStart_ = tasks_.Now();
  fadeDuration_ = durationMs;
  fadingOut_ = true;
  fadingIn_ = false;
  stopAfterFade_ = false;
  ApplyVolume();
}

void SoundChannel::FadeOutAndStop(uint32_t durationMs, bool fromFull) {
  FadeOut(durationMs, fromFull);
  stopAfterFade_ = true;
}

void SoundChannel::RampScriptVolume(uint32_t durationMs, int32_t target) {
  rampFrom_ = scriptVolume_;
  rampTo_ = target;
  rampStart_ = tasks_.Now();
  rampDuration_ = durationMs;
  rampActive_ = true;
}

void SoundChannel::SetLoopPosition(bool enabled, uint32_t ms) {
  loopPositionSet_ = enabled;
  loopPosition_ = ms;
}

void SoundChannel::SetLoop(bool loop) { loop_ = loop; }

bool SoundChannel::IsLooping() {
  return loopPositionSet_ || buffer_.PlayMode() != 0;
}

bool SoundChannel::Step() {
  if (!buffer_.HasDeviceBuffer()) return false;
  const uint32_t now = tasks_.Now();
  const uint32_t elapsed = now - fadeStart_;
  const int32_t pct =
      fadeDuration_ == 0 ? 0 : static_cast<int32_t>(uint64_t{elapsed} * 100 / fadeDuration_);
  if (fadingIn_) {
    if (elapsed < fadeDuration_) {
      fadeLevel_ = fadeStartLevel_ - pct * fadeStartLevel_ / 100;
    } else {
      fadeLevel_ = 0;
      fadingIn_ = false;
    }
    ApplyVolume();
  }
  if (fadingOut_) {
    if (elapsed < fadeDuration_) {
      fadeLevel_ = fadeStartLevel_ + pct * (kVolumeSilent - fadeStartLevel_) / 100;
    } else {
      fadingOut_ = false;
      fadeLevel_ = kVolumeSilent;
      if (stopAfterFade_) {
        stopAfterFade_ = false;
        Stop();
        return true;
      }
    }
    ApplyVolume();
  }
  if (rampActive_) {
    const uint32_t elapsed2 = now - rampStart_;
    int32_t volume = rampTo_;
    if (elapsed2 < rampDuration_) {
      const int32_t rampPct = static_cast<int32_t>(uint64_t{elapsed2} * 100 / rampDuration_);
      volume = rampFrom_ + rampPct * (rampTo_ - rampFrom_) / 100;
    } else {
      rampActive_ = false;
    }
    StoreScriptVolume(volume);
  }
  return true;
}

}  // namespace zan
