#pragma once
// The world's index ranges and the ship record TShipData with its rules: validity, price, refund
// value, build work and fitting parts to a hull. One record stands for a ship in a fleet slot, a
// defence satellite, a ship in a dock or a design in the ship designer.

#include <cstdint>

namespace vdmq {

class TDatFile;

// Sizes of the world's fixed tables; every index runs 0..size-1 and -1 means "none".
constexpr int kCountryCount = 14;         // country 0..13
constexpr int kFleetCount = 10;           // fleet within a country 0..9
constexpr int kFleetShipCount = 3;        // ship slot within a fleet 0..2
constexpr int kPlanetCount = 100;         // planet (and planet name) 0..99
constexpr int kPlanetSateCount = 5;       // satellite slot within a planet 0..4
constexpr int kPlanetDockCount = 3;       // dock within a planet 0..2
constexpr int kCmdCount = 120;            // commander 0..119
constexpr int kCmdClassNameCount = 8;     // commander class name 0..7
constexpr int kEventCharacterCount = 38;  // event character 0..37
constexpr int kTecCount = 5;              // technology 0..4
constexpr int kTecLevCount = 20;          // technology level 1..20
constexpr int kFleetRouteCount = 256;     // fleet route step 0..255
constexpr int kFrameCount = 60;           // hull 0..59
constexpr int kWeaponCount = 40;          // weapon 0..39
constexpr int kEngineCount = 20;          // engine 0..19
constexpr int kShieldCount = 10;          // shield 0..9

// Part kinds: the positions 0..4 of a ship record, also the kind numbers of the catalogue.
constexpr int kPartsFrame = 0;    // hull
constexpr int kPartsWeapon1 = 1;  // weapon of type 1
constexpr int kPartsWeapon2 = 2;  // weapon of type 2
constexpr int kPartsEngine = 3;   // engine
constexpr int kPartsShield = 4;   // shield
constexpr int kPartsKindCount = 5;

// One ship, defence satellite or design: five part indices (-1 none) and the current durability.
// Stored in files as six signed 32-bit values in this order.
struct TShipData {
  std::int32_t Parts[kPartsKindCount];  // indexed by part kind
  std::int32_t Hp;                      // current durability, 0 when empty
};
static_assert(sizeof(TShipData) == 24, "a ship record is six 32-bit values");

// Every operation takes a pointer to a record; a null pointer gives the result in brackets.

// Hull, weapon 1 and engine set and durability at least 1 (weapon 2 and shield may be absent). [false]
bool IsShipValid(const TShipData* ship);
// The five part indices to -1, durability to 0; true. [false]
bool ClearShip(TShipData* ship);
// The hull's body durability; 0 without hull. [0]
int GetShipMaxHp(const TShipData* ship);
// Current durability. [0]
int GetShipHp(const TShipData* ship);
// The hull's name (CP932); null without hull. [null]
const char* GetShipName(const TShipData* ship);
// The hull's picture number; -1 without hull. [-1]
int GetShipCg(const TShipData* ship);
// The hull's move step; -1 without hull. [0]
int GetShipMoveStep(const TShipData* ship);
// Sum of the prices of the parts that are set (an absent part adds nothing), saturated to the
// 32-bit range. [0]
int GetShipPrice(const TShipData* ship);
// Sum of the build work of the parts that are set, saturated to the 32-bit range. [-1]
int GetShipBuildWork(const TShipData* ship);
// Refund when a ship is given up in a dock: price / 2 + ((price / 4) * hp) / max, clamped by
// LimitFund, computed in 64 bits; 0 when the maximum durability is 0 or less. [0]
int GetShipValue(const TShipData* ship);
// The part index at part kind 0..4. [-1, also for another kind]
int GetShipParts(const TShipData* ship, int kind);
// Stores index at part kind 0..4 (another kind does nothing). A new hull (kind 0) also sets the
// durability to the hull's body durability and clears every other part that does not fit the new
// hull's class (every part when the hull is removed). [nothing]
void SetShipParts(TShipData* ship, int kind, int index);
// SetShipParts(ship, kind, -1). [nothing]
void RemoveShipParts(TShipData* ship, int kind);
// Transfers one record with the block operations: the five part indices as one group of five
// "int" values, then the durability as one value. After a read, a durability above the hull's
// maximum is lowered to it. The caller transfers the block head. [nothing]
void SaveLoadShip(TShipData* ship, TDatFile* fp, int mode);

}  // namespace vdmq
