#include "campaign/Planet.h"

#include <algorithm>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/PlanetNames.h"
#include "campaign/Save.h"
#include "campaign/Stdfunc.h"
#include "platform/base/GameError.h"

namespace vdmq {

TPlanetData PlanetData[kPlanetCount];

namespace {

// Angles at which the battle places the satellites around their planet, by slot.
constexpr int kSateAngle[kPlanetSateCount] = {45, 30, 60, 15, 75};

TPlanetData* Planet(int planet) { return IsPlanetNum(planet) ? &PlanetData[planet] : nullptr; }

bool IsCellOnGrid(int x, int y) { return x >= 0 && x < 54 && y >= 0 && y < 54; }

}  // namespace

void ChkInPlanetNum(int planet) {
  if (!IsPlanetNum(planet)) ThrowFunctionError("ChkInPlanetNum");
}

bool IsPlanetNum(int planet) { return planet >= 0 && planet < kPlanetCount; }

bool IsPlanetNameNum(int nameNum) { return nameNum >= 0 && nameNum < kPlanetNameCount; }

const char* GetPlanetName(int planet) {
  const TPlanetData* p = Planet(planet);
  if (p == nullptr || !IsPlanetNameNum(p->Name)) return nullptr;
  return PlanetNameText(p->Name);
}

int GetPlanetCg(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->Cg : -1;
}

void SetPlanetCg(int planet, int cg) {
  if (TPlanetData* p = Planet(planet)) p->Cg = cg;
}

int GetPlanetBelong(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->Belong : -1;
}

void SetPlanetBelong(int planet, int newOwner) {
  TPlanetData* p = Planet(planet);
  if (p == nullptr) return;
  const int oldOwner = p->Belong;
  // Handing a planet to the owner it already has must not destroy that owner.
  if (oldOwner == newOwner) return;
  if (ChkInCountryNum(oldOwner) && GetCountryCapital(oldOwner) == planet) {
    // The capital falls: the old owner is destroyed and all its planets change hands.
    RemoveCountryFleets(oldOwner);
    SetCountryCapital(oldOwner, -1);
    for (TPlanetData& q : PlanetData) {
      if (q.Belong == oldOwner) q.Belong = newOwner;
    }
    return;
  }
  if (ChkInCountryNum(oldOwner)) SendFleetsAtPlanetToCapital(oldOwner, planet);
  p->Belong = newOwner;
}

int GetCapitalCountry(int planet) {
  if (!IsPlanetNum(planet)) return -1;
  for (int c = 0; c < kCountryCount; ++c) {
    if (GetCountryCapital(c) == planet) return c;
  }
  return -1;
}

int GetPlanetX(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->X : -1;
}

int GetPlanetY(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->Y : -1;
}

void SetPlanetXY(int planet, int x, int y) {
  if (TPlanetData* p = Planet(planet)) {
    p->X = x;
    p->Y = y;
  }
}

bool IsPlanetOnMap(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr && p->X >= 0 && p->Y >= 0;
}

int GetPlanetIncomeFund(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->IncomeFund : 0;
}

int GetPlanetIncome(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? LimitFund(p->IncomeFund) : 0;
}

int GetPlanetHokyuu(int planet) {
  const TPlanetData* p = Planet(planet);
  return p != nullptr ? p->Hokyuu : 0;
}

int FindPlanetAtXY(int x, int y) {
  if (x == -1 || y == -1) return -1;
  for (int i = 0; i < kPlanetCount; ++i) {
    if (IsPlanetOnMap(i) && PlanetData[i].X == x && PlanetData[i].Y == y) return i;
  }
  return -1;
}

bool ChkInPlanetSateNum(int planet, int slot) { return IsPlanetNum(planet) && slot >= 0 && slot < kPlanetSateCount; }

bool IsPlanetSateValid(int planet, int slot) {
  return ChkInPlanetSateNum(planet, slot) && IsShipValid(&PlanetData[planet].Sate[slot]);
}

void SetPlanetSate(int planet, int slot, const TShipData* ship) {
  if (!ChkInPlanetSateNum(planet, slot) || ship == nullptr) return;
  PlanetData[planet].Sate[slot] = *ship;
}

TShipData* GetPlanetSatePtr(int planet, int slot) {
  return ChkInPlanetSateNum(planet, slot) ? &PlanetData[planet].Sate[slot] : nullptr;
}

void SetPlanetSateHp(int planet, int slot, std::int64_t hp) {
  if (!IsPlanetSateValid(planet, slot)) return;
  TShipData& s = PlanetData[planet].Sate[slot];
  if (hp < 1) {
    RemovePlanetSate(planet, slot);
    return;
  }
  s.Hp = static_cast<std::int32_t>(std::min<std::int64_t>(hp, GetShipMaxHp(&s)));
}

bool RemovePlanetSate(int planet, int slot) {
  if (!ChkInPlanetSateNum(planet, slot)) return false;
  ClearShip(&PlanetData[planet].Sate[slot]);
  return true;
}

int GetPlanetSateAngle(int planet, int slot) { return ChkInPlanetSateNum(planet, slot) ? kSateAngle[slot] : -1; }

void PutPlanetsOnMap() {
  TGameHost& host = GameHost();
  const int player = GetPlayerCountry();
  for (int i = 0; i < kPlanetCount; ++i) {
    if (!IsPlanetOnMap(i)) continue;
    const TPlanetData& p = PlanetData[i];
    if (!IsCellOnGrid(p.X, p.Y)) continue;  // a damaged position cannot be drawn
    const int mx = p.X * 30;
    const int my = p.Y * 30;
    host.AddMapOp(2, mx, my, 0, 0, 0, 2, p.Cg);
    if (ChkInCountryNum(p.Belong)) host.AddMapOp(3, mx, my, 0, 0, 0, 2, p.Belong + 36);
    // An unowned planet counts as at war with the player.
    const bool capital = ChkInCountryNum(p.Belong) && GetCountryCapital(p.Belong) == i;
    const int relation = GetCountryRelation(player, p.Belong);
    if (relation == kRelationWar) {
      host.AddMapOp(3, mx, my, 0, 0, 0, 4, capital ? 3 : 1);
    } else if (relation == kRelationSelf) {
      host.AddMapOp(3, mx, my, 0, 0, 0, 4, capital ? 2 : 0);
    }
  }
}

void SaveLoadPlanetXY(TDatFile* fp, int mode) {
  ReadWriteKey(mode, fp, "PLANET_XY", "int", kPlanetCount * 2);
  for (TPlanetData& p : PlanetData) {
    ReadWriteData(mode, &p.X, 4, 1, fp);
    ReadWriteData(mode, &p.Y, 4, 1, fp);
  }
  ReadWriteKey(mode, fp, "PLANET_CG", "int", kPlanetCount);
  for (TPlanetData& p : PlanetData) ReadWriteData(mode, &p.Cg, 4, 1, fp);
}

void SaveLoadPlanet(TDatFile* fp, int mode) {
  if (mode == kSaveModeNew) {
    for (int i = 0; i < kPlanetCount; ++i) {
      PlanetData[i].Name = i;
      for (TShipData& s : PlanetData[i].Sate) ClearShip(&s);
    }
  } else {
    SaveLoadPlanetXY(fp, mode);
    ReadWriteKey(mode, fp, "PLANET_SATE", "int", kPlanetCount * kPlanetSateCount * 6);
    for (TPlanetData& p : PlanetData) {
      for (TShipData& s : p.Sate) SaveLoadShip(&s, fp, mode);
    }
  }
  ReadWriteKey(mode, fp, "PLANET_BELONG", "int", kPlanetCount);
  for (TPlanetData& p : PlanetData) ReadWriteData(mode, &p.Belong, 4, 1, fp);
  ReadWriteKey(mode, fp, "PLANET_INCOME_FUND", "int", kPlanetCount);
  for (TPlanetData& p : PlanetData) ReadWriteData(mode, &p.IncomeFund, 4, 1, fp);
  ReadWriteKey(mode, fp, "PLANET_HOKYUU", "int", kPlanetCount);
  for (TPlanetData& p : PlanetData) ReadWriteData(mode, &p.Hokyuu, 4, 1, fp);
}

}  // namespace vdmq
