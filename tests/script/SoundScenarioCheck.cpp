// zan_sound_scenario_check OUT.wav: listens to what the sound scenario (games/sound) played
// through --audio-out and checks it: the music's tone is at 440 Hz and without gaps; the
// music, the effect and the voice sound at the levels the player's settings and
// "SoundVolume" give, the effect on the left only; the voice lowers the music while it
// sounds; the fade-out falls along the volume law over its 2000 ms and ends in silence;
// and the loop plays its intro once, then goes back to its loop position every time.
// Prints what it measured; exits 1 when something is off.
//
// Events are found in the sound itself (onsets of each tone), not from the frame count:
// the script's timed waits end on frame boundaries.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "SoundScenario.h"
#include "TestArchiveWriter.h"

using namespace zan::soundscenario;

namespace {

constexpr double kRate = 44100;
constexpr int kLeft = 0, kRight = 1;

int failures = 0;

void Check(bool ok, const char* what, double measured, double expected, double tolerance) {
  std::printf("%-4s %-52s %10.2f  (expected %.2f +- %.2f)\n", ok ? "ok" : "FAIL", what, measured,
              expected, tolerance);
  if (!ok) ++failures;
}
void Near(const char* what, double measured, double expected, double tolerance) {
  Check(std::fabs(measured - expected) <= tolerance, what, measured, expected, tolerance);
}
void Below(const char* what, double measured, double limit) {
  Check(measured < limit, what, measured, limit, 0);
}

class Recording {
 public:
  explicit Recording(std::vector<int16_t> samples) : s_(std::move(samples)) {}
  double LengthMs() const { return double(s_.size() / 2) * 1000 / kRate; }

  // Peak amplitude of the tone `hz` in dB of full scale over [fromMs, toMs) (Goertzel).
  double ToneDb(int channel, double hz, double fromMs, double toMs) const {
    const size_t a = Frame(fromMs), b = std::max(a + 1, Frame(toMs));
    const double w = 2 * M_PI * hz / kRate, coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (size_t i = a; i < b; ++i) {
      const double s0 = s_[2 * i + channel] / 32768.0 + coeff * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    const double amplitude = 2 * std::sqrt(std::max(power, 0.0)) / double(b - a);
    return amplitude > 0 ? 20 * std::log10(amplitude) : -200;
  }
  // RMS level in dB of full scale.
  double RmsDb(int channel, double fromMs, double toMs) const {
    return zan::fixtures::LevelDb(s_, 2, channel, Frame(fromMs), std::max(Frame(fromMs) + 1, Frame(toMs)));
  }
  double FrequencyHz(double fromMs, double toMs) const {
    return zan::fixtures::Frequency(s_, 2, kLeft, 44100, Frame(fromMs), Frame(toMs));
  }
  // The first time from `fromMs` at which the tone reaches `dB` in a 20 ms window; -1 never.
  double Onset(double hz, double dB, double fromMs) const {
    for (double t = fromMs; t + 20 < LengthMs(); t += 2)
      if (ToneDb(kLeft, hz, t, t + 20) >= dB) return t + 10;
    return -1;
  }

 private:
  size_t Frame(double ms) const {
    return std::min(s_.size() / 2, static_cast<size_t>(std::max(0.0, ms) * kRate / 1000));
  }
  std::vector<int16_t> s_;
};

// The peak level in dB of full scale of a tone played at `volume` hundredths of a decibel.
double Expected(int32_t volume) { return 20 * std::log10(kAmplitude) + volume / 100.0; }

constexpr double kLevelTolerance = 0.5;  // dB: the codecs and the resampler
constexpr double kTimeTolerance = 120;   // ms: timed waits end on 33 ms frames

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zan_sound_scenario_check OUT.wav\n");
    return 2;
  }
  const Recording rec(zan::fixtures::StereoSamples(zan::testing::ReadBytes(argv[1])));
  std::printf("%s: %.0f ms\n", argv[1], rec.LengthMs());
  const double music = Expected(kMusicLevel);

  // Music alone, then quieter through "SoundVolume".
  const double t0 = rec.Onset(kMusicHz, music - 6, 0);
  Check(t0 >= 0, "music starts (ms)", t0, 0, 0);
  if (t0 < 0) return 1;
  Near("music frequency (Hz)", rec.FrequencyHz(t0 + 200, t0 + 1300), kMusicHz, 0.5);
  Near("music level, left (dB)", rec.ToneDb(kLeft, kMusicHz, t0 + 300, t0 + 1300), music, kLevelTolerance);
  Near("music level, right (dB)", rec.ToneDb(kRight, kMusicHz, t0 + 300, t0 + 1300), music, kLevelTolerance);
  Near("music at SoundVolume -2000 (dB)", rec.ToneDb(kLeft, kMusicHz, t0 + 1800, t0 + 2900),
       Expected(kQuietMusicLevel), kLevelTolerance);

  // The effect, panned left, over the music back at its level.
  const double effect = Expected(kEffectLevel);
  const double te = rec.Onset(kEffectHz, effect - 6, t0 + 2500);
  Near("effect starts after the music (ms)", te - t0, 3000, kTimeTolerance);
  Near("effect level, left (dB)", rec.ToneDb(kLeft, kEffectHz, te + 200, te + 800), effect, kLevelTolerance);
  Below("effect level, right (dB)", rec.ToneDb(kRight, kEffectHz, te + 200, te + 800), effect - 60);
  Near("music under the effect (dB)", rec.ToneDb(kLeft, kMusicHz, te + 200, te + 800), music, kLevelTolerance);

