// zan_sound_scenario_assets SOURCE_COPY GAME_DIR: writes the sound scenario's sounds into
// SOURCE_COPY/snd (packed into snd.arc afterwards) and the player's settings into
// GAME_DIR/sys/option.dat, as a player would have left them.

#include <cstdio>
#include <filesystem>
#include <vector>

#include "SoundFixtures.h"
#include "SoundScenario.h"
#include "TestArchiveWriter.h"
#include "script/Options.h"
#include "script/VariableTable.h"

namespace fs = std::filesystem;
using namespace zan::fixtures;
using namespace zan::soundscenario;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zan_sound_scenario_assets SOURCE_COPY GAME_DIR\n");
    return 2;
  }
  const fs::path snd = fs::path(argv[1]) / "snd";
  const fs::path sys = fs::path(argv[2]) / "sys";
  fs::create_directories(snd);
  fs::create_directories(sys);
  auto write = [](const fs::path& path, const std::vector<uint8_t>& bytes) {
    zan::testing::WriteBytes(path.string(), bytes);
  };
  write(snd / "tone440.ogg", OggVorbis(Tone(kMusicHz, kMusicSeconds, 44100, 2, kAmplitude)));
  write(snd / "effect.wav", PcmWave(Tone(kEffectHz, kEffectSeconds, 22050, 1, kAmplitude)));
  write(snd / "voice.mp3", Mp3(Tone(kVoiceHz, kVoiceSeconds, 44100, 1, kAmplitude), 128));
  write(snd / "loop.ogg",
        OggVorbis(Concat({Tone(kIntroHz, kIntroSeconds, 44100, 2, kAmplitude),
                          Tone(kLoopAHz, kLoopPartSeconds, 44100, 2, kAmplitude),
                          Tone(kLoopBHz, kLoopPartSeconds, 44100, 2, kAmplitude)})));

  zan::OptionsBlock options;
  options.masterVolume = kMasterSetting;
  options.musicVolume = kMusicSetting;
  options.voiceVolume = kVoiceSetting;
  options.effectVolume = kEffectSetting;
  write(sys / "option.dat", zan::EncodeOptionFile(zan::VariableTable(), options, zan::GalleryFlags()));
  return 0;
}
