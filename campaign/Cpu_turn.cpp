#include "campaign/Cpu_turn.h"

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"
#include "platform/base/Format.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"

namespace vdmq {

// A design of five -1 (the country builds nothing of that kind) and the all-zero design.
#define VDMQ_NONE \
  { -1, -1, -1, -1, -1 }
#define VDMQ_ZERO \
  { 0, 0, 0, 0, 0 }

const int CpuShipDesignTbl[kCountryCount][kCpuDesignCount][kPartsKindCount] = {
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {{24, 7, 27, 7, 7}, {25, 17, 37, 7, 7}, {26, 8, 28, 8, 8}},
    {{23, 15, 35, 5, 5}, {23, 15, 35, 6, 6}, {24, 5, 25, 6, 6}},
    {{22, 4, 25, 5, 5}, {23, 14, 34, 5, 5}, {23, 14, 34, 6, 6}},
    {{22, 3, 23, 4, 4}, {22, 4, 24, 4, 4}, {23, 13, 33, 5, 5}},
    {{21, 12, 32, 3, 3}, {21, 12, 33, 3, 3}, {22, 2, 23, 4, 4}},
    {{20, 1, 22, 2, 2}, {20, 1, 22, 2, 2}, {21, 11, 32, 3, 3}},
    {{27, 18, 38, 9, 9}, {27, 18, 38, 9, 9}, {28, 19, 39, 9, 9}},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {{12, 8, 28, 9, 9}, {12, 8, 28, 9, 9}, {12, 8, 28, 9, 9}},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
};

const int CpuSatDesignTbl[kCountryCount][kCpuDesignCount][kPartsKindCount] = {
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {{58, 6, 26, 17, -1}, {58, 6, 26, 17, -1}, {58, 6, 26, 17, -1}},
    {{55, 5, 25, 17, -1}, {55, 5, 25, 17, -1}, {55, 5, 25, 17, -1}},
    {{54, 4, 25, 16, -1}, {54, 4, 25, 16, -1}, {54, 4, 25, 16, -1}},
    {{53, 4, 24, 16, -1}, {53, 4, 24, 16, -1}, {53, 4, 24, 16, -1}},
    {{52, 2, 23, 15, -1}, {52, 2, 23, 15, -1}, {52, 2, 23, 15, -1}},
    {{50, 1, 22, 15, -1}, {50, 1, 22, 15, -1}, {50, 1, 22, 15, -1}},
    {{59, 9, 28, 19, -1}, {59, 9, 28, 19, -1}, {59, 9, 28, 19, -1}},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {{56, 7, 27, 18, -1}, {56, 7, 27, 18, -1}, {56, 7, 27, 18, -1}},
    {VDMQ_NONE, VDMQ_NONE, VDMQ_NONE},
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
    {VDMQ_ZERO, VDMQ_ZERO, VDMQ_ZERO},
};

#undef VDMQ_NONE
#undef VDMQ_ZERO

namespace {

// The debug log: formats a CP932 pattern ("%d" and "%s" conversions) and hands it to the sink.
template <class... TArgs>
void DebugMesF(const std::string& format, TArgs... args) {
  static_assert(((std::is_same_v<TArgs, int> || std::is_same_v<TArgs, const char*>)&&...),
                "the patterns convert int (%d) and text (%s) only");
  GameHost().DebugMes(Format(format.c_str(), args...));
}

bool AtWar(int country, int other) { return GetCountryRelation(country, other) == kRelationWar; }

bool PickDesign(const int (&tbl)[kCountryCount][kCpuDesignCount][kPartsKindCount], TShipData* ship, int country,
                int design) {
  if (ship == nullptr || !ChkInCountryNum(country) || design < 0 || design >= kCpuDesignCount) return false;
  const int* parts = tbl[country][design];
  if (parts[kPartsFrame] == -1) return false;
  for (int k = 0; k < kPartsKindCount; ++k) ship->Parts[k] = parts[k];
  ship->Hp = 0;
  ship->Hp = GetShipMaxHp(ship);
  return true;
}

void DebugDesign(const std::string& format, const TShipData& s) {
  DebugMesF(format, s.Parts[kPartsFrame], s.Parts[1], s.Parts[2], s.Parts[kPartsShield], s.Parts[kPartsEngine]);
}

// Pays for a design; false (with the debug line) when the funds do not reach the price.
bool PayFor(int country, const TShipData& ship) {
  const int price = GetShipPrice(&ship);
  if (GetCountryFund(country) < price) {
    DebugMesF(SJS("資金不足[現在%d][必要%d]"), GetCountryFund(country), price);
    return false;
  }
  AddCountryFund(country, -static_cast<std::int64_t>(price));
  DebugMesF(SJS("資金使用[現在%d][使用%d]"), GetCountryFund(country), price);
  return true;
}

}  // namespace

bool CpuPickShipDesign(TShipData* ship, int country, int design) {
  return PickDesign(CpuShipDesignTbl, ship, country, design);
}

bool CpuPickSatDesign(TShipData* ship, int country, int design) {
  return PickDesign(CpuSatDesignTbl, ship, country, design);
}

bool CpuDockCompare(const TCpuDockEntry& a, const TCpuDockEntry& b) {
  return GetDockAbt(a.Planet, a.Dock) > GetDockAbt(b.Planet, b.Dock);
}

void CpuBuildShips(int country) {
  if (!ChkInCountryNum(country)) return;
  std::vector<TCpuDockEntry> docks;
  docks.reserve(kPlanetCount * kPlanetDockCount);
  for (int p = 0; p < kPlanetCount; ++p) {
    if (GetPlanetBelong(p) != country) continue;
    for (int d = 0; d < kPlanetDockCount; ++d) {
      if (IsDockExist(p, d) && GetDockState(p, d) == 0) docks.push_back({p, d});
    }
  }
  // Stable, so that equal capacities keep planet and dock order and a game replays identically.
  std::stable_sort(docks.begin(), docks.end(), CpuDockCompare);
  for (const TCpuDockEntry& e : docks) {
    TShipData ship{};
    if (!CpuPickShipDesign(&ship, country, StdRand() % kCpuDesignCount)) return;
    DebugDesign(SJS("建造艦船:FM[%d] MW[%d] SW[%d] SD[%d] EG[%d]"), ship);
    if (!IsShipValid(&ship)) {
      GameHost().DebugMes(SJS("船艦未配備"));
      continue;
    }
    if (!PayFor(country, ship)) continue;
    OrderDockShip(e.Planet, e.Dock, &ship);
    DebugMesF(SJS("建造開始[Pla=%d Num=%d]"), e.Planet, e.Dock);
  }
}

void CpuBuildSatellites(int country) {
  if (!ChkInCountryNum(country)) return;
  TGameHost& host = GameHost();
  host.DebugMes(SJS("★衛星建造思考★"));
  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p) || GetPlanetBelong(p) != country) continue;
    DebugMesF(SJS("衛星:[%d]"), p);
    for (int s = 0; s < kPlanetSateCount; ++s) {
      if (IsPlanetSateValid(p, s)) {
        const TShipData* sate = GetPlanetSatePtr(p, s);
        if (static_cast<std::int64_t>(GetShipHp(sate)) * 100 <= static_cast<std::int64_t>(GetShipMaxHp(sate)) * 30) {
          host.DebugMes(SJS("衛星破棄"));
        }
        continue;
      }
      TShipData sate{};
      if (!CpuPickSatDesign(&sate, country, StdRand() % kCpuDesignCount)) return;
      DebugDesign(SJS("衛星建造:FM[%d] MW[%d] SW[%d] SD[%d] EG[%d]"), sate);
      if (!IsShipValid(&sate) || !PayFor(country, sate)) continue;
      SetPlanetSate(p, s, &sate);
      host.DebugMes(SJS("衛星配備"));
    }
  }
}

