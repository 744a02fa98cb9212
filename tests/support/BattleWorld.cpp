#include "support/BattleWorld.h"

#include <cstring>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"
#include "platform/base/StdRandom.h"

namespace vdmq::bttest {

// ---- the world ----

namespace {
void SetPartsHead(TPartsData& p, int cg) {
  std::memset(&p, 0, sizeof p);
  p.Cg = cg;
  p.FitMask = 31;
  for (int& t : p.TecLev) t = -1;
}
}  // namespace

void ResetWorld() {
  for (auto& row : FleetData) {
    for (TFleetData& f : row) {
      std::memset(&f, 0, sizeof f);
      f.X = f.Y = f.TargetX = f.TargetY = f.AtkX = f.AtkY = -1;
      f.CanUse = f.CanMove = f.Attack = f.CanWarpOut = 1;
      f.Root = -1;
      for (TShipData& sh : f.Ships) ClearShip(&sh);
    }
  }
  for (int p = 0; p < kPlanetCount; ++p) {
    TPlanetData& d = PlanetData[p];
    std::memset(&d, 0, sizeof d);
    d.Name = p;
    d.Belong = -1;
    d.X = d.Y = -1;
    for (TShipData& sh : d.Sate) ClearShip(&sh);
  }
  for (TCmdData& c : CmdData) {
    std::memset(&c, 0, sizeof c);
    c.Name = -1;
    c.Belong = -1;
    c.UnderFleet = -1;
    c.Lev = 1;
  }
  std::memset(&StoryData, 0, sizeof StoryData);
  StoryData.Century = kStoryStartYear;
  StoryData.Month = 1;
  StoryData.Fukukan = 2;
  std::memset(FrameData, 0, sizeof FrameData);
  std::memset(WeaponData, 0, sizeof WeaponData);
  std::memset(EngineData, 0, sizeof EngineData);
  std::memset(ShieldData, 0, sizeof ShieldData);
  auto hull = [](int i, int hp, int def, int cg, int cls) {
    FrameData[i].Enabled = 1;
    SetPartsHead(FrameData[i].Parts, cg);
    FrameData[i].Parts.FitMask = cls;
    FrameData[i].Body = {hp, def};
    FrameData[i].MoveStep = 5;
    FrameData[i].Class = cls;
  };
  hull(kHull, 100, 200, 0, 1);
  hull(kHullLight, 50, 0, 12, 1);
  hull(kHullSate, 80, 100, 30, 16);
  auto weapon = [](int i, int type, TWeaponBody w) {
    WeaponData[i].Enabled = 1;
    SetPartsHead(WeaponData[i].Parts, 0);
    WeaponData[i].Parts.Type = type;
    WeaponData[i].Weapon = w;
  };
  weapon(kWeapon1, 1, {20, 60, 10, 50, 6, 1, 0});
  weapon(kWeapon2, 2, {10, 40, 25, 40, 0, 3, 2});
  auto engine = [](int i, int speed, int turn) {
    EngineData[i].Enabled = 1;
    SetPartsHead(EngineData[i].Parts, 0);
    EngineData[i].Engine = {speed, turn};
  };
  engine(kEngine, 100, 50);
  engine(kEngineSlow, 60, 30);
  auto shield = [](int i, TShieldBody s) {
    ShieldData[i].Enabled = 1;
    SetPartsHead(ShieldData[i].Parts, 0);
    ShieldData[i].Shield = s;
  };
  shield(kShield, {10, 0, 5, 20});
  shield(1, {100, 300, 50, 0});
  for (int c = 0; c < kCountryCount; ++c) {
    std::memset(&CountryData[c], 0, sizeof CountryData[c]);
    CountryData[c].Turn = c;
    CountryData[c].Capital = -1;
  }
  BtInfo = TBtInfo{};
  StdSrand(1);
}

TShipData MakeShip(int hull, int w1, int w2, int engine, int shield) {
  TShipData s{{hull, w1, w2, engine, shield}, 0};
  s.Hp = GetShipMaxHp(&s);
  return s;
}

void PutFleetShip(int country, int fleet, int slot, const TShipData& ship) {
  SetFleetShip(country, fleet, slot, &ship);
}

void PutSate(int planet, int slot, const TShipData& ship) { SetPlanetSate(planet, slot, &ship); }

void PutCmd(int cmd, int country, int fleet, int atk, int def, int direct, int mind) {
  TCmdData& d = CmdData[cmd];
  d.Belong = country;
  d.UnderFleet = fleet;
  d.Lev = 1;
  d.Exp = 0;
  d.Fatigue = 0;
  d.AtkMod = atk;
  d.DefMod = def;
  d.AtkModUp = 0;
  d.DefModUp = 0;
  d.Direct = direct;
  d.Mind = mind;
}

void PutPlanet(int planet, int x, int y, int owner, bool capital) {
  SetPlanetXY(planet, x, y);
  SetPlanetBelong(planet, owner);
  if (capital) SetCountryCapital(owner, planet);
}

void SetChapter(int chapter) { SetStoryVar(0, chapter); }
void SetFlag(int n) { SetStoryFlag(n); }
int CmdExp(int cmd) { return GetCmdExp(cmd); }
int CmdLev(int cmd) { return GetCmdLev(cmd); }
int CmdFatigue(int cmd) { return GetCmdFatigue(cmd); }

int FleetShipHp(int country, int fleet, int slot) {
  return IsFleetShipValid(country, fleet, slot) ? GetShipHp(GetFleetShipPtr(country, fleet, slot)) : -1;
}

int SateHp(int planet, int slot) {
  return IsPlanetSateValid(planet, slot) ? GetShipHp(GetPlanetSatePtr(planet, slot)) : -1;
}

// ---- recording host and view ----

std::vector<std::string> BattleFlow(const TRecordingHost& host) {
  return host.Calls({"exec", "battle-bgm", "map-bgm", "repaint", "wave", "event"});
}

int RecordingView::AddPat(int kind, int number, int rows, int cols) {
  sheets.push_back({kind, number, rows, cols});
  return 9 + static_cast<int>(sheets.size());
}

void RecordingView::Put(int layer, const TBtDrawEntry& entry) { entries.push_back({layer, entry}); }

void RecordingView::CenterOn(int px, int py) {
  centerX = px;
  centerY = py;
  ++redraws;
}

// ---- the arena ----

int PutSampleBattleSides() {
  const int player[3][4] = {{0, 2, 20, 3}, {2, 12, 21, 3}, {1, 1, 22, 3}};
  const int enemy[3][4] = {{20, 3, 30, 2}, {21, 13, 31, 2}, {24, 4, 30, 2}};
  for (int s = 0; s < 3; ++s) {
    PutFleetShip(0, 0, s, MakeShip(player[s][0], player[s][1], player[s][2], player[s][3], 0));
    PutFleetShip(kSampleEnemy, 0, s, MakeShip(enemy[s][0], enemy[s][1], enemy[s][2], enemy[s][3], 1));
  }
  for (int country : {0, kSampleEnemy}) {
    for (int c = 0; c < kCmdCount; ++c) {
      if (CmdData[c].Belong != country) continue;
      PutCmd(c, country, 0, 100, 100, 50, 10);
      break;
    }
  }
  const int capital = GetCountryCapital(0);
  for (int s = 0; s < 5; ++s) PutSate(capital, s, MakeShip(50 + s, 5, 25, 15, -1));
  return capital;
}

TBtMissileInfo MissileInfo(int part, int country, int fx, int fy) {
  TBtMissileInfo m;
  m.x = 3200;
  m.y = 3200;
  m.part = part;
  m.country = country;
  m.target.SetFirePos(fx, fy);
  return m;
}

void ArenaTest::StartArena(int a, int af, int d, int df, int planet) {
  BtSetInfo(a, af, d, df, planet);
  arena_ = new TBtQvMap;
  BtQvMap = arena_;
  arena_->Setup();
}

}  // namespace vdmq::bttest
