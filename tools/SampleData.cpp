#include "tools/SampleData.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <random>
#include <utility>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Tec.h"
#include "tools/Generator.h"
#include "tools/Noise.h"
#include "tools/OutputFile.h"

namespace vdmq::sample {

namespace {

// A deterministic generator: the Mersenne twister's output sequence is fixed by the language, and
// only its raw output is used (the library's distributions may differ between implementations).
// Every draw is a statement of its own, its value kept in a local: the arguments of one call are
// evaluated in an unspecified order, and every compiler must produce the same data set.
class TRng {
 public:
  explicit TRng(std::uint32_t seed) : g_(seed) {}
  int Below(int n) { return static_cast<int>(g_() % static_cast<std::uint32_t>(n)); }
  int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }

 private:
  std::mt19937 g_;
};

constexpr std::uint32_t kWorldSeed = 4032;
constexpr std::uint32_t kMapSeed = 5401;

// ---------------------------------------------------------------------------------------------
// Parts catalogue
// ---------------------------------------------------------------------------------------------

constexpr int kClassLD = kFrameClassLaserDestroyer;
constexpr int kClassMD = kFrameClassMissileDestroyer;
constexpr int kClassLC = kFrameClassLaserCruiser;
constexpr int kClassMC = kFrameClassMissileCruiser;
constexpr int kClassSat = kFrameClassSatellite;
constexpr int kShipClasses = kClassLD | kClassMD | kClassLC | kClassMC;

void NoTech(TPartsData* p) {
  for (auto& t : p->TecLev) t = -1;
}

void ClearCatalogue() {
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  for (int i = 0; i < kFrameCount; ++i) {
    FrameData[i].Parts.NameNum = i;
    FrameData[i].Parts.Type = kPartsTypeHull;
    NoTech(&FrameData[i].Parts);
  }
  for (int i = 0; i < kWeaponCount; ++i) {
    WeaponData[i].Parts.NameNum = i;
    NoTech(&WeaponData[i].Parts);
  }
  for (int i = 0; i < kEngineCount; ++i) {
    EngineData[i].Parts.NameNum = i;
    EngineData[i].Parts.Type = kPartsTypeEngine;
    NoTech(&EngineData[i].Parts);
  }
  for (int i = 0; i < kShieldCount; ++i) {
    ShieldData[i].Parts.NameNum = i;
    ShieldData[i].Parts.Type = kPartsTypeShield;
    NoTech(&ShieldData[i].Parts);
  }
}

// A warship hull of a tier: cruisers are sturdy and slow, destroyers light and quick.
void SetShipHull(int h, int cls, int tier, int cg, bool enabled) {
  const bool big = cls == kClassLC || cls == kClassMC;
  TFrameData& f = FrameData[h];
  f.Enabled = enabled ? 1 : 0;
  f.Body.Hp = (big ? 700 : 380) + tier * (big ? 260 : 140);
  f.Body.Def = 150 + 40 * tier + (big ? 60 : 0);
  f.MoveStep = std::min(8, (big ? 5 : 7) + (tier >= 3 ? 1 : 0));
  f.Parts.Cg = cg;
  f.Parts.Price = f.Body.Hp * 6 / 10 + f.Body.Def / 2;
  f.Parts.BuildWork = f.Parts.Price / 7;
  f.Parts.FitMask = cls;
  f.Class = cls;
  f.Parts.TecLev[0] = 2 * tier - 1;
}

void BuildCatalogue() {
  ClearCatalogue();
  // The Federation's line: three tiers in the cycle laser cruiser, laser destroyer, missile
  // destroyer, missile cruiser; then tiers 4 to 6.
  const int cycle[4] = {kClassLC, kClassLD, kClassMD, kClassMC};
  for (int h = 0; h < 12; ++h) SetShipHull(h, cycle[h % 4], 1 + h / 4, h, true);
  const int late[7][3] = {{kClassLC, 4, 13}, {kClassMC, 4, 14}, {kClassLD, 4, 15}, {kClassMD, 4, 16},
                          {kClassLC, 5, 17}, {kClassMC, 5, 13}, {kClassLC, 6, 0}};
  for (int i = 0; i < 7; ++i) SetShipHull(13 + i, late[i][0], late[i][1], late[i][2], true);
  // Country 10's saucer and the foreign hulls: used by the computer players, not offered to the
  // player (disabled).
  SetShipHull(12, kClassLC, 4, 12, false);
  const int foreign[12][3] = {{kClassLD, 2, 5},  {kClassMD, 2, 6},  {kClassLD, 3, 7},  {kClassMD, 3, 8},
                              {kClassLC, 3, 9},  {kClassMC, 3, 10}, {kClassLC, 4, 11}, {kClassMC, 4, 14},
                              {kClassMC, 5, 15}, {kClassLC, 5, 16}, {kClassMD, 4, 17}, {kClassLD, 4, 5}};
  for (int i = 0; i < 12; ++i) SetShipHull(20 + i, foreign[i][0], foreign[i][1], foreign[i][2], false);
  // Hulls 32..49 have no name: disabled and empty. Satellites 50..59, the first five offered.
  for (int t = 0; t < 10; ++t) {
    TFrameData& f = FrameData[50 + t];
    f.Enabled = t < 5 ? 1 : 0;
    f.Body.Hp = 300 + 90 * t;
    f.Body.Def = 200 + 25 * t;
    f.MoveStep = 0;
    f.Parts.Cg = 50 + t == 58 ? 12 : 18 + t % 4;
    f.Parts.Price = 200 + 60 * t;
    f.Parts.BuildWork = f.Parts.Price / 8;
    f.Parts.FitMask = kClassSat;
    f.Class = kClassSat;
    f.Parts.TecLev[0] = 1 + t;
  }

  // Weapons. Lasers (0..9) and missile mains (10..19) take slot 1; light missiles (20..29) and
  // torpedoes (30..39) slot 2. The seventh value is the missile's kind (0..3).
  struct W {
    int atk, range, charge, speed, guide, ammo, kind, mask, tec, lev, type;
  };
  auto put = [](int w, const W& v) {
    TWeaponData& d = WeaponData[w];
    d.Enabled = 1;
    d.Weapon = {v.atk, v.range, v.charge, v.speed, v.guide, v.ammo, v.kind};
    d.Parts.Cg = w;
    d.Parts.Price = v.atk * v.ammo * 2 + v.speed / 2;
    d.Parts.BuildWork = d.Parts.Price / 10;
    d.Parts.FitMask = v.mask;
    d.Parts.Type = v.type;
    d.Parts.TecLev[v.tec] = v.lev;
  };
  for (int i = 0; i < 10; ++i) {
    put(i, {40 + 12 * i, 18 + i / 2, 40 - i, 150 + 6 * i, 1 + i / 4, i < 5 ? 1 : 2, i < 5 ? 2 : 3,
            kClassLD | kClassLC | kClassSat, 1, 1 + 2 * i, 1});
    put(10 + i, {50 + 12 * i, 55 + i, 80 - 2 * i, 48 + 2 * i, 8 + i / 2, 2 + i / 4, i < 5 ? 0 : 1, kClassMD | kClassMC,
                 2, 1 + 2 * i, 1});
    put(20 + i,
        {20 + 6 * i, 45 + i, 60 - i, 55 + 2 * i, 10 + i / 2, 2 + i / 3, 0, kShipClasses | kClassSat, 2, 1 + 2 * i, 2});
    put(30 + i, {110 + 20 * i, 65 + i, 150 - 4 * i, 34 + i, 4 + i / 3, i < 6 ? 1 : 2, 1, kShipClasses, 2,
                 std::min(19, 2 + 2 * i), 2});
  }

  // Engines 0..11 for warships, thrusters 15..19 for satellites; 12..14 have no name.
  auto engine = [](int e, int speed, int turn, int mask, int lev) {
    TEngineData& d = EngineData[e];
    d.Enabled = 1;
    d.Engine = {speed, turn};
    d.Parts.Cg = e;
    d.Parts.Price = 4 * speed + 2 * turn;
    d.Parts.BuildWork = d.Parts.Price / 10;
    d.Parts.FitMask = mask;
    d.Parts.TecLev[4] = lev;
  };
  for (int i = 0; i < 12; ++i) engine(i, 40 + 4 * i, 25 + 3 * i, kShipClasses, std::min(10, 1 + i));
  for (int k = 0; k < 5; ++k) engine(15 + k, 5 + k, 30 + 5 * k, kClassSat, 1 + 2 * k);

  for (int i = 0; i < kShieldCount; ++i) {
    TShieldData& d = ShieldData[i];
    d.Enabled = 1;
    d.Shield = {150 + 80 * i, 300 + 30 * i, 60 + 5 * i, 320 - 12 * i};
    d.Parts.Cg = i;
    d.Parts.Price = d.Shield.Hp * 7 / 10 + d.Shield.Def / 5;
    d.Parts.BuildWork = d.Parts.Price / 10;
    d.Parts.FitMask = kShipClasses | kClassSat;
    d.Parts.TecLev[3] = 1 + i;
  }
}

// ---------------------------------------------------------------------------------------------
// Technologies
// ---------------------------------------------------------------------------------------------

void BuildTec() {
  // Level-up costs: cost[l] for 1 <= l < maximum, everything else 0.
  const int base[kTecCount] = {400, 300, 300, 350, 350};
  const int step[kTecCount] = {200, 150, 150, 175, 175};
  for (int t = 0; t < kTecCount; ++t) {
    TTecData& d = TecData[t];
    std::fill(std::begin(d.LevUpFund), std::end(d.LevUpFund), 0);
    for (int l = 1; l < GetTecMaxLev(t); ++l) d.LevUpFund[l] = base[t] + step[t] * (l - 1);
    d.Lev = 1;
    d.InvestFund = 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Countries
// ---------------------------------------------------------------------------------------------

struct TCountrySeed {
  int president, capital, stdFund, fund;
};
// Countries 0..13; turn order = index. 12 and 13 are gone (no capital, no planet).
constexpr TCountrySeed kCountries[kCountryCount] = {
    {6, 0, 800, 6000},   {1, 57, 500, 3000},  {15, 60, 600, 4000}, {7, 64, 500, 3500},  {9, 68, 450, 3000},
    {14, 72, 400, 3000}, {16, 76, 550, 4000}, {22, 3, 900, 8000},  {23, 80, 700, 5000}, {25, 58, 500, 2000},
    {26, 84, 600, 4500}, {27, 88, 400, 2000}, {37, -1, 0, 0},      {37, -1, 0, 0}};

// Countries that build ships (their computer designs are not empty).
constexpr int kBuilders[] = {2, 3, 4, 5, 6, 8, 10};

void BuildCountries() {
  for (int c = 0; c < kCountryCount; ++c) {
    TCountryData& d = CountryData[c];
    d.Name = c;
    d.Turn = c;
    d.President = kCountries[c].president;
    d.StdFund = kCountries[c].stdFund;
    d.Fund = kCountries[c].fund;
    d.IncomeFund = 0;
    d.Capital = kCountries[c].capital;
  }
  std::memset(CountryRelation, 0, sizeof CountryRelation);
  CountryRelation[0][1] = kRelationAlly;
  CountryRelation[0][9] = kRelationAlly;
  CountryRelation[0][7] = kRelationWar;
  CountryRelation[7][9] = kRelationWar;
}

// ---------------------------------------------------------------------------------------------
// Planets
// ---------------------------------------------------------------------------------------------

struct TCell {
  int x, y;
};

// Planets whose places the story fixes: the front (0..9, 53, 55, 56) and the capitals. The
// Empire's fleets may jump to any planet of their own, so its nearest planet (1) lies some six
// turns from the Federation's capital; 1, 2 and 3 lie close together, and Arkas (55) near Garm.
constexpr std::pair<int, TCell> kAnchors[] = {
    {0, {9, 44}},   {53, {5, 37}},  {56, {15, 49}}, {1, {30, 28}},  {2, {36, 22}},  {3, {37, 16}},
    {4, {44, 19}},  {5, {32, 11}},  {6, {40, 9}},   {7, {44, 13}},  {8, {48, 16}},  {9, {52, 11}},
    {55, {40, 33}}, {58, {48, 41}}, {59, {51, 35}}, {57, {10, 10}}, {60, {27, 5}},  {64, {47, 7}},
    {68, {50, 22}}, {72, {45, 50}}, {76, {31, 49}}, {80, {22, 52}}, {84, {20, 17}}, {88, {4, 24}}};

// The routes of the war: the imperial fleets' way to the Federation's capital and to Arkas.
constexpr std::pair<int, int> kCorridors[] = {{3, 2}, {2, 1}, {1, 0}, {2, 55}, {3, 55}};

bool IsTheatre(int p) { return p <= 9 || p == 53 || p == 55 || p == 56; }

// A staircase path from a to b (both ends included), moving along the axis with more distance left.
std::vector<TCell> Staircase(TCell a, TCell b) {
  std::vector<TCell> out{a};
  TCell c = a;
  while (c.x != b.x || c.y != b.y) {
    const int dx = b.x - c.x, dy = b.y - c.y;
    if (std::abs(dx) >= std::abs(dy)) {
      c.x += dx > 0 ? 1 : -1;
    } else {
      c.y += dy > 0 ? 1 : -1;
    }
    out.push_back(c);
  }
  return out;
}

struct TPlacement {
  TCell pos[kPlanetCount];
  bool placed[kPlanetCount] = {};
  bool corridor[kMapSize][kMapSize] = {};
};

int Chebyshev(TCell a, TCell b) { return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y)); }

// A planet may stand on c: inside the map with a border of one cell, three cells (four in the
// theatre) from every other planet, and three cells from the war corridors.
bool CanPlace(const TPlacement& pl, int p, TCell c) {
  if (c.x < 1 || c.y < 1 || c.x > kMapSize - 2 || c.y > kMapSize - 2) return false;
  for (int q = 0; q < kPlanetCount; ++q) {
    if (!pl.placed[q]) continue;
    const int need = IsTheatre(p) || IsTheatre(q) ? 4 : 3;
    if (Chebyshev(pl.pos[q], c) < need) return false;
  }
  for (int y = std::max(0, c.y - 2); y <= std::min(kMapSize - 1, c.y + 2); ++y) {
    for (int x = std::max(0, c.x - 2); x <= std::min(kMapSize - 1, c.x + 2); ++x) {
      if (pl.corridor[y][x]) return false;
    }
  }
  return true;
}

void Place(TPlacement* pl, int p, TCell c) {
  pl->pos[p] = c;
  pl->placed[p] = true;
}

// Places p a few turns' travel from planet q (Manhattan 5..9, widening when crowded).
bool PlaceNear(TPlacement* pl, TRng* rng, int p, int q) {
  for (int reach = 9; reach <= 20; reach += 3) {
    for (int tries = 0; tries < 400; ++tries) {
      const int dx = rng->Range(-reach, reach);
      const int dy = rng->Range(-reach, reach);
      const TCell c{pl->pos[q].x + dx, pl->pos[q].y + dy};
      const int d = std::abs(c.x - pl->pos[q].x) + std::abs(c.y - pl->pos[q].y);
      if (d < 5 || d > reach) continue;
      if (CanPlace(*pl, p, c)) {
        Place(pl, p, c);
        return true;
      }
    }
  }
  return false;
}

// The planets of the route table, in route order (a route ends at kind -1).
std::vector<std::vector<int>> Routes() {
  std::vector<std::vector<int>> routes(1);
  for (const TFleetRootEntry& e : FleetRootTbl) {
    if (e.Kind == kFleetRootKindEnd) {
      routes.emplace_back();
    } else {
      routes.back().push_back(e.Planet);
    }
  }
  while (!routes.empty() && routes.back().empty()) routes.pop_back();
  return routes;
}

void PlacePlanets(TPlacement* pl, TRng* rng) {
  for (const auto& [p, c] : kAnchors) Place(pl, p, c);
  for (const auto& [a, b] : kCorridors) {
    for (TCell c : Staircase(pl->pos[a], pl->pos[b])) {
      pl->corridor[c.y][c.x] = true;
      if (c.x + 1 < kMapSize) pl->corridor[c.y][c.x + 1] = true;  // two cells wide
    }
  }
  // Route planets a few turns from their neighbours on the routes.
  const auto routes = Routes();
  for (bool changed = true; changed;) {
    changed = false;
    for (const auto& r : routes) {
      for (size_t i = 0; i + 1 < r.size(); ++i) {
        for (int dir = 0; dir < 2; ++dir) {
          const int from = dir == 0 ? r[i] : r[i + 1];
          const int to = dir == 0 ? r[i + 1] : r[i];
          if (pl->placed[from] && !pl->placed[to] && PlaceNear(pl, rng, to, from)) changed = true;
        }
      }
    }
  }
  // The rest anywhere (rejection sampling of a spaced set).
  for (int p = 0; p < kPlanetCount; ++p) {
    for (int tries = 0; !pl->placed[p] && tries < 20000; ++tries) {
      const int x = rng->Range(1, kMapSize - 2);
      const int y = rng->Range(1, kMapSize - 2);
      const TCell c{x, y};
      if (CanPlace(*pl, p, c)) Place(pl, p, c);
    }
  }
}

void BuildPlanets(TRng* rng) {
  TPlacement pl;
  PlacePlanets(&pl, rng);
  for (int p = 0; p < kPlanetCount; ++p) {
    TPlanetData& d = PlanetData[p];
    d.Name = p;
    d.X = pl.placed[p] ? pl.pos[p].x : -1;
    d.Y = pl.placed[p] ? pl.pos[p].y : -1;
    d.Cg = rng->Below(36);
    d.Belong = -1;
    d.IncomeFund = rng->Range(30, 100);
    d.Hokyuu = rng->Range(40, 80);
    for (TShipData& s : d.Sate) ClearShip(&s);
  }
  // Owners: the Federation, the Empire, Elysion; every other living country takes up to three
  // free planets (not on a route) near its capital.
  for (int p : {0, 53, 56}) PlanetData[p].Belong = 0;
  for (int p = 1; p <= 8; ++p) PlanetData[p].Belong = 7;
  for (int p : {55, 58, 59}) PlanetData[p].Belong = 9;
  for (int c = 0; c < kCountryCount; ++c) {
    const int cap = kCountries[c].capital;
    if (cap < 0) continue;
    PlanetData[cap].Belong = c;
    if (c == 0 || c == 7 || c == 9) continue;
    int taken = 0;
    for (int p = 57; p < kPlanetCount && taken < (c == 1 || c == 11 ? 2 : 3); ++p) {
      if (PlanetData[p].Belong != -1 || !pl.placed[p]) continue;
      bool anchor = false;
      for (const auto& a : kAnchors) anchor = anchor || a.first == p;
      if (anchor) continue;
      if (Chebyshev(pl.pos[p], pl.pos[cap]) > 10) continue;
      PlanetData[p].Belong = c;
      ++taken;
    }
  }
  for (int p = 0; p < kPlanetCount; ++p) {
    TPlanetData& d = PlanetData[p];
    if (d.Belong == -1) continue;
    const bool capital = kCountries[d.Belong].capital == p;
    d.IncomeFund = capital ? rng->Range(250, 300) : rng->Range(40, 150);
    d.Hokyuu = capital ? 200 : rng->Range(40, 100);
  }
  // Pictures the story names: the Federation's blue world, the imperial capital's red giant.
  PlanetData[0].Cg = 3;
  PlanetData[3].Cg = 12;
  PlanetData[55].Cg = 30;
}

// ---------------------------------------------------------------------------------------------
// Docks, fleets and commanders
// ---------------------------------------------------------------------------------------------

void BuildDocks() {
  for (int p = 0; p < kPlanetCount; ++p) {
    for (int k = 0; k < kPlanetDockCount; ++k) {
      DockData[p].Abt[k] = 0;
      ClearShip(&DockData[p].Ships[k]);
      DockData[p].Turn[k] = -1;
    }
  }
  auto docks = [](int p, int a, int b, int c) {
    DockData[p].Abt[0] = a;
    DockData[p].Abt[1] = b;
    DockData[p].Abt[2] = c;
  };
  docks(0, 40, 40, 30);
  docks(3, 50, 40, 40);
  docks(1, 30, 0, 0);
  docks(2, 30, 0, 0);
  for (int c : kBuilders) docks(kCountries[c].capital, 40, 30, 0);
}

void BuildFleets() {
  for (int c = 0; c < kCountryCount; ++c) {
    for (int f = 0; f < kFleetCount; ++f) {
      TFleetData& d = FleetData[c][f];
      d = TFleetData{};
      d.X = d.Y = d.TargetX = d.TargetY = d.AtkX = d.AtkY = -1;
      d.CanMove = d.Attack = d.CanWarpOut = 1;
      d.Root = -1;
      for (TShipData& s : d.Ships) ClearShip(&s);
      bool use = c == 0 || c == 7;
      for (int b : kBuilders) use = use || (b == c && f < 6);
      d.CanUse = use ? 1 : 0;
    }
  }
}

int ClassOfLevel(int lev) {
  if (lev >= 40) return 7;
  if (lev >= 30) return 6;
  if (lev >= 25) return 5;
  if (lev >= 20) return 4;
  if (lev >= 15) return 3;
  if (lev >= 10) return 2;
  if (lev >= 5) return 1;
  return 0;
}

// Faces of the commanders without a story role: the generic officers' pictures.
constexpr int kGenericFaceFirst = 30;
constexpr int kGenericFaceCount = 8;

void SetCmd(TRng* rng, int cmd, int country, int fleet, int cg, int lev) {
  TCmdData& d = CmdData[cmd];
  d.Name = cmd;
  d.Cg = cg;
  d.Belong = country;
  d.Exp = 0;
  d.Lev = lev;
  d.ClassName = ClassOfLevel(lev);
  d.UnderFleet = fleet;
  d.Fatigue = 0;
  d.Direct = rng->Range(30, 80);
  d.Mind = rng->Range(10, 40);
  d.AtkMod = rng->Range(70, 90);
  d.DefMod = rng->Range(70, 90);
  d.AtkModUp = rng->Range(1, 3);
  d.DefModUp = rng->Range(1, 3);
}

int GenericFace(TRng* rng) { return kGenericFaceFirst + rng->Below(kGenericFaceCount); }

void BuildCmds(TRng* rng) {
  // The Federation: the protagonist, the old admiral and the young captain lead fleets 0..2.
  SetCmd(rng, 0, 0, 0, 0, 10);
  SetCmd(rng, 1, 0, 1, 3, 16);
  SetCmd(rng, 2, 0, 2, 4, 6);
  const int federation[] = {4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (int i = 0; i < 9; ++i) {
    const int cmd = federation[i];
    const int lev = rng->Range(2, 9);
    const int face = GenericFace(rng);
    SetCmd(rng, cmd, 0, i < 5 ? 3 + i : -1, face, lev);
  }
  // Elysion's garrison commander at Arkas, who joins the Federation in the story.
  SetCmd(rng, 3, 9, -1, 5, 14);
  // The Empire: its marshal leads fleet 0.
  SetCmd(rng, 13, 7, 0, 24, 18);
  for (int cmd = 14; cmd <= 24; ++cmd) {
    const int lev = rng->Range(4, 12);
    const int face = GenericFace(rng);
    SetCmd(rng, cmd, 7, cmd <= 16 ? cmd - 13 : -1, face, lev);
  }
  // Eight officers for each other country; Ortensia's include its court.
  const int others[] = {1, 2, 3, 4, 5, 6, 8, 9, 10, 11};
  int cmd = 25;
  for (int c : others) {
    for (int i = 0; i < 8; ++i, ++cmd) {
      const int face = c == 2 && i < 4 ? 17 + i : GenericFace(rng);
      const int lev = rng->Range(1, 12);
      SetCmd(rng, cmd, c, -1, face, lev);
    }
  }
  for (; cmd < kCmdCount; ++cmd) {
    const int lev = rng->Range(1, 8);
    const int face = GenericFace(rng);
    SetCmd(rng, cmd, -1, -1, face, lev);
  }
}

// ---------------------------------------------------------------------------------------------
// Map
// ---------------------------------------------------------------------------------------------

using TGrid = std::array<std::array<std::uint8_t, kMapSize>, kMapSize>;

// Cells reachable from planet 0 through open chips (4-neighbour flood).
std::array<std::array<bool, kMapSize>, kMapSize> Reach(const TGrid& g) {
  std::array<std::array<bool, kMapSize>, kMapSize> seen{};
  std::deque<TCell> q{{PlanetData[0].X, PlanetData[0].Y}};
  seen[PlanetData[0].Y][PlanetData[0].X] = true;
  while (!q.empty()) {
    const TCell c = q.front();
    q.pop_front();
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      const int x = c.x + dx[d], y = c.y + dy[d];
      if (x < 0 || y < 0 || x >= kMapSize || y >= kMapSize || seen[y][x] || g[y][x] >= kChipObstacle) continue;
      seen[y][x] = true;
      q.push_back({x, y});
    }
  }
  return seen;
}

bool AllPlanetsReached(const TGrid& g) {
  const auto seen = Reach(g);
  for (int p = 0; p < kPlanetCount; ++p) {
    if (PlanetData[p].X >= 0 && !seen[PlanetData[p].Y][PlanetData[p].X]) return false;
  }
  return true;
}

}  // namespace