void CpuDeployShips(int country, int fleet) {
  if (!ChkInFleetNum(country, fleet) || !GetFleetCanUse(country, fleet)) return;
  if (GetFleetPlanet(country, fleet) == -1 && GetFleetStatus(country, fleet) != 0) return;
  for (int slot = 0; slot < kFleetShipCount; ++slot) {
    if (IsFleetShipValid(country, fleet, slot)) continue;
    bool done = false;
    for (int p = 0; p < kPlanetCount && !done; ++p) {
      if (GetPlanetBelong(p) != country) continue;
      for (int d = 0; d < kPlanetDockCount; ++d) {
        if (!IsDockExist(p, d) || GetDockState(p, d) != 1) continue;
        const TShipData ship = *GetDockShipPtr(p, d);
        DebugMesF(SJS("配備[Pla:%d][Dock:%d]->[Fl:%d][Fo:%d]"), p, d, fleet, slot);
        DebugMesF(SJS("　　艦船HP[%d] FM[%d] MW[%d] SW[%d] SD[%d] EG[%d]"), ship.Hp, ship.Parts[kPartsFrame],
                  ship.Parts[1], ship.Parts[2], ship.Parts[kPartsShield], ship.Parts[kPartsEngine]);
        SetFleetShip(country, fleet, slot, &ship);
        ClearDock(p, d);
        done = true;
        break;
      }
    }
  }
}

