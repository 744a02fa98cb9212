#include "campaign/Fleet.h"

#include <algorithm>
#include <string>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TFleetData FleetData[kCountryCount][kFleetCount];

namespace {

constexpr TFleetRootEntry Go(int planet) { return {kFleetRootKindGo, planet, -1}; }
constexpr TFleetRootEntry End() { return {kFleetRootKindEnd, -1, -1}; }

}  // namespace

// The routes of the computer fleets, one after another, each ended by an end entry.
const TFleetRootEntry FleetRootTbl[kFleetRootTblSize] = {
    // 0
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 1
    Go(3),
    Go(2),
    Go(55),
    End(),
    // 2
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(4),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 3
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 4
    Go(19),
    Go(54),
    Go(17),
    Go(15),
    Go(14),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(4),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 5
    Go(19),
    Go(54),
    Go(18),
    Go(16),
    Go(14),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 6
    Go(0),
    End(),
    // 7
    Go(13),
    Go(12),
    Go(11),
    Go(10),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(4),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 8
    Go(13),
    Go(12),
    Go(11),
    Go(10),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 9
    Go(24),
    Go(23),
    Go(22),
    Go(20),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 10
    Go(24),
    Go(23),
    Go(21),
    Go(20),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 11
    Go(36),
    Go(35),
    Go(33),
    Go(31),
    Go(29),
    Go(27),
    Go(26),
    Go(25),
    Go(19),
    Go(54),
    Go(17),
    Go(15),
    Go(14),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(4),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 12
    Go(36),
    Go(35),
    Go(34),
    Go(32),
    Go(30),
    Go(28),
    Go(26),
    Go(25),
    Go(19),
    Go(54),
    Go(18),
    Go(16),
    Go(14),
    Go(9),
    Go(8),
    Go(7),
    Go(6),
    Go(5),
    Go(3),
    Go(2),
    Go(1),
    Go(0),
    End(),
    // 13
    Go(36),
    Go(35),
    Go(34),
    Go(32),
    Go(30),
    Go(28),
    Go(26),
    Go(0),
    End(),
    // 14
    Go(36),
    Go(35),
    Go(33),
    Go(31),
    Go(29),
    Go(27),
    Go(26),
    Go(0),
    End(),
    // 15
    Go(53),
    Go(48),
    Go(47),
    Go(46),
    Go(44),
    Go(45),
    Go(40),
    Go(43),
    End(),
    // 16
    Go(53),
    Go(48),
    Go(47),
    Go(46),
    Go(44),
    Go(45),
    Go(42),
    Go(43),
    End(),
    // 17
    Go(43),
    Go(44),
    Go(46),
    Go(47),
    Go(48),
    Go(53),
    End(),
    // 18
    Go(53),
    Go(56),
    Go(48),
    Go(47),
    Go(46),
    Go(44),
    Go(45),
    Go(37),
    Go(0),
    End(),
    // 19
    Go(53),
    Go(56),
    Go(48),
    Go(49),
    Go(50),
    Go(51),
    Go(52),
    End(),
    // 20
    Go(43),
    Go(42),
    Go(41),
    Go(39),
    Go(37),
    Go(0),
    End(),
    // 21
    Go(43),
    Go(40),
    Go(38),
    Go(37),
    Go(0),
    End(),
    // 22
    Go(56),
    Go(53),
    Go(0),
    End(),
    // 23
    Go(56),
    Go(0),
    End(),
};

const TFleetRootEntry* FleetRootTblPtr[kFleetRouteCount] = {};

namespace {

const char* const kFleetNamesUtf8[kFleetCount] = {
    "第１艦隊", "第２艦隊", "第３艦隊", "第４艦隊", "第５艦隊",
    "第６艦隊", "第７艦隊", "第８艦隊", "第９艦隊", "第１０艦隊",
};

TFleetData* Fleet(int country, int fleet) {
  return ChkInFleetNum(country, fleet) ? &FleetData[country][fleet] : nullptr;
}

// Puts the fleet on its country's capital cell; off the map when the country has no capital
// (the planet getters answer -1 for a bad planet).
void PlaceAtCapital(TFleetData& f, int country) {
  const int capital = GetCountryCapital(country);
  f.X = GetPlanetX(capital);
  f.Y = GetPlanetY(capital);
}

// True when the cell lies on the 54 x 54 grid (a loaded position may not).
bool IsCellOnGrid(int x, int y) { return x >= 0 && x < 54 && y >= 0 && y < 54; }

void ClearShipSlot(TShipData& s) { ClearShip(&s); }

}  // namespace

bool ChkInRootTblNum(int route) { return route >= 0 && route < kFleetRouteCount; }

bool ChkInFleetNum(int country, int fleet) { return ChkInCountryNum(country) && fleet >= 0 && fleet < kFleetCount; }

