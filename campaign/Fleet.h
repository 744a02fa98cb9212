#pragma once
// The fleets: every country owns ten fleets of up to three ships. A fleet stands on a map cell or
// waits off the map at home; it needs a commander to appear on the map, moves and attacks once per
// turn, and can be sent home (returning), arriving at its country's capital at the start of its
// next turn. Computer fleets follow fixed routes of the constant route table.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// One fleet (fields in this order). The flags keep the raw byte read from a file and are tested
// as non-zero.
struct TFleetData {
  std::int32_t X, Y;                 // FLEET_XY: map cell 0..53; (-1, -1) off the map
  std::int32_t TargetX, TargetY;     // FLEET_TARGET_XY: cell a computer fleet heads for, -1 none
  std::int32_t AtkX, AtkY;           // FLEET_ATK_XY: cell a computer fleet means to attack, -1 none
  std::uint8_t CanUse;               // FLEET_CAN_USE: the fleet may be used at all (new-game data)
  std::uint8_t CanMove;              // FLEET_CAN_MOVE: may still move this turn
  std::uint8_t Attack;               // FLEET_ATTACK: set and cleared with can-move; read by no rule
  std::uint8_t Returning;            // FLEET_RETURNING: sent home, arrives at the next turn start
  std::uint8_t CanWarpOut;           // FLEET_CAN_WARP_OUT: set at a new game; read by no rule
  std::int32_t Root;                 // FLEET_ROOT_TBL: route 0..255, -1 none
  TShipData Ships[kFleetShipCount];  // FLEET_SHIPS: ship slots 0..2
};

// The fleet table, country-major (exposed for whole-world snapshots).
extern TFleetData FleetData[kCountryCount][kFleetCount];

// One entry of the route table: kind 1 = go to the planet, kind -1 = end of a route.
struct TFleetRootEntry {
  std::int32_t Kind;
  std::int32_t Planet;
  std::int32_t Spare;  // always -1
};
constexpr int kFleetRootKindGo = 1;
constexpr int kFleetRootKindEnd = -1;
constexpr int kFleetRootTblSize = 244;  // 24 routes, each ended by an end entry

// The constant route table, and the first entry of each route (null beyond the last route);
// the pointers are rebuilt by MakeFleetRootTablePtr.
extern const TFleetRootEntry FleetRootTbl[kFleetRootTblSize];
extern const TFleetRootEntry* FleetRootTblPtr[kFleetRouteCount];

// Every operation takes (country, fleet) unless said; a bad index gives the result in brackets.

bool ChkInRootTblNum(int route);                           // 0..255
bool ChkInFleetNum(int country, int fleet);                // country 0..13 and fleet 0..9
bool ChkInFleetShipNum(int country, int fleet, int slot);  // ... and slot 0..2
// "第１艦隊" .. "第１０艦隊" (CP932; the same for every country). [""]
const char* GetFleetName(int country, int fleet);
bool IsFleetShipValid(int country, int fleet, int slot);  // IsShipValid of the slot [false]
// Can-use flag set and at least one valid ship. [false]
bool IsFleetAlive(int country, int fleet);
bool GetFleetCanMove(int country, int fleet);    // [false]
bool GetFleetReturning(int country, int fleet);  // [false]
bool GetFleetCanUse(int country, int fleet);     // [false]
void ClearFleetCanMove(int country, int fleet);  // clears can-move [nothing]
void ClearFleetAction(int country, int fleet);   // clears can-move and attack [nothing]
// Sets returning and takes the fleet off the map (-1, -1). [nothing]
void SetFleetReturning(int country, int fleet);
// (country) sets can-move and attack of all ten fleets. [nothing]
void ResetFleetTurnFlags(int country);
// (country) at its turn start: for a living country whose capital is a planet on the map, every
// returning fleet loses the flag and, when it is alive, stands on the capital's cell. [nothing]
void ArriveReturningFleets(int country);