void BuildWorld() {
  TRng rng(kWorldSeed);
  BuildCatalogue();
  BuildTec();
  BuildCountries();
  BuildPlanets(&rng);
  BuildDocks();
  BuildFleets();
  BuildCmds(&rng);
}

namespace {

// Story places whose nearest field takes a group that suits them: the minefields that guard the
// imperial capital, the wrecks of the front and of Arkas's siege, and the sights near the capitals
// of the other countries.
constexpr std::pair<int, int> kFieldPlaces[] = {
    {3, kGroupMineField},    {2, kGroupWreckField},   {55, kGroupWreckField},    {1, kGroupIonStorm},
    {0, kGroupStarCorona},   {84, kGroupCrystalReef}, {64, kGroupRadiationBelt}, {88, kGroupCometIce},
    {60, kGroupGravityWell}, {72, kGroupIonStorm},    {80, kGroupRadiationBelt}, {76, kGroupGravityWell},
};
// A field takes a place's group only when it comes this close (Chebyshev cells).
constexpr int kFieldPlaceReach = 7;

constexpr std::uint32_t kTerrainSeed = 0x7E44A1u;

// A member 0..3 of a chip group for a cell, from a hash of the cell (the map's generator is left
// alone, so the obstacle layout does not depend on the pictures' variety).
int Variant(int x, int y, std::uint32_t salt) {
  return static_cast<int>(raster::HashCombine(raster::HashCombine(kTerrainSeed ^ salt, x), y) % kChipGroupSize);
}

std::uint8_t ChipOf(int group, int x, int y) {
  return static_cast<std::uint8_t>(FirstChip(group) + Variant(x, y, static_cast<std::uint32_t>(group)));
}

// Navigable terrain: open space with patches of dust, nebulae and ice grains.
int OpenGroup(int x, int y) {
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  if (raster::ValueNoise(fx / 6.0f, fy / 6.0f, kTerrainSeed + 1) > 0.72f) {
    return raster::ValueNoise(fx / 11.0f, fy / 11.0f, kTerrainSeed + 2) < 0.5f ? kGroupBlueNebula : kGroupVioletNebula;
  }
  if (raster::ValueNoise(fx / 4.0f, fy / 4.0f, kTerrainSeed + 3) > 0.78f) return kGroupDust;
  if (raster::ValueNoise(fx / 5.0f, fy / 5.0f, kTerrainSeed + 4) > 0.82f) return kGroupIceGrains;
  return kGroupOpenSpace;
}

}  // namespace

