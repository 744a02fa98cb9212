#pragma once
// Seeds and noise of the picture generators, defined here bit for bit so that every library and
// build gives the same pictures: a string hash for the seeds, a small generator, value noise and
// fractal (fBm) noise. No standard distribution or std::random_device is used.

#include <cstdint>
#include <string_view>

namespace vdmq::raster {

// A 32-bit hash of a text (an entry name), well mixed.
std::uint32_t HashName(std::string_view text);
// Mixes a value into a seed (for sub-seeds: HashCombine(seed, layer)).
std::uint32_t HashCombine(std::uint32_t seed, std::uint32_t value);

// A 64-bit splitmix generator.
class TArtRng {
 public:
  explicit TArtRng(std::uint32_t seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}
  std::uint32_t Next();
  // Uniform in [0, 1), 24 bits.
  float Unit();
  // Uniform in [lo, hi).
  float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
  // Uniform integer in 0..n-1 (n >= 1).
  int Below(int n);
  // Uniform integer in lo..hi.
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }

 private:
  std::uint64_t state_;
};

// Smooth value noise in [0, 1] with a lattice of one unit.
float ValueNoise(float x, float y, std::uint32_t seed);
// Fractal sum of octaves of value noise, normalised to [0, 1]; each octave has lacunarity times the
// frequency and gain times the amplitude of the one before.
float Fbm(float x, float y, std::uint32_t seed, int octaves, float lacunarity = 2.0f, float gain = 0.5f);

// Value noise that repeats every `period` units along both axes (period >= 1): a field drawn over a
// tile with period-aligned coordinates continues seamlessly into the next tile.
float PeriodicNoise(float x, float y, int period, std::uint32_t seed);
// Fractal sum of periodic noise over a unit tile: octave o has 2^o * frequency lattice cells per
// unit and repeats every unit; normalised to [0, 1].
float PeriodicFbm(float x, float y, int frequency, std::uint32_t seed, int octaves, float gain = 0.5f);

}  // namespace vdmq::raster
