#pragma once
// The catalogue of ship parts: 60 hulls, 40 weapons, 20 engines, 10 shields. Read from the
// new-game data and constant during a game (only the enabled flags also travel in saved games).

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

// The common head of every catalogue entry (eleven signed 32-bit values, in file order).
struct TPartsData {
  std::int32_t NameNum;            // index into the kind's name table
  std::int32_t Cg;                 // picture number
  std::int32_t Price;              // funds
  std::int32_t BuildWork;          // work a dock needs
  std::int32_t FitMask;            // hull class bits the part fits
  std::int32_t Type;               // weapons: 1 or 2, the weapon slot it belongs to
  std::int32_t TecLev[kTecCount];  // required level per technology, -1 none
};
static_assert(sizeof(TPartsData) == 44, "a catalogue head is eleven 32-bit values");

struct TFrameBody {  // hull
  std::int32_t Hp;   // body durability
  std::int32_t Def;  // defence
};
struct TWeaponBody {
  std::int32_t Atk;     // attack
  std::int32_t Range;   // range
  std::int32_t Charge;  // charge time
  std::int32_t Speed;   // projectile speed
  std::int32_t Guide;   // guidance
  std::int32_t Ammo;    // ammunition
  std::int32_t Data6;   // seventh value, used only by missiles
};
struct TEngineBody {
  std::int32_t Speed;
  std::int32_t Turn;  // turn rate
};
struct TShieldBody {
  std::int32_t Hp;          // durability
  std::int32_t Def;         // defence
  std::int32_t DeployTime;  // deploy time
  std::int32_t Charge;      // recharge
};

// Catalogue entries. The enabled flag is kept as the raw byte read from the file and tested as
// non-zero (a file may hold any byte there).
struct TFrameData {
  std::uint8_t Enabled;
  TPartsData Parts;
  TFrameBody Body;
  std::int32_t MoveStep;
  std::int32_t Class;  // class bits 1, 2, 4, 8, 16; set to the fit mask when the catalogue is read
};
struct TWeaponData {
  std::uint8_t Enabled;
  TPartsData Parts;
  TWeaponBody Weapon;
};
struct TEngineData {
  std::uint8_t Enabled;
  TPartsData Parts;
  TEngineBody Engine;
};
struct TShieldData {
  std::uint8_t Enabled;
  TPartsData Parts;
  TShieldBody Shield;
};

// The catalogue tables (filled by SaveLoadParts; exposed for whole-world snapshots).
extern TFrameData FrameData[kFrameCount];
extern TWeaponData WeaponData[kWeaponCount];
extern TEngineData EngineData[kEngineCount];
extern TShieldData ShieldData[kShieldCount];

// Hull class bits and their captions.
constexpr int kFrameClassLaserDestroyer = 1;
constexpr int kFrameClassMissileDestroyer = 2;
constexpr int kFrameClassLaserCruiser = 4;
constexpr int kFrameClassMissileCruiser = 8;
constexpr int kFrameClassSatellite = 16;  // defence satellites are hulls of this class

// Quiet index checks (0..59, 0..39, 0..19, 0..9), also for the name indices of the entries.
bool ChkInFrameNum(int index);
bool ChkInWeaponNum(int index);
bool ChkInEngineNum(int index);
bool ChkInShieldNum(int index);
bool ChkInFrameNameNum(int nameNum);
bool ChkInWeaponNameNum(int nameNum);
bool ChkInEngineNameNum(int nameNum);
bool ChkInShieldNameNum(int nameNum);

// Heads of the entries; null for a bad index.
const TPartsData* GetFramePartsPtr(int index);
const TPartsData* GetWeaponPartsPtr(int index);
const TPartsData* GetEnginePartsPtr(int index);
const TPartsData* GetShieldPartsPtr(int index);

// The values after the head; null for a bad index.
const TFrameBody* GetFrameBodyPtr(int index);
const TWeaponBody* GetWeaponDataPtr(int index);
const TEngineBody* GetEngineDataPtr(int index);
const TShieldBody* GetShieldDataPtr(int index);

// Names (CP932, "" for an empty table entry); null for a bad index or a bad name index.
const char* GetFrameName(int index);
const char* GetWeaponName(int index);
const char* GetEngineName(int index);
const char* GetShieldName(int index);

// The entries' enabled flags; false for a bad index.
bool GetFrameEnabled(int index);
bool GetWeaponEnabled(int index);
bool GetEngineEnabled(int index);
bool GetShieldEnabled(int index);

// Hull -> class bits; 0 for a bad index.
int GetFrameClass(int index);
// Class bits -> caption: "" for 0, null for any value other than 0, 1, 2, 4, 8, 16.
const char* GetFrameClassName(int classBits);
// Hull -> move step; -1 for a bad index.
int GetFrameMoveStep(int index);

// Part kind -> table size (60, 40, 40, 20, 10); 0 for another kind.
int GetPartsCount(int kind);
// Part kind and index -> head; null for a bad kind or index. Kind 1 gives a weapon only when its
// type is 1, kind 2 only when its type is 2.
const TPartsData* GetPartsPtr(int kind, int index);
// Part kind and index -> name; null for a bad kind or index. Kinds 1 and 2 both name any weapon.
const char* GetPartsName(int kind, int index);

// Fields of a head; -1 for null.
int GetPartsCg(const TPartsData* parts);
int GetPartsPrice(const TPartsData* parts);
int GetPartsBuildWork(const TPartsData* parts);
int GetPartsFitMask(const TPartsData* parts);
int GetPartsType(const TPartsData* parts);
// Required level of technology 0..4; -1 for null or another technology.
int GetPartsTecLev(const TPartsData* parts, int tec);

// Hull values; -1 for null.
int GetFrameBodyHp(const TFrameBody* body);
int GetFrameBodyDef(const TFrameBody* body);
// Weapon values; -1 for null (ammunition and the seventh value: 0).
int GetWeaponAtk(const TWeaponBody* weapon);
int GetWeaponRange(const TWeaponBody* weapon);
int GetWeaponCharge(const TWeaponBody* weapon);
int GetWeaponSpeed(const TWeaponBody* weapon);
int GetWeaponGuide(const TWeaponBody* weapon);
int GetWeaponAmmo(const TWeaponBody* weapon);
int GetWeaponData6(const TWeaponBody* weapon);
// Engine values; -1 for null.
int GetEngineSpeed(const TEngineBody* engine);
int GetEngineTurn(const TEngineBody* engine);
// Shield values; 0 for null.
int GetShieldHp(const TShieldBody* shield);
int GetShieldDef(const TShieldBody* shield);
int GetShieldDeployTime(const TShieldBody* shield);
int GetShieldCharge(const TShieldBody* shield);

// True when the part's fit mask shares a bit with the class bits; false for null.
bool IsPartsFit(int classBits, const TPartsData* parts);
// Every technology's requirement is -1 or at most its current level; false for null.
bool IsPartsTecOk(const TPartsData* parts);

// Keys FRAME_PARTS .. SHIELD_SHIELD (mode 2 only; afterwards each hull's class is its fit mask),
// then FRAME_ENABLED .. SHIELD_ENABLED (every mode).
void SaveLoadParts(TDatFile* fp, int mode);

}  // namespace vdmq
