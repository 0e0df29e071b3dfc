// Synthesised music, effects and voices. Everything is built from a few additive and
// plucked instruments, filtered noise and a small formant voice, then run through a
// Schroeder reverb.

#include "Sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "AudioFiles.h"
#include "Raster.h"

namespace zan::assetgen {
namespace {

constexpr float kTau = 6.2831853f;

float Midi(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }
size_t Samples(double seconds) { return static_cast<size_t>(seconds * kRate + 0.5); }

// Stereo float buffer.
struct Track {
  std::vector<float> l, r;
  explicit Track(size_t n) : l(n, 0.0f), r(n, 0.0f) {}
  size_t size() const { return l.size(); }
  void Add(size_t at, const std::vector<float>& mono, float gain, float pan) {
    float gl = gain * std::cos((pan + 1) * kTau / 8), gr = gain * std::sin((pan + 1) * kTau / 8);
    for (size_t i = 0; i < mono.size() && at + i < size(); ++i) {
      l[at + i] += mono[i] * gl;
      r[at + i] += mono[i] * gr;
    }
  }
};

// Additive tone: partials (ratio, amplitude, decay per second), with an attack.
std::vector<float> Partials(float freq, double seconds, const std::vector<std::array<float, 3>>& parts, float attack,
                            float release) {
  size_t n = Samples(seconds + release);
  std::vector<float> out(n, 0.0f);
  size_t held = Samples(seconds);
  for (const auto& [ratio, amp, decay] : parts) {
    float f = freq * ratio;
    if (f > kRate / 2.2f) continue;
    float step = kTau * f / kRate, phase = 0;
    for (size_t i = 0; i < n; ++i) {
      float t = static_cast<float>(i) / kRate;
      float env = amp * std::exp(-decay * t) * std::min(1.0f, t / attack);
      if (i > held) env *= std::exp(-static_cast<float>(i - held) / kRate / (release / 4));
      out[i] += std::sin(phase) * env;
      phase += step;
      if (phase > kTau) phase -= kTau;
    }
  }
  return out;
}

std::vector<float> Piano(float note, double seconds) {
  return Partials(Midi(note), seconds, {{{1, 1.0f, 1.6f}, {2.001f, 0.42f, 2.6f}, {3.003f, 0.2f, 3.8f}, {4.006f, 0.1f, 5.0f}, {5.01f, 0.05f, 6.5f}}}, 0.004f,
                  0.3f);
}
std::vector<float> Celesta(float note, double seconds) {
  return Partials(Midi(note), seconds, {{{1, 1.0f, 2.4f}, {2.76f, 0.3f, 5.0f}, {5.4f, 0.12f, 9.0f}, {8.93f, 0.05f, 14.0f}}}, 0.002f, 0.4f);
}
std::vector<float> Pad(float note, double seconds) {
  std::vector<float> a = Partials(Midi(note), seconds, {{{1, 1.0f, 0.05f}, {2, 0.35f, 0.1f}, {3, 0.12f, 0.2f}}}, 0.8f, 1.2f);
  std::vector<float> b = Partials(Midi(note + 0.08f), seconds, {{{1, 1.0f, 0.05f}, {2, 0.3f, 0.1f}}}, 0.9f, 1.2f);
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) a[i] = (a[i] + b[i]) * 0.5f;
  return a;
}
std::vector<float> Bass(float note, double seconds) {
  return Partials(Midi(note), seconds, {{{1, 1.0f, 0.6f}, {2, 0.25f, 1.2f}}}, 0.01f, 0.2f);
}

// Karplus-Strong plucked string (a harp).
std::vector<float> Pluck(float note, double seconds, uint32_t seed) {
  size_t n = Samples(seconds + 1.0);
  float period = kRate / Midi(note);
  size_t len = static_cast<size_t>(period);
  float frac = period - static_cast<float>(len);
  std::vector<float> ring(len + 1);
  Rng rng(seed);
  float prev = 0;
  for (float& v : ring) {
    float x = rng.Uniform(-1, 1);
    v = 0.5f * (x + prev);  // a softer, rounder attack than white noise
    prev = x;
  }
  std::vector<float> out(n);
  size_t pos = 0;
  float damp = 0.4985f + 0.0012f * std::min(1.0f, 220.0f / Midi(note));
  for (size_t i = 0; i < n; ++i) {
    size_t a = pos % ring.size(), b = (pos + 1) % ring.size();
    float v = ring[a] * (1 - frac) + ring[b] * frac;
    out[i] = v;
    ring[a] = damp * (ring[a] + ring[b]);
    ++pos;
  }
  return out;
}

// Schroeder reverb: four combs and two all-passes per side, mixed in.
void Reverb(Track& t, float wet, float room) {
  auto run = [&](std::vector<float>& x, int spread) {
    const int combs[4] = {1557 + spread, 1617 + spread, 1491 + spread, 1422 + spread};
    const int passes[2] = {225 + spread / 2, 556 + spread / 2};
    std::vector<float> acc(x.size(), 0.0f);
    for (int d : combs) {
      std::vector<float> buf(static_cast<size_t>(d), 0.0f);
      float low = 0;
      for (size_t i = 0; i < x.size(); ++i) {
        float& slot = buf[i % buf.size()];
        float y = slot;
        low = y * 0.6f + low * 0.4f;  // damping: highs die first
        slot = x[i] + low * room;
        acc[i] += y;
      }
    }
    for (int d : passes) {
      std::vector<float> buf(static_cast<size_t>(d), 0.0f);
      for (size_t i = 0; i < acc.size(); ++i) {
        float& slot = buf[i % buf.size()];
        float y = slot - acc[i] * 0.5f;
        slot = acc[i] + slot * 0.5f;
        acc[i] = y;
      }
    }
    for (size_t i = 0; i < x.size(); ++i) x[i] = x[i] * (1 - wet * 0.5f) + acc[i] * wet * 0.12f;
  };
  run(t.l, 0);
  run(t.r, 23);
}

void Normalise(Track& t, float peak) {
  float m = 1e-6f;
  for (size_t i = 0; i < t.size(); ++i) m = std::max({m, std::abs(t.l[i]), std::abs(t.r[i])});
  for (size_t i = 0; i < t.size(); ++i) {
    t.l[i] *= peak / m;
    t.r[i] *= peak / m;
  }
}
void Normalise(std::vector<float>& x, float peak) {
  float m = 1e-6f;
  for (float v : x) m = std::max(m, std::abs(v));
  for (float& v : x) v *= peak / m;
}

std::vector<float> Interleave(const Track& t) {
  std::vector<float> out(t.size() * 2);
  for (size_t i = 0; i < t.size(); ++i) {
    out[2 * i] = t.l[i];
    out[2 * i + 1] = t.r[i];
  }
  return out;
}

// A looping piece: everything played after `end` (reverb and ringing notes) is folded
// back onto the loop start, so that the jump from the end to the loop point is seamless.
std::vector<float> Looped(Track t, size_t loopStart, size_t end) {
  for (size_t i = end; i < t.size(); ++i) {
    size_t j = loopStart + (i - end);
    if (j >= end) break;
    t.l[j] += t.l[i];
    t.r[j] += t.r[i];
  }
  t.l.resize(end);
  t.r.resize(end);
  Normalise(t, 0.85f);
  return Interleave(t);
}

struct Chord {
  float root;                 // MIDI note of the bass
  std::vector<float> tones;   // chord tones for pad and arpeggio
};

// Title theme: D major, 80 beats per minute (a bar is 3 s), two bars of introduction and
// an eight-bar body that loops.
std::vector<float> TitleTheme() {
  const double beat = 0.75, bar = 4 * beat;
  const std::vector<Chord> body = {{38, {62, 66, 69}}, {35, {62, 66, 71}}, {31, {62, 67, 71}}, {33, {61, 64, 69}},
                                   {30, {61, 66, 69}}, {31, {62, 67, 71}}, {28, {59, 64, 67}}, {33, {61, 64, 67}}};
  // Melody: (bar, beat, length in beats, note).
  const std::vector<std::array<float, 4>> melody = {
      {0, 0, 2, 81}, {0, 2, 1, 78}, {0, 3, 1, 81}, {1, 0, 1.5f, 83}, {1, 1.5f, 0.5f, 81}, {1, 2, 2, 78},
      {2, 0, 1, 79}, {2, 1, 1, 81}, {2, 2, 1, 83}, {2, 3, 1, 86}, {3, 0, 3, 85}, {3, 3, 1, 81},
      {4, 0, 2, 81}, {4, 2, 1, 78}, {4, 3, 1, 76}, {5, 0, 1, 74}, {5, 1, 1, 76}, {5, 2, 2, 79},
      {6, 0, 1, 78}, {6, 1, 1, 79}, {6, 2, 1, 76}, {6, 3, 1, 71}, {7, 0, 2, 76}, {7, 2, 1, 73}, {7, 3, 1, 76}};
  const size_t intro = Samples(2 * bar), end = intro + Samples(8 * bar);
  Track t(end + Samples(5));
  // Introduction: pad and a celesta arpeggio.
  const std::vector<Chord> introChords = {{38, {62, 66, 69}}, {33, {61, 64, 69}}};
  for (int b = 0; b < 2; ++b) {
    size_t at = Samples(b * bar);
    for (float n : introChords[b].tones) t.Add(at, Pad(n, bar), 0.10f, 0.0f);
    for (int i = 0; i < 8; ++i) {
      float n = introChords[b].tones[i % 3] + 12 * (1 + i / 3 % 2);
      t.Add(at + Samples(i * beat / 2), Celesta(n, beat), 0.13f, (i % 2) ? 0.4f : -0.4f);
    }
  }
  for (int b = 0; b < 8; ++b) {
    size_t at = intro + Samples(b * bar);
    const Chord& c = body[b];
    t.Add(at, Bass(c.root, bar), 0.30f, 0.0f);
    for (float n : c.tones) t.Add(at, Pad(n, bar), 0.07f, 0.0f);
    // Left hand: broken chord in eighths.
    const float pattern[8] = {c.root + 12, c.tones[0], c.tones[1], c.tones[2], c.tones[1] + 12, c.tones[2], c.tones[1], c.tones[0]};
    for (int i = 0; i < 8; ++i) t.Add(at + Samples(i * beat / 2), Piano(pattern[i], beat / 2), 0.11f, -0.25f);
  }
  for (const auto& [b, s, len, n] : melody) {
    size_t at = intro + Samples(b * bar + s * beat);
    t.Add(at, Piano(n, len * beat), 0.30f, 0.15f);
    t.Add(at, Celesta(n + 12, len * beat * 0.5), 0.04f, 0.3f);
  }
  Reverb(t, 0.5f, 0.82f);
  return Looped(std::move(t), intro, end);
}

// Night theme: quiet and a little mysterious, 75 beats per minute (a bar is 3.2 s), one
// bar of introduction and an eight-bar body: harp arpeggios, a pad and a music box.
std::vector<float> NightTheme() {
  const double beat = 0.8, bar = 4 * beat;
  const std::vector<Chord> body = {{41, {57, 60, 64, 65}}, {43, {59, 62, 64, 67}}, {45, {57, 60, 64, 67}}, {40, {55, 59, 62, 64}},
                                   {41, {57, 60, 64, 65}}, {43, {59, 62, 65, 67}}, {40, {57, 59, 64, 68}}, {45, {57, 60, 64, 69}}};
  const std::vector<std::array<float, 4>> melody = {
      {0, 0, 1.5f, 88}, {0, 1.5f, 0.5f, 84}, {0, 2, 2, 81}, {1, 1, 1, 83}, {1, 2, 2, 86}, {2, 0, 1, 84}, {2, 1, 1, 83},
      {2, 2, 2, 81}, {3, 0, 3, 79}, {4, 0, 1.5f, 88}, {4, 1.5f, 0.5f, 89}, {4, 2, 2, 88}, {5, 0, 1, 86}, {5, 1, 1, 83},
      {5, 2, 2, 79}, {6, 0, 2, 80}, {6, 2, 2, 83}, {7, 0, 4, 81}};
  const size_t intro = Samples(bar), end = intro + Samples(8 * bar);
  Track t(end + Samples(5));
  uint32_t seed = 1;
  auto arpeggio = [&](size_t at, const Chord& c, float gain) {
    for (int i = 0; i < 8; ++i) {
      float n = c.tones[i % 4] + (i >= 4 ? 12 : 0);
      t.Add(at + Samples(i * beat / 2), Pluck(n, beat, seed), gain, (i % 2) ? 0.35f : -0.35f);
      ++seed;
    }
  };
  for (float n : body[7].tones) t.Add(0, Pad(n, bar), 0.08f, 0.0f);
  arpeggio(0, body[7], 0.16f);
  for (int b = 0; b < 8; ++b) {
    size_t at = intro + Samples(b * bar);
    t.Add(at, Bass(body[b].root, bar), 0.22f, 0.0f);
    for (float n : body[b].tones) t.Add(at, Pad(n, bar), 0.06f, 0.0f);
    arpeggio(at, body[b], 0.18f);
  }
  for (const auto& [b, s, len, n] : melody) t.Add(intro + Samples(b * bar + s * beat), Celesta(n, len * beat), 0.2f, 0.1f);
  Reverb(t, 0.65f, 0.86f);
  return Looped(std::move(t), intro, end);
}

// --- Effects -------------------------------------------------------------------------

// One-pole low-pass over white noise, its cut-off following `cutoff(t)` in Hz.
template <class F>
std::vector<float> Noise(double seconds, uint32_t seed, F cutoff) {
  std::vector<float> out(Samples(seconds));
  Rng rng(seed);
  float y = 0, y2 = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    float t = static_cast<float>(i) / kRate;
    float a = 1 - std::exp(-kTau * cutoff(t) / kRate);
    y += a * (rng.Uniform(-1, 1) - y);
    y2 += a * (y - y2);
    out[i] = y2;
  }
  return out;
}

