#include "campaign/Qvmap.h"

// The map model's movement ranges, routes, fleet moves, attacks and map clicks, and the searches
// of the computer player (declared with the rest of TQvMap in Qvmap.h).

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Gmain.h"
#include "campaign/Planet.h"
#include "platform/base/Sjis.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Movement ranges and routes

bool TQvMap::RaiseMark(int x, int y, int mark) {
  if (!ChkInMap(x, y) || !IsPassable(x, y) || mark_[y][x] >= mark) return false;
  mark_[y][x] = mark;
  return true;
}

bool TQvMap::MarkReachable(TStepRow* table) {
  if (table == nullptr) return false;
  bool any = false;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const bool reached = table[y][x] != kStepUnreached;
      mark_[y][x] = reached ? kMarkReachable : kMarkNone;
      any = any || reached;
    }
  }
  return any;
}

void TQvMap::MarkOwnFleets(int country) {
  if (!ChkInCountryNum(country)) return;
  for (int f = 0; f < kFleetCount; ++f) {
    if (!IsFleetOnMap(country, f)) continue;
    const int x = GetFleetX(country, f), y = GetFleetY(country, f);
    if (!ChkInMap(x, y) || mark_[y][x] != kMarkReachable || FindPlanetAtXY(x, y) != -1) continue;
    mark_[y][x] = kMarkOwnFleet;
  }
}

namespace {
// Marks 66 on every planet on the map owned by the country (through RaiseMark).
void RaiseOwnPlanets(TQvMap& map, int country) {
  for (int p = 0; p < kPlanetCount; ++p) {
    if (IsPlanetOnMap(p) && GetPlanetBelong(p) == country) map.RaiseMark(GetPlanetX(p), GetPlanetY(p), kMarkOwnPlanet);
  }
}

// Sets the entry of every planet on the map owned by the country to the value.
void PresetOwnPlanets(TStepRow* table, int country, int value) {
  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p) || GetPlanetBelong(p) != country) continue;
    const int x = GetPlanetX(p), y = GetPlanetY(p);
    if (TQvMap::ChkInMap(x, y)) table[y][x] = value;
  }
}
}  // namespace

bool TQvMap::MakeMoveRange(int country, int zoneMode, int x, int y, int budget, int moveType) {
  MakeZone(country, zoneMode);
  ClearMark();
  TStepRow table[kMapSize];
  FillTable(table, kStepUnreached);
  MakeStep(country, zoneMode, x, y, budget, table, moveType, true);
  MarkReachable(table);
  RaiseOwnPlanets(*this, country);
  MarkOwnFleets(country);
  SetMark(x, y, kMarkReachable);
  for (int cy = 0; cy < kMapSize; ++cy) {
    for (int cx = 0; cx < kMapSize; ++cx) {
      if (mark_[cy][cx] == kMarkReachable || mark_[cy][cx] == kMarkOwnPlanet) return true;
    }
  }
  return false;
}

int TQvMap::MakeRoute(int country, int startX, int startY, int moveType, int budget, int maxLength, int* route,
                      int targetX, int targetY) {
  ClearMark();
  if (maxLength >= kMaxRouteLength) return -1;
  if (!ChkInMap(startX, startY) || !ChkInMap(targetX, targetY)) return -1;
  // The table is filled here, so that a wave that fails before filling it leaves no stale values.
  TStepRow table[kMapSize];
  FillTable(table, kStepUnreached);
  if (!MakeStep(country, 0, startX, startY, budget, table, moveType, true)) return -1;
  int cur = table[targetY][targetX];
  if (cur == kStepUnreached) return -1;

  int codes[kMaxRouteLength];
  int x = targetX, y = targetY;
  int n = 0;
  // Neighbours in the order (x - 1, y), (x, y - 1), (x, y + 1), (x + 1, y): direction codes 3, 0, 1, 2.
  static constexpr int kOrder[4] = {3, 0, 1, 2};
  while (n < maxLength) {
    if (x == startX && y == startY) break;
    int best = kStepUnreached, bestDir = -1;
    for (int dir : kOrder) {
      int nx = x, ny = y;
      if (!StepDir(dir, &nx, &ny)) continue;
      if (table[ny][nx] < best) {
        best = table[ny][nx];
        bestDir = dir;
      }
    }
    if (bestDir < 0 || best >= cur) return -1;
    codes[n] = bestDir;
    cur = best;
    mark_[y][x] = kMarkReachable;
    StepDir(bestDir, &x, &y);
    ++n;
  }
  // A walk stopped by the length limit before it got back to the start is no route.
  if (x != startX || y != startY) return -1;
  if (route != nullptr) {
    for (int i = 0; i < n; ++i) route[i] = ReverseDir(codes[n - 1 - i]);
  }
  return n;
}

