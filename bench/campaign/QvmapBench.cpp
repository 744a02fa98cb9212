// Step waves on the full 54 x 54 map: a fleet's move range (budget 8), a planet's supply wave
// (budget 10), and the computer player's unlimited wave over an open map and over a winding maze,
// where the wave runs for the length of the longest path. Each step sweeps all 2,916 cells.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"

namespace {

using namespace vdmq;

// No planets or fleets on the map: the zone grid holds only the terrain.
void EmptyWorld() {
  for (auto& row : FleetData) {
    for (TFleetData& f : row) f.X = f.Y = -1;
  }
  for (TPlanetData& p : PlanetData) p.X = p.Y = -1;
}

// Walls on every other row, open at alternating ends: a path of about 1,500 cells.
void Maze(TQvMap& map) {
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const bool wall = y % 2 == 1 && !((y / 2) % 2 == 0 ? x == kMapSize - 1 : x == 0);
      map.SetChip(x, y, wall ? 20 : 0);
    }
  }
}

void BM_MakeStep(benchmark::State& state) {
  EmptyWorld();
  static TQvMap map;
  map.ClearMap();
  const int budget = static_cast<int>(state.range(0));
  const bool maze = state.range(1) != 0;
  if (maze) Maze(map);
  std::int32_t table[kMapSize][kMapSize];
  for (auto _ : state) {
    const bool ok =
        maze ? map.MakeStep(-1, 0, 0, 0, budget, table, 0, true) : map.MakeStep(-1, 0, 27, 27, budget, table, 0, true);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(table[0][0]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakeStep)->Args({8, 0})->Args({10, 0})->Args({65534, 0})->Args({65534, 1});

}  // namespace

BENCHMARK_MAIN();
