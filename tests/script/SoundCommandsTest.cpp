// The Sound* commands as the interpreter dispatches them: keywords, channel numbers and
// their range, clamps and refusals, what each command leaves in the channel and in its
// record (and the record's stored bytes), voice ducking, the player's settings reaching
// the channels, and the voices kept for the backlog.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "ScriptTestGame.h"
#include "SoundFixtures.h"
#include "base/ByteReader.h"
#include "script/Backlog.h"
#include "script/Options.h"
#include "script/SoundChannelRecord.h"
#include "sound/SoundChannelBank.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,ch,5,0,100\n"
    "INT,quiet,-2500,-20000,0\n";

// ---------------------------------------------------------------------------------------
// The record as saves store it.

TEST(SoundChannelRecordTest, StoredBytesFieldByField) {
  SoundChannelRecord r;
  r.file = "bgm_night.ogg";
  r.playing = 1;
  r.paused = 2;
  r.loop = 3;
  r.mute = 4;
  r.fadingOut = 5;
  r.loopPosition = 3200;
  r.volume = -1200;
  r.pan = -10000;
  std::array<uint8_t, SoundChannelRecord::kSize> bytes;
  bytes.fill(0xCC);
  r.Encode(bytes);
  EXPECT_EQ(std::memcmp(bytes.data(), "bgm_night.ogg", 13), 0);
  for (size_t i = 13; i < 32; ++i) EXPECT_EQ(bytes[i], 0) << i;  // NUL-padded
  const std::pair<size_t, int32_t> fields[] = {{32, 1}, {36, 2},    {40, 3},     {44, 4},
                                               {48, 5}, {52, 3200}, {56, -1200}, {60, -10000}};
  for (auto [offset, value] : fields)
    EXPECT_EQ(static_cast<int32_t>(LoadU32(bytes.data() + offset)), value) << offset;
  EXPECT_EQ(SoundChannelRecord::Decode(bytes), r);

  // 31 bytes are the longest name; a field without its NUL holds no name at all.
  r.file = std::string(31, 'a');
  r.Encode(bytes);
  EXPECT_EQ(SoundChannelRecord::Decode(bytes).file, r.file);
  std::memset(bytes.data(), 'b', 32);
  const SoundChannelRecord unterminated = SoundChannelRecord::Decode(bytes);
  EXPECT_EQ(unterminated.file, "");
  EXPECT_EQ(unterminated.playing, 1);
  EXPECT_TRUE(SoundChannelRecord::FitsFileField(std::string(31, 'a')));
  EXPECT_FALSE(SoundChannelRecord::FitsFileField(std::string(32, 'a')));
}

TEST(SoundChannelRecordTest, TheSavedBlockIsTheCountAndTwelveRecords) {
  SoundChannelRecords records;
  for (size_t i = 0; i < records.size(); ++i) {
    records[i].file = "s" + std::to_string(i) + ".ogg";
    records[i].volume = -static_cast<int32_t>(i) * 100;
  }
  const std::vector<uint8_t> block = EncodeSoundRecords(records);
  ASSERT_EQ(block.size(), 4u + 12 * 64);
  EXPECT_EQ(LoadU32(block.data()), 12u);
  EXPECT_EQ(std::memcmp(block.data() + 4 + 11 * 64, "s11.ogg", 8), 0);
  EXPECT_EQ(static_cast<int32_t>(LoadU32(block.data() + 4 + 11 * 64 + 56)), -1100);
  auto decoded = DecodeSoundRecords(block);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(*decoded, records);

  std::vector<uint8_t> wrongCount = block;
  StoreU32(wrongCount.data(), 11);
  EXPECT_FALSE(DecodeSoundRecords(wrongCount));
  EXPECT_FALSE(DecodeSoundRecords(std::span(block).first(block.size() - 1)));
  EXPECT_FALSE(DecodeSoundRecords({}));
}

// ---------------------------------------------------------------------------------------
// The commands.

