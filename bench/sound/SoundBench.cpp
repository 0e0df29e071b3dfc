// Sound figures: decoding three minutes of Ogg Vorbis and of MP3 (as the stream buffers
// decode them), reported as a real-time factor (seconds of sound per second of CPU), and the
// cost of one second of sound with twelve streams playing: the mixer alone, and the mixer
// with the refills that decode for it.

#include <benchmark/benchmark.h>

#include <cmath>

#include "SoundFixtures.h"
#include "base/DiagnosticLog.h"
#include "platform/headless/HeadlessPlatform.h"
#include "sound/Mp3Decoder.h"
#include "sound/OggVorbisDecoder.h"
#include "sound/SoundBuffer.h"
#include "sound/SoundManager.h"

namespace {

using namespace zan;

constexpr double kSeconds = 180;

// Three minutes of stereo music-like sound: a chord whose notes change every second.
const fixtures::Pcm& Music() {
  static const fixtures::Pcm pcm = [] {
    fixtures::Pcm p;
    p.rate = 44100;
    p.channels = 2;
    const size_t frames = static_cast<size_t>(kSeconds * p.rate);
    p.samples.resize(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
      const double t = double(i) / p.rate;
      const double root = 220.0 * std::pow(2.0, double((i / p.rate) % 12) / 12.0);
      const double v = 0.2 * std::sin(2 * M_PI * root * t) + 0.15 * std::sin(2 * M_PI * root * 1.5 * t) +
                       0.1 * std::sin(2 * M_PI * root * 2.01 * t);
      p.samples[2 * i] = static_cast<int16_t>(v * 32767);
      p.samples[2 * i + 1] = static_cast<int16_t>(v * 0.8 * 32767);
    }
    return p;
  }();
  return pcm;
}

void DecodeOgg(benchmark::State& state) {
  Diagnostics().SetEcho(false);
  static const auto file = fixtures::OggVorbis(Music());
  std::vector<uint8_t> half(88200);
  for (auto _ : state) {
    OggVorbisDecoder ogg;
    ogg.Open(file.data(), static_cast<uint32_t>(file.size()));
    while (ogg.Fill(half.data(), static_cast<uint32_t>(half.size()), 0) != FillResult::kEnded) {
    }
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeOgg)->Unit(benchmark::kMillisecond);

void DecodeMp3(benchmark::State& state) {
  Diagnostics().SetEcho(false);
  static const auto file = fixtures::Mp3(Music(), 192);
  std::vector<uint8_t> half(88200);
  for (auto _ : state) {
    Mp3Decoder mp3;
    mp3.Open(file.data(), static_cast<uint32_t>(file.size()));
    while (mp3.CopyPcm(half.data(), static_cast<uint32_t>(half.size()), 0) != FillResult::kEnded) {
    }
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(kSeconds * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeMp3)->Unit(benchmark::kMillisecond);

// The mixer alone: twelve one-second rings playing, one second of output per iteration.
void Mix12Buffers(benchmark::State& state) {
  HeadlessPlatform platform;
  auto device = SoundDevice::Create(platform.GetClock());
  std::vector<std::unique_ptr<DeviceSoundBuffer>> buffers(12);
  for (size_t i = 0; i < buffers.size(); ++i) {
    // Half at 44.1 kHz (no resampling), half at 22.05 kHz mono (resampled, interpolated).
    const WaveFormat f = i % 2 ? MakePcmFormat(2, 44100) : MakePcmFormat(1, 22050);
    device->CreateSoundBuffer(SoundBuffer::kStreamFlags, f, f.avgBytesPerSec, &buffers[i]);
    buffers[i]->SetVolume(-600);
    buffers[i]->SetPan(int32_t(i) * 1000 - 6000);
    buffers[i]->Play(true);
  }
  std::vector<int16_t> out(2 * 44100);
  for (auto _ : state) {
    device->Mix(out.data(), 44100);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(Mix12Buffers)->Unit(benchmark::kMillisecond);

// Twelve Ogg streams playing on the headless device: one second of the virtual clock mixes
// and refills (decodes) them all.
void Stream12Oggs(benchmark::State& state) {
  Diagnostics().SetEcho(false);
  static const auto file = [] {
    fixtures::Pcm ten = Music();
    ten.samples.resize(10 * 44100 * 2);
    return fixtures::OggVorbis(ten);
  }();
  HeadlessPlatform platform;
  SoundManager manager;
  manager.Init(platform.GetAudioOut(), platform.GetClock());
  std::vector<std::unique_ptr<SoundBuffer>> streams;
  for (int i = 0; i < 12; ++i) {
    streams.push_back(std::make_unique<SoundBuffer>());
    manager.CreateBuffer(*streams.back(), file.data(), static_cast<uint32_t>(file.size()), 2);
    streams.back()->Play(1);
  }
  for (auto _ : state) platform.GetClock().Advance(1000);
  state.counters["realtime_factor"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  streams.clear();
}
BENCHMARK(Stream12Oggs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
