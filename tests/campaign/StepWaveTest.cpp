// The step wave visits only its front; it must give the same table, cell for cell, as sweeping the
// whole grid once per step. Random maps, planets, fleets and relations, every zone mode and move
// type, budgets around the interesting values, reset and preset tables.
#include <gtest/gtest.h>

#include <random>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

// The wave as a sweep of the whole grid per step, on the zone grid the model has just built.
void SweepWave(const TQvMap& m, int sx, int sy, int budget, TStepRow* t, int moveType, bool reset) {
  int previousMax = 0;
  if (reset) {
    TQvMap::FillTable(t, kStepUnreached);
    if (!m.IsPassable(sx, sy)) return;
  } else {
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        if (t[y][x] >= 0 && t[y][x] < kStepUnreached && t[y][x] > previousMax) previousMax = t[y][x];
      }
    }
  }
  t[sy][sx] = (moveType == 1 && m.GetZone(sx, sy) == kZoneNearPlanet) ? budget : 0;
  int k = 0;
  int changed = 1;
  while ((changed > 0 && budget > k) || previousMax >= k) {
    ++k;
    changed = 0;
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        if (t[y][x] == k - 1 && m.GetZone(x, y) < kZonePassableLimit) {
          changed += m.RelaxAround(x, y, moveType, t, budget, k);
        }
      }
    }
  }
}

TEST(StepWaveTest, FrontWaveEqualsFullSweeps) {
  test::TTestMap world;
  test::TRecordingHost host;
  TQvMap& map = world.map;
  std::mt19937 rng(12345);
  const int budgets[] = {0, 1, 2, 3, 8, 9, 20, 65534, 65535};
  for (int round = 0; round < 300; ++round) {
    test::ResetWorld();
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) map.SetChip(x, y, rng() % 100 < 18 ? 20 : 0);
    }
    for (int p = 0; p < 30; ++p)
      test::PlacePlanet(p, rng() % kMapSize, rng() % kMapSize, static_cast<int>(rng() % 6) - 1);
    for (int c = 0; c < 5; ++c) {
      for (int f = 0; f < 4; ++f) test::MakeFleet(c, f, -1, rng() % kMapSize, rng() % kMapSize);
      for (int o = 0; o < 5; ++o) {
        if (o != c) SetCountryRelation(c, o, static_cast<int>(rng() % 3));
      }
    }
    const int country = static_cast<int>(rng() % 5);
    const int zoneMode = static_cast<int>(rng() % 3);
    const int moveType = static_cast<int>(rng() % 2);
    const int budget = budgets[rng() % std::size(budgets)];
    const bool reset = rng() % 2 == 0;
    const int sx = static_cast<int>(rng() % kMapSize), sy = static_cast<int>(rng() % kMapSize);

    TStepRow a[kMapSize], b[kMapSize];
    TQvMap::FillTable(a, kStepUnreached);
    if (!reset) {
      // Presets: own planets a turn away, and a few arbitrary step counts.
      const int presets = static_cast<int>(rng() % 12);
      for (int i = 0; i < presets; ++i) {
        const int values[] = {0, 1, 5, 9, budget, budget + 1, 40, 300, -3, 70000};
        a[rng() % kMapSize][rng() % kMapSize] = values[rng() % std::size(values)];
      }
    }
    std::memcpy(b, a, sizeof a);
    const bool ok = map.MakeStep(country, zoneMode, sx, sy, budget, a, moveType, reset);
    map.MakeZone(country, zoneMode);
    SweepWave(map, sx, sy, budget, b, moveType, reset);
    EXPECT_EQ(ok, !reset || map.IsPassable(sx, sy));
    ASSERT_EQ(std::memcmp(a, b, sizeof a), 0) << "round " << round << " zone mode " << zoneMode << " move type "
                                              << moveType << " budget " << budget << " reset " << reset;
  }
}

}  // namespace
}  // namespace vdmq