class SoundCommandsTest : public ::testing::Test {
 protected:
  static std::map<std::string, std::vector<uint8_t>> Sounds() {
    using namespace fixtures;
    return {
        {"bgm.ogg", OggVorbis(Tone(440, 3.0, 44100, 2))},
        {"se.wav", PcmWave(Tone(1000, 0.5, 22050))},
        {"voice.mp3", Mp3(Tone(660, 0.5, 22050), 64)},
        {"voice2.ogg", OggVorbis(Tone(550, 0.5))},
    };
  }
  // A game whose script waits at once; the tests dispatch commands themselves.
  void Open(bool sound = true) {
    game.WriteArchives({{"main.txt", "<KW>\n"}}, {{"variable.csv", kVariables}});
    if (sound) {
      game.WriteSounds(Sounds());
      game.EnableSound();
    }
    game.Open();
    G().StartGame("main.txt");
    game.Frames(1, 10);
  }
  void Do(std::string_view tag) {
    EXPECT_EQ(G().DispatchCommand(tag), DispatchResult::kContinue) << tag;
  }
  Interpreter& G() { return game.Game(); }
  SoundChannel& C(int i) { return *G().Sounds().Channel(i); }
  // Channel i's record as a save would store it now.
  SoundChannelRecord Rec(int i) { return G().SoundRecords()[static_cast<size_t>(i)]; }
  // The game's frames for `ms` of the headless clock, 10 ms each.
  void Run(uint32_t ms) { game.Frames(static_cast<int>(ms / 10), 10); }
  // The records a new game starts with: empty, the music channels looping.
  static SoundChannelRecords SetUpRecords() {
    SoundChannelRecords records;
    records[0].loop = records[1].loop = 1;
    return records;
  }

  ScriptTestGame game{"soundcmd"};
};

TEST_F(SoundCommandsTest, ANewGameLoopsItsMusicChannels) {
  Open(false);
  EXPECT_EQ(G().SoundRecords(), SetUpRecords());
  EXPECT_TRUE(C(0).Loop());
  EXPECT_TRUE(C(1).Loop());
  EXPECT_FALSE(C(2).Loop());
  EXPECT_FALSE(C(6).Loop());
}

TEST_F(SoundCommandsTest, KeywordsIgnoreCaseAndOtherWordsTakeTheDefault) {
  Open(false);
  struct Case {
    const char* tag;
    int channel;
    std::function<bool(SoundChannel&, const SoundChannelRecord&)> holds;
  };
  const Case cases[] = {
      {"<SoundLoop 2, off>", 2, [](auto& c, auto& r) { return !c.Loop() && r.loop == 0; }},
      {"<SoundLoop 3, ON>", 3, [](auto& c, auto& r) { return c.Loop() && r.loop == 1; }},
      {"<SoundLoop 4, never>", 4, [](auto& c, auto& r) { return c.Loop() && r.loop == 1; }},
      {"<SoundDir 2, LEFT>", 2, [](auto& c, auto& r) { return c.Pan() == -10000 && r.pan == -10000; }},
      {"<SoundDir 3, right>", 3, [](auto& c, auto& r) { return c.Pan() == 10000 && r.pan == 10000; }},
      {"<SoundDir 3, Center>", 3, [](auto& c, auto& r) { return c.Pan() == 0 && r.pan == 0; }},
      {"<SoundMute 2, on>", 2, [](auto& c, auto& r) { return c.ScriptMute() && r.mute == 1; }},
      {"<SoundMute 2, yes>", 2, [](auto& c, auto& r) { return !c.ScriptMute() && r.mute == 0; }},
      {"<SoundFade 2, in, 100>", 2,
       [](auto& c, auto& r) { return c.FadingIn() && !c.FadingOut() && r.fadingOut == 0; }},
      {"<SoundFade 3, OUT, 100>", 3,
       [](auto& c, auto& r) { return c.FadingOut() && !c.FadingIn() && r.fadingOut == 1; }},
      {"<SoundFade 4, sideways, 100>", 4, [](auto& c, auto& r) { return c.FadingOut() && r.fadingOut == 1; }},
      {"<soundvolume ch, -300>", 5, [](auto& c, auto& r) { return c.ScriptVolume() == -300 && r.volume == -300; }},
      {"<SoundVolume 6, quiet>", 6, [](auto& c, auto& r) { return c.ScriptVolume() == -2500 && r.volume == -2500; }},
  };
  for (const Case& c : cases) {
    Do(c.tag);
    EXPECT_TRUE(c.holds(C(c.channel), Rec(c.channel))) << c.tag;
  }
}

