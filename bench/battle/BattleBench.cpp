// Frames per second of the battle simulation alone (no view): a full arena of three ships a side
// plus the attacked planet's satellites, launchers firing and missiles in flight. The window
// ticks every 40 ms; the goal is well under 0.2 ms a frame.

#include <benchmark/benchmark.h>

#include <cstring>

#include "battle/Btinfo.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "platform/base/StdRandom.h"

namespace {

using namespace vdmq;

void SetUpWorld() {
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  // Hulls so sturdy that nobody dies while the benchmark runs: the arena stays full.
  FrameData[0].Body = {2000000000, 0};
  FrameData[1].Body = {2000000000, 100};
  WeaponData[0].Weapon = {1, 80, 4, 50, 6, 2, 0};
  WeaponData[1].Weapon = {1, 60, 6, 40, 3, 3, 2};
  EngineData[0].Engine = {100, 50};
  ShieldData[0].Shield = {50, 300, 10, 30};
  for (int c = 0; c < kCountryCount; ++c) {
    CountryData[c].Turn = c;
    CountryData[c].Capital = -1;
  }
  for (int s = 0; s < kFleetShipCount; ++s) {
    TShipData ship{{0, 0, 1, 0, 0}, 2000000000};
    FleetData[0][0].CanUse = 1;
    FleetData[1][0].CanUse = 1;
    SetFleetShip(0, 0, s, &ship);
    SetFleetShip(1, 0, s, &ship);
  }
  for (int s = 0; s < kPlanetSateCount; ++s) {
    TShipData sate{{1, 0, -1, 0, -1}, 2000000000};
    SetPlanetSate(9, s, &sate);
  }
}

void BM_BattleFrame(benchmark::State& state) {
  SetUpWorld();
  StdSrand(1);
  // Both fleets and the planet's satellites: ten ships, the arena's full ship array.
  BtSetInfo(0, 0, 1, 0, 9);
  TBtQvMap arena;
  BtQvMap = &arena;
  arena.Setup();
  for (int i = 0; i < 200; ++i) BtBattleTick();  // missiles in flight
  for (auto _ : state) {
    BtInfo.winner = -1;
    BtBattleTick();
  }
  int missiles = 0;
  int ships = 0;
  for (int i = 0; i < kBtMissileSlots; ++i) missiles += arena.GetMissile(i) != nullptr;
  for (int i = 0; i < kBtShipSlots; ++i) ships += arena.GetShip(i) != nullptr;
  state.counters["ships"] = ships;
  state.counters["missiles"] = missiles;
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
  arena.Clear();
  BtQvMap = nullptr;
}
BENCHMARK(BM_BattleFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