std::vector<float> Waves() {
  // Eight seconds of surf: two swells, faded at both ends so that the loop has no seam.
  const double len = 8.0;
  std::vector<float> x = Noise(len, 21, [](float t) { return 300.0f + 900.0f * std::pow(std::sin(t / 8.0f * kTau) * 0.5f + 0.5f, 2.0f); });
  for (size_t i = 0; i < x.size(); ++i) {
    float t = static_cast<float>(i) / kRate;
    float swell = 0.35f + 0.65f * std::pow(std::sin(t / 4.0f * kTau / 2) , 2.0f);
    x[i] *= swell;
  }
  size_t fold = Samples(0.5);
  for (size_t i = 0; i < fold; ++i) {
    float k = static_cast<float>(i) / fold;
    x[i] = x[i] * k + x[x.size() - fold + i] * (1 - k);
  }
  x.resize(x.size() - fold);
  Normalise(x, 0.6f);
  return x;
}

std::vector<float> Sparkle() {
  Track t(Samples(2.2));
  const float notes[] = {84, 88, 91, 96, 100, 103, 108};
  for (int i = 0; i < 7; ++i) t.Add(Samples(i * 0.07), Celesta(notes[i], 0.5), 0.3f, 0);
  Reverb(t, 0.6f, 0.8f);
  std::vector<float> x = t.l;
  Normalise(x, 0.7f);
  return x;
}