void BuildMap(TQvMap* map) {
  TRng rng(kMapSeed);
  TGrid g{};
  // Protected cells: every planet with its eight neighbours, and the war corridors.
  std::array<std::array<bool, kMapSize>, kMapSize> keep{};
  for (int p = 0; p < kPlanetCount; ++p) {
    const TPlanetData& d = PlanetData[p];
    if (d.X < 0) continue;
    for (int y = d.Y - 1; y <= d.Y + 1; ++y) {
      for (int x = d.X - 1; x <= d.X + 1; ++x) {
        if (TQvMap::ChkInMap(x, y)) keep[y][x] = true;
      }
    }
  }
  for (const auto& [a, b] : kCorridors) {
    for (TCell c : Staircase({PlanetData[a].X, PlanetData[a].Y}, {PlanetData[b].X, PlanetData[b].Y})) {
      keep[c.y][c.x] = true;
      if (c.x + 1 < kMapSize) keep[c.y][c.x + 1] = true;
    }
  }
  // Asteroid fields and dark clouds grown by random walks, each kept only when every planet can
  // still be reached; about a fifth of the map. field[y][x] numbers the field of an obstacle cell
  // from 1; fieldGroup[f - 1] is its chip group.
  std::array<std::array<int, kMapSize>, kMapSize> field{};
  std::vector<int> fieldGroup;
  const int target = kMapCells / 5;
  int blocked = 0;
  for (int attempt = 0; attempt < 4000 && blocked < target; ++attempt) {
    TGrid trial = g;
    const int group = rng.Below(3) == 0 ? kGroupDarkCloud : kGroupDenseAsteroids;
    const int x = rng.Below(kMapSize);
    const int y = rng.Below(kMapSize);
    TCell c{x, y};
    const int size = rng.Range(6, 28);
    std::vector<TCell> added;
    for (int i = 0; i < size * 3 && static_cast<int>(added.size()) < size; ++i) {
      if (!keep[c.y][c.x] && trial[c.y][c.x] < kChipObstacle) {
        trial[c.y][c.x] = kChipObstacle;
        added.push_back(c);
      }
      const int d = rng.Below(4);
      const int nx = c.x + (d == 2) - (d == 3), ny = c.y + (d == 1) - (d == 0);
      if (TQvMap::ChkInMap(nx, ny)) c = {nx, ny};
    }
    if (added.empty() || !AllPlanetsReached(trial)) continue;
    g = trial;
    blocked += static_cast<int>(added.size());
    fieldGroup.push_back(group);
    for (TCell a : added) field[a.y][a.x] = static_cast<int>(fieldGroup.size());
  }
  // Open pockets that no fleet can reach become part of the fields around them: a breadth-first
  // spread from the fields through the pockets.
  const auto seen = Reach(g);
  std::deque<TCell> spread;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      if (field[y][x] != 0) spread.push_back({x, y});
    }
  }
  while (!spread.empty()) {
    const TCell c = spread.front();
    spread.pop_front();
    const int dx[4] = {0, 0, 1, -1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      const int x = c.x + dx[d], y = c.y + dy[d];
      if (!TQvMap::ChkInMap(x, y) || seen[y][x] || field[y][x] != 0) continue;
      g[y][x] = kChipObstacle;
      field[y][x] = field[c.y][c.x];
      spread.push_back({x, y});
    }
  }
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      if (seen[y][x] || field[y][x] != 0) continue;
      // A pocket with no field next to it (it never happens on this map): asteroids of its own.
      fieldGroup.push_back(kGroupDenseAsteroids);
      field[y][x] = static_cast<int>(fieldGroup.size());
    }
  }
  // The story's places: the nearest field within reach takes the place's group.
  std::vector<bool> placed(fieldGroup.size(), false);
  for (const auto& [planet, group] : kFieldPlaces) {
    const TCell at{PlanetData[planet].X, PlanetData[planet].Y};
    if (at.x < 0) continue;
    int best = 0, bestDistance = kFieldPlaceReach + 1;
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        const int f = field[y][x];
        if (f == 0 || placed[f - 1]) continue;
        const int distance = Chebyshev(at, {x, y});
        if (distance < bestDistance) {
          best = f;
          bestDistance = distance;
        }
      }
    }
    if (best == 0) continue;
    placed[best - 1] = true;
    fieldGroup[best - 1] = group;
  }
  map->ClearMap();
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const bool planet = [&] {
        for (const TPlanetData& d : PlanetData) {
          if (d.X == x && d.Y == y) return true;
        }
        return false;
      }();
      const int group = field[y][x] != 0 ? fieldGroup[field[y][x] - 1] : planet ? kGroupOpenSpace : OpenGroup(x, y);
      map->SetChip(x, y, ChipOf(group, x, y));
    }
  }
}

