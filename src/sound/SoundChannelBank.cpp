#include "sound/SoundChannelBank.h"

#include <algorithm>

namespace zan {

SoundKind ChannelKind(int index) {
  if (index <= 1) return SoundKind::kBgm;
  if (index <= 5) return SoundKind::kEffect;
  return SoundKind::kVoice;
}

int32_t VolumeStep(int32_t setting) {
  static constexpr int32_t kSteps[9] = {-10000, -5000, -4000, -3000, -2000, -1250, -750, -500, -250};
  return setting >= 0 && setting <= 8 ? kSteps[setting] : 0;
}

int32_t MasterFactor(int32_t setting) { return (setting - 9) * 10000 / 9; }

SoundChannelBank::SoundChannelBank(int count, bool script, TaskScheduler& tasks,
                               SoundManager& manager, SoundFileReader reader)
    : script_(script) {
  for (int i = 0; i < count; ++i)
    channels_.push_back(std::make_unique<SoundChannel>(tasks, manager, reader));
}

SoundChannel* SoundChannelBank::Channel(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return channels_[static_cast<size_t>(index)].get();
}

void SoundChannelBank::ApplySettings(const SoundSettings& s, bool panic, bool ducked) {
  for (int i = 0; i < Count(); ++i) {
    SoundChannel& c = *channels_[static_cast<size_t>(i)];
    const SoundKind kind = ChannelKind(i);
    c.SetGlobalMute(s.muteAll);
    c.SetMasterFactor(MasterFactor(s.masterVolume));
    const bool kindMute = kind == SoundKind::kBgm      ? s.bgmMute
                          : kind == SoundKind::kEffect ? s.effectMute
                                                       : s.voiceMute;
    c.SetKindMute(kindMute || panic);
    const int32_t level = kind == SoundKind::kBgm      ? s.bgmVolume
                          : kind == SoundKind::kEffect ? s.effectVolume
                                                       : s.voiceVolume;
    int32_t factor = VolumeStep(level);
    if (script_ && kind == SoundKind::kBgm && ducked) {
      // One twentieth of the attenuation range left.
      factor = std::clamp(factor + (-factor - 10000) / 20, -10000, 0);
    }
    c.SetKindFactor(factor);
    if (!script_ && i <= 1 && movieVolume_) movieVolume_(i, c.CombinedVolume());
  }
}

void SoundChannelBank::StopAll(int keep) {
  for (int i = 0; i < Count(); ++i) {
    SoundChannel& c = *channels_[static_cast<size_t>(i)];
    if (i == keep || !c.IsTaskRunning()) continue;
    c.Release();
    c.Reset();
    c.RemoveTask();
  }
}

bool SoundChannelBank::AnyVoicePlaying() {
  for (int i = 0; i < Count(); ++i)
    if (ChannelKind(i) == SoundKind::kVoice && channels_[static_cast<size_t>(i)]->IsPlaying())
      return true;
  return false;
}

void SoundChannelBank::PlaySystem(int index, std::string_view file, bool loop, uint32_t fadeMs,
                                const SoundSettings& settings, bool panic) {
  SoundChannel* c = Channel(index);
  if (!c) return;
  c->Load(file);
  ApplySettings(settings, panic, false);
  if (fadeMs != 0) c->FadeIn(fadeMs, true);
  c->Play(loop ? 1 : 0);
}

void SoundChannelBank::StopSystem(int index, uint32_t fadeMs) {
  SoundChannel* c = Channel(index);
  if (!c) return;
  if (fadeMs != 0)
    c->FadeOutAndStop(fadeMs, true);
  else
    c->Stop();
}

void SoundChannelBank::PauseToggle(int index) {
  if (SoundChannel* c = Channel(index)) c->PauseToggle();
}

bool SoundChannelBank::IsPlaying(int index) {
  SoundChannel* c = Channel(index);
  return c && c->IsPlaying();
}

uint32_t SoundChannelBank::PlayPositionMs(int index) {
  SoundChannel* c = Channel(index);
  if (!c || !(c->IsPlaying() || c->IsPaused())) return 0;
  return static_cast<uint32_t>(c->Buffer().OggTime() * 1000.0);
}

}  // namespace zan
