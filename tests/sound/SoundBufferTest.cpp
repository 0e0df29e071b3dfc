// Sound buffers on the headless device: create failures and their log lines, play, pause,
// stop, volume, a stream that runs dry, a device without pan, lost buffers, and long
// streaming runs on the virtual clock whose output must be gap-free.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "SoundFixtures.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/VirtualClock.h"
#include "platform/headless/HeadlessPlatform.h"
#include "sound/SoundBuffer.h"
#include "sound/SoundManager.h"

namespace zan {
namespace {

using namespace fixtures;

class SoundBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Diagnostics().SetEcho(false);
    ASSERT_EQ(manager.Init(platform.GetAudioOut(), platform.GetClock()).code, InitResult::Code::kOk);
    platform.GetAudioOut().SetCaptureSink([this](std::span<const int16_t> s) {
      if (capture) out.insert(out.end(), s.begin(), s.end());
    });
  }
  void TearDown() override {
    platform.GetAudioOut().SetCaptureSink(nullptr);
    Diagnostics().SetEcho(true);
  }
  std::string LastLog() { return SjisToUtf8(Diagnostics().LastMessage()); }
  void Advance(uint32_t ms) { platform.GetClock().Advance(ms); }

  HeadlessPlatform platform;
  SoundManager manager;
  bool capture = true;
  std::vector<int16_t> out;
};

TEST_F(SoundBufferTest, CreateFailuresReturnTheirCodesAndLogTheirLines) {
  const auto fmt16 = PcmWave(Tone(440, 0.1));
  std::vector<uint8_t> noFmt = WaveFile(1, 1, 44100, 88200, 2, 16, {}, std::vector<uint8_t>(100));
  std::memcpy(noFmt.data() + 12, "fmx ", 4);
  std::vector<uint8_t> noData = fmt16;
  std::memcpy(noData.data() + 36, "dat_", 4);
  const auto unknownTag = WaveFile(0x1234, 1, 44100, 88200, 2, 16, {}, std::vector<uint8_t>(100));
  const auto pcm24In32 = WaveFile(1, 2, 44100, 352800, 8, 24, {}, std::vector<uint8_t>(600));
  const std::vector<uint8_t> garbage(1000, 0x42);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    CreateResult result;
    const char* line;
  };
  const std::vector<Case> statics = {
      {"empty", {}, BufferResult::kNoBytes, "CSoundBuffer::CreateStaticSoundBuffer : mmioOpenの失敗"},
      // 0x42 bytes: the MP3 open finds no frame start.
      {"not a sound", garbage, {BufferResult::kNotSound, Mp3Result::kNoFrameStart},
       "CSoundBuffer::CreateStaticSoundBuffer : Waveファイルでない"},
      {"no fmt", noFmt, BufferResult::kNoFmt, "CSoundBuffer::CreateStaticSoundBuffer : fmtチャンクが指定できない"},
      {"no data", noData, BufferResult::kNoData, "CSoundBuffer::CreateStaticSoundBuffer : データチャンクなさげ"},
      {"unknown tag", unknownTag, BufferResult::kNoConversion, "CSoundBuffer::非対応のWAVE FORMAT"},
      {"24 bits in 4-byte samples", pcm24In32, BufferResult::kNoConversion, "CSoundBuffer::非対応のWAVE FORMAT"},
  };
  for (const Case& c : statics) {
    SoundBuffer b;
    const CreateResult r = manager.CreateBuffer(b, c.file.data(), static_cast<uint32_t>(c.file.size()), 1);
    EXPECT_EQ(r.result, c.result.result) << c.what;
    EXPECT_EQ(r.mp3, c.result.mp3) << c.what;
    EXPECT_EQ(LastLog(), c.line) << c.what;
    EXPECT_FALSE(b.HasDeviceBuffer()) << c.what;
    EXPECT_EQ(b.GetKind(), SoundBuffer::kNone) << c.what;
  }
  SoundBuffer stream;
  EXPECT_EQ(manager.CreateBuffer(stream, garbage.data(), 1000, 2).result, BufferResult::kUndecodable);
  EXPECT_EQ(LastLog(), "CSoundBuffer::CreateStreamSoundBuffer m_Mp3.Open error\n");
  SoundManager uninitialised;
  EXPECT_EQ(uninitialised.CreateBuffer(stream, fmt16.data(), static_cast<uint32_t>(fmt16.size()), 2).result,
            BufferResult::kNotInitialized);
}

