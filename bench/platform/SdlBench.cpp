// The SDL back end presenting a full 800 x 600 desktop through the software renderer (under a
// virtual X server when no display is set), and the letter renderer's letters per second.
#include <benchmark/benchmark.h>

#include "platform/base/Sjis.h"
#include "platform/sdl/SdlBackend.h"
#include "qolib/graphics/QoTFPat.h"
#include "support/VirtualDisplay.h"

using namespace vdmq;

static void BM_SdlPresentFullDesktop(benchmark::State& state) {
  if (!vdmq::testing::TVirtualDisplay::Ensure()) {
    state.SkipWithError("no display");
    return;
  }
  TSdlOptions o;
  o.softwareRenderer = true;
  TSdlBackend backend(o);
  TPixmap screen(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) screen.Row(y)[x] = static_cast<std::uint32_t>(x * 0x010203 + y * 0x030201);
  const TRegion all(TRect{0, 0, 800, 600});
  std::uint32_t k = 0;
  for (auto _ : state) {
    screen.Row(k % 600)[k % 800] ^= 0xFFFFFF;
    ++k;
    backend.Present(screen, all);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SdlPresentFullDesktop)->Unit(benchmark::kMillisecond);

static void BM_LetterPatterns(benchmark::State& state) {
  TTrueFontPat pat;
  pat.SetSize(static_cast<int>(state.range(0)));
  const std::string text = SJS("銀河の戦いは続く。Fleet 12 moves to ベータ星系, turn 045.");
  std::int64_t letters = 0;
  for (auto _ : state) {
    pat.SetText(text);
    ++letters;
    while (pat.NextLetter() != 0) ++letters;
    benchmark::DoNotOptimize(pat.Pattern());
  }
  state.counters["letters/s"] = benchmark::Counter(static_cast<double>(letters), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LetterPatterns)->Arg(16)->Arg(32)->Arg(64);

BENCHMARK_MAIN();
