#include "campaign/Qvmap.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <queue>
#include <vector>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TQvMap* QvMap = nullptr;

TQvMap::TQvMap() = default;

void TQvMap::ClearMap() {
  std::memset(stepDump_, 0, sizeof stepDump_);
  std::memset(chip_, 0, sizeof chip_);
  std::memset(mark_, 0, sizeof mark_);
}

void TQvMap::SetChip(int x, int y, std::uint8_t chip) {
  if (ChkInMap(x, y)) chip_[y][x] = chip;
}

int TQvMap::GetChip(int x, int y) const { return ChkInMap(x, y) ? chip_[y][x] : 255; }

bool TQvMap::IsMovable(int x, int y) const { return ChkInMap(x, y) && chip_[y][x] < kChipObstacle; }

void TQvMap::SaveLoadMap(TDatFile* fp, int mode) {
  ReadWriteKey(mode, fp, "MAP_DAT", "byte", kMapCells);
  ReadWriteData(mode, chip_, 1, kMapCells, fp);
  SaveLoadPlanetXY(fp, mode);
}

void TQvMap::GetChips(TChips* out) const {
  if (out != nullptr) std::memcpy(out->cell, chip_, sizeof chip_);
}

void TQvMap::SetChips(const TChips& in) { std::memcpy(chip_, in.cell, sizeof chip_); }

// ---------------------------------------------------------------------------------------------
// Zones

void TQvMap::FillZone(int value) {
  for (auto& row : zone_) {
    for (std::int32_t& z : row) z = value;
  }
}

void TQvMap::SetZone(int x, int y, int value) {
  if (ChkInMap(x, y) && zone_[y][x] < value) zone_[y][x] = value;
}

void TQvMap::SetZoneAround(int x, int y, int orthogonal, int diagonal) {
  SetZone(x, y - 1, orthogonal);
  SetZone(x, y + 1, orthogonal);
  SetZone(x - 1, y, orthogonal);
  SetZone(x + 1, y, orthogonal);
  SetZone(x - 1, y - 1, diagonal);
  SetZone(x + 1, y - 1, diagonal);
  SetZone(x - 1, y + 1, diagonal);
  SetZone(x + 1, y + 1, diagonal);
}

void TQvMap::MakeZone(int country, int zoneMode) {
  FillZone(kZoneOpen);
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      if (chip_[y][x] >= kChipObstacle) zone_[y][x] = kZoneObstacle;
    }
  }
  if (country == -1) return;

  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p)) continue;
    const int x = GetPlanetX(p);
    const int y = GetPlanetY(p);
    if (!ChkInMap(x, y)) continue;  // a damaged position outside the grid
    // An unowned planet (owner -1) answers war.
    const int r = GetCountryRelation(country, GetPlanetBelong(p));
    if (r == kRelationSelf) {
      SetZone(x, y, kZoneOwnPlanet);
      continue;
    }
    if (zoneMode == 2) {
      if (r == kRelationNone || r == kRelationAlly || r == kRelationWar) {
        SetZone(x, y, kZoneOpenPlanet);
        SetZoneAround(x, y, kZoneNearPlanet, 0);
      }
    } else if (zoneMode == 1) {
      if (r == kRelationNone) {
        SetZone(x, y, kZoneBlockPlanet);
        SetZoneAround(x, y, kZoneNearPlanet, 0);
      } else if (r == kRelationAlly) {
        SetZone(x, y, kZoneBlockPlanet);
      } else if (r == kRelationWar) {
        SetZone(x, y, kZoneOpenPlanet);
        SetZoneAround(x, y, kZoneNearPlanet, 0);
      }
    } else {
      if (r == kRelationNone) {
        SetZone(x, y, kZoneBlockPlanet);
        SetZoneAround(x, y, kZoneNearNeutral, 0);
      } else if (r == kRelationAlly) {
        SetZone(x, y, kZoneBlockPlanet);
      } else if (r == kRelationWar) {
        SetZone(x, y, kZoneBlockPlanet);
        SetZoneAround(x, y, kZoneNearPlanet, 0);
      }
    }
  }
  if (zoneMode == 2) return;

  for (int c = 0; c < kCountryCount; ++c) {
    for (int f = 0; f < kFleetCount; ++f) {
      if (!IsFleetOnMap(c, f)) continue;
      const int x = GetFleetX(c, f);
      const int y = GetFleetY(c, f);
      if (!ChkInMap(x, y)) continue;
      const int r = GetCountryRelation(country, c);
      if (r == kRelationNone || r == kRelationAlly) {
        SetZone(x, y, kZoneBlockFleet);
      } else if (r == kRelationWar) {
        SetZoneAround(x, y, kZoneNearEnemyFleet, 0);
        SetZone(x, y, zoneMode == 1 ? kZoneEnemyFleet : kZoneBlockFleet);
      } else if (r == kRelationSelf) {
        SetZone(x, y, kZoneOwnFleet);
      }
    }
  }
}