void CpuAppointCmd(int country) {
  if (!ChkInCountryNum(country)) return;
  for (int f = 0; f < kFleetCount; ++f) {
    if (!GetFleetCanUse(country, f) || !IsFleetAlive(country, f)) return;
    if (!IsFleetStationed(country, f)) continue;
    int chosen = -1;
    for (int cmd = 0; cmd < kCmdCount; ++cmd) {
      if (GetCmdBelong(cmd) == country && GetCmdUnderFleet(cmd) == -1 && GetCmdFatigue(cmd) <= 300) chosen = cmd;
    }
    if (chosen == -1) continue;
    DebugMesF(SJS("任命[CMD:%d]->[Fl:%d]"), chosen, f);
    SetCmdUnderFleet(chosen, f);
  }
}

void CpuFindNextCell(int x, int y, TStepRow* table, int* nextX, int* nextY) {
  int ax = -1, ay = -1;
  if (table != nullptr && QvMap != nullptr) {
    static constexpr int kOrder[4] = {0, 3, 2, 1};  // (x, y - 1), (x - 1, y), (x + 1, y), (x, y + 1)
    for (int dir : kOrder) {
      int nx = x, ny = y;
      if (!TQvMap::ChkInMap(x, y) || !TQvMap::StepDir(dir, &nx, &ny)) continue;
      const int mark = QvMap->GetMark(nx, ny);
      if (table[ny][nx] < kStepUnreached && (mark == kMarkOwnPlanet || mark == kMarkReachable)) {
        ax = nx;
        ay = ny;
        break;
      }
    }
  }
  if (nextX != nullptr) *nextX = ax;
  if (nextY != nullptr) *nextY = ay;
}