TEST_F(SoundBufferTest, EverySourceLoadsAsStaticAndAsStream) {
  const Pcm tone = Tone(440, 1.2, 44100, 2);
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> files = {
      {"pcm", PcmWave(tone)}, {"pcm 24", WideWave(tone, 3, false, false)},
      {"extensible pcm 24", WideWave(tone, 3, false, true)}, {"ima", EncodedWave(tone, "adpcm_ima_wav")},
      {"ogg", OggVorbis(tone)}, {"mp3", Mp3(tone)}, {"mp3 in wave", Mp3Wave(tone)}};
  for (const auto& [what, file] : files) {
    for (int32_t kind : {SoundBuffer::kStatic, SoundBuffer::kStream}) {
      SoundBuffer b;
      ASSERT_EQ(manager.CreateBuffer(b, file.data(), static_cast<uint32_t>(file.size()), kind).result,
                BufferResult::kOk)
          << what << " " << kind;
      EXPECT_EQ(b.GetKind(), kind);
      out.clear();
      EXPECT_EQ(b.Play(0), PlayResult::kStarted);
      Advance(600);
      b.Stop();
      EXPECT_NEAR(Frequency(out, 2, 1, 44100, 4000, 20000), 440, 1) << what << " " << kind;
    }
  }
}

TEST_F(SoundBufferTest, PlayPauseStopVolumeAndMute) {
  const auto ogg = OggVorbis(Tone(440, 3.0));
  SoundBuffer b;
  EXPECT_EQ(b.Play(0), PlayResult::kNoDeviceBuffer);
  EXPECT_FALSE(b.Pause());
  ASSERT_EQ(manager.CreateBuffer(b, ogg.data(), static_cast<uint32_t>(ogg.size()), 2).result, BufferResult::kOk);
  EXPECT_FALSE(b.Pause());  // not playing
  EXPECT_EQ(b.Play(0), PlayResult::kStarted);
  EXPECT_TRUE(b.IsPlaying());
  EXPECT_EQ(b.Play(1), PlayResult::kAlreadyPlaying);
  EXPECT_EQ(b.PlayMode(), 1);  // stored all the same
  Advance(700);
  EXPECT_TRUE(b.Pause());
  EXPECT_TRUE(b.IsPaused());
  EXPECT_FALSE(b.IsPlaying());
  uint32_t pausedAt = 0;
  b.DeviceBuffer()->GetCurrentPosition(&pausedAt, nullptr);
  out.clear();
  Advance(1500);  // ticks during the pause write nothing; the output is silent
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), static_cast<long>(out.size()));
  uint32_t stillAt = 0;
  b.DeviceBuffer()->GetCurrentPosition(&stillAt, nullptr);
  EXPECT_EQ(stillAt, pausedAt);
  EXPECT_EQ(b.Play(1), PlayResult::kStarted);  // resumes where it stopped
  EXPECT_FALSE(b.IsPaused());

  EXPECT_FALSE(b.SetVolume(1));
  EXPECT_FALSE(b.SetVolume(-10001));
  EXPECT_EQ(b.Volume(), 0);
  EXPECT_TRUE(b.SetVolume(-2000));
  out.clear();
  Advance(200);
  EXPECT_NEAR(LevelDb(out, 2, 0, 0, out.size() / 2), 20 * std::log10(0.05 / std::sqrt(2.0)), 0.5);
  b.SetMute(true);
  EXPECT_TRUE(b.SetVolume(-1000));  // stored; the device stays silent
  out.clear();
  Advance(200);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), static_cast<long>(out.size()));
  b.SetMute(false);
  out.clear();
  Advance(200);
  EXPECT_NEAR(LevelDb(out, 2, 0, 0, out.size() / 2), 20 * std::log10(0.5 * std::pow(10, -0.5) / std::sqrt(2.0)), 0.5);

  b.Stop();
  EXPECT_FALSE(b.IsPlaying());
  EXPECT_FALSE(b.IsPaused());
  // Stopped, the ring is rewound and pre-filled: the next play starts at once.
  out.clear();
  EXPECT_EQ(b.Play(0), PlayResult::kStarted);
  Advance(100);
  EXPECT_NEAR(LevelDb(out, 2, 0, 0, 441), LevelDb(out, 2, 0, 441, 4410), 1);
}

