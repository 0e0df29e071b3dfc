#pragma once
// SoundChannelBank: a bank of sound channels: the script's twelve, or the system screens'
// eleven. Channel kinds by index, the same in both banks: 0 and 1 music (BGM), 2 to 5
// sound effects, 6 to 11 voices.
//
// The settings apply step gives every channel the player's settings: mute-all, the master
// level, its kind's level (through the volume step table) and mute, the panic screen's
// mute, and, for the script's music channels while voices are ducking them, one twentieth
// of the remaining range lower.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "sound/SoundChannel.h"

namespace zan {

enum class SoundKind { kBgm, kEffect, kVoice };
SoundKind ChannelKind(int index);

// Setting 0..9 to attenuation: 0 -10000, 1 -5000, 2 -4000, 3 -3000, 4 -2000, 5 -1250,
// 6 -750, 7 -500, 8 -250, 9 (and anything else) 0.
int32_t VolumeStep(int32_t setting);
// Master setting 0..9 to attenuation: (setting - 9) x 10000 / 9.
int32_t MasterFactor(int32_t setting);

// The player's sound settings (levels 0..9).
struct SoundSettings {
  bool muteAll = false;
  int32_t masterVolume = 9;
  int32_t bgmVolume = 9;
  int32_t effectVolume = 9;
  int32_t voiceVolume = 9;
  bool bgmMute = false;
  bool effectMute = false;
  bool voiceMute = false;
};

class SoundChannelBank {
 public:
  static constexpr int kScriptChannels = 12;
  static constexpr int kSystemChannels = 11;

  // `count` channels; `script` marks the script's bank (its music is ducked for voices).
  SoundChannelBank(int count, bool script, TaskScheduler& tasks, SoundManager& manager,
                 SoundFileReader reader);

  int Count() const { return static_cast<int>(channels_.size()); }
  // Null outside 0..Count()-1.
  SoundChannel* Channel(int index);

  // Gives every channel the settings. `panic`: the panic screen shows (everything muted);
  // `ducked`: a voice is lowering the script's music.
  void ApplySettings(const SoundSettings& settings, bool panic, bool ducked);
  // Called for system channels 0 and 1 after each settings apply with their combined
  // volume (the movie player follows it).
  void SetMovieVolumeSink(std::function<void(int channel, int32_t volume)> sink) {
    movieVolume_ = std::move(sink);
  }
  // Stops, releases and resets every channel in the task list and takes it out, except
  // `keep` (-1: none).
  void StopAll(int keep = -1);
  // True while any voice channel sounds (ducking ends when none does).
  bool AnyVoicePlaying();

  // System-screen operations; other indexes do nothing (and answer 0 or false).
  // Loads the file, applies the settings, fades in over `fadeMs` from silence when
  // non-zero, and plays.
  void PlaySystem(int index, std::string_view file, bool loop, uint32_t fadeMs,
                  const SoundSettings& settings, bool panic);
  // With a non-zero duration: fade out from full and stop after it; else stop at once.
  void StopSystem(int index, uint32_t fadeMs);
  void PauseToggle(int index);
  bool IsPlaying(int index);
  // The Ogg decoder's time in ms while the channel plays or is paused, else 0.
  uint32_t PlayPositionMs(int index);

 private:
  bool script_;
  std::vector<std::unique_ptr<SoundChannel>> channels_;
  std::function<void(int, int32_t)> movieVolume_;
};

}  // namespace zan
