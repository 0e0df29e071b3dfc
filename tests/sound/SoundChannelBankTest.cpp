// The channels on the headless device, driven frame by frame like the game drives them:
// the tone comes out at its frequency, levels follow the script volume and the settings,
// fades decay over their time, a loop position restarts where it should, voices duck the
// music, and the system bank survives the stop-all that ends a game.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "SoundFixtures.h"
#include "core/TaskScheduler.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/headless/HeadlessPlatform.h"
#include "sound/SoundChannelBank.h"
#include "sound/SoundManager.h"

namespace zan {
namespace {

using namespace fixtures;

constexpr uint32_t kFrameMs = 10;

TEST(SoundLawTest, VolumeLawStepsAndFadeArithmetic) {
  EXPECT_EQ(CombineVolume(-5000, 0, 0, 0), -5000);
  EXPECT_EQ(CombineVolume(MasterFactor(9), VolumeStep(5), 0, 0), -1250);
  EXPECT_EQ(CombineVolume(MasterFactor(0), 0, 0, 0), -10000);
  // Truncation at every step: pM 75, then x 9000 / 100, x 97 / 100, x 99 / 100.
  EXPECT_EQ(CombineVolume(-2550, -1000, -333, -150), 75 * 9000 / 100 * 97 / 100 * 99 / 100 - 10000);
  EXPECT_EQ(MasterFactor(4), -5555);
  const int32_t steps[] = {-10000, -5000, -4000, -3000, -2000, -1250, -750, -500, -250, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(VolumeStep(i), steps[i]);
  EXPECT_EQ(VolumeStep(-1), 0);
  EXPECT_EQ(VolumeStep(42), 0);
}

class SoundChannelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Diagnostics().SetEcho(false);
    ASSERT_EQ(manager.Init(platform.GetAudioOut(), platform.GetClock()).code, InitResult::Code::kOk);
    platform.GetAudioOut().SetCaptureSink(
        [this](std::span<const int16_t> s) { out.insert(out.end(), s.begin(), s.end()); });
    auto reader = [this](std::string_view name, std::vector<uint8_t>& bytes) {
      auto it = files.find(std::string(name));
      if (it == files.end()) return false;
      bytes = it->second;
      return true;
    };
    script = std::make_unique<SoundChannelBank>(12, true, tasks, manager, reader);
    system = std::make_unique<SoundChannelBank>(11, false, tasks, manager, reader);
  }
  void TearDown() override {
    script.reset();
    system.reset();
    platform.GetAudioOut().SetCaptureSink(nullptr);
    Diagnostics().SetEcho(true);
  }
  // Runs the game's frames for `ms` (phases 0 and 1, then time passes).
  void Run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += kFrameMs) {
      tasks.RunFrame();
      platform.GetClock().Advance(kFrameMs);
    }
  }
  size_t Now() const { return out.size() / 2; }
  double Level(size_t from, size_t to) { return LevelDb(out, 2, 0, from, to); }

  HeadlessPlatform platform;
  TaskScheduler tasks{platform.GetClock()};
  SoundManager manager;
  std::map<std::string, std::vector<uint8_t>> files;
  std::unique_ptr<SoundChannelBank> script, system;
  SoundSettings settings;
  std::vector<int16_t> out;
};

TEST_F(SoundChannelsTest, ToneLevelsAndOptionLevels) {
  files["bgm.ogg"] = OggVorbis(Tone(440, 4.0, 44100, 2));
  SoundChannel& bgm = *script->Channel(0);
  ASSERT_TRUE(bgm.Load("bgm.ogg"));
  EXPECT_TRUE(bgm.IsTaskRunning());
  EXPECT_EQ(bgm.Description(), Sjis("CSoundProcess::【♪】bgm.ogg"));
  script->ApplySettings(settings, false, false);
  bgm.Play(1);
  Run(400);
  const double full = 20 * std::log10(0.5 / std::sqrt(2.0));
  size_t at = Now();
  Run(300);
  EXPECT_NEAR(Frequency(out, 2, 0, 44100, at, Now()), 440, 1);
  EXPECT_NEAR(Level(at, Now()), full, 0.3);

  struct Step {
    const char* what;
    std::function<void()> change;
    double expectedDb;  // relative to full level
  };
  const std::vector<Step> steps = {
      {"script volume -2000", [&] { bgm.SetScriptVolume(-2000); }, -20},
      {"back to 0", [&] { bgm.SetScriptVolume(0); }, 0},
      {"music setting 5", [&] { settings.bgmVolume = 5; script->ApplySettings(settings, false, false); }, -12.5},
      {"and master 6", [&] { settings.masterVolume = 6; script->ApplySettings(settings, false, false); }, 0},
      {"ducked", [&] { settings = {}; script->ApplySettings(settings, false, true); }, -5},
      {"music mute", [&] { settings.bgmMute = true; script->ApplySettings(settings, false, false); }, -200},
      {"panic", [&] { settings = {}; script->ApplySettings(settings, true, false); }, -200},
      {"mute all", [&] { settings.muteAll = true; script->ApplySettings(settings, false, false); }, -200},
      {"unmuted", [&] { settings = {}; script->ApplySettings(settings, false, false); }, 0},
      {"pan left", [&] { bgm.SetPan(-10000); }, 0},
  };
  for (const Step& s : steps) {
    s.change();
    Run(100);
    at = Now();
    Run(200);
    double expected = full + s.expectedDb;
    if (std::string(s.what) == "and master 6")  // (6-9)*10000/9 = -3333 with -1250
      expected = full + CombineVolume(-3333, -1250, 0, 0) / 100.0;
    if (s.expectedDb <= -200)
      EXPECT_LT(Level(at, Now()), -150) << s.what;
    else
      EXPECT_NEAR(Level(at, Now()), expected, 0.3) << s.what;
  }
  EXPECT_LT(LevelDb(out, 2, 1, at, Now()), -150);  // panned fully left: the right is silent
}