TEST_F(SoundBufferTest, AStreamThatRunsDryStopsOnItsThirdEndTick) {
  const auto ogg = OggVorbis(Tone(440, 0.3));
  SoundBuffer b;
  ASSERT_EQ(manager.CreateBuffer(b, ogg.data(), static_cast<uint32_t>(ogg.size()), 2).result, BufferResult::kOk);
  ASSERT_EQ(b.Play(0), PlayResult::kStarted);
  Advance(1000);  // ticks at 500 and 1000 ms answered kEnded
  EXPECT_TRUE(b.IsPlaying());
  EXPECT_EQ(b.SilenceTicks(), 2);
  Advance(500);  // the third stops the buffer
  EXPECT_FALSE(b.IsPlaying());
  EXPECT_EQ(LastLog().rfind("CSoundBufferStream SILENCE!! but... a = ", 0), 0u) << LastLog();
  EXPECT_EQ(b.SilenceTicks(), 0);
  // Rewound and pre-filled: it plays again at once.
  out.clear();
  EXPECT_EQ(b.Play(0), PlayResult::kStarted);
  Advance(200);
  EXPECT_NEAR(Frequency(out, 2, 0, 44100, 0, 8000), 440, 1);
  // Stopping ends the timer chain: no tick runs later.
  b.Stop();
  Advance(3000);
  EXPECT_EQ(b.SilenceTicks(), 0);
}

TEST_F(SoundBufferTest, AShortLoopingStreamPadsItsFirstPassThenLoops) {
  const auto ogg = OggVorbis(Tone(440, 0.3));
  SoundBuffer b;
  ASSERT_EQ(manager.CreateBuffer(b, ogg.data(), static_cast<uint32_t>(ogg.size()), 2).result, BufferResult::kOk);
  out.clear();
  ASSERT_EQ(b.Play(1), PlayResult::kStarted);
  Advance(3000);
  EXPECT_TRUE(b.IsPlaying());
  // The first second was filled in play mode 0: silence after 0.3 s; later seconds loop.
  EXPECT_LT(LevelDb(out, 2, 0, 22050, 44100), -60);
  EXPECT_GT(LevelDb(out, 2, 0, 88200, 132300), -12);
}

TEST_F(SoundBufferTest, ADeviceWithoutPanControlGetsTheReducedFlagSet) {
  manager.Device()->SetRefusedFlags(buffer_control::kPan);
  const auto ogg = OggVorbis(Tone(440, 1.0));
  SoundBuffer b;
  ASSERT_EQ(manager.CreateBuffer(b, ogg.data(), static_cast<uint32_t>(ogg.size()), 2).result, BufferResult::kOk);
  EXPECT_EQ(b.DeviceBuffer()->Flags(), SoundBuffer::kStreamFlagsReduced);
  b.SetPan(-10000);  // ignored
  out.clear();
  b.Play(0);
  Advance(300);
  EXPECT_GT(LevelDb(out, 2, 1, 0, out.size() / 2), -12);
}

TEST_F(SoundBufferTest, ARefillWithoutADeviceBufferIsRefused) {
  const auto ogg = OggVorbis(Tone(440, 1.0));
  SoundBuffer a;
  ASSERT_EQ(manager.CreateBuffer(a, ogg.data(), static_cast<uint32_t>(ogg.size()), 2).result, BufferResult::kOk);
  a.Release();
  EXPECT_FALSE(a.HasDeviceBuffer());
  EXPECT_EQ(a.Play(0), PlayResult::kNoDeviceBuffer);
  EXPECT_EQ(a.ReadStream(), FillResult::kNoDeviceBuffer);
  EXPECT_EQ(LastLog(), "CSoundBuffer::ReadStream m_lpDSB がNULL");
}

// A mono pattern no refill can drop, repeat or reorder a sample of without notice.
Pcm Pattern(size_t frames) {
  Pcm p;
  p.rate = 44100;
  p.channels = 1;
  uint32_t x = 12345;
  for (size_t i = 0; i < frames; ++i) {
    x = x * 1103515245u + 12345u;
    p.samples.push_back(static_cast<int16_t>((x >> 16) & 0x7FFF) - 16384);
  }
  return p;
}

TEST_F(SoundBufferTest, TenMinutesOfStreamingLoseNoSample) {
  // 1.7 s, looping: the loop point falls at a different place in the ring on every pass.
  const Pcm pattern = Pattern(74970);
  const auto wav = PcmWave(pattern);
  SoundBuffer b;
  ASSERT_EQ(manager.CreateBuffer(b, wav.data(), static_cast<uint32_t>(wav.size()), 2).result, BufferResult::kOk);
  capture = false;
  uint64_t frame = 0, mismatches = 0, compared = 0;
  Advance(3);  // mixed before the start: not compared
  frame = 0;
  platform.GetAudioOut().SetCaptureSink([&](std::span<const int16_t> s) {
    for (size_t i = 0; i < s.size(); i += 2, ++frame) {
      const int16_t want = pattern.samples[frame % pattern.samples.size()];
      mismatches += (s[i] != want) + (s[i + 1] != want);
      ++compared;
    }
  });
  ASSERT_EQ(b.Play(1), PlayResult::kStarted);
  for (int second = 0; second < 600; ++second) Advance(1000);
  EXPECT_EQ(compared, 600u * 44100);
  EXPECT_EQ(mismatches, 0u);
  EXPECT_TRUE(b.IsPlaying());
}