namespace {

// One block of values taken from the world tables, written as the keyed file stores it.
template <typename T>
void Block(TDatFile* fp, const char* key, const char* type, std::uint32_t count, const std::vector<T>& values) {
  WriteKey(fp, key, type, count);
  if (!values.empty()) ReadWriteData(kSaveModeWrite, const_cast<T*>(values.data()), sizeof(T), values.size(), fp);
}

template <typename Rec, size_t N, typename Get>
std::vector<std::int32_t> Ints(const Rec (&table)[N], Get get) {
  std::vector<std::int32_t> v;
  for (const Rec& r : table) get(r, &v);
  return v;
}

void PartsHead(const TPartsData& p, std::vector<std::int32_t>* v) {
  v->insert(v->end(), {p.NameNum, p.Cg, p.Price, p.BuildWork, p.FitMask, p.Type});
  v->insert(v->end(), std::begin(p.TecLev), std::end(p.TecLev));
}

template <typename Rec, size_t N>
std::vector<std::uint8_t> Enabled(const Rec (&table)[N]) {
  std::vector<std::uint8_t> v;
  for (const Rec& r : table) v.push_back(r.Enabled != 0 ? 1 : 0);
  return v;
}

}  // namespace

void WriteInitBlocks(TDatFile* fp) {
  std::vector<std::int32_t> tec;
  for (const TTecData& t : TecData) tec.insert(tec.end(), std::begin(t.LevUpFund), std::end(t.LevUpFund));
  Block(fp, "TEC_LEV_UP_FUND", "int", kTecCount * kTecLevCount, tec);

  auto country = [&](const char* key, std::int32_t TCountryData::*field) {
    Block(fp, key, "int", kCountryCount,
          Ints(CountryData, [&](const TCountryData& c, auto* v) { v->push_back(c.*field); }));
  };
  country("COUNTRY_NAME", &TCountryData::Name);
  country("COUNTRY_TURN", &TCountryData::Turn);
  country("COUNTRY_PRESIDENT", &TCountryData::President);
  country("COUNTRY_CAPITAL", &TCountryData::Capital);
  country("COUNTRY_STD_FUND", &TCountryData::StdFund);
  country("COUNTRY_FUND", &TCountryData::Fund);
  country("COUNTRY_INCOME_FUND", &TCountryData::IncomeFund);
  std::vector<std::int8_t> rel(&CountryRelation[0][0], &CountryRelation[0][0] + kCountryCount * kCountryCount);
  Block(fp, "COUNTRY_RELATION", "char", kCountryCount * kCountryCount, rel);

  auto planet = [&](const char* key, std::int32_t TPlanetData::*field) {
    Block(fp, key, "int", kPlanetCount,
          Ints(PlanetData, [&](const TPlanetData& p, auto* v) { v->push_back(p.*field); }));
  };
  planet("PLANET_BELONG", &TPlanetData::Belong);
  planet("PLANET_INCOME_FUND", &TPlanetData::IncomeFund);
  planet("PLANET_HOKYUU", &TPlanetData::Hokyuu);

  auto cmd = [&](const char* key, std::int32_t TCmdData::*field) {
    Block(fp, key, "int", kCmdCount, Ints(CmdData, [&](const TCmdData& c, auto* v) { v->push_back(c.*field); }));
  };
  cmd("CMD_NAME", &TCmdData::Name);
  cmd("CMD_CG", &TCmdData::Cg);
  cmd("CMD_ATK_MOD", &TCmdData::AtkMod);
  cmd("CMD_DEF_MOD", &TCmdData::DefMod);
  cmd("CMD_ATK_MOD_UP", &TCmdData::AtkModUp);
  cmd("CMD_DEF_MOD_UP", &TCmdData::DefModUp);
  cmd("CMD_DIRECT", &TCmdData::Direct);
  cmd("CMD_MIND", &TCmdData::Mind);
  cmd("CMD_BELONG", &TCmdData::Belong);
  cmd("CMD_EXP", &TCmdData::Exp);
  cmd("CMD_LEV", &TCmdData::Lev);
  cmd("CMD_CLASS_NAME", &TCmdData::ClassName);
  cmd("CMD_UNDER_FLEET", &TCmdData::UnderFleet);
  cmd("CMD_FATIGUE", &TCmdData::Fatigue);

  std::vector<std::uint8_t> canUse;
  for (const auto& row : FleetData) {
    for (const TFleetData& f : row) canUse.push_back(f.CanUse != 0 ? 1 : 0);
  }
  Block(fp, "FLEET_CAN_USE", "bool", kCountryCount * kFleetCount, canUse);

  std::vector<std::int32_t> abt;
  for (const TDockData& d : DockData) abt.insert(abt.end(), std::begin(d.Abt), std::end(d.Abt));
  Block(fp, "DOCK_ABT", "int", kPlanetCount * kPlanetDockCount, abt);

  Block(fp, "FRAME_PARTS", "int", kFrameCount * 11,
        Ints(FrameData, [](const TFrameData& f, auto* v) { PartsHead(f.Parts, v); }));
  Block(fp, "FRAME_BODY", "int", kFrameCount * 2, Ints(FrameData, [](const TFrameData& f, auto* v) {
          v->insert(v->end(), {f.Body.Hp, f.Body.Def});
        }));
  Block(fp, "FRAME_MOVE_STEP", "int", kFrameCount,
        Ints(FrameData, [](const TFrameData& f, auto* v) { v->push_back(f.MoveStep); }));
  Block(fp, "WEAPON_PARTS", "int", kWeaponCount * 11,
        Ints(WeaponData, [](const TWeaponData& w, auto* v) { PartsHead(w.Parts, v); }));
  Block(fp, "WEAPON_WEAPON", "int", kWeaponCount * 7, Ints(WeaponData, [](const TWeaponData& w, auto* v) {
          const TWeaponBody& b = w.Weapon;
          v->insert(v->end(), {b.Atk, b.Range, b.Charge, b.Speed, b.Guide, b.Ammo, b.Data6});
        }));
  Block(fp, "ENGINE_PARTS", "int", kEngineCount * 11,
        Ints(EngineData, [](const TEngineData& e, auto* v) { PartsHead(e.Parts, v); }));
  Block(fp, "ENGINE_ENGINE", "int", kEngineCount * 2, Ints(EngineData, [](const TEngineData& e, auto* v) {
          v->insert(v->end(), {e.Engine.Speed, e.Engine.Turn});
        }));
  Block(fp, "SHIELD_PARTS", "int", kShieldCount * 11,
        Ints(ShieldData, [](const TShieldData& s, auto* v) { PartsHead(s.Parts, v); }));
  Block(fp, "SHIELD_SHIELD", "int", kShieldCount * 4, Ints(ShieldData, [](const TShieldData& s, auto* v) {
          const TShieldBody& b = s.Shield;
          v->insert(v->end(), {b.Hp, b.Def, b.DeployTime, b.Charge});
        }));
  Block(fp, "FRAME_ENABLED", "bool", kFrameCount, Enabled(FrameData));
  Block(fp, "WEAPON_ENABLED", "bool", kWeaponCount, Enabled(WeaponData));
  Block(fp, "ENGINE_ENABLED", "bool", kEngineCount, Enabled(EngineData));
  Block(fp, "SHIELD_ENABLED", "bool", kShieldCount, Enabled(ShieldData));
}

