#include "tools/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vdmq::sample::synth {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Formant frequencies and bandwidths of a vowel for a voice of formant scale 1.
struct TFormants {
  std::array<double, 4> Hz;
  std::array<double, 4> Width;
};

const TFormants& FormantsOf(TVowel v) {
  static const std::array<TFormants, 5> table = {{
      {{730, 1090, 2440, 3400}, {80, 90, 120, 180}},   // a
      {{530, 1840, 2480, 3400}, {60, 100, 120, 180}},  // e
      {{280, 2250, 2890, 3500}, {50, 110, 140, 200}},  // i
      {{500, 830, 2450, 3400}, {60, 80, 120, 180}},    // o
      {{320, 870, 2240, 3300}, {50, 80, 120, 180}},    // u
  }};
  return table[static_cast<size_t>(v)];
}

// The share of the way a one-pole smoother moves in `seconds` with time constant tau.
double Approach(double seconds, double tau) { return 1.0 - std::exp(-seconds / tau); }

}  // namespace

int Samples(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

float TNoise::Next() {
  // xorshift32
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

TOnePole::TOnePole(double cutoffHz) : k_(static_cast<float>(1.0 - std::exp(-kTwoPi * cutoffHz / kRate))) {}

float TOnePole::Low(float x) {
  z_ += k_ * (x - z_);
  return z_;
}

float Peak(const TSignal& s) {
  float p = 0.0f;
  for (float v : s) p = std::max(p, std::fabs(v));
  return p;
}

void NormalizePeak(TSignal& s, float peak) {
  const float p = Peak(s);
  if (p <= 0.0f) return;
  const float k = peak / p;
  for (float& v : s) v *= k;
}

float Decibels(float db) { return std::pow(10.0f, db / 20.0f); }

void FadeEnds(TSignal& s, double seconds) {
  const int n = std::min(Samples(seconds), static_cast<int>(s.size()) / 2);
  for (int i = 0; i < n; ++i) {
    const float g = static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * (i + 0.5) / n));
    s[static_cast<size_t>(i)] *= g;
    s[s.size() - 1 - static_cast<size_t>(i)] *= g;
  }
}

void MixInto(TSignal& into, const TSignal& from, int offset, float gain) {
  for (size_t i = 0; i < from.size(); ++i) {
    const long j = static_cast<long>(i) + offset;
    if (j >= 0 && j < static_cast<long>(into.size())) into[static_cast<size_t>(j)] += from[i] * gain;
  }
}

std::vector<std::int16_t> ToPcm16(const TSignal& s) {
  std::vector<std::int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const float v = std::clamp(s[i], -1.0f, 1.0f) * 32767.0f;
    out[i] = static_cast<std::int16_t>(std::lround(v));
  }
  return out;
}

float Rise(double t, double t0, double t1) {
  if (t <= t0) return 0.0f;
  if (t >= t1) return 1.0f;
  return static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * (t - t0) / (t1 - t0)));
}