bool ChkInFleetShipNum(int country, int fleet, int slot) {
  return ChkInFleetNum(country, fleet) && slot >= 0 && slot < kFleetShipCount;
}

const char* GetFleetName(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet)) return "";
  static const TSjisTable names(kFleetNamesUtf8);
  return names.At(fleet);
}

bool IsFleetShipValid(int country, int fleet, int slot) {
  return ChkInFleetShipNum(country, fleet, slot) && IsShipValid(&FleetData[country][fleet].Ships[slot]);
}

bool IsFleetAlive(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  if (f == nullptr || f->CanUse == 0) return false;
  for (int s = 0; s < kFleetShipCount; ++s) {
    if (IsShipValid(&f->Ships[s])) return true;
  }
  return false;
}

bool GetFleetCanMove(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr && f->CanMove != 0;
}

bool GetFleetReturning(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr && f->Returning != 0;
}

bool GetFleetCanUse(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr && f->CanUse != 0;
}

void ClearFleetCanMove(int country, int fleet) {
  if (TFleetData* f = Fleet(country, fleet)) f->CanMove = 0;
}

void ClearFleetAction(int country, int fleet) {
  if (TFleetData* f = Fleet(country, fleet)) {
    f->CanMove = 0;
    f->Attack = 0;
  }
}

void SetFleetReturning(int country, int fleet) {
  if (TFleetData* f = Fleet(country, fleet)) {
    f->Returning = 1;
    f->X = -1;
    f->Y = -1;
  }
}

void ResetFleetTurnFlags(int country) {
  if (!ChkInCountryNum(country)) return;
  for (TFleetData& f : FleetData[country]) {
    f.CanMove = 1;
    f.Attack = 1;
  }
}

void ArriveReturningFleets(int country) {
  if (!IsCountryAlive(country)) return;
  const int capital = GetCountryCapital(country);
  if (!IsPlanetNum(capital) || !IsPlanetOnMap(capital)) return;
  for (int i = 0; i < kFleetCount; ++i) {
    TFleetData& f = FleetData[country][i];
    if (f.Returning == 0) continue;
    f.Returning = 0;
    if (IsFleetAlive(country, i)) {
      f.X = GetPlanetX(capital);
      f.Y = GetPlanetY(capital);
    }
  }
}

bool IsFleetOnMap(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr && (f->X != -1 || f->Y != -1);
}

int GetFleetX(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->X : -1;
}

int GetFleetY(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->Y : -1;
}

void SetFleetXY(int country, int fleet, int x, int y) {
  if (TFleetData* f = Fleet(country, fleet)) {
    f->X = x;
    f->Y = y;
  }
}

int GetFleetTargetX(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->TargetX : -1;
}

int GetFleetTargetY(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->TargetY : -1;
}

void SetFleetTargetXY(int country, int fleet, int x, int y) {
  if (TFleetData* f = Fleet(country, fleet)) {
    f->TargetX = x;
    f->TargetY = y;
  }
}

int GetFleetAtkX(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->AtkX : -1;
}

int GetFleetAtkY(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  return f != nullptr ? f->AtkY : -1;
}

void SetFleetAtkXY(int country, int fleet, int x, int y) {
  if (TFleetData* f = Fleet(country, fleet)) {
    f->AtkX = x;
    f->AtkY = y;
  }
}

int GetFleetCmd(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet)) return -1;
  return SearchCmdByFleet(country, fleet);
}

int GetFleetIconNum(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  if (f == nullptr) return -1;
  for (int s = 0; s < kFleetShipCount; ++s) {
    if (IsShipValid(&f->Ships[s])) return GetShipCg(&f->Ships[s]);
  }
  return -1;
}

void SetFleetShip(int country, int fleet, int slot, const TShipData* ship) {
  if (!ChkInFleetShipNum(country, fleet, slot) || ship == nullptr) return;
  TFleetData& f = FleetData[country][fleet];
  if (!IsFleetAlive(country, fleet) && GetFleetCmd(country, fleet) != -1) PlaceAtCapital(f, country);
  f.Ships[slot] = *ship;
}

TShipData* GetFleetShipPtr(int country, int fleet, int slot) {
  if (!ChkInFleetShipNum(country, fleet, slot)) return nullptr;
  return &FleetData[country][fleet].Ships[slot];
}

void SetFleetShipHp(int country, int fleet, int slot, std::int64_t hp) {
  if (!IsFleetShipValid(country, fleet, slot)) return;
  TFleetData& f = FleetData[country][fleet];
  if (hp < 1) {
    RemoveFleetShip(country, fleet, slot);
    return;
  }
  TShipData& s = f.Ships[slot];
  s.Hp = static_cast<std::int32_t>(std::min<std::int64_t>(hp, GetShipMaxHp(&s)));
  if (f.Returning == 0 && !IsFleetOnMap(country, fleet) && GetFleetCmd(country, fleet) != -1) {
    PlaceAtCapital(f, country);
  }
}

