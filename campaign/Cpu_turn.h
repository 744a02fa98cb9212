#pragma once
// The computer player. Every country but the player's is run by it: one turn builds ships in free
// docks from the country's fixed designs, buys defence satellites, fills fleets with finished
// ships, appoints rested commanders, then moves each fleet towards the first planet on its route
// that the country is at war with (or home when the route is used up) and attacks what stands
// next to it. It keeps no state between turns: every decision is written into the world tables.
// Its reasoning goes to the debug log only.

#include "campaign/Qvmap.h"
#include "campaign/Ship.h"

namespace vdmq {

constexpr int kCpuDesignCount = 3;

// Designs per country in ship-record part order (hull, weapon 1, weapon 2, engine, shield); a hull
// of -1 means the country builds nothing of that kind.
extern const int CpuShipDesignTbl[kCountryCount][kCpuDesignCount][kPartsKindCount];
extern const int CpuSatDesignTbl[kCountryCount][kCpuDesignCount][kPartsKindCount];

// One entry of the free-dock list of a ship-building step.
struct TCpuDockEntry {
  int Planet;
  int Dock;
};

// One computer turn of the country.
void CpuTurn(int country);
void CpuBuildShips(int country);
void CpuBuildSatellites(int country);
void CpuDeployShips(int country, int fleet);
void CpuAppointCmd(int country);
void CpuMoveFleet(int country, int fleet);
// Attacks the fleet's attack point when it is next to the fleet; true when a battle ran.
bool CpuFleetAttack(int country, int fleet);
// The strategic destination from the fleet's route (target and attack points).
void CpuSetFleetTarget(int country, int fleet);
// An enemy to attack this turn, with the cell to move to.
void CpuSetAttackTarget(int country, int fleet);
// The first side neighbour of (x, y), in the order (x, y - 1), (x - 1, y), (x + 1, y), (x, y + 1),
// that is on the map, reached in the table and marked 66 or 64; else (-1, -1).
void CpuFindNextCell(int x, int y, TStepRow* table, int* nextX, int* nextY);
// Copies design 0..2 of the country into the record with full durability; false (record
// unchanged) for a null record, another design number or a design the country does not build.
bool CpuPickShipDesign(TShipData* ship, int country, int design);
bool CpuPickSatDesign(TShipData* ship, int country, int design);
// Order of the free-dock list: higher dock capacity first.
bool CpuDockCompare(const TCpuDockEntry& a, const TCpuDockEntry& b);

}  // namespace vdmq