bool TQvMap::MoveFleet(int country, int fleet, int targetX, int targetY) {
  TGameHost& host = GameHost();
  const int sx = GetFleetX(country, fleet), sy = GetFleetY(country, fleet);
  const int step = GetFleetMoveStep(country, fleet);
  const int maxLength = step < 0 ? 0 : (step >= kMaxRouteLength ? kMaxRouteLength : step);
  int route[kMaxRouteLength];
  const int n = MakeRoute(country, sx, sy, 1, step, maxLength, route, targetX, targetY);
  if (n >= 1) {
    host.SetMapCenter(sx, sy);
    int x = sx, y = sy;
    for (int i = 0; i < n; ++i) {
      StepDir(route[i], &x, &y);
      SetFleetXY(country, fleet, x, y);
      host.DrawMap();
      host.Sleep(100);
    }
  } else if (n == 0) {
    host.DebugMes(SJS("艦隊が移動できない"));
  } else if (n == -1) {
    // Own planets out of range are marked 66: the fleet is sent there at once.
    if (ChkInMap(targetX, targetY) && FindPlanetAtXY(targetX, targetY) != -1) {
      SetFleetXY(country, fleet, targetX, targetY);
    } else {
      host.DebugMes(SJS("とどかない"));
    }
  } else {
    host.DebugMes(SJS("未知の戻り値"));
  }

  const bool player = IsPlayerCountry(country);
  const bool stands = !(player && host.SysMes(SJS("よろしいですか？"), SJS("確認"), 1) == 2);
  if (stands) {
    ClearFleetCanMove(country, fleet);
  } else {
    SetFleetXY(country, fleet, sx, sy);
  }
  ClearMark();
  host.DrawMap();
  if (player) mode_ = 0;
  return stands;
}

// ---------------------------------------------------------------------------------------------
// Attacks

bool TQvMap::MarkAttackCell(int country, int x, int y) {
  if (!ChkInMap(x, y)) return false;
  bool target = false;
  const int planet = FindPlanetAtXY(x, y);
  if (planet != -1) {
    const int owner = GetPlanetBelong(planet);
    target = owner == -1 || GetCountryRelation(country, owner) == kRelationWar;
  } else {
    int c = -1, f = -1;
    target = FindFleetAtXY(x, y, &c, &f) && GetCountryRelation(country, c) == kRelationWar;
  }
  if (target) mark_[y][x] = kMarkTarget;
  return target;
}

bool TQvMap::ChkAttackAround(int country, int x, int y) {
  ClearMark();
  // Only a cell on the map or next to it has neighbours on it (and a damaged position far off
  // must not overflow when stepped).
  if (x < -1 || x > kMapSize || y < -1 || y > kMapSize) return false;
  bool any = false;
  if (MarkAttackCell(country, x - 1, y)) any = true;
  if (MarkAttackCell(country, x, y - 1)) any = true;
  if (MarkAttackCell(country, x, y + 1)) any = true;
  if (MarkAttackCell(country, x + 1, y)) any = true;
  return any;
}