std::vector<float> Impact() {
  size_t n = Samples(1.8);
  std::vector<float> x(n);
  std::vector<float> rumble = Noise(1.8, 31, [](float t) { return 120.0f + 600.0f * std::exp(-t * 6); });
  float phase = 0;
  for (size_t i = 0; i < n; ++i) {
    float t = static_cast<float>(i) / kRate;
    float f = 40 + 80 * std::exp(-t * 12);
    phase += kTau * f / kRate;
    x[i] = std::sin(phase) * std::exp(-t * 3.5f) + rumble[i] * 3.0f * std::exp(-t * 2.5f);
  }
  Normalise(x, 0.9f);
  return x;
}

std::vector<float> Steps() {
  std::vector<float> x(Samples(2.4), 0.0f);
  for (int s = 0; s < 4; ++s) {
    std::vector<float> crunch = Noise(0.22, 40 + s, [](float t) { return 900.0f + 2500.0f * std::exp(-t * 30); });
    size_t at = Samples(0.15 + s * 0.55);
    for (size_t i = 0; i < crunch.size() && at + i < x.size(); ++i) {
      float t = static_cast<float>(i) / kRate;
      x[at + i] += crunch[i] * std::exp(-t * 18) * (s % 2 ? 0.8f : 1.0f);
    }
  }
  Normalise(x, 0.7f);
  return x;
}

