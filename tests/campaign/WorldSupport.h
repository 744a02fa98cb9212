#pragma once
// Test helpers for the world tables: a clean world with a small parts catalogue, ship records,
// random table contents, and a game host that records what the world model asks of the screens.
// Header-only, so only the tests that include it depend on it.

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
#include "campaign/GameHost.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"

namespace vdmq::test {

// Hulls of the test catalogue: hull 0 (durability 100, move step 10, picture 11), hull 1 (50, 6,
// picture 12), hull 2 (120, 9), hull 3 (80, 12), hull 4 a satellite (200, 0). Weapon 0 (type 1)
// and engine 0 fit every hull. Build work: hull 0 40, hull 1 20, weapon 0 15, engine 0 6.
inline void SetUpTestCatalogue() {
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  struct Hull {
    int hp, step, cg, work, cls;
  };
  const Hull hulls[] = {{100, 10, 11, 40, 1}, {50, 6, 12, 20, 2}, {120, 9, 13, 30, 4}, {80, 12, 14, 10, 8},
                        {200, 0, 15, 50, 16}};
  for (int h = 0; h < 5; ++h) {
    TFrameData& f = FrameData[h];
    f.Enabled = 1;
    f.Parts.Cg = hulls[h].cg;
    f.Parts.Price = 100;
    f.Parts.BuildWork = hulls[h].work;
    f.Parts.FitMask = hulls[h].cls;
    f.Class = hulls[h].cls;
    f.Body = {hulls[h].hp, 5};
    f.MoveStep = hulls[h].step;
    for (auto& t : f.Parts.TecLev) t = -1;
  }
  WeaponData[0].Enabled = 1;
  WeaponData[0].Parts.Type = 1;
  WeaponData[0].Parts.FitMask = 0xFF;
  WeaponData[0].Parts.BuildWork = 15;
  EngineData[0].Enabled = 1;
  EngineData[0].Parts.FitMask = 0xFF;
  EngineData[0].Parts.BuildWork = 6;
}

// A valid ship of the test catalogue: hull, weapon 0, engine 0, durability hp.
inline TShipData MakeShip(int hull, int hp) { return TShipData{{hull, 0, -1, 0, -1}, hp}; }

inline TShipData EmptyShip() { return TShipData{{-1, -1, -1, -1, -1}, 0}; }

// Every world table empty: fleets off the map without ships or flags, planets off the map and
// unowned, docks absent, commanders without country or fleet (level 1), countries destroyed and
// at peace, a new story, the test catalogue.
inline void ResetWorld() {
  SetUpTestCatalogue();
  for (auto& row : FleetData) {
    for (TFleetData& f : row) {
      f = TFleetData{};
      f.X = f.Y = f.TargetX = f.TargetY = f.AtkX = f.AtkY = -1;
      f.Root = -1;
      for (TShipData& s : f.Ships) s = EmptyShip();
    }
  }
  for (int i = 0; i < kPlanetCount; ++i) {
    TPlanetData& p = PlanetData[i];
    p = TPlanetData{};
    p.Name = i;
    p.Belong = -1;
    p.X = p.Y = -1;
    for (TShipData& s : p.Sate) s = EmptyShip();
  }
  for (TDockData& d : DockData) {
    d = TDockData{};
    for (int i = 0; i < kPlanetDockCount; ++i) {
      d.Turn[i] = -1;
      d.Ships[i] = EmptyShip();
    }
  }
  for (int i = 0; i < kCmdCount; ++i) {
    CmdData[i] = TCmdData{};
    CmdData[i].Name = i;
    CmdData[i].Belong = -1;
    CmdData[i].UnderFleet = -1;
    CmdData[i].Lev = 1;
  }
  for (int c = 0; c < kCountryCount; ++c) {
    CountryData[c] = TCountryData{};
    CountryData[c].Turn = c;
    CountryData[c].Capital = -1;
  }
  std::memset(CountryRelation, 0, sizeof CountryRelation);
  StoryData = TStoryData{};
  StoryData.Century = 4032;
  StoryData.Month = 1;
  StoryData.Fukukan = 2;
  GameOverFlag = 0;
  EventSelect = 0;
  MakeFleetRootTablePtr();
}

// Puts a planet on the map at (x, y), owned by a country (-1 none).
inline void PlacePlanet(int planet, int x, int y, int owner) {
  PlanetData[planet].X = x;
  PlanetData[planet].Y = y;
  PlanetData[planet].Belong = owner;
}

// Makes the planet the country's capital (placed and owned).
inline void MakeCapital(int country, int planet, int x, int y) {
  PlacePlanet(planet, x, y, country);
  CountryData[country].Capital = planet;
}

// A usable fleet with one ship in slot 0 under the commander, standing at (x, y).
inline void MakeFleet(int country, int fleet, int cmd, int x, int y, int hull = 0) {
  TFleetData& f = FleetData[country][fleet];
  f.CanUse = 1;
  f.CanMove = 1;
  f.Ships[0] = MakeShip(hull, 10);
  f.X = x;
  f.Y = y;
  if (cmd >= 0) {
    CmdData[cmd].Belong = country;
    CmdData[cmd].UnderFleet = fleet;
  }
}

// Fills memory with random bytes (a damaged file's worth of values).
inline void RandomBytes(void* p, std::size_t n, std::mt19937& rng) {
  auto* b = static_cast<unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(rng() & 0xFF);
}

// Random 32-bit values biased toward the interesting ones (small, -1, bounds, extremes).
inline std::int32_t RandomValue(std::mt19937& rng) {
  switch (rng() % 6) {
    case 0:
      return static_cast<std::int32_t>(rng() % 140) - 20;
    case 1:
      return -1;
    case 2:
      return static_cast<std::int32_t>(rng());
    case 3:
      return (rng() & 1) ? INT32_MAX : INT32_MIN;
    case 4:
      return static_cast<std::int32_t>(rng() % 60);
    default:
      return static_cast<std::int32_t>(rng() % 14);
  }
}

// A game host that records the world model's calls into the screens.
struct TMapOp {
  int layer, mapX, mapY, dx, dy, drawMode, sheet, frame;
  bool operator==(const TMapOp&) const = default;
};

class TRecordingWorldHost : public TGameHost {
 public:
  TRecordingWorldHost() { SetGameHost(this); }
  ~TRecordingWorldHost() override { SetGameHost(nullptr); }
  TRecordingWorldHost(const TRecordingWorldHost&) = delete;
  TRecordingWorldHost& operator=(const TRecordingWorldHost&) = delete;

  void Sleep(int ms) override { sleeps.push_back(ms); }
  void AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) override {
    ops.push_back({layer, mapX, mapY, dx, dy, drawMode, sheet, frame});
  }
  void DrawMap() override { ++draws; }
  void SetMapCenterPlanet(int planet) override { centred.push_back(planet); }
  void ShowYearCaption(const std::string& text) override { yearCaptions.push_back(text); }
  void ShowFundCaption(const std::string& text) override { fundCaptions.push_back(text); }
  void PlayAvi(int kind, int number) override { movies.push_back({kind, number}); }

  std::vector<int> sleeps;
  std::vector<TMapOp> ops;
  int draws = 0;
  std::vector<int> centred;
  std::vector<std::string> yearCaptions;
  std::vector<std::string> fundCaptions;
  std::vector<std::pair<int, int>> movies;
};

}  // namespace vdmq::test
