#pragma once
// The sound scenario (games/sound): the sounds its build makes, the player's levels it
// starts with, and what the checker expects to hear. The script's times are in
// games/sound/msg/main.txt; the ones here must agree with it.

#include <cstdint>

namespace zan::soundscenario {

constexpr double kAmplitude = 0.5;  // every tone's peak, of full scale

// snd/: the music (stereo Ogg, 3 s: whole cycles, so its loop is seamless), the effect
// (mono 22.05 kHz PCM WAVE), the voice (mono MP3) and the loop (stereo Ogg: 330 Hz for 1 s,
// then 550 Hz and 770 Hz for 0.5 s each; the script loops it from 1000 ms).
constexpr double kMusicHz = 440, kMusicSeconds = 3.0;
constexpr double kEffectHz = 1000, kEffectSeconds = 1.0;
constexpr double kVoiceHz = 660, kVoiceSeconds = 1.5;
constexpr double kIntroHz = 330, kIntroSeconds = 1.0;
constexpr double kLoopAHz = 550, kLoopBHz = 770, kLoopPartSeconds = 0.5;

// "option.dat": master 8, music 6, voice 7, effect 4.
constexpr int32_t kMasterSetting = 8, kMusicSetting = 6, kVoiceSetting = 7, kEffectSetting = 4;

// The device volumes (hundredths of a decibel) those give, worked out by hand from the
// volume law: master 8 is (8 - 9) x 10000 / 9 = -1111, so 89 %; music 6 is -750, voice 7
// -500, effect 4 -2000.
constexpr int32_t kMusicLevel = -1768;        // 89 x 9250 / 100 = 8232
constexpr int32_t kQuietMusicLevel = -3415;   // "SoundVolume 0, -2000": 8232 x 80 / 100 = 6585
constexpr int32_t kEffectLevel = -2880;       // 89 x 8000 / 100 = 7120
constexpr int32_t kVoiceLevel = -1545;        // 89 x 9500 / 100 = 8455
// While the voice sounds the music's -750 drops by (750 - 10000) / 20 = -462 to -1212.
constexpr int32_t kDuckedMusicLevel = -2179;  // 89 x 8788 / 100 = 7821

// "SoundRun 0, Stop, ON, 2000": the fade takes the music from its level to -10000 in a
// straight line of hundredths of a decibel.
constexpr double kFadeMs = 2000;
// The loop runs 5 s before "SoundInit ALL" silences everything.
constexpr double kLoopRunMs = 5000;

}  // namespace zan::soundscenario