void CpuSetFleetTarget(int country, int fleet) {
  SetFleetTargetXY(country, fleet, -1, -1);
  SetFleetAtkXY(country, fleet, -1, -1);
  const TFleetRootEntry* entry = GetFleetRootTblPtr(country, fleet);
  if (QvMap == nullptr || !IsFleetOnMap(country, fleet) || entry == nullptr) return;
  TQvMap& map = *QvMap;
  const int fx = GetFleetX(country, fleet), fy = GetFleetY(country, fleet);
  if (!TQvMap::ChkInMap(fx, fy)) return;

  map.MakeCpuArea(country, 1, fx, fy, 0);
  TStepRow table[kMapSize];
  TQvMap::FillTable(table, kStepUnreached);
  const int s = GetFleetMoveStep(country, fleet);
  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p) || GetPlanetBelong(p) != country) continue;
    const int px = GetPlanetX(p), py = GetPlanetY(p);
    if (TQvMap::ChkInMap(px, py)) table[py][px] = s + 1;
  }
  map.MakeStep(country, 1, fx, fy, kStepUnreached, table, 0, false);

  const TFleetRootEntry* const end = FleetRootTbl + kFleetRootTblSize;
  for (; entry >= FleetRootTbl && entry < end; ++entry) {
    int tx = -1, ty = -1, ax = -1, ay = -1;
    const bool last = entry->Kind == kFleetRootKindEnd;
    if (last) {
      const int capital = GetCountryCapital(country);
      tx = GetPlanetX(capital);
      ty = GetPlanetY(capital);
    } else if (entry->Kind == kFleetRootKindGo && IsPlanetOnMap(entry->Planet)) {
      const int owner = GetPlanetBelong(entry->Planet);
      if (owner != -1 && !AtWar(country, owner)) continue;
      ax = GetPlanetX(entry->Planet);
      ay = GetPlanetY(entry->Planet);
      CpuFindNextCell(ax, ay, table, &tx, &ty);
    } else {
      continue;
    }
    if (!(tx == -1 && ty == -1)) {
      const int mark = map.GetMark(tx, ty);
      const bool ok = mark == kMarkOwnPlanet || mark == kMarkReachable || (tx == fx && ty == fy);
      if (!ok) {
        if (last) break;
        continue;
      }
    }
    DebugMesF(SJS("TARGET CO[%d]FL[%d](%d,%d)"), country, fleet, tx, ty);
    SetFleetTargetXY(country, fleet, tx, ty);
    SetFleetAtkXY(country, fleet, ax, ay);
    break;
  }
  map.ClearMark();
}

void CpuSetAttackTarget(int country, int fleet) {
  if (QvMap == nullptr) return;
  TQvMap& map = *QvMap;
  const int fx = GetFleetX(country, fleet), fy = GetFleetY(country, fleet);
  if (!TQvMap::ChkInMap(fx, fy)) return;
  const int tx = GetFleetTargetX(country, fleet), ty = GetFleetTargetY(country, fleet);
  static constexpr int kOrder[4] = {0, 1, 3, 2};  // (x, y - 1), (x, y + 1), (x - 1, y), (x + 1, y)

  if ((tx == -1 && ty == -1) || (tx == fx && ty == fy)) {
    int ax = -1, ay = -1;
    for (int dir : kOrder) {
      const int p = map.GetPlanetDir(fx, fy, dir);
      if (p == -1) continue;
      const int owner = GetPlanetBelong(p);
      if (owner == -1 || AtWar(country, owner)) {
        ax = GetPlanetX(p);
        ay = GetPlanetY(p);
        break;
      }
    }
    if (ax == -1) {
      for (int dir : kOrder) {
        int c = -1, f = -1;
        if (map.GetFleetDir(fx, fy, dir, &c, &f) && AtWar(country, c)) {
          ax = GetFleetX(c, f);
          ay = GetFleetY(c, f);
          break;
        }
      }
    }
    SetFleetTargetXY(country, fleet, -1, -1);
    SetFleetAtkXY(country, fleet, ax, ay);
    return;
  }

  const int s = GetFleetMoveStep(country, fleet);
  TStepRow table[kMapSize];
  TQvMap::FillTable(table, kStepUnreached);
  map.MakeStep(country, 0, fx, fy, s, table, 0, true);
  map.MakeMoveRange(country, 0, fx, fy, s, 1);
  int best = kStepUnreached;
  int mx = -1, my = -1, ax = -1, ay = -1;
  bool taken = false;
  for (int c = 0; c < kCountryCount; ++c) {
    if (c == country || !IsCountryAlive(c) || !AtWar(country, c)) continue;
    for (int f = 0; f < kFleetCount; ++f) {
      if (!GetFleetCanUse(c, f) || !IsFleetAlive(c, f) || !IsFleetOnMap(c, f)) continue;
      const int ex = GetFleetX(c, f), ey = GetFleetY(c, f);
      if (!TQvMap::ChkInMap(ex, ey)) continue;
      for (int dir : kOrder) {
        int nx = ex, ny = ey;
        TQvMap::StepDir(dir, &nx, &ny);  // a step off the map stays on the enemy's cell
        const int v = table[ny][nx];
        const int mark = map.GetMark(nx, ny);
        const bool reachable = (mark == kMarkReachable || mark == kMarkOwnPlanet) && v < kStepUnreached && v < best;
        if (!reachable && v != 0) continue;
        if (v == 0) {
          mx = -1;
          my = -1;
        } else {
          mx = nx;
          my = ny;
        }
        best = v;
        ax = ex;
        ay = ey;
        taken = true;
      }
    }
  }
  if (taken) {
    SetFleetAtkXY(country, fleet, ax, ay);
    SetFleetTargetXY(country, fleet, mx, my);
    DebugMesF(SJS("TARGET ATK CO[%d]FL[%d](%d,%d)"), country, fleet, ax, ay);
    DebugMesF(SJS("TARGET MOV CO[%d]FL[%d](%d,%d)"), country, fleet, mx, my);
  }
  map.ClearMark();
}

