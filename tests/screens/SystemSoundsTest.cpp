// The system screens' eleven channels take the player's sound settings of the options block:
// the master level, each kind's level and mute, and mute-all; the system bank is never
// lowered for voices.

#include "screens/SystemSounds.h"

#include <gtest/gtest.h>

#include "base/DiagnosticLog.h"
#include "core/TaskScheduler.h"
#include "platform/VirtualClock.h"
#include "script/Options.h"
#include "sound/SoundManager.h"

namespace zan {
namespace {

TEST(SystemSoundsTest, EveryChannelTakesTheSettingsOfItsKind) {
  VirtualClock clock;
  TaskScheduler tasks{clock};
  SoundManager manager;  // no device: the settings are kept all the same
  std::vector<std::string> read;
  OptionsBlock options;
  options.masterVolume = 6;
  options.musicVolume = 3;
  options.effectVolume = 7;
  options.voiceVolume = 1;
  options.muteEffects = 1;
  SystemSounds sounds(tasks, manager,
                      [&](std::string_view name, std::vector<uint8_t>&) {
                        read.emplace_back(name);
                        return 0;
                      },
                      options);
  ASSERT_EQ(sounds.Bank().Count(), 11);
  sounds.ApplySettings();
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    const SoundChannel& c = *sounds.Bank().Channel(i);
    EXPECT_EQ(c.MasterFactor(), (6 - 9) * 10000 / 9);
    // Music 0, 1: step 3; effects 2..5: step 7, muted; voices 6..10: step 1.
    EXPECT_EQ(c.KindFactor(), i <= 1 ? -3000 : i <= 5 ? -500 : -5000);
    EXPECT_EQ(c.KindMute(), i >= 2 && i <= 5);
    EXPECT_FALSE(c.GlobalMute());
  }
  options.muteAll = 1;
  options.muteEffects = 0;
  sounds.ApplySettings();
  EXPECT_TRUE(sounds.Bank().Channel(10)->GlobalMute());
  EXPECT_FALSE(sounds.Bank().Channel(3)->KindMute());

  // Playing reads the file from the sound data; channels outside 0..10 do nothing.
  Diagnostics().SetEcho(false);
  sounds.Play(SystemSounds::kMusic, "title_bgm.ogg", true);
  sounds.Play(11, "nothing.ogg", false);
  sounds.Play(-1, "nothing.ogg", false);
  Diagnostics().SetEcho(true);
  EXPECT_EQ(read, (std::vector<std::string>{"title_bgm.ogg"}));
  EXPECT_FALSE(sounds.IsPlaying(11));
  EXPECT_EQ(sounds.PlayPositionMs(-1), 0u);
}

}  // namespace
}  // namespace zan