TSignal SingPhrase(const TVoice& voice, const std::vector<TSyllable>& syllables) {
  constexpr double kLead = 0.012, kTail = 0.03;
  constexpr double kAttack = 0.035, kRelease = 0.05, kLastRelease = 0.09;
  constexpr float kDip = 0.12f;  // the level between two syllables, where a consonant would be
  constexpr int kBlock = 32;     // samples per update of pitch, formants and harmonic levels
  constexpr int kMaxHarmonics = 64;
  constexpr double kTopHz = 5000.0;
  if (syllables.empty()) return {};

  std::vector<double> starts;
  double t = kLead;
  for (const TSyllable& s : syllables) {
    starts.push_back(t);
    t += s.Seconds / voice.Tempo;
  }
  const double end = t;
  TSignal out(static_cast<size_t>(Samples(end + kTail)), 0.0f);
  const size_t last = syllables.size() - 1;

  // The shape of the loudness at a time: rises at syllable starts, dips at their ends.
  auto shape = [&](double time) {
    size_t i = 0;
    while (i < last && time >= starts[i + 1]) ++i;
    const double s0 = starts[i], s1 = i < last ? starts[i + 1] : end;
    const float in = i == 0 ? 0.0f : kDip, out = i == last ? 0.0f : kDip;
    const float rise = in + (1.0f - in) * Rise(time, s0, s0 + kAttack);
    const double release = i == last ? kLastRelease : kRelease;
    return rise * (1.0f - (1.0f - out) * Rise(time, s1 - release, s1));
  };

  const double blockSeconds = static_cast<double>(kBlock) / kRate;
  double f0 = 0.0, level = 0.0;
  std::array<double, 4> hz{}, width{};
  std::array<double, kMaxHarmonics + 1> from{}, to{};
  double phase = 0.0;
  bool first = true;
  for (size_t n0 = 0; n0 < out.size(); n0 += kBlock) {
    const double time = static_cast<double>(n0) / kRate;
    size_t i = 0;
    while (i < last && time >= starts[i + 1]) ++i;
    const TSyllable& s = syllables[i];
    const double duration = s.Seconds / voice.Tempo;
    const double u = std::clamp((time - starts[i]) / duration, 0.0, 1.0);
    const double pitch = s.PitchFrom + (s.PitchTo - s.PitchFrom) * u * u * (3.0 - 2.0 * u);
    const TFormants& f = FormantsOf(s.Vowel);
    if (first) {
      f0 = voice.BaseHz * pitch;
      level = s.Level;
      for (int k = 0; k < 4; ++k) hz[k] = f.Hz[k] * voice.FormantScale, width[k] = f.Width[k] * voice.FormantScale;
    } else {
      f0 += (voice.BaseHz * pitch - f0) * Approach(blockSeconds, 0.022);
      level += (s.Level - level) * Approach(blockSeconds, 0.03);
      const double a = Approach(blockSeconds, 0.028);
      for (int k = 0; k < 4; ++k) {
        hz[k] += (f.Hz[k] * voice.FormantScale - hz[k]) * a;
        width[k] += (f.Width[k] * voice.FormantScale - width[k]) * a;
      }
    }
    // Harmonic levels: a source falling by 1/k through the cascade of formant resonators.
    from = first ? std::array<double, kMaxHarmonics + 1>{} : to;
    to.fill(0.0);
    for (int k = 1; k <= kMaxHarmonics && k * f0 < kTopHz; ++k) {
      const double h = k * f0;
      double a = level / k;
      for (int j = 0; j < 4; ++j) {
        const double ff = hz[j] * hz[j];
        a *= ff / std::sqrt((ff - h * h) * (ff - h * h) + (width[j] * h) * (width[j] * h));
      }
      to[static_cast<size_t>(k)] = a;
    }
    if (first) from = to;
    first = false;
    const size_t n1 = std::min(out.size(), n0 + kBlock);
    for (size_t n = n0; n < n1; ++n) {
      const double tn = static_cast<double>(n) / kRate;
      const double w = static_cast<double>(n - n0) / kBlock;
      const double vibrato = 1.0 + voice.VibratoDepth * std::sin(kTwoPi * voice.VibratoHz * tn);
      phase += kTwoPi * f0 * vibrato / kRate;
      if (phase >= kTwoPi) phase -= kTwoPi;
      // sin(k phase) by the Chebyshev recurrence.
      const double s1 = std::sin(phase), c2 = 2.0 * std::cos(phase);
      double prev = 0.0, cur = s1, sum = 0.0;
      for (size_t k = 1; k <= kMaxHarmonics; ++k) {
        const double a = from[k] + (to[k] - from[k]) * w;
        if (a == 0.0 && to[k] == 0.0 && from[k] == 0.0) break;
        sum += a * cur;
        const double next = c2 * cur - prev;
        prev = cur;
        cur = next;
      }
      out[n] = static_cast<float>(sum * shape(tn));
    }
  }
  return out;
}

TSignal Note(double hz, double seconds, int harmonics) {
  TSignal out(static_cast<size_t>(Samples(seconds)), 0.0f);
  for (size_t n = 0; n < out.size(); ++n) {
    const double t = static_cast<double>(n) / kRate;
    double sum = 0.0;
    for (int k = 1; k <= harmonics && k * hz * 1.003 < kRate * 0.45; ++k) {
      const double a = 0.5 / k;
      sum += a * std::sin(kTwoPi * k * hz * t + 0.7 * k) + a * std::sin(kTwoPi * k * hz * 1.003 * t + 1.9 * k);
    }
    out[n] = static_cast<float>(sum);
  }
  return out;
}

}  // namespace vdmq::sample::synth