void RemoveFleetShip(int country, int fleet, int slot) {
  if (!ChkInFleetShipNum(country, fleet, slot)) return;
  TFleetData& f = FleetData[country][fleet];
  ClearShipSlot(f.Ships[slot]);
  if (!IsFleetAlive(country, fleet)) {
    f.X = -1;
    f.Y = -1;
  }
}

void RemoveFleetShips(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet)) return;
  for (int s = 0; s < kFleetShipCount; ++s) RemoveFleetShip(country, fleet, s);
}

void RemoveCountryFleets(int country) {
  if (!ChkInCountryNum(country)) return;
  for (int i = 0; i < kFleetCount; ++i) RemoveFleetShips(country, i);
}

bool FindFleetAtXY(int x, int y, int* country, int* fleet) {
  if (country == nullptr || fleet == nullptr) return false;
  for (int c = 0; c < kCountryCount; ++c) {
    for (int i = 0; i < kFleetCount; ++i) {
      if (IsFleetOnMap(c, i) && FleetData[c][i].X == x && FleetData[c][i].Y == y) {
        *country = c;
        *fleet = i;
        return true;
      }
    }
  }
  *country = -1;
  *fleet = -1;
  return false;
}

bool IsFleetAtPlanet(int country, int fleet, int planet) {
  if (!IsPlanetOnMap(planet) || !IsFleetOnMap(country, fleet)) return false;
  const TFleetData& f = FleetData[country][fleet];
  return f.X == GetPlanetX(planet) && f.Y == GetPlanetY(planet);
}

int GetFleetPlanet(int country, int fleet) {
  if (!IsFleetOnMap(country, fleet)) return -1;
  for (int p = 0; p < kPlanetCount; ++p) {
    if (IsFleetAtPlanet(country, fleet, p)) return p;
  }
  return -1;
}

int CountOwnerFleetsAtPlanet(int planet) {
  if (!IsPlanetOnMap(planet)) return 0;
  const int owner = GetPlanetBelong(planet);
  if (!ChkInCountryNum(owner)) return 0;
  int n = 0;
  for (int i = 0; i < kFleetCount; ++i) {
    if (IsFleetAtPlanet(owner, i, planet)) ++n;
  }
  return n;
}

bool IsFleetStationed(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet)) return false;
  if (GetFleetPlanet(country, fleet) != -1) return true;
  return !IsFleetOnMap(country, fleet) && FleetData[country][fleet].Returning == 0;
}

void SendFleetsAtPlanetToCapital(int country, int planet) {
  if (!IsCountryAlive(country) || !IsPlanetOnMap(planet)) return;
  for (int i = 0; i < kFleetCount; ++i) {
    if (IsFleetAtPlanet(country, i, planet)) PlaceAtCapital(FleetData[country][i], country);
  }
}

int GetFleetMoveStep(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  if (f == nullptr) return 0;
  int step = 8;
  for (int s = 0; s < kFleetShipCount; ++s) {
    if (IsShipValid(&f->Ships[s])) step = std::min(step, GetShipMoveStep(&f->Ships[s]));
  }
  return step;
}

const TFleetRootEntry* GetFleetRootTblPtr(int country, int fleet) {
  const TFleetData* f = Fleet(country, fleet);
  if (f == nullptr || !ChkInRootTblNum(f->Root)) return nullptr;
  return FleetRootTblPtr[f->Root];
}

void SetFleetRootTbl(int country, int fleet, int route) {
  if (TFleetData* f = Fleet(country, fleet)) f->Root = route;
}

int GetFleetStatus(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet)) return 0;
  if (FleetData[country][fleet].Returning != 0) return 1;
  if (!IsFleetAlive(country, fleet) || GetFleetCmd(country, fleet) == -1) return 0;
  return IsFleetOnMap(country, fleet) ? 2 : -1;
}

