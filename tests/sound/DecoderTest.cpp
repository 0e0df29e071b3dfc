// The decoders on sounds made at test time: WAVE chunks (and hostile ones), Ogg Vorbis with
// its carry buffer, loops and memory callbacks, MP3 header checks and streaming, and the
// WAVE formats converted through CompressedWaveDecoder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "../base/TempFolder.h"
#include "SoundFixtures.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "sound/CompressedWaveDecoder.h"
#include "sound/FfmpegLibraries.h"
#include "sound/Mp3Decoder.h"
#include "sound/MpegHeader.h"
#include "sound/OggVorbisDecoder.h"
#include "sound/RiffWave.h"

namespace zan {
namespace {

using namespace fixtures;

std::span<const int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const int16_t*>(bytes.data()), bytes.size() / 2};
}

class DecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { Diagnostics().SetEcho(false); }
  void TearDown() override { Diagnostics().SetEcho(true); }
};

// ---- RIFF WAVE ----

std::vector<uint8_t> Chunk(const char* id, std::vector<uint8_t> body, uint32_t claimed = 0xFFFFFFFF) {
  std::vector<uint8_t> c(id, id + 4);
  const uint32_t size = claimed == 0xFFFFFFFF ? static_cast<uint32_t>(body.size()) : claimed;
  for (int i = 0; i < 4; ++i) c.push_back(static_cast<uint8_t>(size >> (8 * i)));
  c.insert(c.end(), body.begin(), body.end());
  if (body.size() & 1) c.push_back(0);
  return c;
}

std::vector<uint8_t> Fmt(uint16_t tag, uint16_t ch, uint32_t rate, uint16_t align, uint16_t bits) {
  std::vector<uint8_t> b(16);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(0, tag, 2);
  put(2, ch, 2);
  put(4, rate, 4);
  put(8, rate * align, 4);
  put(12, align, 2);
  put(14, bits, 2);
  return b;
}

