#pragma once
// ScriptSounds: the script's twelve sound channels (0 and 1 music, 2 to 5 effects, 6 to 11
// voices), what the script asked of each beyond what the channel itself keeps, and the
// ducking of the music while a voice sounds.
//
// A save stores a record per channel (SoundChannelRecord). It is built when asked from the
// live state, so nothing keeps a second copy: the loop, mute, pan, loop position and
// script volume (the target of a ramp under way) come from the channel; the file the
// script last named (also one that could not be read), whether it asked the channel to
// play or to pause, and whether a fade-out it asked for still holds come from the request.

#include <array>
#include <cstdint>
#include <string>

#include "script/SoundChannelRecord.h"
#include "sound/SoundChannelBank.h"

namespace zan {

struct OptionsBlock;

// The sound settings of the options block: mute-all, the master level, each kind's level
// and mute (both banks, the script's and the system screens', take them).
SoundSettings SoundSettingsOf(const OptionsBlock& options);

class ScriptSounds {
 public:
  static constexpr int kChannels = SoundChannelBank::kScriptChannels;

  // What the script asked of a channel that the channel does not keep.
  struct Request {
    std::string file;        // named by the last "SoundLoad" or "SoundPlay"
    bool playing = false;    // started, and not stopped or paused since
    bool paused = false;
    bool fadingOut = false;  // a fade-out asked for, not cancelled by a play or fade-in
  };

  ScriptSounds(TaskScheduler& tasks, SoundManager& manager, SoundFileReader reader);

  // Null outside 0..11.
  SoundChannel* Channel(int index) { return bank_.Channel(index); }
  // The request of channel `index` (0..11).
  Request& RequestOf(int index) { return requests_[static_cast<size_t>(index)]; }

  // A new game: no requests, and the music channels looping.
  void NewGame();
  // "SoundInit": the channel stopped, released and reset, its request forgotten.
  void Clear(int index);
  // The records a save stores, from the channels and the requests.
  SoundChannelRecords Records();

  // The player's settings (sound settings of the options block) applied to every channel,
  // the music lowered while ducked.
  void ApplySettings(const OptionsBlock& options);
  // Set while a voice lowers the music; the interpreter clears it once no voice sounds.
  void SetDucked(bool ducked) { ducked_ = ducked; }
  bool Ducked() const { return ducked_; }
  bool AnyVoicePlaying() { return bank_.AnyVoicePlaying(); }
  // Every channel stopped, released and reset (the requests stay until the next game).
  void StopAll() { bank_.StopAll(); }

 private:
  SoundChannelBank bank_;
  std::array<Request, kChannels> requests_;
  bool ducked_ = false;
};

}  // namespace zan