std::vector<float> Heartbeat() {
  std::vector<float> x(Samples(1.7), 0.0f);
  for (double at : {0.05, 0.33, 0.9, 1.18}) {
    float phase = 0;
    for (size_t i = 0; i < Samples(0.25); ++i) {
      float t = static_cast<float>(i) / kRate;
      phase += kTau * (48 + 30 * std::exp(-t * 30)) / kRate;
      size_t j = Samples(at) + i;
      if (j < x.size()) x[j] += std::sin(phase) * std::exp(-t * 16) * (at == 0.33 || at == 1.18 ? 0.7f : 1.0f);
    }
  }
  Normalise(x, 0.9f);
  return x;
}

std::vector<float> Bell() {
  Track t(Samples(4.0));
  t.Add(0, Partials(Midi(64), 3.0, {{{0.5f, 0.6f, 0.6f}, {1, 1.0f, 0.9f}, {1.19f, 0.35f, 1.2f}, {1.5f, 0.3f, 1.3f}, {2.0f, 0.25f, 1.8f}, {2.74f, 0.15f, 2.5f}, {3.76f, 0.08f, 3.2f}}}, 0.002f, 0.8f),
        0.5f, 0);
  Reverb(t, 0.5f, 0.8f);
  std::vector<float> x = t.l;
  Normalise(x, 0.8f);
  return x;
}

