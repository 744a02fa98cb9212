#include "support/World.h"

namespace vdmq::test {

void SetUpTestCatalogue() {
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  struct Hull {
    int hp, step, cg, work, cls;
  };
  const Hull hulls[] = {
      {100, 10, 11, 40, 1}, {50, 6, 12, 20, 2}, {120, 9, 13, 30, 4}, {80, 12, 14, 10, 8}, {200, 0, 15, 50, 16}};
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

TShipData MakeShip(int hull, int hp) { return TShipData{{hull, 0, -1, 0, -1}, hp}; }

TShipData EmptyShip() { return TShipData{{-1, -1, -1, -1, -1}, 0}; }

void ResetWorld() {
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

void PlacePlanet(int planet, int x, int y, int owner) {
  PlanetData[planet].X = x;
  PlanetData[planet].Y = y;
  PlanetData[planet].Belong = owner;
}

void MakeCapital(int country, int planet, int x, int y) {
  PlacePlanet(planet, x, y, country);
  CountryData[country].Capital = planet;
}

void MakeFleet(int country, int fleet, int cmd, int x, int y, int hull) {
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

void RandomBytes(void* p, std::size_t n, std::mt19937& rng) {
  auto* b = static_cast<unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(rng() & 0xFF);
}

std::int32_t RandomValue(std::mt19937& rng) {
  switch (rng() % 6) {
    case 0: return static_cast<std::int32_t>(rng() % 140) - 20;
    case 1: return -1;
    case 2: return static_cast<std::int32_t>(rng());
    case 3: return (rng() & 1) ? INT32_MAX : INT32_MIN;
    case 4: return static_cast<std::int32_t>(rng() % 60);
    default: return static_cast<std::int32_t>(rng() % 14);
  }
}

TTestMap::TTestMap() {
  ResetWorld();
  map.ClearMap();
  QvMap = &map;
}

TTestMap::~TTestMap() { QvMap = nullptr; }

}  // namespace vdmq::test
