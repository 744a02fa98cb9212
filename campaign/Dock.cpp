#include "campaign/Dock.h"

#include <algorithm>

#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TDockData DockData[kPlanetCount];

namespace {

void ChkDock(int planet, int dock) {
  ChkInPlanetNum(planet);
  ChkInPlanetDockNum(dock);
}

}  // namespace

void ChkInPlanetDockNum(int dock) {
  if (dock < 0 || dock >= kPlanetDockCount) ThrowFunctionError("ChkInPlanetDockNum");
}

void ClearDock(int planet, int dock) {
  ChkDock(planet, dock);
  DockData[planet].Turn[dock] = -1;
  ClearShip(&DockData[planet].Ships[dock]);
}

bool IsDockExist(int planet, int dock) {
  ChkDock(planet, dock);
  return IsPlanetOnMap(planet) && DockData[planet].Abt[dock] > 0;
}

bool IsDockOfCountry(int planet, int dock, int country) {
  return IsDockExist(planet, dock) && country != -1 && GetPlanetBelong(planet) == country;
}

const char* GetDockName(int planet, int dock) {
  if (!IsDockExist(planet, dock)) return SJS("未存在").c_str();
  switch (dock) {
    case 0: return SJS("第１").c_str();
    case 1: return SJS("第２").c_str();
    default: return SJS("第３").c_str();
  }
}

int GetDockState(int planet, int dock) {
  if (!IsDockExist(planet, dock)) return kDockStateNone;
  const int turn = DockData[planet].Turn[dock];
  if (turn > 0) return kDockStateBuilding;
  if (turn == 0 && IsShipValid(&DockData[planet].Ships[dock])) return kDockStateFinished;
  return kDockStateEmpty;
}

TShipData* GetDockShipPtr(int planet, int dock) {
  ChkDock(planet, dock);
  return &DockData[planet].Ships[dock];
}

void PutDockShip(int planet, int dock, const TShipData* ship) {
  if (!IsDockExist(planet, dock) || !IsShipValid(ship)) return;
  DockData[planet].Ships[dock] = *ship;
  DockData[planet].Turn[dock] = 0;
}

int OrderDockShip(int planet, int dock, const TShipData* ship) {
  if (!IsDockExist(planet, dock) || !IsShipValid(ship)) return -1;
  const int turns = CalcDockBuildTurn(planet, dock, ship);
  DockData[planet].Ships[dock] = *ship;
  DockData[planet].Turn[dock] = turns;
  return turns;
}

int CalcDockBuildTurn(int planet, int dock, const TShipData* ship) {
  ChkDock(planet, dock);
  const std::int64_t abt = DockData[planet].Abt[dock];
  // A dock without capacity never finishes anything; answering -1 avoids dividing by zero.
  if (abt <= 0 || ship == nullptr) return -1;
  // A catalogue with negative build work must not make a ship vanish as "empty" (turns < 0).
  const std::int64_t work = std::max<std::int64_t>(0, GetShipBuildWork(ship));
  return static_cast<int>((work + abt - 1) / abt);
}

int GetDockTurn(int planet, int dock) {
  ChkDock(planet, dock);
  return DockData[planet].Turn[dock];
}

int GetDockAbt(int planet, int dock) {
  ChkInPlanetNum(planet);
  if (dock < 0 || dock >= kPlanetDockCount) return -1;
  return DockData[planet].Abt[dock];
}

void AdvanceDocks(int country) {
  for (int p = 0; p < kPlanetCount; ++p) {
    for (int d = 0; d < kPlanetDockCount; ++d) {
      if (IsDockOfCountry(p, d, country) && GetDockState(p, d) == kDockStateBuilding) {
        DockData[p].Turn[d] = std::max(0, DockData[p].Turn[d] - 1);
      }
    }
  }
}

void SaveLoadDock(TDatFile* fp, int mode) {
  ReadWriteKey(mode, fp, "DOCK_ABT", "int", kPlanetCount * kPlanetDockCount);
  for (TDockData& d : DockData) {
    for (std::int32_t& a : d.Abt) ReadWriteData(mode, &a, 4, 1, fp);
  }
  if (mode == kSaveModeNew) {
    for (TDockData& d : DockData) {
      for (int i = 0; i < kPlanetDockCount; ++i) {
        d.Turn[i] = -1;
        ClearShip(&d.Ships[i]);
      }
    }
    return;
  }
  ReadWriteKey(mode, fp, "DOCK_SHIPS", "int", kPlanetCount * kPlanetDockCount * 6);
  for (TDockData& d : DockData) {
    for (TShipData& s : d.Ships) SaveLoadShip(&s, fp, mode);
  }
  ReadWriteKey(mode, fp, "DOCK_ZOUSEN_TURN", "int", kPlanetCount * kPlanetDockCount);
  for (TDockData& d : DockData) {
    for (std::int32_t& t : d.Turn) ReadWriteData(mode, &t, 4, 1, fp);
  }
}

}  // namespace vdmq