int TQvMap::GetZone(int x, int y) const { return ChkInMap(x, y) ? zone_[y][x] : kZoneObstacle; }

// ---------------------------------------------------------------------------------------------
// Step waves

bool TQvMap::FillTable(TStepRow* table, int value) {
  if (table == nullptr) return false;
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) table[y][x] = value;
  }
  return true;
}

bool TQvMap::RelaxCell(int x, int y, int moveType, TStepRow* table, int budget, int step) const {
  if (table == nullptr || !ChkInMap(x, y)) return false;
  const int zone = zone_[y][x];
  const int candidate = (moveType == 1 && (zone == kZoneNearEnemyFleet || zone == kZoneNearPlanet)) ? budget : step;
  if (zone < kZonePassableLimit && table[y][x] > candidate) {
    table[y][x] = candidate;
    return true;
  }
  return false;
}

int TQvMap::RelaxAround(int x, int y, int moveType, TStepRow* table, int budget, int step) const {
  int n = 0;
  if (RelaxCell(x - 1, y, moveType, table, budget, step)) ++n;
  if (RelaxCell(x, y - 1, moveType, table, budget, step)) ++n;
  if (RelaxCell(x, y + 1, moveType, table, budget, step)) ++n;
  if (RelaxCell(x + 1, y, moveType, table, budget, step)) ++n;
  return n;
}