  // The voice, lowering the music while it sounds.
  const double voice = Expected(kVoiceLevel);
  const double tv = rec.Onset(kVoiceHz, voice - 6, te + 1000);
  Near("voice starts after the effect (ms)", tv - te, 1500, kTimeTolerance);
  // LAME's encoding of the tone decodes about 0.45 dB low at 128 kbps.
  Near("voice level (dB)", rec.ToneDb(kLeft, kVoiceHz, tv + 200, tv + 1300), voice, kLevelTolerance + 0.3);
  Near("music under the voice, ducked (dB)", rec.ToneDb(kLeft, kMusicHz, tv + 200, tv + 1300),
       Expected(kDuckedMusicLevel), kLevelTolerance);
  Near("music after the voice (dB)", rec.ToneDb(kLeft, kMusicHz, tv + 2400, tv + 2900), music, kLevelTolerance);

  // The fade-out: 10 ms levels, straight in decibels from the music's level to -10000.
  const double steady = rec.RmsDb(kLeft, tv + 2400, tv + 2900);
  std::vector<std::pair<double, double>> points;  // (ms, dB)
  double tf = -1;
  for (double t = tv + 2500; t + 10 < rec.LengthMs() && t < tv + 6000; t += 10) {
    const double level = rec.RmsDb(kLeft, t, t + 10);
    if (tf < 0 && level < steady - 3) tf = t;
    // The line ends where the fade reaches silence: the loop that starts later is no part of it.
    if (tf >= 0 && level <= steady - 60) break;
    if (tf >= 0 && level < steady - 3) points.push_back({t + 5, level});
  }
  double slope = 0, intercept = 0;
  if (points.size() >= 2) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (auto [x, y] : points) sx += x, sy += y, sxx += x * x, sxy += x * y;
    const double n = double(points.size());
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    intercept = (sy - slope * sx) / n;
  }
  // The law's line falls the music's whole remaining range in the fade's time.
  const double range = (kMusicLevel - -10000) / 100.0;
  const double fadeMs = slope < 0 ? range / -slope : 0;
  const double fadeStart = slope < 0 ? (steady - intercept) / slope : -1;
  Near("fade-out duration from its slope (ms)", fadeMs, kFadeMs, kFadeMs * 0.04);
  Near("fade-out starts after the voice (ms)", fadeStart - tv, 3000, kTimeTolerance);
  Below("silence after the fade (dB)", rec.RmsDb(kLeft, fadeStart + kFadeMs + 100, fadeStart + 2900), -90);

  // No gap in the music from its start to the fade (its 3 s file loops twice in between).
  double lowest = 0;
  for (double t = t0 + 50; t + 10 < fadeStart - 50; t += 10)
    lowest = std::min(lowest, rec.RmsDb(kLeft, t, t + 10));
  Check(lowest > Expected(kQuietMusicLevel) - 3 - 6, "no gap in the music (lowest 10 ms level, dB)",
        lowest, Expected(kQuietMusicLevel) - 3, 6);

  // The loop: 330 Hz once, then 550 and 770 Hz taking turns, 500 ms each.
  const double tl = rec.Onset(kIntroHz, music - 6, fadeStart + kFadeMs);
  Near("loop starts after the fade (ms)", tl - fadeStart, 3000, kTimeTolerance);
  Near("loop level (dB)", rec.ToneDb(kLeft, kLoopAHz, tl + 1100, tl + 1400), music, kLevelTolerance);
  struct Run {
    double hz, ms;
  };
  std::vector<Run> runs;
  const double tones[] = {kIntroHz, kLoopAHz, kLoopBHz};
  for (double t = tl - 10; t + 20 <= tl + kLoopRunMs - 40; t += 10) {
    double best = 0, bestDb = music - 12;
    for (double hz : tones) {
      const double db = rec.ToneDb(kLeft, hz, t, t + 20);
      if (db > bestDb) best = hz, bestDb = db;
    }
    if (!runs.empty() && runs.back().hz == best) runs.back().ms += 10;
    else runs.push_back({best, 10});
  }
  // Windows across a change of tone may go either way: a run of one window is noise.
  std::vector<Run> merged;
  for (const Run& r : runs) {
    if (r.ms <= 10 && !merged.empty()) merged.back().ms += r.ms;
    else if (!merged.empty() && merged.back().hz == r.hz) merged.back().ms += r.ms;
    else merged.push_back(r);
  }
  std::printf("loop runs:");
  for (const Run& r : merged) std::printf(" %.0fHz/%.0fms", r.hz, r.ms);
  std::printf("\n");
  const size_t whole = merged.empty() ? 0 : merged.size() - 1;  // the last is cut short
  Check(merged.size() >= 8 && merged[0].hz == kIntroHz, "loop: intro first, then 7 parts (runs)",
        double(merged.size()), 8, 0);
  if (!merged.empty()) Near("loop: intro once (ms)", merged[0].ms, kIntroSeconds * 1000, 40);
  for (size_t i = 1; i < whole && i < merged.size(); ++i) {
    const double hz = i % 2 == 1 ? kLoopAHz : kLoopBHz;
    const std::string what = "loop: part " + std::to_string(i) + " at " + std::to_string(int(hz)) + " Hz (ms)";
    Check(merged[i].hz == hz && std::fabs(merged[i].ms - kLoopPartSeconds * 1000) <= 40, what.c_str(),
          merged[i].ms, kLoopPartSeconds * 1000, 40);
  }
  Below("silence after SoundInit ALL (dB)",
        rec.RmsDb(kLeft, tl + kLoopRunMs + kTimeTolerance, std::min(rec.LengthMs(), tl + kLoopRunMs + 600)), -90);
  Check(rec.LengthMs() > tl + kLoopRunMs + 600, "recording goes on after the loop (ms)", rec.LengthMs(),
        tl + kLoopRunMs + 600, 0);

  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
