// One full round of the computer countries on a full world: the generated 100-planet world with
// all thirteen computer countries alive, at war with one another, each with nine fleets of three
// ships on the map following routes. Pauses and screens are the headless host's (zero time);
// battles are decided at once for the attacker. Every iteration starts from the same world.

#include <benchmark/benchmark.h>

#include <cstring>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Cpu_turn.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/Gmain.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Story.h"
#include "platform/base/StdRandom.h"
#include "tools/SampleData.h"

namespace {

using namespace vdmq;

struct TWorld {
  TStoryData story;
  TCountryData countries[kCountryCount];
  std::int32_t relation[kCountryCount][kCountryCount];
  TPlanetData planets[kPlanetCount];
  TCmdData cmds[kCmdCount];
  TFleetData fleets[kCountryCount][kFleetCount];
  TDockData docks[kPlanetCount];
};

void Take(TWorld* w) {
  std::memcpy(&w->story, &StoryData, sizeof StoryData);
  std::memcpy(w->countries, CountryData, sizeof CountryData);
  std::memcpy(w->relation, CountryRelation, sizeof CountryRelation);
  std::memcpy(w->planets, PlanetData, sizeof PlanetData);
  std::memcpy(w->cmds, CmdData, sizeof CmdData);
  std::memcpy(w->fleets, FleetData, sizeof FleetData);
  std::memcpy(w->docks, DockData, sizeof DockData);
}

void Put(const TWorld& w) {
  std::memcpy(&StoryData, &w.story, sizeof StoryData);
  std::memcpy(CountryData, w.countries, sizeof CountryData);
  std::memcpy(CountryRelation, w.relation, sizeof CountryRelation);
  std::memcpy(PlanetData, w.planets, sizeof PlanetData);
  std::memcpy(CmdData, w.cmds, sizeof CmdData);
  std::memcpy(FleetData, w.fleets, sizeof FleetData);
  std::memcpy(DockData, w.docks, sizeof DockData);
  GameOverFlag = 0;
}

// The generated world, made busy: every computer country alive with a capital, at war with every
// other computer country (and at peace with the player), nine manned fleets of three ships each on its capital, routes
// 0..23.
constexpr int kRoutes = 24;  // routes of the route table

void BuildBusyWorld(TQvMap* map) {
  sample::BuildWorld();
  sample::BuildMap(map);
  MakeFleetRootTablePtr();
  TShipData ship{};
  bool haveShip = false;
  for (int c = 0; c < kCountryCount && !haveShip; ++c) {
    for (int d = 0; d < 3 && !haveShip; ++d) {
      haveShip = CpuPickShipDesign(&ship, c, d) && IsShipValid(&ship) && GetShipMoveStep(&ship) > 0;
    }
  }
  for (int c = 1; c < kCountryCount; ++c) {
    if (!IsCountryAlive(c)) {
      for (int p = kPlanetCount - 1; p >= 0; --p) {
        if (IsPlanetOnMap(p) && GetCapitalCountry(p) == -1 && (GetPlanetBelong(p) == -1 || GetPlanetBelong(p) == c)) {
          PlanetData[p].Belong = c;
          CountryData[c].Capital = p;
          break;
        }
      }
    }
    for (int o = 1; o < kCountryCount; ++o) {
      if (o != c) SetCountryRelation(c, o, kRelationWar);
    }
    // The player stays out of the wars, so that no fallen capital cuts the round short.
    SetCountryRelation(c, 0, kRelationNone);
    CountryData[c].Fund = 50000;
  }
  for (int i = 0; i < kCmdCount; ++i) CmdData[i].UnderFleet = -1;
  int cmd = 0;
  for (int c = 1; c < kCountryCount; ++c) {
    const int capital = GetCountryCapital(c);
    for (int f = 0; f < 9 && cmd < kCmdCount; ++f, ++cmd) {
      TFleetData& d = FleetData[c][f];
      d.CanUse = d.CanMove = d.Attack = 1;
      d.Returning = 0;
      for (TShipData& s : d.Ships) s = ship;
      d.X = GetPlanetX(capital);
      d.Y = GetPlanetY(capital);
      d.Root = (c * 9 + f) % kRoutes;
      CmdData[cmd].Belong = c;
      CmdData[cmd].UnderFleet = f;
      CmdData[cmd].Fatigue = 0;
    }
  }
}

void BM_ComputerRound(benchmark::State& state) {
  static TQvMap map;
  QvMap = &map;
  BuildBusyWorld(&map);
  TWorld start;
  Take(&start);
  int moves = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Put(start);
    StdSrand(1);
    state.ResumeTiming();
    EndPlayerTurn();
    state.PauseTiming();
    for (int c = 1; c < kCountryCount; ++c) {
      for (int f = 0; f < kFleetCount; ++f) moves += GetFleetCanMove(c, f) ? 0 : 1;
    }
    state.ResumeTiming();
  }
  state.counters["player_alive"] = IsCountryAlive(0) ? 1 : 0;
  state.counters["fleets_moved_per_round"] =
      benchmark::Counter(static_cast<double>(moves) / static_cast<double>(state.iterations()));
  QvMap = nullptr;
}
BENCHMARK(BM_ComputerRound)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