// The wave sweeps the grid once per step k, expanding every passable entry equal to k - 1 into its
// side neighbours. It runs while the previous sweep changed something and the budget is not spent,
// and in any case up to the largest step a caller put into the table beforehand (reset off), so
// that preset entries spread too.
//
// A sweep visits only the cells that can hold k - 1, in the sweep's row-by-row order: the cells
// lowered to k - 1 by the previous sweep, preset entries and budget-valued entries of that value,
// and cells lowered to k - 1 during this sweep after the visiting position (only the budget value
// can be k - 1 there). Each is expanded when it still holds k - 1 at its turn, exactly as a full
// sweep of the grid would, at the cost of the wave's front instead of the whole map.
bool TQvMap::MakeStep(int country, int zoneMode, int startX, int startY, int budget, TStepRow* table, int moveType,
                      bool reset) {
  MakeZone(country, zoneMode);
  if (!ChkInMap(startX, startY)) {
    GameHost().DebugMes(SJS("MakeStep ｽﾀｰﾄ地点が不正"));
    return false;
  }
  if (table == nullptr) return false;

  // Entries waiting for the sweep of their value + 1: presets and budget-valued entries.
  std::map<int, std::vector<int>> pending;
  int previousMax = 0;
  if (reset) {
    FillTable(table, kStepUnreached);
    if (!IsPassable(startX, startY)) return false;
  } else {
    // Only step counts take part: 65535 is "not reached", and a value outside 0..65534 (which no
    // wave writes) cannot stretch the wave into billions of sweeps.
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        const std::int32_t v = table[y][x];
        if (v >= 0 && v < kStepUnreached) {
          if (v > previousMax) previousMax = v;
          pending[v].push_back(y * kMapSize + x);
        }
      }
    }
  }
  const int startValue = (moveType == 1 && zone_[startY][startX] == kZoneNearPlanet) ? budget : 0;
  table[startY][startX] = startValue;
  if (startValue >= 0 && startValue < kStepUnreached) pending[startValue].push_back(startY * kMapSize + startX);

  std::vector<int> front;  // cells lowered to the current step by the running sweep
  std::vector<int> visit;  // the cells of the running sweep, by position
  std::priority_queue<int, std::vector<int>, std::greater<int>> late;  // lowered to k - 1 during it
  int k = 0;
  int changed = 1;
  while ((changed > 0 && budget > k) || previousMax >= k) {
    ++k;
    changed = 0;
    const int want = k - 1;
    visit.swap(front);
    front.clear();
    if (auto it = pending.find(want); it != pending.end()) {
      visit.insert(visit.end(), it->second.begin(), it->second.end());
      pending.erase(it);
    }
    // While the budget is not below k, no expansion can lower a cell to k - 1 or below, so the
    // order of the visits does not matter; past it (preset sweeps) they keep the grid's order.
    const bool ordered = budget < k;
    if (ordered) std::sort(visit.begin(), visit.end());
    int pos = -1;
    std::size_t next = 0;
    // RelaxCell on one neighbour, with the cell's new entry filed for the sweep that expands it.
    auto relax = [&](int x, int y) __attribute__((always_inline)) {
      if (static_cast<unsigned>(x) >= static_cast<unsigned>(kMapSize) ||
          static_cast<unsigned>(y) >= static_cast<unsigned>(kMapSize)) {
        return;
      }
      const int zone = zone_[y][x];
      if (zone >= kZonePassableLimit) return;
      const int v = (moveType == 1 && (zone == kZoneNearEnemyFleet || zone == kZoneNearPlanet)) ? budget : k;
      if (table[y][x] <= v) return;
      table[y][x] = v;
      ++changed;
      const int cell = y * kMapSize + x;
      if (v == k) {
        front.push_back(cell);
      } else if (v == want) {
        if (ordered && cell > pos) late.push(cell);
      } else if (v >= 0 && v < kStepUnreached && v > want) {
        pending[v].push_back(cell);
      }
    };
    for (;;) {
      int cell;
      if (next < visit.size() && (late.empty() || visit[next] <= late.top())) {
        cell = visit[next++];
      } else if (!late.empty()) {
        cell = late.top();
        late.pop();
      } else {
        break;
      }
      if (ordered) {
        if (cell <= pos) continue;  // already visited
        pos = cell;
      }
      const int x = cell % kMapSize, y = cell / kMapSize;
      if (table[y][x] != want || zone_[y][x] >= kZonePassableLimit) continue;
      relax(x - 1, y);
      relax(x, y - 1);
      relax(x, y + 1);
      relax(x + 1, y);
    }
  }

  if (GameHost().GetDebugSw(kDebugSwStepDump)) {
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) SetStep(x, y, table[y][x]);
    }
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Marks, dump grid, directions

void TQvMap::FillMark(int value) {
  for (auto& row : mark_) {
    for (std::int32_t& m : row) m = value;
  }
}

int TQvMap::GetMark(int x, int y) const { return ChkInMap(x, y) ? mark_[y][x] : 0; }

bool TQvMap::SetMark(int x, int y, int mark) {
  if (!ChkInMap(x, y)) return false;
  mark_[y][x] = mark;
  return true;
}

void TQvMap::SetStep(int x, int y, int value) {
  if (ChkInMap(x, y)) stepDump_[y][x] = value;
}

int TQvMap::GetStep(int x, int y) const { return ChkInMap(x, y) ? stepDump_[y][x] : 0; }