TEST_F(SoundChannelsTest, EffectAndVoicePlayOverTheMusic) {
  files["bgm.ogg"] = OggVorbis(Tone(440, 3.0, 44100, 2, 0.3));
  files["se.wav"] = PcmWave(Tone(1000, 1.0, 22050, 1, 0.3));
  files["voice.mp3"] = Mp3(Tone(660, 1.0, 22050, 1, 0.3), 64);
  script->Channel(0)->Load("bgm.ogg");
  script->Channel(2)->Load("se.wav");
  script->Channel(6)->Load("voice.mp3");
  script->ApplySettings(settings, false, false);
  script->Channel(0)->Play(1);
  script->Channel(2)->Play(0);
  script->Channel(6)->Play(0);
  Run(200);
  const size_t at = Now();
  Run(500);
  EXPECT_TRUE(script->AnyVoicePlaying());
  for (double hz : {440.0, 1000.0, 660.0})
    EXPECT_GT(ToneShare(out, 2, 0, 44100, hz, at, Now()), 0.2) << hz;
  Run(2500);  // the voice ran out and stopped itself
  EXPECT_FALSE(script->AnyVoicePlaying());
  EXPECT_TRUE(script->Channel(0)->IsPlaying());
}

TEST_F(SoundChannelsTest, FadeOutDecaysOverItsTimeAndStops) {
  files["bgm.ogg"] = OggVorbis(Tone(440, 4.0, 44100, 2));
  SoundChannel& bgm = *script->Channel(0);
  bgm.Load("bgm.ogg");
  script->ApplySettings(settings, false, false);
  bgm.Play(1);
  Run(300);
  const double full = 20 * std::log10(0.5 / std::sqrt(2.0));
  bgm.FadeOutAndStop(1000, true);
  const size_t start = Now();
  Run(1100);
  // 100 ms windows: each quieter than the one before, near the law's level at its time.
  double previous = 0;
  for (int w = 0; w < 7; ++w) {  // down to -75 dB, well above the 16-bit floor
    const size_t from = start + w * 4410 + 2205, to = from + 441;  // 10 ms around the middle
    const double level = Level(from, to);
    const int32_t fade = -10000 * (w * 100 + 55) / 1000;  // the step runs every 10 ms
    EXPECT_NEAR(level, full + CombineVolume(0, 0, fade, 0) / 100.0, 1.5) << w;
    if (w > 0) EXPECT_LT(level, previous);
    previous = level;
  }
  EXPECT_FALSE(bgm.IsPlaying());
  EXPECT_EQ(bgm.FadeLevel(), 0);  // ready to play at full level
  EXPECT_LT(Level(start + 45000, Now()), -150);
  bgm.PlayAgain();
  Run(300);
  EXPECT_NEAR(Level(Now() - 4410, Now()), full, 0.3);
}

TEST_F(SoundChannelsTest, FadeAndRampArithmeticFollowTheClock) {
  files["bgm.ogg"] = OggVorbis(Tone(440, 1.0));
  SoundChannel& c = *script->Channel(1);
  c.Load("bgm.ogg");
  c.SetFadeLevel(-2000);
  c.FadeOut(1000, false);
  platform.GetClock().Advance(500);
  c.Step();
  EXPECT_EQ(c.FadeLevel(), -6000);
  platform.GetClock().Advance(500);
  c.Step();
  EXPECT_EQ(c.FadeLevel(), -10000);
  EXPECT_FALSE(c.FadingOut());
  c.SetScriptVolume(-3000);
  c.RampScriptVolume(2000, -5000);
  platform.GetClock().Advance(1000);
  c.Step();
  EXPECT_EQ(c.ScriptVolume(), -4000);
  platform.GetClock().Advance(1000);
  c.Step();
  EXPECT_EQ(c.ScriptVolume(), -5000);
  c.FadeIn(1000, true);
  platform.GetClock().Advance(250);
  c.Step();
  EXPECT_EQ(c.FadeLevel(), -7500);
}