void PutFleetsOnMap() {
  TGameHost& host = GameHost();
  const int player = GetPlayerCountry();
  for (int c = 0; c < kCountryCount; ++c) {
    for (int i = 0; i < kFleetCount; ++i) {
      if (GetFleetStatus(c, i) != 2) continue;
      const TFleetData& f = FleetData[c][i];
      if (!IsCellOnGrid(f.X, f.Y)) continue;  // a damaged position cannot be drawn
      const int mx = f.X * 30;
      const int my = f.Y * 30;
      const bool atPlanet = GetFleetPlanet(c, i) != -1;
      if (atPlanet) {
        host.AddMapOp(3, mx, my, 0, 0, 0, 4, 4);
        continue;
      }
      host.AddMapOp(2, mx, my, 0, 0, 0, 3, GetFleetIconNum(c, i));
      if (f.CanMove == 0) host.AddMapOp(3, mx, my, 0, 0, 0, 4, 5);
      host.AddMapOp(3, mx, my, 0, 0, 0, 2, c + 36);
      const int relation = GetCountryRelation(player, c);
      if (relation == kRelationWar) {
        host.AddMapOp(3, mx, my, 0, 0, 0, 4, 1);
      } else if (relation == kRelationSelf) {
        host.AddMapOp(3, mx, my, 0, 0, 0, 4, 0);
      }
    }
  }
}

void PlaceFleetsAtCapital() {
  for (int c = 0; c < kCountryCount; ++c) {
    const int capital = GetCountryCapital(c);
    if (!IsPlanetOnMap(capital) || GetPlanetBelong(capital) != c) continue;
    for (int i = 0; i < kFleetCount; ++i) {
      if (IsFleetAlive(c, i) && GetFleetCmd(c, i) != -1) PlaceAtCapital(FleetData[c][i], c);
    }
  }
}

void MakeFleetRootTablePtr() {
  std::fill(std::begin(FleetRootTblPtr), std::end(FleetRootTblPtr), nullptr);
  int n = 0;
  bool start = true;
  for (int e = 0; e < kFleetRootTblSize; ++e) {
    if (start) {
      // More routes than pointer slots are not registered; the debug sink is told (it shows
      // nothing in play).
      if (n >= kFleetRouteCount) {
        GameHost().DebugMes(SJS("MakeFleetRootTablePtr:進行ﾃｰﾌﾞﾙが多いい"));
        break;
      }
      FleetRootTblPtr[n++] = &FleetRootTbl[e];
    }
    start = FleetRootTbl[e].Kind == kFleetRootKindEnd;
  }
}

void SaveLoadFleet(TDatFile* fp, int mode) {
  constexpr int kFleets = kCountryCount * kFleetCount;
  if (mode == kSaveModeNew) {
    for (auto& row : FleetData) {
      for (TFleetData& f : row) {
        f.X = f.Y = -1;
        f.TargetX = f.TargetY = -1;
        f.AtkX = f.AtkY = -1;
        f.CanMove = 1;
        f.Attack = 1;
        f.CanWarpOut = 1;
        f.Returning = 0;
        f.Root = -1;
        for (TShipData& s : f.Ships) ClearShip(&s);
      }
    }
  } else {
    auto pairs = [&](const char* key, std::int32_t TFleetData::*a, std::int32_t TFleetData::*b) {
      ReadWriteKey(mode, fp, key, "int", kFleets * 2);
      for (auto& row : FleetData) {
        for (TFleetData& f : row) {
          ReadWriteData(mode, &(f.*a), 4, 1, fp);
          ReadWriteData(mode, &(f.*b), 4, 1, fp);
        }
      }
    };
    pairs("FLEET_XY", &TFleetData::X, &TFleetData::Y);
    pairs("FLEET_TARGET_XY", &TFleetData::TargetX, &TFleetData::TargetY);
    pairs("FLEET_ATK_XY", &TFleetData::AtkX, &TFleetData::AtkY);
    auto flags = [&](const char* key, std::uint8_t TFleetData::*a) {
      ReadWriteKey(mode, fp, key, "bool", kFleets);
      for (auto& row : FleetData) {
        for (TFleetData& f : row) ReadWriteData(mode, &(f.*a), 1, 1, fp);
      }
    };
    flags("FLEET_CAN_MOVE", &TFleetData::CanMove);
    flags("FLEET_ATTACK", &TFleetData::Attack);
    flags("FLEET_RETURNING", &TFleetData::Returning);
    flags("FLEET_CAN_WARP_OUT", &TFleetData::CanWarpOut);
    ReadWriteKey(mode, fp, "FLEET_ROOT_TBL", "int", kFleets);
    for (auto& row : FleetData) {
      for (TFleetData& f : row) ReadWriteData(mode, &f.Root, 4, 1, fp);
    }
    ReadWriteKey(mode, fp, "FLEET_SHIPS", "int", kFleets * kFleetShipCount * 6);
    for (auto& row : FleetData) {
      for (TFleetData& f : row) {
        for (TShipData& s : f.Ships) SaveLoadShip(&s, fp, mode);
      }
    }
  }
  ReadWriteKey(mode, fp, "FLEET_CAN_USE", "bool", kFleets);
  for (auto& row : FleetData) {
    for (TFleetData& f : row) ReadWriteData(mode, &f.CanUse, 1, 1, fp);
  }
  MakeFleetRootTablePtr();
}

}  // namespace vdmq