void CpuMoveFleet(int country, int fleet) {
  if (QvMap == nullptr || !IsFleetOnMap(country, fleet) || SearchCmdByFleet(country, fleet) == -1 ||
      !GetFleetCanMove(country, fleet)) {
    return;
  }
  CpuSetFleetTarget(country, fleet);
  int nx = -1, ny = -1;
  QvMap->SearchCpuMove(country, fleet, GetFleetTargetX(country, fleet), GetFleetTargetY(country, fleet), &nx, &ny);
  SetFleetTargetXY(country, fleet, nx, ny);
  CpuSetAttackTarget(country, fleet);
  const int tx = GetFleetTargetX(country, fleet), ty = GetFleetTargetY(country, fleet);
  if (tx != -1 && ty != -1 && !(tx == GetFleetX(country, fleet) && ty == GetFleetY(country, fleet))) {
    QvMap->MoveFleet(country, fleet, tx, ty);
  }
}

bool CpuFleetAttack(int country, int fleet) {
  const int ax = GetFleetAtkX(country, fleet), ay = GetFleetAtkY(country, fleet);
  if (ax == -1 || ay == -1 || QvMap == nullptr) return false;
  TQvMap& map = *QvMap;
  TGameHost& host = GameHost();
  const int fx = GetFleetX(country, fleet), fy = GetFleetY(country, fleet);
  if (map.ChkAttackAround(country, fx, fy) && map.GetMark(ax, ay) == kMarkTarget) {
    host.SetMapCenter(fx, fy);
    map.AttackTarget(country, fleet, ax, ay);
    return true;
  }
  map.ClearMark();
  host.DrawMap();
  return false;
}

void CpuTurn(int country) {
  if (!ChkInCountryNum(country)) return;
  if (!IsCountryAlive(country)) {
    DebugMesF(SJS("★[CoNum:%2d]%sは死亡中★"), country, GetCountryName(country));
    return;
  }
  DebugMesF(SJS("★[CoNum:%2d] %sのターン★"), country, GetCountryName(country));
  CpuBuildShips(country);
  CpuBuildSatellites(country);
  for (int f = 0; f < kFleetCount; ++f) CpuDeployShips(country, f);
  CpuAppointCmd(country);
  for (int f = 0; f < kFleetCount; ++f) {
    CpuMoveFleet(country, f);
    CpuFleetAttack(country, f);
    if (!IsCountryAlive(GetPlayerCountry()) || GetGameEndFlag()) break;
  }
}

}  // namespace vdmq