TEST_F(SoundChannelsTest, ALoopPositionRestartsThere) {
  // 2 s of 440 Hz then 1 s of 880 Hz; loop back to 1.0 s.
  files["loop.ogg"] = OggVorbis(Concat({Tone(440, 2.0), Tone(880, 1.0)}));
  SoundChannel& c = *script->Channel(0);
  c.Load("loop.ogg");
  script->ApplySettings(settings, false, false);
  c.SetLoopPosition(true, 1000);
  c.Play(1);
  const size_t start = Now();
  Run(5600);
  auto dominant = [&](double from, double to) {
    const size_t a = start + size_t(from * 44100), b = start + size_t(to * 44100);
    return ToneShare(out, 2, 0, 44100, 440, a, b) > 0.8 ? 440
           : ToneShare(out, 2, 0, 44100, 880, a, b) > 0.8 ? 880 : 0;
  };
  EXPECT_EQ(dominant(0.2, 1.8), 440);
  EXPECT_EQ(dominant(2.2, 2.8), 880);
  EXPECT_EQ(dominant(3.2, 3.8), 440);  // from 1.0 s of the file
  EXPECT_EQ(dominant(4.2, 4.8), 880);  // 2.0 s of the file again: not a restart at 0
  EXPECT_TRUE(c.IsLooping());
  // Cleared, the next play follows the loop flag alone (0: it ends).
  c.Stop();
  c.SetLoopPosition(false, 0);
  c.SetLoop(false);
  c.PlayAgain();
  Run(5000);
  EXPECT_FALSE(c.IsPlaying());
}

TEST_F(SoundChannelsTest, SystemChannelsAndStopAll) {
  files["title_bgm.ogg"] = OggVorbis(Tone(440, 3.0));
  files["TITLE_SE.ogg"] = OggVorbis(Tone(880, 0.5));
  std::map<int, int32_t> movieVolume;
  system->SetMovieVolumeSink([&](int ch, int32_t v) { movieVolume[ch] = v; });
  settings.bgmVolume = 8;
  system->PlaySystem(1, "title_bgm.ogg", true, 500, settings, false);
  EXPECT_EQ(movieVolume[0], -250);
  EXPECT_EQ(movieVolume[1], -250);  // applied before its fade-in starts from silence
  system->PlaySystem(2, "TITLE_SE.ogg", false, 0, settings, false);
  EXPECT_EQ(movieVolume[1], -10000);
  files["bgm.ogg"] = OggVorbis(Tone(440, 1.0));
  script->Channel(0)->Load("bgm.ogg");
  script->Channel(0)->Play(1);
  Run(1200);
  EXPECT_TRUE(system->IsPlaying(1));
  EXPECT_GT(system->PlayPositionMs(1), 1000u);
  EXPECT_EQ(system->PlayPositionMs(5), 0u);
  EXPECT_FALSE(system->IsPlaying(11));
  script->StopAll();
  system->StopAll(1);  // the bonus screens' music goes on
  EXPECT_FALSE(script->Channel(0)->IsTaskRunning());
  EXPECT_TRUE(script->Channel(0)->FileName().empty());
  EXPECT_FALSE(script->Channel(0)->IsPlaying());
  EXPECT_TRUE(system->IsPlaying(1));
  EXPECT_FALSE(system->Channel(2)->IsTaskRunning());
  system->PauseToggle(1);
  EXPECT_FALSE(system->IsPlaying(1));
  EXPECT_GT(system->PlayPositionMs(1), 1000u);  // paused: still reported
  system->PauseToggle(1);
  EXPECT_TRUE(system->IsPlaying(1));
  system->StopSystem(1, 300);
  Run(400);
  EXPECT_FALSE(system->IsPlaying(1));
  // A file that cannot be read changes nothing; one that cannot be decoded leaves the
  // channel silent, its step reporting no buffer.
  EXPECT_FALSE(script->Channel(3)->Load("missing.ogg"));
  EXPECT_FALSE(script->Channel(3)->IsTaskRunning());
  files["broken.ogg"] = std::vector<uint8_t>(500, 7);
  EXPECT_TRUE(script->Channel(3)->Load("broken.ogg"));
  EXPECT_FALSE(script->Channel(3)->Step());
  script->Channel(3)->Play(0);
  EXPECT_FALSE(script->Channel(3)->IsPlaying());
}

}  // namespace
}  // namespace zan
