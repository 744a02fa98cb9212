// One frame of the main window: its 792 x 453 view image changes, the window repaints and the
// 800 x 600 desktop is composited and presented (headless back end).
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

static void BM_CompositeFullDesktopWithViewImage(benchmark::State& state) {
  THeadlessSession session;
  TForm* main = nullptr;
  App().CreateForm(main);
  main->SetBorderStyle(bsSizeable);
  main->SetClientSize(792, 573);
  auto* view = new TImage(main);
  view->SetParent(main);
  view->SetBounds(0, 0, 792, 453);
  auto* bar = new TPanel(main);
  bar->SetParent(main);
  bar->SetBounds(0, 453, 792, 120);
  const int pitch = Bgr24PitchPixels(792) * 3;
  std::vector<std::uint8_t> pixels(static_cast<size_t>(pitch) * 453);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
  view->BindPixels(pixels.data(), 792, 453, pitch);
  main->Show();
  App().ProcessMessages();
  std::uint8_t k = 0;
  for (auto _ : state) {
    pixels[(k++ % 400) * 3] ^= 0xFF;
    view->PixelsChanged();
    App().PaintAndPresent();
    benchmark::DoNotOptimize(session.Backend.LastScreen().Data());
  }
}
BENCHMARK(BM_CompositeFullDesktopWithViewImage)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