std::vector<uint8_t> Riff(std::vector<std::vector<uint8_t>> chunks) {
  std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
  for (auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

TEST_F(DecoderTest, WaveChunksAreFoundAndMalformedFilesRefused) {
  const std::vector<uint8_t> samples(400, 0x11);
  const auto fmt = Fmt(1, 2, 44100, 4, 16);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    RiffWaveResult expected;
  };
  auto shortFmt = fmt;
  shortFmt.resize(10);
  auto adpcmBigExtra = Fmt(0x11, 1, 22050, 512, 4);
  adpcmBigExtra.push_back(200);  // cbSize 200 with no bytes behind it
  adpcmBigExtra.push_back(0);
  auto truncated = Riff({Chunk("fmt ", fmt), Chunk("data", samples)});
  truncated.resize(truncated.size() - 100);
  const std::vector<Case> cases = {
      {"plain", Riff({Chunk("fmt ", fmt), Chunk("data", samples)}), RiffWaveResult::kOk},
      {"skips other chunks", Riff({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", fmt), Chunk("junk", {}), Chunk("data", samples)}), RiffWaveResult::kOk},
      {"empty", {}, RiffWaveResult::kEmpty},
      {"not RIFF", std::vector<uint8_t>(64, 0xFF), RiffWaveResult::kNotWave},
      {"RIFF of another form", Chunk("RIFF", {'A', 'V', 'I', ' ', 0, 0, 0, 0}), RiffWaveResult::kNotWave},
      {"no fmt", Riff({Chunk("data", samples)}), RiffWaveResult::kNoFmt},
      {"data before fmt", Riff({Chunk("data", samples), Chunk("fmt ", fmt)}), RiffWaveResult::kNoData},
      {"no data", Riff({Chunk("fmt ", fmt)}), RiffWaveResult::kNoData},
      {"data past the end", truncated, RiffWaveResult::kNoData},
      {"chunk size past the end", Riff({Chunk("fmt ", fmt), Chunk("data", {1, 2}, 0x7FFFFFF0)}), RiffWaveResult::kNoData},
      {"fmt size past the end", Riff({Chunk("fmt ", fmt, 0xFFFFFFF0)}), RiffWaveResult::kNoFmt},
      {"fmt too short", Riff({Chunk("fmt ", shortFmt), Chunk("data", samples)}), RiffWaveResult::kNoFmt},
      {"zero channels", Riff({Chunk("fmt ", Fmt(1, 0, 44100, 4, 16)), Chunk("data", samples)}), RiffWaveResult::kNoFmt},
      {"zero rate", Riff({Chunk("fmt ", Fmt(1, 2, 0, 4, 16)), Chunk("data", samples)}), RiffWaveResult::kNoFmt},
      {"zero block align", Riff({Chunk("fmt ", Fmt(1, 2, 44100, 0, 16)), Chunk("data", samples)}), RiffWaveResult::kNoFmt},
      {"extra size past the chunk", Riff({Chunk("fmt ", adpcmBigExtra), Chunk("data", samples)}), RiffWaveResult::kNoFmt},
  };
  for (const Case& c : cases) {
    RiffWave wave;
    EXPECT_EQ(ReadRiffWave(c.file, &wave), c.expected) << c.what;
    if (c.expected == RiffWaveResult::kOk) {
      EXPECT_EQ(wave.data.size(), samples.size()) << c.what;
      EXPECT_EQ(wave.format.channels, 2) << c.what;
    }
  }
}

TEST_F(DecoderTest, ExtensibleFormatsReadAsThePlainFormatTheyWrap) {
  const std::vector<uint8_t> samples(600, 0);
  auto ext = [&](uint16_t bits, uint16_t align, std::vector<uint8_t> extra) {
    return WaveFile(kWaveFormatExtensible, 1, 22050, 22050u * align, align, bits, extra, samples);
  };
  auto otherGuid = ExtensibleExtra(24, 1, 1);
  otherGuid.back() ^= 0xFF;  // {00000001-0000-0010-8000-00AA00389B8E}: not the tags' GUID
  auto shortExtra = ExtensibleExtra(24, 1, 1);
  shortExtra.resize(10);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    RiffWaveResult expected;
    uint16_t tag;     // the plain format read
    const char* log;  // part of the refusal's line
  };
  const Case cases[] = {
      {"PCM, 24 bits", ext(24, 3, ExtensibleExtra(24, 1, 1)), RiffWaveResult::kOk, kWaveFormatPcm, nullptr},
      {"PCM, 20 valid bits of 24", ext(24, 3, ExtensibleExtra(20, 1, 1)), RiffWaveResult::kOk, kWaveFormatPcm, nullptr},
      {"PCM, valid bits not stated", ext(24, 3, ExtensibleExtra(0, 1, 1)), RiffWaveResult::kOk, kWaveFormatPcm, nullptr},
      {"IEEE float", ext(32, 4, ExtensibleExtra(32, 1, 3)), RiffWaveResult::kOk, kWaveFormatIeeeFloat, nullptr},
      {"mu-law", ext(8, 1, ExtensibleExtra(8, 1, 7)), RiffWaveResult::kNoFmt, 0,
       "sub-format {00000007-0000-0010-8000-00AA00389B71} is neither PCM nor IEEE float"},
      {"another GUID", ext(24, 3, otherGuid), RiffWaveResult::kNoFmt, 0, "{00000001-0000-0010-8000-00AA00389B8E}"},
      {"more valid bits than the container", ext(24, 3, ExtensibleExtra(32, 1, 1)), RiffWaveResult::kNoFmt, 0,
       "32 valid bits in 24-bit samples"},
      {"extra bytes cut short", ext(24, 3, shortExtra), RiffWaveResult::kNoFmt, 0, "10 extra bytes (22 expected)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RiffWave wave;
    ASSERT_EQ(ReadRiffWave(c.file, &wave), c.expected);
    if (c.log) {
      EXPECT_NE(Diagnostics().LastMessage().find(c.log), std::string::npos) << Diagnostics().LastMessage();
      continue;
    }
    EXPECT_EQ(wave.format.formatTag, c.tag);
    EXPECT_TRUE(wave.format.extra.empty());
    EXPECT_EQ(wave.format.channels, 1);
    EXPECT_EQ(wave.format.samplesPerSec, 22050u);
    EXPECT_EQ(wave.format.bitsPerSample, wave.format.blockAlign * 8);  // the container
    EXPECT_EQ(wave.data.size(), samples.size());
  }
}

// The samples a 16-bit tone widened to 24 or 32 bits, or to floats, holds are the tone's own:
// the conversion gives them back exactly.
TEST_F(DecoderTest, EverySampleSizePlainOrExtensibleDecodesToTheSamplesItHolds) {
  const Pcm tone = Tone(440, 0.25, 22050, 2, 0.5);
  struct Case {
    const char* what;
    uint16_t bytes;
    bool asFloat, extensible;
    uint16_t validBits;
  };
  const Case cases[] = {
      {"16 bits", 2, false, false, 0},          {"16 bits, extensible", 2, false, true, 0},
      {"24 bits", 3, false, false, 0},          {"24 bits, extensible", 3, false, true, 0},
      {"20 of 24 bits, extensible", 3, false, true, 20}, {"32 bits", 4, false, false, 0},
      {"32 bits, extensible", 4, false, true, 0}, {"float", 4, true, false, 0},
      {"float, extensible", 4, true, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = WideWave(tone, c.bytes, c.asFloat, c.extensible, c.validBits);
    RiffWave wave;
    ASSERT_EQ(ReadRiffWave(file, &wave), RiffWaveResult::kOk);
    CompressedWaveDecoder decoder;
    ASSERT_EQ(decoder.Open(wave.format, wave.data.data(), static_cast<uint32_t>(wave.data.size())), WaveDecoderResult::kOk);
    EXPECT_EQ(decoder.PcmFormat(), MakePcmFormat(2, 22050));
    std::vector<uint8_t> out;
    ASSERT_EQ(decoder.ConvertWhole(out), ConvertResult::kOk);
    const auto pcm = AsSamples(out);
    ASSERT_EQ(pcm.size(), tone.samples.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), tone.samples.begin()));
  }
}

// ---- Ogg Vorbis ----

TEST_F(DecoderTest, OggOpenCodes) {
  const auto ogg = OggVorbis(Tone(440, 0.5));
  OggVorbisDecoder d;
  EXPECT_EQ(d.OpenNoCopy(nullptr, 0), OggResult::kNoData);
  EXPECT_EQ(d.Open(nullptr, 0), OggResult::kNoData);
  const uint8_t riff[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
  EXPECT_EQ(d.OpenNoCopy(riff, sizeof riff), OggResult::kNotOgg);
  EXPECT_EQ(d.Open(riff, sizeof riff), OggResult::kNotOgg);
  std::vector<uint8_t> broken(ogg.begin(), ogg.begin() + 60);  // "OggS" and then nothing usable
  EXPECT_EQ(d.OpenNoCopy(broken.data(), static_cast<uint32_t>(broken.size())), OggResult::kRefused);
  EXPECT_EQ(d.Open(broken.data(), static_cast<uint32_t>(broken.size())), OggResult::kRefused);
  EXPECT_FALSE(d.IsOpen());
  ASSERT_EQ(d.Open(ogg.data(), static_cast<uint32_t>(ogg.size())), OggResult::kOk);
  EXPECT_EQ(d.PcmFormat().channels, 1);
  EXPECT_EQ(d.PcmFormat().samplesPerSec, 44100u);
  EXPECT_EQ(d.PcmFormat().blockAlign, 2);
  EXPECT_EQ(d.PcmFormat().avgBytesPerSec, 88200u);
  EXPECT_EQ(d.PcmBytes(), 22050u * 2);
}

TEST_F(DecoderTest, OggFillKeepsEveryByteAcrossRequestsAndTheCarry) {
  const auto ogg = OggVorbis(Tone(440, 1.0, 44100, 2));
  OggVorbisDecoder whole, pieces;
  ASSERT_EQ(whole.Open(ogg.data(), static_cast<uint32_t>(ogg.size())), OggResult::kOk);
  ASSERT_EQ(pieces.Open(ogg.data(), static_cast<uint32_t>(ogg.size())), OggResult::kOk);
  std::vector<uint8_t> a(whole.PcmBytes()), b(whole.PcmBytes());
  EXPECT_NE(whole.Fill(a.data(), static_cast<uint32_t>(a.size()), 0), FillResult::kEnded);
  // Odd sizes, some smaller than what the carry holds (served from the carry alone).
  uint32_t at = 0;
  const uint32_t sizes[] = {3, 1000, 8, 4096, 7, 12345};
  bool servedFromCarry = false;
  for (int i = 0; at < b.size(); ++i) {
    const uint32_t n = std::min<uint32_t>(sizes[i % 6], static_cast<uint32_t>(b.size()) - at);
    servedFromCarry = servedFromCarry || pieces.CarryBytes() >= n;
    pieces.Fill(b.data() + at, n, 0);
    at += n;
  }
  EXPECT_TRUE(servedFromCarry);
  EXPECT_EQ(a, b);
  const auto pcm = AsSamples(a);
  EXPECT_NEAR(Frequency(pcm, 2, 0, 44100, 0, pcm.size() / 2), 440, 1);
  // Past the end: silence and the end code.
  std::vector<uint8_t> tail(1000, 0x55);
  EXPECT_EQ(pieces.Fill(tail.data(), 1000, 0), FillResult::kEnded);
  EXPECT_EQ(tail, std::vector<uint8_t>(1000, 0));
}

TEST_F(DecoderTest, OggPlayModeOneWrapsSeamlesslyAndALoopPositionContinuesThere) {
  // Two seconds of 440 Hz, then one of 880 Hz.
  const Pcm source = Concat({Tone(440, 2.0), Tone(880, 1.0)});
  const auto ogg = OggVorbis(source);
  OggVorbisDecoder d;
  ASSERT_EQ(d.Open(ogg.data(), static_cast<uint32_t>(ogg.size())), OggResult::kOk);
  const uint32_t total = d.PcmBytes();
  std::vector<uint8_t> straight(total);
  EXPECT_NE(d.Fill(straight.data(), total, 0), FillResult::kEnded);
  d.Rewind();
  std::vector<uint8_t> head(total - 1000), across(3000);
  d.Fill(head.data(), total - 1000, 1);
  // The request that crosses the end goes on from sample 0 within itself.
  EXPECT_EQ(d.Fill(across.data(), 3000, 1), FillResult::kFilled);
  EXPECT_TRUE(std::equal(across.begin(), across.begin() + 1000, straight.end() - 1000));
  EXPECT_TRUE(std::equal(across.begin() + 1000, across.end(), straight.begin()));

  // Loop position 2000 ms in play mode 0: after the end, 880 Hz again (from 2.0 s).
  d.Rewind();
  d.SetLoopPosition(2000);
  std::vector<uint8_t> out(total + 88200);  // the whole stream, then one second more
  EXPECT_NE(d.Fill(out.data(), static_cast<uint32_t>(out.size()), 0), FillResult::kEnded);
  const auto pcm = AsSamples(out);
  EXPECT_NEAR(Frequency(pcm, 1, 0, 44100, 132300 + 2000, 132300 + 40000), 880, 2);

  // Loop position 0 (none): the end is silence and kEnded.
  d.Rewind();
  d.SetLoopPosition(0);
  EXPECT_EQ(d.Fill(out.data(), static_cast<uint32_t>(out.size()), 0), FillResult::kEnded);
  EXPECT_EQ(std::count(out.begin() + total, out.end(), 0), 88200);
  // A loop position past the end ends like none.
  d.Rewind();
  d.SetLoopPosition(5000);
  EXPECT_EQ(d.Fill(out.data(), static_cast<uint32_t>(out.size()), 0), FillResult::kEnded);
}

TEST_F(DecoderTest, OggMemoryCallbacks) {
  const auto ogg = OggVorbis(Tone(440, 0.2));
  OggVorbisDecoder d;
  ASSERT_EQ(d.Open(ogg.data(), static_cast<uint32_t>(ogg.size())), OggResult::kOk);
  EXPECT_EQ(d.SeekMemory(-10, 2), 0);
  EXPECT_EQ(d.TellMemory(), static_cast<long>(ogg.size()) - 10);
  uint8_t buf[64];
  EXPECT_EQ(d.ReadMemory(buf, 4, 16), 2u);  // 10 bytes left: two whole elements of 4
  EXPECT_EQ(d.ReadMemory(buf, 0, 16), 0u);
  EXPECT_EQ(d.SeekMemory(-1, 0), -1);
  EXPECT_EQ(d.TellMemory(), static_cast<long>(ogg.size()));
  EXPECT_EQ(d.SeekMemory(5, 0), 0);
  EXPECT_EQ(d.SeekMemory(3, 1), 0);
  EXPECT_EQ(d.TellMemory(), 8);
  EXPECT_EQ(d.SeekMemory(3, 7), 0);
  EXPECT_EQ(d.TellMemory(), 0);
  EXPECT_EQ(Diagnostics().LastMessage(), Sjis("COggVorbis::fseek_memoryで無効なorigin"));
}

// ---- MP3 ----

std::vector<uint8_t> Id3v2(uint32_t size) {
  std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0,
                              static_cast<uint8_t>((size >> 21) & 0x7F),
                              static_cast<uint8_t>((size >> 14) & 0x7F),
                              static_cast<uint8_t>((size >> 7) & 0x7F),
                              static_cast<uint8_t>(size & 0x7F)};
  tag.resize(10 + size, 0);
  return tag;
}

TEST_F(DecoderTest, Mp3HeaderChecks) {
  const auto mp3 = Mp3(Tone(440, 0.5));
  auto with = [&](size_t at, uint8_t value) {
    auto m = mp3;
    m[at] = value;
    return m;
  };
  std::vector<uint8_t> hugeId3 = Id3v2(0x0FFFFFFF);
  hugeId3.resize(4000);  // claims far more than the file holds
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    Mp3Result whole;
  };
  const std::vector<Case> cases = {
      {"good", mp3, Mp3Result::kOk},
      {"128 bytes", std::vector<uint8_t>(mp3.begin(), mp3.begin() + 128), Mp3Result::kTooShort},
      {"ID3 leaves nothing", hugeId3, Mp3Result::kTagFillsFile},
      {"first byte", with(0, 0xFE), Mp3Result::kNoFrameStart},
      {"second byte", with(1, 0xE2), Mp3Result::kNoFrameSync},
      {"reserved layer", with(1, 0xF9), Mp3Result::kUnusableFrame},
      {"free bitrate", with(2, static_cast<uint8_t>(mp3[2] & 0x0F)), Mp3Result::kUnusableFrame},
      {"forbidden bitrate", with(2, static_cast<uint8_t>(mp3[2] | 0xF0)), Mp3Result::kUnusableFrame},
      {"reserved rate", with(2, static_cast<uint8_t>(mp3[2] | 0x0C)), Mp3Result::kUnusableFrame},
  };
  for (const Case& c : cases) {
    Mp3Decoder whole, stream;
    EXPECT_EQ(whole.OpenWhole(c.file.data(), static_cast<uint32_t>(c.file.size())), c.whole) << c.what;
    EXPECT_EQ(stream.Open(c.file.data(), static_cast<uint32_t>(c.file.size())), c.whole == Mp3Result::kOk ? Mp3Result::kOk : Mp3Result::kNotMpeg)
        << c.what;
  }
  // Channel mode 3 (single channel) opens as one channel; MPEG-2 frames are accepted.
  MpegHeader h;
  ASSERT_EQ(ParseMpegHeader(Mp3(Tone(440, 0.5, 44100, 2)), &h), Mp3Result::kOk);
  EXPECT_EQ(h.format.channels, 2);
  ASSERT_EQ(ParseMpegHeader(mp3, &h), Mp3Result::kOk);
  EXPECT_EQ(h.format.channels, 1);
  EXPECT_EQ(h.format.formatTag, 0x55);
  EXPECT_EQ(h.format.avgBytesPerSec, 16000u);
  EXPECT_EQ(h.frameBytes, 417u);
  ASSERT_EQ(ParseMpegHeader(Mp3(Tone(440, 0.5, 22050), 64), &h), Mp3Result::kOk);
  EXPECT_EQ(h.version, 2);
  EXPECT_EQ(h.format.samplesPerSec, 22050u);
}

TEST_F(DecoderTest, Mp3TagsAroundTheFramesAreSkipped) {
  const auto frames = Mp3(Tone(440, 1.0));
  std::vector<uint8_t> tagged = Id3v2(300);
  tagged.insert(tagged.end(), frames.begin(), frames.end());
  std::vector<uint8_t> trailer(128, 'x');
  std::memcpy(trailer.data(), "TAG", 3);
  tagged.insert(tagged.end(), trailer.begin(), trailer.end());
  Mp3Decoder plain, withTags;
  ASSERT_EQ(plain.OpenWhole(frames.data(), static_cast<uint32_t>(frames.size())), Mp3Result::kOk);
  ASSERT_EQ(withTags.OpenWhole(tagged.data(), static_cast<uint32_t>(tagged.size())), Mp3Result::kOk);
  std::vector<uint8_t> a, b;
  ASSERT_EQ(plain.ConvertWhole(a), ConvertResult::kOk);
  ASSERT_EQ(withTags.ConvertWhole(b), ConvertResult::kOk);
  EXPECT_EQ(a, b);
  const auto pcm = AsSamples(a);
  EXPECT_GE(pcm.size(), 44100u);
  EXPECT_NEAR(Frequency(pcm, 1, 0, 44100, 4000, 40000), 440, 1);
}

TEST_F(DecoderTest, Mp3StreamOfAShortFilePlaysAndThenEnds) {
  // 0.4 s: far fewer source bytes than 32 steps of output.
  const auto mp3 = Mp3(Tone(440, 0.4, 44100, 2));
  // The log goes to a file of the test's own, to count its lines.
  const test::TempFolder folder("mp3_end");
  const std::string logFile = (folder / "log.txt").string();
  Diagnostics().SetFileName(logFile);
  Diagnostics().SetOutputMode(1);
  auto EndLines = [&] {
    std::ifstream in(logFile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string atEnd = Sjis("Mp3Fileの終端に来てるもよう");
    int n = 0;
    for (size_t at = text.find(atEnd); at != std::string::npos; at = text.find(atEnd, at + 1)) ++n;
    return n;
  };
  Mp3Decoder d;
  ASSERT_EQ(d.Open(mp3.data(), static_cast<uint32_t>(mp3.size())), Mp3Result::kOk);
  EXPECT_EQ(d.PcmFormat().channels, 2);
  std::vector<uint8_t> out(176400);
  EXPECT_EQ(d.CopyPcm(out.data(), static_cast<uint32_t>(out.size()), 0), FillResult::kEnded);
  const auto pcm = AsSamples(out);
  EXPECT_NEAR(Frequency(pcm, 2, 0, 44100, 3000, 16000), 440, 1);
  EXPECT_NEAR(Frequency(pcm, 2, 1, 44100, 3000, 16000), 440, 1);
  // The rest is silence, and further requests stay silent with kEnded. The end is logged once
  // per pass, not at each later request (a stream at its end is refilled twice a second).
  EXPECT_EQ(std::count(out.begin() + 4 * 22050, out.end(), 0), 4 * 22050);
  EXPECT_EQ(d.CopyPcm(out.data(), 1000, 0), FillResult::kEnded);
  EXPECT_EQ(d.CopyPcm(out.data(), 1000, 0), FillResult::kEnded);
  EXPECT_EQ(EndLines(), 1);
  // Rewound, it plays again from the start, and says so again at its end.
  d.Rewind();
  std::vector<uint8_t> again(176400);
  d.CopyPcm(again.data(), static_cast<uint32_t>(again.size()), 0);
  EXPECT_EQ(EndLines(), 2);
  EXPECT_EQ(out.size(), again.size());
  EXPECT_NEAR(Frequency(AsSamples(again), 2, 0, 44100, 3000, 16000), 440, 1);
  Diagnostics().SetOutputMode(0);
  Diagnostics().SetFileName("errorlog.txt");
}

TEST_F(DecoderTest, Mp3StreamInPlayModeOneStartsOverAtTheEnd) {
  // 1.5 s of 440 Hz then 0.5 s of 880 Hz; three passes never run dry.
  const auto mp3 = Mp3(Concat({Tone(440, 1.5), Tone(880, 0.5)}));
  Mp3Decoder d;
  ASSERT_EQ(d.Open(mp3.data(), static_cast<uint32_t>(mp3.size())), Mp3Result::kOk);
  std::vector<uint8_t> out(88200 * 6);
  for (uint32_t at = 0; at < out.size(); at += 44100)
    EXPECT_NE(d.CopyPcm(out.data() + at, 44100, 1), FillResult::kEnded);
  const auto pcm = AsSamples(out);
  // Each pass: 440 Hz, then 880 Hz; count the changes from 440 to 880, and see that no
  // tenth of a second is silent (no gap at the wraps).
  size_t passes880 = 0;
  int last = 0;
  for (size_t t = 0; t + 4410 <= pcm.size(); t += 4410) {
    EXPECT_GT(LevelDb(pcm, 1, 0, t, t + 4410), -12) << "window " << t / 4410;
    const int now = ToneShare(pcm, 1, 0, 44100, 440, t, t + 4410) > 0.8   ? 440
                    : ToneShare(pcm, 1, 0, 44100, 880, t, t + 4410) > 0.8 ? 880
                                                                          : 0;
    if (now == 880 && last == 440) ++passes880;
    if (now) last = now;
  }
  EXPECT_EQ(passes880, 3u);
}

// ---- WAVE formats through CompressedWaveDecoder ----

TEST_F(DecoderTest, CompressedWaveFormatsConvertToTheTone) {
  const Pcm tone = Tone(440, 1.0, 22050, 2, 0.5);
  for (const std::string codecName : {"adpcm_ima_wav", "adpcm_ms", "pcm_mulaw", "pcm_alaw", "mp3"}) {
    const auto file = codecName == "mp3" ? Mp3Wave(Tone(440, 1.0, 22050, 2), 64) : EncodedWave(tone, codecName);
    RiffWave wave;
    ASSERT_EQ(ReadRiffWave(file, &wave), RiffWaveResult::kOk) << codecName;
    CompressedWaveDecoder decoder;
    ASSERT_EQ(decoder.Open(wave.format, wave.data.data(), static_cast<uint32_t>(wave.data.size())), WaveDecoderResult::kOk) << codecName;
    EXPECT_EQ(decoder.PcmFormat().channels, 2) << codecName;
    EXPECT_EQ(decoder.PcmFormat().samplesPerSec, 22050u) << codecName;
    EXPECT_EQ(decoder.PcmFormat().bitsPerSample, 16) << codecName;
    std::vector<uint8_t> out;
    ASSERT_EQ(decoder.ConvertWhole(out), ConvertResult::kOk) << codecName;
    EXPECT_GE(out.size() + 4096, 22050u * 4) << codecName;
    EXPECT_GE(decoder.EstimatedSize() + 4096, out.size()) << codecName;
    const auto pcm = AsSamples(out);
    EXPECT_NEAR(Frequency(pcm, 2, 0, 22050, 3000, 20000), 440, 1.5) << codecName;
    EXPECT_NEAR(LevelDb(pcm, 2, 1, 3000, 20000), 20 * std::log10(0.5 / std::sqrt(2.0)), 1.0) << codecName;
  }
}

TEST_F(DecoderTest, CompressedWaveRefusesWhatItCannotConvert) {
  WaveFormat f = MakePcmFormat(2, 44100);
  uint8_t data[64] = {};
  CompressedWaveDecoder codec;
  f.formatTag = 0x1234;  // no decoder
  EXPECT_EQ(codec.Open(f, data, sizeof data), WaveDecoderResult::kNoPcmFormat);
  f = MakePcmFormat(6, 44100);  // more channels than the device mixes
  f.formatTag = 0x11;
  EXPECT_EQ(codec.Open(f, data, sizeof data), WaveDecoderResult::kNoPcmFormat);
  EXPECT_FALSE(codec.IsOpen());

  // Layouts that no decoder reads as what they hold: samples read any other way are noise.
  auto layout = [](uint16_t tag, uint16_t channels, uint16_t bits, uint16_t align) {
    WaveFormat w = MakePcmFormat(channels, 22050, bits);
    w.formatTag = tag;
    w.blockAlign = align;
    return w;
  };
  const std::pair<const char*, WaveFormat> refused[] = {
      // An extensible format that reached the decoder without being unwrapped.
      {"extensible tag", layout(kWaveFormatExtensible, 1, 24, 3)},
      {"24 bits in 4-byte blocks", layout(kWaveFormatPcm, 1, 24, 4)},
      {"16 bits in 3-byte blocks", layout(kWaveFormatPcm, 1, 16, 3)},
      {"no bits", layout(kWaveFormatPcm, 1, 0, 2)},
      {"a block of one and a half frames", layout(kWaveFormatPcm, 2, 8, 3)},
      {"64-bit integers", layout(kWaveFormatPcm, 1, 64, 8)},
      {"16-bit floats", layout(kWaveFormatIeeeFloat, 1, 16, 2)},
      {"24-bit floats", layout(kWaveFormatIeeeFloat, 1, 24, 4)},
  };
  for (const auto& [what, format] : refused) {
    EXPECT_EQ(codec.Open(format, data, sizeof data), WaveDecoderResult::kNoPcmFormat) << what;
    EXPECT_FALSE(codec.IsOpen()) << what;
    EXPECT_NE(Diagnostics().LastMessage().find("no PCM conversion"), std::string::npos) << what;
  }
}

// Without one of the four libraries no function is usable, the reason names the missing
// file, and a decoder built on them refuses every format with one log line.
TEST_F(DecoderTest, CompressedWaveWithoutItsLibrariesFailsWithTheReason) {
  const std::string absent = "libzan-absent-test.so.1";
  const FfmpegSonames built = FfmpegLibraries::BuiltSonames();
  const std::pair<const char*, std::string FfmpegSonames::*> missing[] = {
      {"libavutil", &FfmpegSonames::avutil},
      {"libswresample", &FfmpegSonames::swresample},
      {"libavcodec", &FfmpegSonames::avcodec},
      {"libavformat", &FfmpegSonames::avformat},
  };
  const auto wave = EncodedWave(Tone(440, 0.25, 22050, 2, 0.5), "adpcm_ima_wav");
  RiffWave riff;
  ASSERT_EQ(ReadRiffWave(wave, &riff), RiffWaveResult::kOk);
  for (const auto& [what, member] : missing) {
    SCOPED_TRACE(what);
    FfmpegSonames names = built;
    names.*member = absent;
    const FfmpegLibraries libraries(names);
    EXPECT_FALSE(libraries.Loaded());
    EXPECT_NE(libraries.Error().find(absent), std::string::npos) << libraries.Error();
    EXPECT_EQ(libraries.avcodec_open2, nullptr);
    EXPECT_EQ(libraries.av_channel_layout_default, nullptr);

    CompressedWaveDecoder decoder(libraries);
    EXPECT_EQ(decoder.Open(riff.format, riff.data.data(), static_cast<uint32_t>(riff.data.size())),
              WaveDecoderResult::kNoPcmFormat);
    EXPECT_FALSE(decoder.IsOpen());
    EXPECT_NE(Diagnostics().LastMessage().find(absent), std::string::npos);
    std::vector<uint8_t> out;
    EXPECT_EQ(decoder.ConvertWhole(out), ConvertResult::kNotOpen);
    uint8_t room[64];
    uint32_t produced = 1;
    EXPECT_FALSE(decoder.Convert(riff.data.data(), 64, room, sizeof room, &produced));
    EXPECT_EQ(produced, 0u);
  }
  // The built names load, every function with them.
  const FfmpegLibraries libraries(built);
  ASSERT_TRUE(libraries.Loaded()) << libraries.Error();
#define ZAN_EXPECT_FOUND(library, name) EXPECT_NE(libraries.name, nullptr) << #name;
  ZAN_FFMPEG_FUNCTIONS(ZAN_EXPECT_FOUND)
#undef ZAN_EXPECT_FOUND
  CompressedWaveDecoder decoder(libraries);
  EXPECT_EQ(decoder.Open(riff.format, riff.data.data(), static_cast<uint32_t>(riff.data.size())),
            WaveDecoderResult::kOk);
}

}  // namespace
}  // namespace zan
