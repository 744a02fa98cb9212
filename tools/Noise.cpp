#include "tools/Noise.h"

#include <cmath>

namespace vdmq::raster {

namespace {

std::uint32_t Avalanche(std::uint32_t h) {
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

float LatticeValue(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  const std::uint32_t h = HashCombine(HashCombine(seed, static_cast<std::uint32_t>(x)), static_cast<std::uint32_t>(y));
  return static_cast<float>(h >> 8) * (1.0f / 16777215.0f);
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

std::uint32_t HashName(std::string_view text) {
  std::uint32_t h = 2166136261u;  // FNV-1a, then mixed
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return Avalanche(h);
}

std::uint32_t HashCombine(std::uint32_t seed, std::uint32_t value) {
  return Avalanche(seed ^ (value * 0x9E3779B1u + 0x7F4A7C15u + (seed << 6) + (seed >> 2)));
}

std::uint32_t TArtRng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float TArtRng::Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }

int TArtRng::Below(int n) {
  if (n <= 1) return 0;
  return static_cast<int>((static_cast<std::uint64_t>(Next()) * static_cast<std::uint64_t>(n)) >> 32);
}

float ValueNoise(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
  const float u = Fade(x - fx), v = Fade(y - fy);
  const float a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
  const float c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * u, bottom = c + (d - c) * u;
  return top + (bottom - top) * v;
}

float Fbm(float x, float y, std::uint32_t seed, int octaves, float lacunarity, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f, f = 1.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ValueNoise(x * f, y * f, HashCombine(seed, static_cast<std::uint32_t>(o)));
    norm += amp;
    amp *= gain;
    f *= lacunarity;
  }
  return norm > 0.0f ? sum / norm : 0.0f;
}

float PeriodicNoise(float x, float y, int period, std::uint32_t seed) {
  if (period < 1) period = 1;
  const float fx = std::floor(x), fy = std::floor(y);
  const auto wrap = [period](float v) {
    const int i = static_cast<int>(v) % period;
    return static_cast<std::int32_t>(i < 0 ? i + period : i);
  };
  const std::int32_t x0 = wrap(fx), y0 = wrap(fy);
  const std::int32_t x1 = (x0 + 1) % period, y1 = (y0 + 1) % period;
  const float u = Fade(x - fx), v = Fade(y - fy);
  const float a = LatticeValue(x0, y0, seed), b = LatticeValue(x1, y0, seed);
  const float c = LatticeValue(x0, y1, seed), d = LatticeValue(x1, y1, seed);
  const float top = a + (b - a) * u, bottom = c + (d - c) * u;
  return top + (bottom - top) * v;
}

float PeriodicFbm(float x, float y, int frequency, std::uint32_t seed, int octaves, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  int f = frequency < 1 ? 1 : frequency;
  for (int o = 0; o < octaves; ++o, f *= 2) {
    sum += amp * PeriodicNoise(x * static_cast<float>(f), y * static_cast<float>(f), f,
                               HashCombine(seed, static_cast<std::uint32_t>(o)));
    norm += amp;
    amp *= gain;
  }
  return norm > 0.0f ? sum / norm : 0.0f;
}

}  // namespace vdmq::raster
