#pragma once
// Test helpers for the world tables: a clean world with a small parts catalogue, ship records,
// random table contents, and an open test map installed as the map model.

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "campaign/Character.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Ship.h"
#include "campaign/Story.h"

namespace vdmq::test {

// Hulls of the test catalogue: hull 0 (durability 100, move step 10, picture 11), hull 1 (50, 6,
// picture 12), hull 2 (120, 9), hull 3 (80, 12), hull 4 a satellite (200, 0). Weapon 0 (type 1)
// and engine 0 fit every hull. Build work: hull 0 40, hull 1 20, weapon 0 15, engine 0 6.
void SetUpTestCatalogue();

// A valid ship of the test catalogue: hull, weapon 0, engine 0, durability hp.
TShipData MakeShip(int hull, int hp);

TShipData EmptyShip();

// Every world table empty: fleets off the map without ships or flags, planets off the map and
// unowned, docks absent, commanders without country or fleet (level 1), countries destroyed and
// at peace, a new story, the test catalogue.
void ResetWorld();

// Puts a planet on the map at (x, y), owned by a country (-1 none).
void PlacePlanet(int planet, int x, int y, int owner);

// Makes the planet the country's capital (placed and owned).
void MakeCapital(int country, int planet, int x, int y);

// A usable fleet with one ship in slot 0 under the commander, standing at (x, y).
void MakeFleet(int country, int fleet, int cmd, int x, int y, int hull = 0);

// Fills memory with random bytes (a damaged file's worth of values).
void RandomBytes(void* p, std::size_t n, std::mt19937& rng);

// Random 32-bit values biased toward the interesting ones (small, -1, bounds, extremes).
std::int32_t RandomValue(std::mt19937& rng);

// An open 54 x 54 map installed as the map model, and a clean world (countries 0..13 with turn
// order = index, all destroyed and at peace).
class TTestMap {
 public:
  TTestMap();
  ~TTestMap();
  TTestMap(const TTestMap&) = delete;
  TTestMap& operator=(const TTestMap&) = delete;
  TQvMap map;
};

}  // namespace vdmq::test