bool TQvMap::ChkFleetAttackAround(int country, int fleet) {
  return ChkAttackAround(country, GetFleetX(country, fleet), GetFleetY(country, fleet));
}

void TQvMap::AttackTarget(int country, int fleet, int targetX, int targetY) {
  if (!ChkInMap(targetX, targetY)) return;
  TGameHost& host = GameHost();
  const int planet = FindPlanetAtXY(targetX, targetY);
  int c = -1, f = -1;
  if (planet != -1) {
    host.BattleStart(country, fleet, GetPlanetBelong(planet), -1, planet);
  } else if (FindFleetAtXY(targetX, targetY, &c, &f) && GetCountryRelation(country, c) == kRelationWar) {
    host.BattleStart(country, fleet, c, f, -1);
  }
  ClearFleetAction(country, fleet);
  ClearMark();
  host.DrawMap();
  if (IsPlayerCountry(country)) mode_ = 0;
}

// ---------------------------------------------------------------------------------------------
// Modes and clicks

bool TQvMap::StartFleetMove(int country, int fleet) {
  const int x = GetFleetX(country, fleet), y = GetFleetY(country, fleet);
  const bool range = MakeMoveRange(country, 0, x, y, GetFleetMoveStep(country, fleet), 1);
  if (range) {
    TGameHost& host = GameHost();
    host.SetCmdEnable(false);
    SetSelFleet(country, fleet);
    mode_ = 1;
    host.SetMapCenter(x, y);
  }
  return range;
}

bool TQvMap::EnterAttackMode(int country, int fleet) {
  const bool any = ChkFleetAttackAround(country, fleet);
  if (any) {
    TGameHost& host = GameHost();
    host.SetCmdEnable(false);
    host.DrawMap();
    // The attack click acts on this fleet, however the attack mode was entered.
    SetSelFleet(country, fleet);
    mode_ = 2;
  }
  return any;
}

void TQvMap::CancelMode() {
  if (mode_ != 1 && mode_ != 2) return;
  TGameHost& host = GameHost();
  ClearMark();
  host.DrawMap();
  host.SetCmdEnable(true);
  mode_ = 0;
}

void TQvMap::Click(int button, int x, int y) {
  // The computer countries' round lets window messages run: clicks queued meanwhile are dropped.
  if (IsTurnRunning()) return;
  if (button == 1) {
    CancelMode();
    return;
  }
  TGameHost& host = GameHost();
  const int mark = GetMark(x, y);
  switch (mode_) {
    case 0: {
      if (!ChkInMap(x, y)) break;
      const int planet = FindPlanetAtXY(x, y);
      int c = -1, f = -1;
      if (planet != -1) {
        if (CountOwnerFleetsAtPlanet(planet) > 0) {
          host.ShowFleetSelByPlanet(planet);
        } else {
          host.ShowPlanetWindow(planet, GetPlayerCountry());
        }
      } else if (FindFleetAtXY(x, y, &c, &f)) {
        host.ShowFleetForm(c, f);
        SetSelFleet(c, f);
      }
      break;
    }
    case 1:
      if (mark == kMarkReachable || mark == kMarkOwnPlanet) {
        const int c = selCountry_, f = selFleet_;
        if (!MoveFleet(c, f, x, y)) {
          mode_ = 0;
          host.SetCmdEnable(true);
        } else if (ChkFleetAttackAround(c, f)) {
          mode_ = 0;
          if (!EnterAttackMode(c, f)) host.SetCmdEnable(true);
        } else {
          mode_ = 0;
          ClearMark();
          host.SetCmdEnable(true);
        }
      }
      break;
    case 2:
      if (mark == kMarkTarget) {
        AttackTarget(selCountry_, selFleet_, x, y);
        mode_ = 0;
        host.SetCmdEnable(true);
      }
      break;
    default: break;
  }
  ChkGameOver();
}

// ---------------------------------------------------------------------------------------------
// Searches of the computer player