TEST_F(SoundCommandsTest, ChannelsOutsideTheBankAreIgnoredAndInitClearsTheRecords) {
  Open(false);
  for (const char* tag : {"<SoundVolume 12, -500>", "<SoundDir -1, Left>", "<SoundInit 12>",
                          "<SoundInit -1>", "<SoundLoop 99, OFF>", "<SoundPlay 12, bgm.ogg>"})
    Do(tag);
  EXPECT_EQ(G().SoundRecords(), SetUpRecords());

  for (const char* tag : {"<SoundVolume 2, -500>", "<SoundDir 2, Left>", "<SoundLoop 2, ON>",
                          "<SoundMute 3, ON>", "<SoundLoopPos 4, 700>", "<SoundLoad 5, x.ogg>"})
    Do(tag);
  Do("<SoundInit 2>");
  EXPECT_EQ(Rec(2), SoundChannelRecord{});
  EXPECT_EQ(C(2).ScriptVolume(), 0);  // the channel forgets what the record forgot
  EXPECT_EQ(C(2).Pan(), 0);
  EXPECT_FALSE(C(2).Loop());
  EXPECT_EQ(Rec(3).mute, 1);
  Do("<SoundInit all>");
  EXPECT_EQ(G().SoundRecords(), SoundChannelRecords{});  // the music's loop too: all 64 bytes
  EXPECT_FALSE(C(3).ScriptMute());
  EXPECT_FALSE(C(4).LoopPositionSet());
}

TEST_F(SoundCommandsTest, VolumesAreClampedAndALoopPositionBeforeTheStartIsRefused) {
  Open(false);
  Do("<SoundVolume 2, 5000>");
  EXPECT_EQ(Rec(2).volume, 0);
  EXPECT_EQ(C(2).ScriptVolume(), 0);
  Do("<SoundVolume 2, -20000>");
  EXPECT_EQ(Rec(2).volume, -10000);
  EXPECT_EQ(C(2).ScriptVolume(), -10000);

  Do("<SoundLoopPos 3, 1500>");
  EXPECT_TRUE(C(3).LoopPositionSet());
  EXPECT_EQ(C(3).LoopPosition(), 1500u);
  Do("<SoundLoopPos 3, -1>");
  EXPECT_NE(Diagnostics().LastMessage().find("before the start"), std::string::npos);
  EXPECT_EQ(C(3).LoopPosition(), 1500u);
  EXPECT_EQ(Rec(3).loopPosition, 1500);
  Do("<SoundLoopPos 3, 0>");
  EXPECT_FALSE(C(3).LoopPositionSet());
  EXPECT_EQ(Rec(3).loopPosition, 0);
}

TEST_F(SoundCommandsTest, AVolumeWithATimeRampsAndOneWithoutEndsTheRamp) {
  Open();
  Do("<SoundPlay 3, se.wav>");
  Do("<SoundVolume 3, -3000, 1000>");
  EXPECT_EQ(Rec(3).volume, -3000);  // the record holds the target at once
  Run(500);
  EXPECT_NEAR(C(3).ScriptVolume(), -1500, 100);
  Run(600);
  EXPECT_EQ(C(3).ScriptVolume(), -3000);
  Do("<SoundVolume 3, 0, 1000>");
  Run(300);
  Do("<SoundVolume 3, -800>");
  EXPECT_EQ(C(3).ScriptVolume(), -800);
  Run(1000);
  EXPECT_EQ(C(3).ScriptVolume(), -800);  // the old ramp does not carry on
  Do("<SoundVolume 3, -400, -50>");      // a negative time sets the volume at once
  EXPECT_EQ(C(3).ScriptVolume(), -400);
}

TEST_F(SoundCommandsTest, FileNamesLongerThanTheRecordHoldsAreRefused) {
  Open();
  const std::string longest(27, 'n');  // + ".ogg": 31 bytes
  Do("<SoundLoad 6, " + longest + ".ogg>");
  EXPECT_EQ(Rec(6).file, longest + ".ogg");
  EXPECT_EQ(G().History().CurrentVoices()[0], longest + ".ogg");
  for (const char* command : {"SoundLoad", "SoundPlay"}) {
    Do(std::string("<") + command + " 6, " + longest + "x.ogg>");
    EXPECT_NE(Diagnostics().LastMessage().find("longer than 31 bytes"), std::string::npos);
    EXPECT_EQ(Rec(6).file, longest + ".ogg") << command;
    EXPECT_EQ(G().History().CurrentVoices()[0], longest + ".ogg") << command;
    EXPECT_EQ(Rec(6).playing, 0) << command;
  }
}