namespace {

// The help document the help button shows (the help viewer opens q_help.html for q_help.hlp).
constexpr const char* kHelpDocument = R"(<!DOCTYPE html>
<html lang="ja">
<head><meta charset="utf-8"><title>Veldmark Q - Help</title></head>
<body>
<h1>Veldmark Q (trial edition)</h1>
<p>You lead one country of the star map. Each turn you order your fleets, build ships and invest in
technology; then the computer countries take their turns and the date moves on by one period.</p>
<h2>Starting</h2>
<p>The save/load screen opens at start. Choose a saved game and press OK to go on with it, or press
New Game to start from the beginning.</p>
<h2>The map</h2>
<ul>
<li>Move the mouse over the map to point at a cell; a left click centres the map on it and selects
the planet or fleet there.</li>
<li>Press the right button near an edge of the map to scroll one step that way; a right click also
cancels an order you have started.</li>
<li>Click or drag on the minimap at the bottom right to look at another part of the map.</li>
</ul>
<h2>The command bar</h2>
<ul>
<li>Shipbuilding, Technology, Fleets and Bases open the screens of your country.</li>
<li>System holds the options, saving, loading and quitting.</li>
<li>Turn End ends your turn (it asks first while the turn-end question is switched on).</li>
<li>Help shows this page.</li>
</ul>
<h2>Quitting</h2>
<p>Close the main window and confirm the question to end the game.</p>
</body>
</html>
)";