bool TQvMap::StepDir(int dir, int* x, int* y) {
  if (x == nullptr || y == nullptr) return false;
  int nx = *x;
  int ny = *y;
  switch (dir) {
    case 0: --ny; break;
    case 1: ++ny; break;
    case 2: ++nx; break;
    case 3: --nx; break;
    default: return false;
  }
  if (!ChkInMap(nx, ny)) return false;
  *x = nx;
  *y = ny;
  return true;
}

int TQvMap::ReverseDir(int dir) {
  switch (dir) {
    case 0: return 1;
    case 1: return 0;
    case 2: return 3;
    case 3: return 2;
    case 4: return 7;
    case 7: return 4;
    case 5: return 6;
    case 6: return 5;
    default: return -1;
  }
}

// ---------------------------------------------------------------------------------------------
// Supply

// Every planet of the country spreads its capacity H over the cells its fleets may pass, falling
// by H / 10 per step up to ten steps; the contributions add up, and each valid ship of a fleet on
// the map gains the supply of its fleet's cell.
void TQvMap::CalcSupply(int country) {
  std::memset(supply_, 0, sizeof supply_);
  std::int32_t steps[kMapSize][kMapSize];
  for (int p = 0; p < kPlanetCount; ++p) {
    if (!IsPlanetOnMap(p) || GetPlanetBelong(p) != country) continue;
    const int px = GetPlanetX(p);
    const int py = GetPlanetY(p);
    if (!ChkInMap(px, py)) continue;
    const std::int64_t h = GetPlanetHokyuu(p);
    if (!MakeStep(country, 0, px, py, 10, steps, 0, true)) continue;
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        const int d = steps[y][x];
        if (d == kStepUnreached) continue;
        // Summed in 64 bits and kept within the grid's 32 bits (a capacity from a damaged file).
        std::int64_t v = supply_[y][x] + h - (h / 10) * d;
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < INT32_MIN) v = INT32_MIN;
        supply_[y][x] = static_cast<std::int32_t>(v);
      }
    }
  }
  for (int f = 0; f < kFleetCount; ++f) {
    if (!IsFleetOnMap(country, f)) continue;
    const int x = GetFleetX(country, f);
    const int y = GetFleetY(country, f);
    if (!ChkInMap(x, y)) continue;
    for (int s = 0; s < kFleetShipCount; ++s) {
      if (!IsFleetShipValid(country, f, s)) continue;
      const TShipData* ship = GetFleetShipPtr(country, f, s);
      SetFleetShipHp(country, f, s, static_cast<std::int64_t>(GetShipHp(ship)) + supply_[y][x]);
    }
  }
  if (GameHost().GetDebugSw(kDebugSwHokyuuDump)) {
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) SetStep(x, y, supply_[y][x]);
    }
  }
}

int TQvMap::GetSupply(int x, int y) const { return ChkInMap(x, y) ? supply_[y][x] : 0; }

// ---------------------------------------------------------------------------------------------
// Drawing

void TQvMap::PutCells() {
  TGameHost& host = GameHost();
  TGameHost::TMapViewWindow view;
  if (!host.GetMapViewWindow(&view)) return;
  const int cols = view.width / 60;
  const int rows = view.height / 30;
  int x0 = view.originX - cols, x1 = view.originX + 2 * cols;
  int y0 = view.originY - rows, y1 = view.originY + 2 * rows;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > kMapSize) x1 = kMapSize;
  if (y1 > kMapSize) y1 = kMapSize;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      host.AddMapOp(0, 30 * x, 30 * y, 0, 0, 0, 1, chip_[y][x]);
      if (x == view.cursorX && y == view.cursorY) {
        host.AddMapOp(1, 30 * x, 30 * y, 0, 0, 5, 1, kMarkOwnPlanet);
      } else if (mark_[y][x] != kMarkNone && mark_[y][x] != kMarkOwnFleet) {
        host.AddMapOp(1, 30 * x, 30 * y, 0, 0, 0, 1, mark_[y][x]);
      }
    }
  }
}

void TQvMap::DrawMap() {
  PutCells();
  PutFleetsOnMap();
  PutPlanetsOnMap();
}

}  // namespace vdmq
