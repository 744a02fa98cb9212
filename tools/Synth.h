#pragma once
// The sound generator's synthesis kit: signals as float samples in -1..1 at the game's rate, a
// seeded noise source, one-pole filters, additive tones with a formant filter (the adjutants'
// voices), chord pads, fades and level control, and the 16-bit PCM the files hold. Everything is
// computed in a fixed order from its arguments only, so a sound comes out the same on every run.

#include <cstdint>
#include <vector>

namespace vdmq::sample::synth {

// The sample rate of every clip and movie sound track.
constexpr int kRate = 22050;

using TSignal = std::vector<float>;

// Samples in a time span, rounded to the nearest sample.
int Samples(double seconds);

// White noise in [-1, 1) from a seed.
class TNoise {
 public:
  explicit TNoise(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  float Next();

 private:
  std::uint32_t state_;
};

// A one-pole low-pass filter with a cut-off frequency; High() gives the rest (the high-pass).
class TOnePole {
 public:
  explicit TOnePole(double cutoffHz);
  float Low(float x);
  float High(float x) { return x - Low(x); }

 private:
  float k_;
  float z_ = 0.0f;
};

// The peak magnitude of a signal.
float Peak(const TSignal& s);
// Scales the signal so that its peak is `peak` (a silent signal stays silent).
void NormalizePeak(TSignal& s, float peak);
// A level in dBFS as a linear factor.
float Decibels(float db);
// Raised-cosine fades over the first and the last `seconds` of the signal.
void FadeEnds(TSignal& s, double seconds);
// Adds `from` times gain into `into` starting at sample `offset` (clipped to into's length).
void MixInto(TSignal& into, const TSignal& from, int offset, float gain);
// The signal as 16-bit samples, clamped, rounded to the nearest step.
std::vector<std::int16_t> ToPcm16(const TSignal& s);

// ---- Voices ---------------------------------------------------------------------------------

// The five vowels the phrases are sung on.
enum class TVowel { kA, kE, kI, kO, kU };

// A voice: its base pitch, the scale of its formants (vocal tract length), speed and vibrato.
struct TVoice {
  double BaseHz = 200.0;
  double FormantScale = 1.0;
  double Tempo = 1.0;  // durations are divided by it
  double VibratoHz = 5.5;
  double VibratoDepth = 0.012;  // share of the pitch
};

// One syllable: its vowel, duration, pitch at its start and end (times the base) and loudness.
struct TSyllable {
  TVowel Vowel = TVowel::kA;
  double Seconds = 0.2;
  double PitchFrom = 1.0, PitchTo = 1.0;
  float Level = 1.0f;
};

// A wordless phrase: the syllables sung legato with a short dip between them, the pitch and the
// vowel gliding from one to the next, a harmonic source through a cascade of four formants. The
// phrase has lead and tail silences of its own; its level is not normalised.
TSignal SingPhrase(const TVoice& voice, const std::vector<TSyllable>& syllables);

// ---- Tones ----------------------------------------------------------------------------------

// A soft, bright note (a few harmonics falling by 1/k, each slightly detuned against a second
// copy), `seconds` long at unit level.
TSignal Note(double hz, double seconds, int harmonics);
// The envelope value of a rise from 0 to 1 between t0 and t1 (raised cosine), 0 before, 1 after.
float Rise(double t, double t0, double t1);

}  // namespace vdmq::sample::synth