TEST_F(SoundCommandsTest, LoadKeepsTheChannelSettingsAndNotesPageVoices) {
  Open();
  for (const char* tag : {"<SoundLoop 0, OFF>", "<SoundVolume 0, -700>", "<SoundDir 0, Left>",
                          "<SoundMute 0, ON>", "<SoundLoopPos 0, 250>", "<SoundLoad 0, bgm.ogg>"})
    Do(tag);
  SoundChannelRecord expected;
  expected.file = "bgm.ogg";
  expected.volume = -700;
  expected.pan = -10000;
  expected.mute = 1;
  expected.loopPosition = 250;
  EXPECT_EQ(Rec(0), expected);
  EXPECT_EQ(C(0).FileName(), "bgm.ogg");
  EXPECT_FALSE(C(0).IsPlaying());
  EXPECT_EQ(C(0).ScriptVolume(), -700);
  EXPECT_TRUE(C(0).ScriptMute());
  EXPECT_EQ(C(0).KindFactor(), VolumeStep(5));  // the settings applied at the load
  // The new sound takes the pan and the mute given before it was loaded.
  EXPECT_TRUE(C(0).Buffer().IsMuted());
  Do("<SoundMute 0, OFF>");
  Do("<SoundRun 0, Play>");
  Run(300);
  const std::vector<int16_t>& mixed = game.Mixed();
  const size_t end = mixed.size() / 2, from = end - 4410;
  EXPECT_GT(fixtures::LevelDb(mixed, 2, 0, from, end), -40);
  EXPECT_LT(fixtures::LevelDb(mixed, 2, 1, from, end), -100);

  Do("<SoundLoad 6, voice.mp3>");
  Do("<SoundLoad 10, voice2.ogg>");
  Do("<SoundLoad 11, se.wav>");  // channel 11's voice is not kept with the page
  const Backlog::Voices voices = {"voice.mp3", "", "", "", "voice2.ogg"};
  EXPECT_EQ(G().History().CurrentVoices(), voices);
  EXPECT_EQ(Rec(11).file, "se.wav");
}