TEST_F(SoundBufferTest, OggAndMp3StreamsStayContinuousForMinutes) {
  for (const bool mp3 : {false, true}) {
    const Pcm tone = Tone(440, 2.3, 44100, 2);
    const auto file = mp3 ? Mp3(tone) : OggVorbis(tone);
    SoundBuffer b;
    ASSERT_EQ(manager.CreateBuffer(b, file.data(), static_cast<uint32_t>(file.size()), 2).result, BufferResult::kOk);
    capture = true;
    out.clear();
    ASSERT_EQ(b.Play(1), PlayResult::kStarted);
    Advance(120000);
    b.Stop();
    // Every 50 ms window carries the tone at its level: no gap anywhere, loops included.
    size_t quiet = 0;
    for (size_t t = 4410; t + 2205 <= out.size() / 2; t += 2205)
      if (LevelDb(out, 2, 0, t, t + 2205) < -13) ++quiet;
    EXPECT_EQ(quiet, 0u) << (mp3 ? "mp3" : "ogg");
    EXPECT_NEAR(Frequency(out, 2, 0, 44100, 44100, out.size() / 2), 440, 0.5);
  }
}


// An output that only notes its pauses, and pulls when the test says.
class PauseRecorder : public AudioOut {
 public:
  AudioOpenResult Open(Source s) override {
    source = std::move(s);
    return AudioOpenResult::kOpened;
  }
  void Close() override { source = nullptr; }
  bool IsOpen() const override { return source != nullptr; }
  void SetPaused(bool p) override { paused.push_back(p); }
  Source source;
  std::vector<bool> paused;
};

TEST(SoundOutputPauseTest, TheOutputPausesWhileNothingPlaysAndResumesOnceSomethingDoes) {
  VirtualClock clock;
  PauseRecorder out;
  SoundManager manager;
  ASSERT_EQ(manager.Init(out, clock).code, InitResult::Code::kOk);
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused, std::vector<bool>{true});
  // A short sound: heard while it plays, and the output pauses once it has played out.
  const auto wave = PcmWave(Tone(440, 0.01));
  SoundBuffer b;
  ASSERT_EQ(manager.CreateBuffer(b, wave.data(), static_cast<uint32_t>(wave.size()), SoundManager::kCreateStatic).result,
            BufferResult::kOk);
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused.back(), true);  // made, not playing
  ASSERT_EQ(b.Play(0), PlayResult::kStarted);
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused.back(), false);
  std::vector<int16_t> frames(2 * 4410);
  out.source(frames.data(), 4410);  // 0.1 s: the sound ends within it
  EXPECT_NE(std::count(frames.begin(), frames.end(), 0), static_cast<long>(frames.size()));
  out.source(frames.data(), 4410);
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused.back(), true);
  // Stopped by the story: paused too.
  ASSERT_EQ(b.Play(1), PlayResult::kStarted);
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused.back(), false);
  b.Stop();
  manager.PauseWhenSilent();
  EXPECT_EQ(out.paused.back(), true);
}

TEST(SoundManagerInitTest, AnOutputThatWillNotOpenLeavesTheGameSilentAndSaysWhy) {
  VirtualClock clock;
  HeadlessAudioOut out(clock);
  ASSERT_EQ(out.Open([](int16_t*, size_t) {}), AudioOpenResult::kOpened);  // taken already
  SoundManager manager;
  const InitResult init = manager.Init(out, clock);
  EXPECT_EQ(init.code, InitResult::Code::kNoAudioOutput);
  EXPECT_EQ(init.output, AudioOpenResult::kAlreadyOpen);
  EXPECT_FALSE(manager.IsInitialized());
  const auto wave = PcmWave(Tone(440, 0.01));
  SoundBuffer b;
  EXPECT_EQ(manager.CreateBuffer(b, wave.data(), static_cast<uint32_t>(wave.size()), SoundManager::kCreateStatic).result,
            BufferResult::kNotInitialized);
}
}  // namespace
}  // namespace zan
