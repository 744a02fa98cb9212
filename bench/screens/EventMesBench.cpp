// One page of the event window in a running game on the headless back end over the generated data
// set: the other speaker takes over without the shutter, both portraits and four lines are drawn
// and the screen is presented (goal: under 1 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/base/Sjis.h"
#include "platform/headless/TestKit.h"
#include "screens/F_evmes.h"
#include "screens/Main.h"
#include "support/GameFolder.h"

using namespace vdmq;

namespace {

constexpr int kPages = 3000;

void BM_EventPage(benchmark::State& state) {
  test::TGameFolder folder;
  THeadlessSession session;
  TGameSession game;
  // Both speakers come in once; then each page hands the word to the other side.
  TEventMesScript script = {std::string(), std::string("0"), 0, std::string("1"), 2};
  const std::string line = SJS("帝国艦隊はラドム、ガルムの両基地に");
  for (int page = 0; page < kPages; ++page) {
    script.emplace_back(std::string(page % 2 ? "1" : "0"));
    script.emplace_back(page % 2 ? 2 : 0);
    for (int i = 0; i < 4; ++i) script.emplace_back(line);
  }
  script.emplace_back(std::string("END_STR"));
  bool measured = false;
  session.Backend.Driver = [&] {
    if (TopModal() != fmEventMes) return false;
    if (!measured) {
      measured = true;
      for (auto _ : state) {
        fmEventMes->Advance();
        App().PaintAndPresent();
      }
    }
    fmEventMes->Close();
    return true;
  };
  EventMes(script);
}
BENCHMARK(BM_EventPage)->Unit(benchmark::kMicrosecond)->Iterations(kPages - 1);

}  // namespace