bool TQvMap::MakeCpuArea(int country, int zoneMode, int x, int y, int moveType) {
  MakeZone(country, zoneMode);
  ClearMark();
  TStepRow table[kMapSize];
  FillTable(table, kStepUnreached);
  RelaxCell(x, y, moveType, table, kStepUnreached - 1, 0);
  for (int p = 0; p < kPlanetCount; ++p) {
    if (IsPlanetOnMap(p) && GetPlanetBelong(p) == country) {
      RelaxCell(GetPlanetX(p), GetPlanetY(p), moveType, table, kStepUnreached - 1, 0);
    }
  }
  MakeStep(country, zoneMode, x, y, kStepUnreached - 1, table, moveType, false);
  const bool any = MarkReachable(table);
  MarkOwnFleets(country);
  SetMark(x, y, kMarkOwnFleet);
  return any;
}

void TQvMap::SearchCpuMove(int country, int fleet, int targetX, int targetY, int* nextX, int* nextY) {
  int ax = -1, ay = -1;
  const int fx = GetFleetX(country, fleet), fy = GetFleetY(country, fleet);
  if (ChkInMap(targetX, targetY) && ChkInMap(fx, fy) && !(fx == targetX && fy == targetY)) {
    const int s = GetFleetMoveStep(country, fleet);
    TStepRow a[kMapSize], b[kMapSize];
    FillTable(a, kStepUnreached);
    FillTable(b, kStepUnreached);
    PresetOwnPlanets(a, country, s + 1);
    PresetOwnPlanets(b, country, s + 1);
    a[fy][fx] = 0;
    b[fy][fx] = 0;
    MakeStep(country, 0, fx, fy, kStepUnreached - 1, a, 1, false);
    MakeStep(country, 1, fx, fy, kStepUnreached - 1, b, 0, false);
    MakeMoveRange(country, 0, fx, fy, s, 1);
    if (a[targetY][targetX] != kStepUnreached || b[targetY][targetX] != kStepUnreached) {
      // Neighbours in the order (x, y - 1), (x, y + 1), (x - 1, y), (x + 1, y).
      static constexpr int kOrder[4] = {0, 1, 3, 2};
      int x = targetX, y = targetY;
      int best = b[y][x];
      for (;;) {
        const int m = mark_[y][x];
        if (m == kMarkReachable || m == kMarkOwnPlanet) {
          ax = x;
          ay = y;
          break;
        }
        if (m == kMarkOwnFleet) {
          bool found = false;
          for (int dir : kOrder) {
            int nx = x, ny = y;
            if (!StepDir(dir, &nx, &ny)) continue;
            if (mark_[ny][nx] == kMarkReachable || mark_[ny][nx] == kMarkOwnPlanet) {
              ax = nx;
              ay = ny;
              found = true;
              break;
            }
          }
          if (found) break;
        }
        int nextBest = best, bx = -1, by = -1;
        for (int dir : kOrder) {
          int nx = x, ny = y;
          if (!StepDir(dir, &nx, &ny)) continue;
          if (b[ny][nx] < nextBest) {
            nextBest = b[ny][nx];
            bx = nx;
            by = ny;
          }
        }
        if (bx < 0) break;
        best = nextBest;
        x = bx;
        y = by;
      }
    }
  }
  ClearMark();
  if (nextX != nullptr) *nextX = ax;
  if (nextY != nullptr) *nextY = ay;
}

bool TQvMap::GetFleetDir(int x, int y, int dir, int* country, int* fleet) const {
  if (!StepDir(dir, &x, &y)) return false;
  int c = -1, f = -1;
  if (!FindFleetAtXY(x, y, &c, &f) || FindPlanetAtXY(x, y) != -1) return false;
  if (country != nullptr) *country = c;
  if (fleet != nullptr) *fleet = f;
  return true;
}

int TQvMap::GetPlanetDir(int x, int y, int dir) const {
  if (!StepDir(dir, &x, &y)) return -1;
  return FindPlanetAtXY(x, y);
}

}  // namespace vdmq
