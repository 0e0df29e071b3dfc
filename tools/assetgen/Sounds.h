#pragma once
// The demo game's sounds: two looping themes (Ogg Vorbis), effects (WAVE PCM) and short
// voice clips (Ogg Vorbis, WAVE and MP3), all synthesised.

#include "Stage.h"

namespace zan::assetgen {

// Where the themes loop back to, in milliseconds from their start ("SoundLoopPos").
inline constexpr int kTitleLoopMs = 6000;
inline constexpr int kNightLoopMs = 3200;

void MakeSounds(Stage& stage);

}  // namespace zan::assetgen
