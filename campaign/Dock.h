#pragma once
// The docks: up to three per planet, each building one ordered ship over several turns. Dock
// operations check the planet and dock indices with the throwing checks.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// The three docks of one planet (fields in this order).
struct TDockData {
  std::int32_t Abt[kPlanetDockCount];   // DOCK_ABT: build work per turn; <= 0: no dock
  TShipData Ships[kPlanetDockCount];    // DOCK_SHIPS: the ship being built or finished
  std::int32_t Turn[kPlanetDockCount];  // DOCK_ZOUSEN_TURN: > 0 building, 0 finished, -1 empty
};

// The dock table, one record per planet (exposed for whole-world snapshots).
extern TDockData DockData[kPlanetCount];

// Dock states answered by GetDockState.
constexpr int kDockStateNone = -1;     // no dock
constexpr int kDockStateEmpty = 0;     // empty
constexpr int kDockStateFinished = 1;  // a finished ship waits
constexpr int kDockStateBuilding = 2;  // building

// Throws "例外 function:ChkInPlanetDockNum" unless the dock is 0..2.
void ChkInPlanetDockNum(int dock);

// Every operation below checks the planet (ChkInPlanetNum) and the dock (ChkInPlanetDockNum),
// both throwing; GetDockAbt checks only the planet.

void ClearDock(int planet, int dock);  // turns -1, ship cleared
// The planet is on the map and the capacity is above 0.
bool IsDockExist(int planet, int dock);
// The dock exists, the country is not -1 and owns the planet.
bool IsDockOfCountry(int planet, int dock, int country);
// "第１", "第２", "第３"; "未存在" for a dock that does not exist (CP932).
const char* GetDockName(int planet, int dock);
// -1 no dock; 2 building; 1 a finished valid ship waits; 0 empty.
int GetDockState(int planet, int dock);
TShipData* GetDockShipPtr(int planet, int dock);
// When the dock exists and the ship is valid: copies it in as finished (turns 0).
void PutDockShip(int planet, int dock, const TShipData* ship);
// When the dock exists and the ship is valid: copies it in with turns = CalcDockBuildTurn.
// Returns the turns (-1 when nothing was ordered).
int OrderDockShip(int planet, int dock, const TShipData* ship);
// Build work of the ship divided by the capacity, rounded up (negative build work counts as 0);
// -1 for a capacity of 0 or less or a null ship.
int CalcDockBuildTurn(int planet, int dock, const TShipData* ship);
int GetDockTurn(int planet, int dock);
int GetDockAbt(int planet, int dock);  // checks only the planet; -1 for a dock outside 0..2
// (country) at its turn start: every building dock on its planets is one turn nearer (not
// below 0).
void AdvanceDocks(int country);
// DOCK_ABT in every mode; modes 0 and 1 DOCK_SHIPS then DOCK_ZOUSEN_TURN; mode 2 clears every dock.
void SaveLoadDock(TDatFile* fp, int mode);

}  // namespace vdmq