// The title's choice: two celesta notes a fifth apart.
std::vector<float> TitleChoice() {
  Track t(Samples(1.0));
  t.Add(0, Celesta(88, 0.6), 0.4f, 0);
  t.Add(Samples(0.06), Celesta(95, 0.6), 0.3f, 0);
  Reverb(t, 0.3f, 0.6f);
  std::vector<float> x = t.l;
  Normalise(x, 0.6f);
  return x;
}

// Under the warning page: a soft pad chord that swells and fades within three seconds.
std::vector<float> Attention() {
  Track t(Samples(3.0));
  for (float note : {60.0f, 64.0f, 67.0f}) t.Add(0, Pad(note, 2.8), 0.25f, 0);
  t.Add(Samples(0.4), Celesta(79, 1.5), 0.2f, 0);
  Reverb(t, 0.4f, 0.8f);
  std::vector<float> x = t.l;
  Normalise(x, 0.5f);
  return x;
}

// --- Voices ----------------------------------------------------------------------------

// A two-pole resonator.
struct Resonator {
  float a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
  void Set(float f, float bw) {
    float r = std::exp(-kTau * bw / 2 / kRate);
    a1 = 2 * r * std::cos(kTau * f / kRate);
    a2 = -r * r;
    gain = 1 - r;
  }
  float Run(float x) {
    float y = gain * x + a1 * y1 + a2 * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// One segment of speech: formants at its start and end (three each, Hz), pitch at its
// start and end, loudness, breathiness.
struct Segment {
  double seconds;
  std::array<float, 3> f0, f1;
  float pitch0, pitch1, loud0, loud1, breath;
};

std::vector<float> Speak(const std::vector<Segment>& segs, uint32_t seed) {
  std::vector<float> out;
  Resonator r[3];
  float phase = 0;
  Rng rng(seed);
  for (const Segment& s : segs) {
    size_t n = Samples(s.seconds);
    for (size_t i = 0; i < n; ++i) {
      float k = static_cast<float>(i) / std::max<size_t>(n, 1);
      float pitch = s.pitch0 + (s.pitch1 - s.pitch0) * k;
      pitch *= 1 + 0.012f * std::sin(static_cast<float>(out.size()) / kRate * kTau * 5.5f);  // a little vibrato
      for (int j = 0; j < 3; ++j) r[j].Set(s.f0[j] + (s.f1[j] - s.f0[j]) * k, 60.0f + 40.0f * j);
      phase += pitch / kRate;
      if (phase >= 1) phase -= 1;
      // Glottal pulse: a rounded saw, brighter at the closing edge.
      float pulse = phase < 0.6f ? std::sin(phase / 0.6f * kTau / 4) : std::cos((phase - 0.6f) / 0.4f * kTau / 4);
      float src = (pulse - 0.5f) * (1 - s.breath) + rng.Uniform(-1, 1) * s.breath * 0.6f;
      float y = r[0].Run(src) * 1.0f + r[1].Run(src) * 0.6f + r[2].Run(src) * 0.25f;
      out.push_back(y * (s.loud0 + (s.loud1 - s.loud0) * k));
    }
  }
  // Soft edges.
  size_t edge = std::min(out.size() / 4, Samples(0.01));
  for (size_t i = 0; i < edge; ++i) {
    out[i] *= static_cast<float>(i) / edge;
    out[out.size() - 1 - i] *= static_cast<float>(i) / edge;
  }
  Normalise(out, 0.8f);
  return out;
}

// Formants (Hz) of the vowels, for a higher and a lower voice.
const std::array<float, 3> kE{480, 2000, 2800}, kA{800, 1200, 2700}, kO{480, 850, 2600}, kU{360, 1300, 2500}, kN{260, 1700, 2600},
    kEm{420, 1750, 2450}, kOm{420, 760, 2400}, kHm{500, 1400, 2500}, kLm{360, 1100, 2400};

std::vector<float> AkariCall() {  // "ねえ!"
  return Speak({{0.07, kN, kN, 280, 290, 0.3f, 0.5f, 0.05f},
                {0.10, kN, kE, 290, 310, 0.5f, 1.0f, 0.03f},
                {0.30, kE, kE, 310, 360, 1.0f, 0.9f, 0.03f},
                {0.12, kE, kE, 360, 340, 0.9f, 0.0f, 0.1f}},
               1);
}
std::vector<float> AkariLaugh() {  // "ふふっ"
  std::vector<Segment> s;
  for (int i = 0; i < 2; ++i) {
    s.push_back({0.06, kU, kU, 300, 300, 0.1f, 0.6f, 0.85f});
    s.push_back({0.11, kU, kU, 320 - i * 20.0f, 300 - i * 20.0f, 0.7f, 0.5f, 0.45f});
    s.push_back({0.08, kU, kU, 300, 290, 0.2f, 0.0f, 0.9f});
  }
  return Speak(s, 2);
}
std::vector<float> NoelHello() {  // "Hello?"
  return Speak({{0.08, kHm, kEm, 140, 140, 0.2f, 0.6f, 0.8f},
                {0.14, kEm, kEm, 140, 150, 0.9f, 1.0f, 0.05f},
                {0.08, kEm, kLm, 150, 150, 1.0f, 0.7f, 0.05f},
                {0.30, kLm, kOm, 150, 210, 0.8f, 0.9f, 0.04f},
                {0.10, kOm, kOm, 210, 220, 0.9f, 0.0f, 0.1f}},
               3);
}
std::vector<float> NoelOh() {  // "Oh... wow."
  return Speak({{0.05, kOm, kOm, 150, 150, 0.0f, 0.9f, 0.2f},
                {0.35, kOm, kOm, 150, 118, 0.9f, 0.6f, 0.08f},
                {0.12, kOm, kOm, 118, 110, 0.4f, 0.0f, 0.3f},
                {0.20, kOm, kOm, 120, 120, 0.0f, 0.0f, 0.0f},
                {0.07, kU, kA, 135, 140, 0.3f, 0.9f, 0.1f},
                {0.25, kA, kU, 140, 115, 1.0f, 0.7f, 0.06f},
                {0.08, kU, kU, 115, 110, 0.6f, 0.0f, 0.2f}},
               4);
}

}  // namespace

void MakeSounds(Stage& stage) {
  auto ogg = [&](const std::string& name, const std::vector<float>& pcm, int channels, float q) {
    Result<std::vector<uint8_t>> r = EncodeOgg(pcm, channels, q, name);
    r ? stage.File("snd/" + name, *r) : stage.Fail(r.error());
  };
  ogg("title_bgm.ogg", TitleTheme(), 2, 0.45f);
  ogg("bgm_night.ogg", NightTheme(), 2, 0.45f);
  ogg("TITLE_SE.ogg", TitleChoice(), 1, 0.4f);
  ogg("attention.ogg", Attention(), 1, 0.4f);
  stage.File("snd/se_wave.wav", EncodeWav(Waves(), 1));
  stage.File("snd/se_sparkle.wav", EncodeWav(Sparkle(), 1));
  stage.File("snd/se_impact.wav", EncodeWav(Impact(), 1));
  stage.File("snd/se_steps.wav", EncodeWav(Steps(), 1));
  stage.File("snd/se_heartbeat.wav", EncodeWav(Heartbeat(), 1));
  stage.File("snd/se_bell.wav", EncodeWav(Bell(), 1));
  ogg("v_akari_01.ogg", AkariCall(), 1, 0.5f);
  stage.File("snd/v_akari_02.wav", EncodeWav(AkariLaugh(), 1));
  for (auto [name, pcm] : {std::pair{"v_noel_01.mp3", NoelHello()}, std::pair{"v_noel_02.mp3", NoelOh()}}) {
    Result<std::vector<uint8_t>> r = EncodeMp3(pcm, 64);
    r ? stage.File(std::string("snd/") + name, *r) : stage.Fail(r.error());
  }
}

}  // namespace zan::assetgen
