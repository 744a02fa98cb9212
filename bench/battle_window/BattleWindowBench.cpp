// The battle view on the battle window's surfaces over the generated data set (headless back end):
//   Redraw/Busy       three ships against five satellites, 300 frames into a fixed battle
//                     (goal: under 4 ms);
//   Redraw/Saturated  ten ships, 256 missiles and 1024 lights, all in view (goal: under 8 ms);
//   Tick/...          the whole frame (simulation and redraw) of both arenas;
//   Start             the battle start: the view's sheets and the arena's set-up.
#include <benchmark/benchmark.h>

#include <memory>

#include "battle/Btinfo.h"
#include "battle/Btmissile.h"
#include "battle/Btqvgraph.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/StdRandom.h"
#include "platform/headless/TestKit.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/BattleWorld.h"
#include "support/GameFolder.h"

using namespace vdmq;

namespace {

// The program's windows on a headless back end, with the battle window.
struct TGame {
  TGame() {
    InstallBattleWindow();
    session = std::make_unique<TGameSession>();
    // A battle that ends reports through the message box: answered at once.
    headless.Backend.Driver = [] {
      if (fmSysMes == nullptr || TopModal() != fmSysMes) return false;
      Click(fmSysMes->btnOk, mbLeft, false);
      return true;
    };
  }
  ~TGame() {
    session.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
  }
  test::TGameFolder folder;
  THeadlessSession headless;
  std::unique_ptr<TGameSession> session;
};

// The arena and the view of one battle, made as the battle window makes them.
struct TBattle {
  explicit TBattle(bool planet) {
    const int capital = bttest::PutSampleBattleSides();
    StdSrand(1);
    if (planet) {
      BtSetInfo(bttest::kSampleEnemy, 0, 0, -1, capital);
    } else {
      BtSetInfo(0, 0, bttest::kSampleEnemy, 0, -1);
    }
    Start();
  }
  ~TBattle() { Stop(); }
  static void Start() {
    BtQvMap = new TBtQvMap;
    BtQvMapGraph = new TBtQvMapGraph;
    SetBtViewSink(BtQvMapGraph);
    BtQvMapGraph->LoadGraphics();
    BtQvMap->Setup();
  }
  static void Stop() {
    SetBtViewSink(nullptr);
    delete BtQvMapGraph;
    BtQvMapGraph = nullptr;
    if (BtQvMap != nullptr) BtQvMap->Clear();
    delete BtQvMap;
    BtQvMap = nullptr;
  }
};

// Keeps the saturated arena full: ships of fleets 1..3 of both sides (ten in all), and missiles
// and lights topped up to their limits, all within the view at the top-left corner.
void Saturate(int frame) {
  for (int i = 0; i < kBtShipSlots; ++i) {
    if (BtQvMap->GetShip(i) != nullptr) continue;
    TBtShipInfo info;
    info.country = i % 2 == 0 ? 0 : bttest::kSampleEnemy;
    info.fleet = 0;
    info.slot = (i / 2) % 3;
    info.satellite = -1;
    info.x = 400 + 280 * i;
    info.y = 600 + 90 * i;
    BtQvMap->AddShip(info);
  }
  for (int i = 0; i < kBtMissileSlots; ++i) {
    if (BtQvMap->GetMissile(i) != nullptr) continue;
    BtQvMap->AddMissile(bttest::MissileInfo(2, i % 2 == 0 ? 0 : bttest::kSampleEnemy, 3000, 1200));
    if (TBtMissile* m = BtQvMap->GetMissile(i)) m->SetPos(300 + (i * 97 + frame) % 2800, 300 + (i * 53) % 1500);
  }
  for (int i = 0; i < kBtLightSlots; ++i) {
    if (BtQvMap->GetLight(i) == nullptr) BtQvMap->AddLight(300 + (i * 37) % 2800, 300 + (i * 71) % 1500, i % 7, i);
  }
}

void Busy(benchmark::State& state, bool tick) {
  TBattle battle(true);
  for (int i = 0; i < 300; ++i) BtBattleTick();
  for (auto _ : state) {
    if (tick) {
      BtBattleTick();
    } else {
      BtQvMapGraph->Redraw();
    }
  }
  state.counters["ships"] = [] {
    int n = 0;
    for (int i = 0; i < kBtShipSlots; ++i) n += BtQvMap->GetShip(i) != nullptr;
    return n;
  }();
}

void Saturated(benchmark::State& state, bool tick) {
  TBattle battle(false);
  BtInfo.winner = -1;
  int frame = 0;
  Saturate(frame);
  BtQvMap->SetSelect(nullptr);
  BtQvMapGraph->SetScroll(0, 0);
  for (auto _ : state) {
    if (tick) {
      BtBattleTick();
      state.PauseTiming();
      BtInfo.winner = -1;
      Saturate(++frame);
      state.ResumeTiming();
    } else {
      BtQvMapGraph->Redraw();
    }
  }
  state.counters["queued"] = BtQvMapGraph->GetCount(1) + BtQvMapGraph->GetCount(2) + BtQvMapGraph->GetCount(3);
}

void BM_RedrawBusy(benchmark::State& state) { Busy(state, false); }
void BM_RedrawSaturated(benchmark::State& state) { Saturated(state, false); }
void BM_TickBusy(benchmark::State& state) { Busy(state, true); }
void BM_TickSaturated(benchmark::State& state) { Saturated(state, true); }

void BM_Start(benchmark::State& state) {
  bttest::PutSampleBattleSides();
  BtSetInfo(0, 0, bttest::kSampleEnemy, 0, -1);
  for (auto _ : state) {
    TBattle::Start();
    state.PauseTiming();
    TBattle::Stop();
    bttest::PutSampleBattleSides();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_RedrawBusy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSaturated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickBusy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickSaturated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Start)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TGame game;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
