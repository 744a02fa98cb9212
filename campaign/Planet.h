#pragma once
// The hundred planets of the strategic map: owner, income, supply capacity and up to five defence
// satellites. SetPlanetBelong is the one place where planets change hands; taking a country's
// capital destroys that country.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// One planet (signed 32-bit fields, in this order).
struct TPlanetData {
  std::int32_t Name;                 // index into the planet name table; its own index after a new game
  std::int32_t Cg;                   // PLANET_CG: frame in the map's planet sheet
  std::int32_t Belong;               // PLANET_BELONG: owner country 0..13, -1 none
  std::int32_t X, Y;                 // PLANET_XY: map cell 0..53; negative = not on the map
  std::int32_t IncomeFund;           // PLANET_INCOME_FUND: income added to the owner's each turn
  std::int32_t Hokyuu;               // PLANET_HOKYUU: supply capacity
  TShipData Sate[kPlanetSateCount];  // PLANET_SATE: defence satellite slots 0..4
};

// The planet table (exposed for whole-world snapshots).
extern TPlanetData PlanetData[kPlanetCount];

// Throws "例外 function:ChkInPlanetNum" unless the planet is 0..99.
void ChkInPlanetNum(int planet);
bool IsPlanetNum(int planet);       // 0..99
bool IsPlanetNameNum(int nameNum);  // 0..99
// The name (CP932) by the planet's name index; null for a bad planet or name index.
const char* GetPlanetName(int planet);
int GetPlanetCg(int planet);           // [-1]
void SetPlanetCg(int planet, int cg);  // [nothing]
int GetPlanetBelong(int planet);       // [-1]
// Hands the planet to newOwner (-1 none). The old owner's capital destroys the old owner: the
// ships of its fleets are removed, its capital becomes -1 and all its planets pass to newOwner.
// Otherwise the old owner's fleets standing on the planet go to its capital. The current owner as
// newOwner changes nothing. [nothing]
void SetPlanetBelong(int planet, int newOwner);
// The lowest country whose capital is the planet, -1 none. [-1]
int GetCapitalCountry(int planet);
int GetPlanetX(int planet);                  // [-1]
int GetPlanetY(int planet);                  // [-1]
void SetPlanetXY(int planet, int x, int y);  // stored unchecked [nothing]
// x >= 0 and y >= 0. Such a position may still lie outside the 54 x 54 grid (a damaged file):
// users of a grid check the cell themselves. [false]
bool IsPlanetOnMap(int planet);
int GetPlanetIncomeFund(int planet);  // stored income [0]
int GetPlanetIncome(int planet);      // income clamped to 0..999999 [0]
int GetPlanetHokyuu(int planet);      // supply capacity [0]
// The lowest planet on the map at (x, y); -1 when x or y is -1 or no planet stands there.
int FindPlanetAtXY(int x, int y);

bool ChkInPlanetSateNum(int planet, int slot);  // planet valid and slot 0..4
bool IsPlanetSateValid(int planet, int slot);   // the satellite is a valid ship [false]
// Copies the six values of the record. [nothing, also for null]
void SetPlanetSate(int planet, int slot, const TShipData* ship);
TShipData* GetPlanetSatePtr(int planet, int slot);  // [null]
// Only for a valid satellite: hp >= 1 stores min(hp, the hull's maximum), below 1 removes it.
// Takes 64 bits so that a sum formed by the caller cannot wrap. [nothing]
void SetPlanetSateHp(int planet, int slot, std::int64_t hp);
// Clears the slot; true when done. [false]
bool RemovePlanetSate(int planet, int slot);
// Angle at which the battle places a satellite around the planet: 45, 30, 60, 15, 75. [-1]
int GetPlanetSateAngle(int planet, int slot);

// Queues the planet marks of every planet on the map into the map view (GameHost().AddMapOp);
// a position outside the grid is not drawn.
void PutPlanetsOnMap();
// PLANET_XY then PLANET_CG (inside SaveLoadPlanet in modes 0 and 1, and inside the map file's
// routine in every mode).
void SaveLoadPlanetXY(TDatFile* fp, int mode);
// Modes 0 and 1: SaveLoadPlanetXY, PLANET_SATE; mode 2 instead sets every name index to the
// planet's own and clears the satellites; then every mode PLANET_BELONG, PLANET_INCOME_FUND,
// PLANET_HOKYUU.
void SaveLoadPlanet(TDatFile* fp, int mode);

}  // namespace vdmq
