#pragma once
// SystemSounds: the eleven sound channels of the system screens, kinds as in every bank (0
// and 1 music, 2 to 5 effects, 6 to 10 voices). Channel 1 plays the title's and the bonus
// screens' music, channel 2 the screens' sound effects, 6 to 10 replay a backlog page's
// voices. Every channel follows the player's sound settings (the options block): each play
// applies them, and whoever changes them (the configuration screen) applies them again.

#include <cstdint>
#include <string_view>

#include "sound/SoundChannelBank.h"

namespace zan {

struct OptionsBlock;

class SystemSounds {
 public:
  static constexpr int kChannels = SoundChannelBank::kSystemChannels;
  static constexpr int kMusic = 1;
  static constexpr int kEffect = 2;

  SystemSounds(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader,
               const OptionsBlock& options);

  // The player's settings to every channel.
  void ApplySettings();
  // Loads `file` on `channel` with the settings applied, fades it in from silence over
  // `fadeMs` when that is not 0, and plays it. Channels outside 0..10 do nothing; so do the
  // calls below.
  void Play(int channel, std::string_view file, bool loop, uint32_t fadeMs = 0);
  // With a fade: fades out from full and stops at its end; else stops at once.
  void Stop(int channel, uint32_t fadeMs = 0);
  void PauseToggle(int channel);
  bool IsPlaying(int channel);
  // Where a playing or paused Ogg stream is, in milliseconds; else 0.
  uint32_t PlayPositionMs(int channel);
  // Every channel stopped, released, reset and out of the task list, except `keep` (-1:
  // none).
  void StopAll(int keep = -1);

  SoundChannelBank& Bank() { return bank_; }

 private:
  SoundChannelBank bank_;
  const OptionsBlock& options_;
};

}  // namespace zan
