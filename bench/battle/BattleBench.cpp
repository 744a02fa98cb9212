// Time of one battle frame (movement and action of every unit, no view), in two arenas measured
// apart: a full one, where ten ships and satellites with quick launchers keep the missile slots
// nearly full (about 240 missiles in flight, every light slot taken) for the whole timed run, and
// a light one of two ships a side with a few missiles. Hulls are too sturdy to fall. Every round
// builds its arena afresh and runs it warm untimed, then times at most 2500 frames, all within the
// arena's steady state. The window ticks every 40 ms; the goal for the full arena is below 50 us a
// frame. One process, one core, thread CPU time, best of interleaved rounds (bench/BenchRun.h).
//
//   bench_battle [--rounds N] [--min-ms M] [--filter TEXT]

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "battle/Btinfo.h"
#include "battle/Btlight.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "bench/BenchRun.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "platform/base/StdRandom.h"

namespace {

using namespace vdmq;

constexpr int kPlanet = 9;

// Catalogue: hull 0 for ships and hull 1 for satellites, both too sturdy to fall; weapon 0 fires
// salvos of salvo missiles every charge frames, weapon 1 is a slower second launcher.
void SetUpCatalogue(int salvo, int charge) {
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  FrameData[0].Body = {2000000000, 0};
  FrameData[1].Body = {2000000000, 100};
  WeaponData[0].Weapon = {1, 80, charge, 50, 6, salvo, 0};
  WeaponData[1].Weapon = {1, 60, charge + 2, 40, 3, salvo, 2};
  EngineData[0].Engine = {100, 50};
  ShieldData[0].Shield = {50, 300, 10, 30};
  for (int c = 0; c < kCountryCount; ++c) {
    CountryData[c].Turn = c;
    CountryData[c].Capital = -1;
  }
}

// ships fleet ships a side, and the planet's satellites when satellites is set.
void SetUpSides(int ships, bool satellites) {
  for (int s = 0; s < kFleetShipCount; ++s) {
    TShipData ship{{0, 0, 1, 0, 0}, 2000000000};
    TShipData none{{-1, -1, -1, -1, -1}, 0};
    FleetData[0][0].CanUse = 1;
    FleetData[1][0].CanUse = 1;
    SetFleetShip(0, 0, s, s < ships ? &ship : &none);
    SetFleetShip(1, 0, s, s < ships ? &ship : &none);
  }
  for (int s = 0; s < kPlanetSateCount; ++s) {
    TShipData sate{{1, 0, -1, 0, -1}, 2000000000};
    TShipData none{{-1, -1, -1, -1, -1}, 0};
    SetPlanetSate(kPlanet, s, satellites ? &sate : &none);
  }
}

struct TArena {
  std::unique_ptr<TBtQvMap> map;
  TBtInfo info;  // the arena's battle record, in BtInfo while it runs
  int minMissiles = 1 << 30;
  int maxMissiles = 0;
  long missiles = 0;  // summed over the frames
  long frames = 0;
  int Missiles() const {
    int n = 0;
    for (int i = 0; i < kBtMissileSlots; ++i) n += map->GetMissile(i) != nullptr;
    return n;
  }
  int Lights() const {
    int n = 0;
    for (int i = 0; i < kBtLightSlots; ++i) n += map->GetLight(i) != nullptr;
    return n;
  }
};

// Warm-up frames before a timed round, and the most frames a round takes: the full arena keeps
// its missile slots nearly full from about frame 200 to well past frame 3000 of its battle.
constexpr int kWarmFrames = 300;
constexpr int kRoundFrames = 2500;

// Builds an arena afresh and runs it warm, so that the timed frames start in its steady state.
void Build(TArena& a, int ships, bool satellites, int salvo, int charge) {
  if (a.map) a.map->Clear();
  a.map = std::make_unique<TBtQvMap>();
  SetUpCatalogue(salvo, charge);
  SetUpSides(ships, satellites);
  StdSrand(1);
  BtSetInfo(0, 0, 1, 0, satellites ? kPlanet : -1);
  BtQvMap = a.map.get();
  a.map->Setup();
  for (int i = 0; i < kWarmFrames; ++i) {
    BtInfo.winner = -1;
    BtBattleTick();
  }
  a.info = BtInfo;
  BtQvMap = nullptr;
}

// One frame of an arena. Both share the parts catalogue, which differs between them only in what
// the launchers took at set-up (salvo and charge).
void Frame(TArena& a) {
  BtQvMap = a.map.get();
  BtInfo = a.info;
  BtInfo.winner = -1;
  BtBattleTick();
  a.info = BtInfo;
  const int m = a.Missiles();
  a.minMissiles = std::min(a.minMissiles, m);
  a.maxMissiles = std::max(a.maxMissiles, m);
  a.missiles += m;
  ++a.frames;
  BtQvMap = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  bench::PinToOneCore();
  const bench::TOptions options = bench::TOptions::Parse(argc, argv);
  TArena light, full;
  std::vector<bench::TCase> cases;
  if (options.Wants("full")) {
    cases.push_back(
        {"full arena", [&] { Frame(full); }, [&] { Build(full, kFleetShipCount, true, 8, 4); }, kRoundFrames});
  }
  if (options.Wants("light")) {
    cases.push_back({"light arena", [&] { Frame(light); }, [&] { Build(light, 2, false, 1, 12); }, kRoundFrames});
  }
  std::printf("%zu cases, %d interleaved rounds of at least %.2f ms each, best round kept\n", cases.size(),
              options.rounds, options.minSeconds * 1000);
  bench::RunInterleaved(cases, options);
  for (const bench::TCase& c : cases) {
    const TArena& a = c.name == "full arena" ? full : light;
    if (!a.map) continue;
    BtQvMap = a.map.get();
    std::printf("%-12s %8.2f us a frame  (%ld frames; missiles in flight %d..%d, %.0f on average; lights %d)\n",
                c.name.c_str(), c.best * 1e6, a.frames, a.minMissiles, a.maxMissiles,
                static_cast<double>(a.missiles) / static_cast<double>(std::max(1L, a.frames)), a.Lights());
    BtQvMap = nullptr;
  }
  for (TArena* a : {&full, &light}) {
    if (a->map) a->map->Clear();
  }
  return 0;
}