// x is not -1 or y is not -1. Such a position may still lie outside the 54 x 54 grid (a damaged
// file): users of a grid check the cell themselves. [false]
bool IsFleetOnMap(int country, int fleet);
int GetFleetX(int country, int fleet);                        // [-1]
int GetFleetY(int country, int fleet);                        // [-1]
void SetFleetXY(int country, int fleet, int x, int y);        // stored unchecked [nothing]
int GetFleetTargetX(int country, int fleet);                  // [-1]
int GetFleetTargetY(int country, int fleet);                  // [-1]
void SetFleetTargetXY(int country, int fleet, int x, int y);  // [nothing]
int GetFleetAtkX(int country, int fleet);                     // [-1]
int GetFleetAtkY(int country, int fleet);                     // [-1]
void SetFleetAtkXY(int country, int fleet, int x, int y);     // [nothing]

// The lowest commander whose country and fleet are these, -1 none. [-1]
int GetFleetCmd(int country, int fleet);
// Picture number of the hull of the first valid ship slot, -1 none. [-1]
int GetFleetIconNum(int country, int fleet);
// Copies the record into the slot. When the fleet was not alive and has a commander, it is first
// placed on its country's capital (off the map without a capital). [nothing, also for null]
void SetFleetShip(int country, int fleet, int slot, const TShipData* ship);
TShipData* GetFleetShipPtr(int country, int fleet, int slot);  // [null]
// Only for a slot holding a valid ship: hp >= 1 stores min(hp, the hull's maximum) and places a
// fleet that is neither returning nor on the map but has a commander on its capital; hp < 1
// removes the ship. Takes 64 bits so that a sum formed by the caller cannot wrap. [nothing]
void SetFleetShipHp(int country, int fleet, int slot, std::int64_t hp);
// Clears the slot; a fleet that is no longer alive leaves the map (-1, -1). [nothing]
void RemoveFleetShip(int country, int fleet, int slot);
void RemoveFleetShips(int country, int fleet);  // the three slots as above [nothing]
void RemoveCountryFleets(int country);          // the ships of all ten fleets [nothing]

// The first fleet in country-major order that is on the map at (x, y); both outputs -1 when
// none. False for null outputs.
bool FindFleetAtXY(int x, int y, int* country, int* fleet);
// Planet on the map, fleet on the map, same cell. [false]
bool IsFleetAtPlanet(int country, int fleet, int planet);
// The lowest planet on the map at the fleet's cell, -1 none or off the map. [-1]
int GetFleetPlanet(int country, int fleet);
// (planet) number of fleets of the planet's owner standing on it; 0 when it is off the map.
int CountOwnerFleetsAtPlanet(int planet);
// Stands on a planet, or is off the map and not returning. [false]
bool IsFleetStationed(int country, int fleet);
// (country, planet) the country's fleets standing on the planet move to its capital's cell; only
// for a living country and a planet on the map.
void SendFleetsAtPlanetToCapital(int country, int planet);
// The smallest hull move step among the valid ships, starting from 8 (so at most 8). [0]
int GetFleetMoveStep(int country, int fleet);
// The first entry of the fleet's route; null when the route is outside 0..255 or names none.
const TFleetRootEntry* GetFleetRootTblPtr(int country, int fleet);
void SetFleetRootTbl(int country, int fleet, int route);  // stored unchecked [nothing]
// 1 returning; 0 not alive or without commander; 2 on the map; -1 waiting off the map. [0]
int GetFleetStatus(int country, int fleet);

// Queues the fleet marks of every fleet on the map into the map view (GameHost().AddMapOp);
// a position outside the grid is not drawn.
void PutFleetsOnMap();
// After a new game: every alive fleet with a commander whose country's capital is on the map and
// owned by that country stands on the capital's cell.
void PlaceFleetsAtCapital();
// Rebuilds FleetRootTblPtr from the route table (run at the end of every SaveLoadFleet).
void MakeFleetRootTablePtr();
// Modes 0 and 1: FLEET_XY, FLEET_TARGET_XY, FLEET_ATK_XY, FLEET_CAN_MOVE, FLEET_ATTACK,
// FLEET_RETURNING, FLEET_CAN_WARP_OUT, FLEET_ROOT_TBL, FLEET_SHIPS; mode 2 first initialises every
// fleet; then every mode FLEET_CAN_USE.
void SaveLoadFleet(TDatFile* fp, int mode);

}  // namespace vdmq
