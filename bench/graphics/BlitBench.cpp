// Blit speed in megapixels per second: full-surface opaque copies and keyed sprite blits, each
// against a plain memcpy of the same bytes (the physical limit).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"

using namespace vdmq;

namespace {

constexpr int kW = 792;
constexpr int kH = 453;

std::vector<TQoRGB> Picture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<TQoRGB> p(static_cast<std::size_t>(w) * h);
  for (auto& c : p) c = TQoRGB(static_cast<unsigned char>(rng()), static_cast<unsigned char>(rng()), 1);
  return p;
}

void Rate(benchmark::State& state, double pixels) {
  state.counters["Mpixel/s"] =
      benchmark::Counter(pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void BM_MemcpyFullSurface(benchmark::State& state) {
  std::vector<TQoRGB> src = Picture(kW, kH, 1);
  std::vector<TQoRGB> dst(src.size());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size() * 3);
    benchmark::ClobberMemory();
  }
  Rate(state, kW * kH);
}
BENCHMARK(BM_MemcpyFullSurface);

void BM_PutPatFullSurface(benchmark::State& state) {
  std::vector<TQoRGB> src = Picture(kW, kH, 1);
  TQoTrueDib dib(nullptr, kW, kH);
  dib.InitDib();
  for (auto _ : state) {
    dib.PutPat(0, 0, kW, kH, src.data());
    benchmark::ClobberMemory();
  }
  Rate(state, kW * kH);
}
BENCHMARK(BM_PutPatFullSurface);

void BM_PutDibFullSurface(benchmark::State& state) {
  std::vector<TQoRGB> src = Picture(kW, kH, 1);
  TQoTrueDib base(nullptr, kW, kH), view(nullptr, kW, kH);
  base.InitDib();
  view.InitDib();
  base.PutPat(0, 0, kW, kH, src.data());
  for (auto _ : state) {
    view.PutDib(0, 0, &base, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  Rate(state, kW * kH);
}
BENCHMARK(BM_PutDibFullSurface);

// A 32 x 32 sprite sheet frame with about a third of its pixels transparent, blitted all over the
// surface (as the map view draws its chips).
std::vector<TQoRGB> Sprite() {
  std::vector<TQoRGB> s = Picture(32, 32, 7);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if ((x - 16) * (x - 16) + (y - 16) * (y - 16) > 180) s[y * 32 + x] = TQoRGB(255, 0, 255);
  return s;
}

void BM_MemcpySprites(benchmark::State& state) {
  std::vector<TQoRGB> s = Sprite();
  std::vector<TQoRGB> dst(static_cast<std::size_t>(kW) * kH);
  for (auto _ : state) {
    for (int y = 0; y + 32 <= kH; y += 32)
      for (int x = 0; x + 32 <= kW; x += 32)
        for (int r = 0; r < 32; ++r) std::memcpy(&dst[(y + r) * kW + x], &s[r * 32], 32 * 3);
    benchmark::ClobberMemory();
  }
  Rate(state, (kW / 32) * (kH / 32) * 1024.0);
}
BENCHMARK(BM_MemcpySprites);

// The sprites with their key colour skipped, combined under a raster method.
void KeyedSprites(benchmark::State& state, TQoMethod method) {
  std::vector<TQoRGB> s = Sprite();
  TQoTrueDib dib(nullptr, kW, kH);
  dib.InitDib();
  dib.SetMethod(method);
  const TQoRGB key = s[0];
  for (auto _ : state) {
    for (int y = 0; y + 32 <= kH; y += 32)
      for (int x = 0; x + 32 <= kW; x += 32) dib.PasPat2(x, y, 32, 32, s.data(), 32, key);
    benchmark::ClobberMemory();
  }
  Rate(state, (kW / 32) * (kH / 32) * 1024.0);
}

void BM_KeyedSprites(benchmark::State& state) { KeyedSprites(state, Qo_SET); }
BENCHMARK(BM_KeyedSprites);

void BM_KeyedSpritesAdd(benchmark::State& state) { KeyedSprites(state, Qo_ADD); }
BENCHMARK(BM_KeyedSpritesAdd);

}  // namespace

BENCHMARK_MAIN();
