#include "script/ScriptSounds.h"

#include "script/Options.h"

namespace zan {

static_assert(kSoundRecordCount == ScriptSounds::kChannels);

ScriptSounds::ScriptSounds(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader)
    : bank_(kChannels, true, tasks, manager, std::move(reader)) {}

void ScriptSounds::NewGame() {
  requests_ = {};
  // The music channels loop, so that what plays agrees with what a save restores.
  for (int i = 0; i < kChannels; ++i)
    if (ChannelKind(i) == SoundKind::kBgm) bank_.Channel(i)->SetLoop(true);
}

void ScriptSounds::Clear(int index) {
  SoundChannel& sound = *bank_.Channel(index);
  sound.Release();
  // The channel forgets the script's settings with the request, so a save made later does
  // not record a volume, pan or loop other than the one that plays.
  sound.Reset();
  RequestOf(index) = {};
}

SoundChannelRecords ScriptSounds::Records() {
  SoundChannelRecords records;
  for (int i = 0; i < kChannels; ++i) {
    const SoundChannel& sound = *bank_.Channel(i);
    const Request& request = RequestOf(i);
    SoundChannelRecord& r = records[static_cast<size_t>(i)];
    r.file = request.file;
    r.playing = request.playing ? 1 : 0;
    r.paused = request.paused ? 1 : 0;
    r.fadingOut = request.fadingOut ? 1 : 0;
    r.loop = sound.Loop() ? 1 : 0;
    r.mute = sound.ScriptMute() ? 1 : 0;
    r.loopPosition = static_cast<int32_t>(sound.LoopPosition());
    r.volume = sound.ScriptVolumeTarget();
    r.pan = sound.Pan();
  }
  return records;
}

SoundSettings SoundSettingsOf(const OptionsBlock& options) {
  SoundSettings settings;
  settings.muteAll = options.muteAll != 0;
  settings.masterVolume = options.masterVolume;
  settings.bgmVolume = options.musicVolume;
  settings.effectVolume = options.effectVolume;
  settings.voiceVolume = options.voiceVolume;
  settings.bgmMute = options.muteMusic != 0;
  settings.effectMute = options.muteEffects != 0;
  settings.voiceMute = options.muteVoices != 0;
  return settings;
}

void ScriptSounds::ApplySettings(const OptionsBlock& options) {
  bank_.ApplySettings(SoundSettingsOf(options), false, ducked_);
}

}  // namespace zan