TEST_F(SoundCommandsTest, PlayFadesInAndAVoiceStaysSilentWhileSkipping) {
  Open();
  Do("<SoundPlay 0, bgm.ogg, on, 1000>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_TRUE(C(0).FadingIn());
  EXPECT_EQ(C(0).FadeLevel(), -10000);
  Run(500);
  EXPECT_NEAR(C(0).FadeLevel(), -5000, 200);
  Run(600);
  EXPECT_EQ(C(0).FadeLevel(), 0);
  EXPECT_EQ(Rec(0).playing, 1);
  EXPECT_EQ(Rec(0).fadingOut, 0);
  EXPECT_EQ(Rec(0).file, "bgm.ogg");

  // A new sound on a paused channel plays: the record is no longer paused either.
  Do("<SoundRun 0, Pause>");
  EXPECT_EQ(Rec(0).paused, 1);
  Do("<SoundPlay 0, bgm.ogg>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_EQ(C(0).FadeLevel(), 0);
  EXPECT_EQ(Rec(0).paused, 0);

  G().SetSkipMode(1);
  Do("<SoundPlay 7, voice.mp3>");
  EXPECT_FALSE(C(7).IsPlaying());
  EXPECT_EQ(Rec(7).file, "voice.mp3");
  EXPECT_EQ(Rec(7).playing, 1);
  EXPECT_EQ(G().History().CurrentVoices()[1], "voice.mp3");
  EXPECT_FALSE(G().Ducked());
  Do("<SoundLoad 8, voice2.ogg>");
  Do("<SoundRun 8, Play>");
  EXPECT_FALSE(C(8).IsPlaying());
  Do("<SoundPlay 2, se.wav>");  // effects play while skipping
  EXPECT_TRUE(C(2).IsPlaying());

  // A file that cannot be read leaves the channel silent, not playing its old sound again.
  for (const char* command : {"SoundPlay", "SoundLoad"}) {
    Do("<SoundPlay 3, se.wav>");
    Run(100);
    Do(std::string("<") + command + " 3, missing.wav>");
    EXPECT_FALSE(C(3).IsPlaying()) << command;
    EXPECT_FALSE(C(3).Buffer().HasDeviceBuffer()) << command;
    EXPECT_EQ(Rec(3).file, "missing.wav") << command;
  }
}

TEST_F(SoundCommandsTest, RunPlaysPausesAndStops) {
  Open();
  Do("<SoundLoad 0, bgm.ogg>");
  Do("<SoundRun 0, play>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_EQ(Rec(0).playing, 1);
  Run(100);

  // Pause twice resumes.
  Do("<SoundRun 0, Pause>");
  EXPECT_TRUE(C(0).IsPaused());
  EXPECT_EQ(Rec(0).playing, 0);
  EXPECT_EQ(Rec(0).paused, 1);
  Do("<SoundRun 0, PAUSE>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_EQ(Rec(0).playing, 1);
  EXPECT_EQ(Rec(0).paused, 0);

  // Without "ON" any sub-command cancels a running fade.
  Do("<SoundFade 0, Out, 1000>");
  Run(200);
  EXPECT_LT(C(0).FadeLevel(), -1000);
  EXPECT_EQ(Rec(0).fadingOut, 1);
  Do("<SoundRun 0, Pause>");
  EXPECT_EQ(C(0).FadeLevel(), 0);
  EXPECT_FALSE(C(0).FadingOut());
  EXPECT_EQ(Rec(0).fadingOut, 0);

  // Play with "ON" on a paused channel resumes it, fading in from silence.
  Do("<SoundRun 0, Play, ON, 400>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_TRUE(C(0).FadingIn());
  EXPECT_EQ(Rec(0).paused, 0);
  Run(500);

  // Stop with "ON" fades out, stops, and leaves the channel ready at full level.
  Do("<SoundRun 0, Stop, ON, 500>");
  EXPECT_EQ(Rec(0).fadingOut, 1);
  EXPECT_EQ(Rec(0).playing, 0);
  Run(300);
  EXPECT_TRUE(C(0).IsPlaying());
  Run(300);
  EXPECT_FALSE(C(0).IsPlaying());
  EXPECT_EQ(C(0).FadeLevel(), 0);
  Do("<SoundRun 0, Play>");
  EXPECT_TRUE(C(0).IsPlaying());
  EXPECT_EQ(C(0).FadeLevel(), 0);
  EXPECT_EQ(Rec(0).fadingOut, 0);

  Do("<SoundRun 0, Stop>");
  EXPECT_FALSE(C(0).IsPlaying());
  EXPECT_EQ(Rec(0).playing, 0);
  EXPECT_EQ(Rec(0).paused, 0);
}

TEST_F(SoundCommandsTest, AVoiceDucksTheMusicUntilNoVoiceSounds) {
  Open();
  const int32_t music = VolumeStep(5);
  const int32_t ducked = music + (-music - 10000) / 20;
  Do("<SoundPlay 0, bgm.ogg>");
  Do("<SoundPlay 2, se.wav>");
  // Starting music or effects with SoundRun does not duck: no voice sounds.
  Do("<SoundRun 1, Play>");
  Do("<SoundRun 2, Play>");
  EXPECT_FALSE(G().Ducked());
  Do("<SoundPlay 6, voice.mp3>");
  EXPECT_TRUE(G().Ducked());
  EXPECT_EQ(C(0).KindFactor(), ducked);
  EXPECT_EQ(C(1).KindFactor(), ducked);
  EXPECT_EQ(C(2).KindFactor(), music);  // effects and voices keep their level
  EXPECT_EQ(C(6).KindFactor(), music);
  Run(300);
  EXPECT_TRUE(G().Ducked());
  Run(1700);  // the half-second voice has ended: the next update lifts the music
  EXPECT_FALSE(C(6).IsPlaying());
  EXPECT_FALSE(G().Ducked());
  EXPECT_EQ(C(0).KindFactor(), music);

  // SoundRun Play starting a voice ducks as well.
  Do("<SoundLoad 9, voice2.ogg>");
  EXPECT_FALSE(G().Ducked());
  Do("<SoundRun 9, Play>");
  EXPECT_TRUE(G().Ducked());
  EXPECT_EQ(C(0).KindFactor(), ducked);
  Run(2000);
  EXPECT_FALSE(G().Ducked());

  // The player can switch ducking off.
  G().Options().duckMusicForVoice = 0;
  Do("<SoundPlay 6, voice.mp3>");
  EXPECT_TRUE(C(6).IsPlaying());
  EXPECT_FALSE(G().Ducked());
  EXPECT_EQ(C(0).KindFactor(), music);

  // A new game starts without ducking, without kept voices and with fresh records.
  G().Options().duckMusicForVoice = 1;
  Do("<SoundPlay 6, voice.mp3>");
  EXPECT_TRUE(G().Ducked());
  G().StartGame("main.txt");
  EXPECT_FALSE(G().Ducked());
  EXPECT_EQ(G().History().CurrentVoices(), Backlog::Voices{});
  EXPECT_EQ(G().SoundRecords(), SetUpRecords());
}

TEST_F(SoundCommandsTest, ThePlayersSettingsReachTheChannelsAndAScriptMuteOutlivesThem) {
  // Settings as a player left them in "option.dat".
  OptionsBlock options;
  options.masterVolume = 6;
  options.musicVolume = 3;
  options.voiceVolume = 7;
  options.effectVolume = 2;
  options.muteVoices = 1;
  VariableTable none;
  std::filesystem::create_directories(game.Dir() / "sys");
  testing::WriteBytes((game.Dir() / "sys" / "option.dat").string(),
                      EncodeOptionFile(none, options, GalleryFlags()));
  Open();
  // Applied when the game starts, before any sound command.
  EXPECT_EQ(C(0).MasterFactor(), MasterFactor(6));
  EXPECT_EQ(C(0).KindFactor(), VolumeStep(3));
  EXPECT_EQ(C(3).KindFactor(), VolumeStep(2));
  EXPECT_EQ(C(8).KindFactor(), VolumeStep(7));
  EXPECT_TRUE(C(8).KindMute());
  EXPECT_FALSE(C(3).KindMute());

  Do("<SoundPlay 3, se.wav>");
  Do("<SoundMute 3, ON>");
  EXPECT_TRUE(C(3).Buffer().IsMuted());
  Do("<SoundPlay 2, se.wav>");  // applies the settings to every channel again
  EXPECT_TRUE(C(3).Buffer().IsMuted());
  EXPECT_FALSE(C(2).Buffer().IsMuted());
  Do("<SoundMute 3, OFF>");
  EXPECT_FALSE(C(3).Buffer().IsMuted());
  Do("<SoundPlay 6, voice.mp3>");
  EXPECT_TRUE(C(6).Buffer().IsMuted());  // the player's voice mute
}

// ---------------------------------------------------------------------------------------
// The voices kept with the pages.

TEST(BacklogTest, PagesKeepTheirTextAndVoicesInRingOrder) {
  Backlog backlog;
  MessageLayout layout;
  MessageAreaRecord page{};
  auto record = [&](const std::string& text) {
    page.buffer.Clear();
    page.buffer.AppendText(text, TextBuffer::kCells, layout.Settings());
    backlog.Record(page, layout);
  };
  backlog.SetVoice(0, "a0.ogg");
  backlog.SetVoice(4, "a4.ogg");
  backlog.SetVoice(5, "ignored.ogg");
  backlog.SetVoice(-1, "ignored.ogg");
  EXPECT_EQ(backlog.CurrentVoices(), (Backlog::Voices{"a0.ogg", "", "", "", "a4.ogg"}));
  record("a");
  EXPECT_EQ(backlog.Count(), 1);
  EXPECT_EQ(backlog.CurrentVoices(), Backlog::Voices{});
  EXPECT_EQ(backlog.PageVoices(0)[4], "a4.ogg");
  EXPECT_EQ(backlog.Page(0).buffer.Characters(), "a");

  // 150 pages: the 99 newest are kept, oldest first, and a reused slot starts empty.
  backlog.Clear();
  for (int k = 0; k < 150; ++k) {
    backlog.SetVoice(k % 5, "p" + std::to_string(k));
    record(std::to_string(k));
  }
  EXPECT_EQ(backlog.Count(), 99);
  EXPECT_EQ(backlog.WriteIndex(), 50);
  EXPECT_EQ(backlog.CurrentVoices(), Backlog::Voices{});
  EXPECT_EQ(backlog.PageVoices(0)[51 % 5], "p51");
  EXPECT_EQ(backlog.PageVoices(98)[149 % 5], "p149");
  EXPECT_EQ(backlog.Page(0).buffer.Characters(), "51");
  EXPECT_EQ(backlog.Page(98).buffer.Characters(), "149");
  backlog.Clear();
  EXPECT_EQ(backlog.Count(), 0);
  EXPECT_EQ(backlog.WriteIndex(), 0);
  EXPECT_EQ(backlog.PageVoices(0), Backlog::Voices{});
  EXPECT_EQ(backlog.Page(0).buffer.Count(), 0);
}

}  // namespace
}  // namespace zan