bool WriteText(const std::string& path, const char* text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const size_t size = std::strlen(text);
  const bool written = std::fwrite(text, 1, size, f) == size;
  return std::fclose(f) == 0 && written;
}

}  // namespace

std::vector<TSampleFile> SampleFiles(TQvMap* map) {
  auto keyed = [](std::function<void(TDatFile*)> body) {
    return [body](const std::string& path) {
      TDatFile fp(path, "wb");
      if (!fp.IsOpen()) return false;
      body(&fp);
      return fp.Close() && !fp.HasError();
    };
  };
  return {
      {"dat/INIT.DAT", keyed([](TDatFile* fp) { WriteInitBlocks(fp); })},
      // The map model writes its chips, then the planets' positions and pictures.
      {"dat/MAP00.DAT", keyed([map](TDatFile* fp) { map->SaveLoadMap(fp, kSaveModeWrite); })},
      {"q_help.html", [](const std::string& path) { return WriteText(path, kHelpDocument); }},
  };
}

std::vector<std::string> SampleFolders() { return {"dat", "save"}; }

bool RunWorldStage(TGeneration& generation) {
  namespace fs = std::filesystem;
  TQvMap& map = generation.Map();
  for (const std::string& sub : SampleFolders()) {
    const std::string path = generation.GamePath(sub);
    std::error_code ec;
    fs::create_directories(path, ec);
    if (!fs::is_directory(path)) return generation.Fail(path, ec ? ec.message() : "not a folder");
  }
  for (const TSampleFile& f : SampleFiles(&map)) {
    std::string error;
    if (!raster::ReplaceFile(generation.GamePath(f.path), f.write, &error)) return generation.Report(error);
  }
  return true;
}

}  // namespace vdmq::sample
