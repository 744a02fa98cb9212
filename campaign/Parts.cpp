#include "campaign/Parts.h"

#include "campaign/PartsNames.h"
#include "campaign/Save.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"

namespace vdmq {

TFrameData FrameData[kFrameCount];
TWeaponData WeaponData[kWeaponCount];
TEngineData EngineData[kEngineCount];
TShieldData ShieldData[kShieldCount];

bool ChkInFrameNum(int index) { return index >= 0 && index < kFrameCount; }
bool ChkInWeaponNum(int index) { return index >= 0 && index < kWeaponCount; }
bool ChkInEngineNum(int index) { return index >= 0 && index < kEngineCount; }
bool ChkInShieldNum(int index) { return index >= 0 && index < kShieldCount; }
bool ChkInFrameNameNum(int nameNum) { return nameNum >= 0 && nameNum < kFrameNameCount; }
bool ChkInWeaponNameNum(int nameNum) { return nameNum >= 0 && nameNum < kWeaponNameCount; }
bool ChkInEngineNameNum(int nameNum) { return nameNum >= 0 && nameNum < kEngineNameCount; }
bool ChkInShieldNameNum(int nameNum) { return nameNum >= 0 && nameNum < kShieldNameCount; }

const TPartsData* GetFramePartsPtr(int index) { return ChkInFrameNum(index) ? &FrameData[index].Parts : nullptr; }
const TPartsData* GetWeaponPartsPtr(int index) { return ChkInWeaponNum(index) ? &WeaponData[index].Parts : nullptr; }
const TPartsData* GetEnginePartsPtr(int index) { return ChkInEngineNum(index) ? &EngineData[index].Parts : nullptr; }
const TPartsData* GetShieldPartsPtr(int index) { return ChkInShieldNum(index) ? &ShieldData[index].Parts : nullptr; }

const TFrameBody* GetFrameBodyPtr(int index) { return ChkInFrameNum(index) ? &FrameData[index].Body : nullptr; }
const TWeaponBody* GetWeaponDataPtr(int index) { return ChkInWeaponNum(index) ? &WeaponData[index].Weapon : nullptr; }
const TEngineBody* GetEngineDataPtr(int index) { return ChkInEngineNum(index) ? &EngineData[index].Engine : nullptr; }
const TShieldBody* GetShieldDataPtr(int index) { return ChkInShieldNum(index) ? &ShieldData[index].Shield : nullptr; }

const char* GetFrameName(int index) {
  return ChkInFrameNum(index) ? FrameNameText(FrameData[index].Parts.NameNum) : nullptr;
}
const char* GetWeaponName(int index) {
  return ChkInWeaponNum(index) ? WeaponNameText(WeaponData[index].Parts.NameNum) : nullptr;
}
const char* GetEngineName(int index) {
  return ChkInEngineNum(index) ? EngineNameText(EngineData[index].Parts.NameNum) : nullptr;
}
const char* GetShieldName(int index) {
  return ChkInShieldNum(index) ? ShieldNameText(ShieldData[index].Parts.NameNum) : nullptr;
}

bool GetFrameEnabled(int index) { return ChkInFrameNum(index) && FrameData[index].Enabled != 0; }
bool GetWeaponEnabled(int index) { return ChkInWeaponNum(index) && WeaponData[index].Enabled != 0; }
bool GetEngineEnabled(int index) { return ChkInEngineNum(index) && EngineData[index].Enabled != 0; }
bool GetShieldEnabled(int index) { return ChkInShieldNum(index) && ShieldData[index].Enabled != 0; }

int GetFrameClass(int index) { return ChkInFrameNum(index) ? FrameData[index].Class : 0; }

const char* GetFrameClassName(int classBits) {
  switch (classBits) {
    case 0: return "";
    case kFrameClassLaserDestroyer: return SJS("レーザー駆逐艦").c_str();
    case kFrameClassMissileDestroyer: return SJS("ミサイル駆逐艦").c_str();
    case kFrameClassLaserCruiser: return SJS("レーザー巡洋艦").c_str();
    case kFrameClassMissileCruiser: return SJS("ミサイル巡洋艦").c_str();
    case kFrameClassSatellite: return SJS("防御衛星").c_str();
    default: return nullptr;
  }
}

int GetFrameMoveStep(int index) { return ChkInFrameNum(index) ? FrameData[index].MoveStep : -1; }

int GetPartsCount(int kind) {
  switch (kind) {
    case kPartsFrame: return kFrameCount;
    case kPartsWeapon1:
    case kPartsWeapon2: return kWeaponCount;
    case kPartsEngine: return kEngineCount;
    case kPartsShield: return kShieldCount;
    default: return 0;
  }
}

const TPartsData* GetPartsPtr(int kind, int index) {
  switch (kind) {
    case kPartsFrame: return GetFramePartsPtr(index);
    case kPartsWeapon1:
    case kPartsWeapon2: {
      const TPartsData* p = GetWeaponPartsPtr(index);
      return (p != nullptr && p->Type == kind) ? p : nullptr;
    }
    case kPartsEngine: return GetEnginePartsPtr(index);
    case kPartsShield: return GetShieldPartsPtr(index);
    default: return nullptr;
  }
}

const char* GetPartsName(int kind, int index) {
  switch (kind) {
    case kPartsFrame: return GetFrameName(index);
    case kPartsWeapon1:
    case kPartsWeapon2: return GetWeaponName(index);
    case kPartsEngine: return GetEngineName(index);
    case kPartsShield: return GetShieldName(index);
    default: return nullptr;
  }
}

int GetPartsCg(const TPartsData* parts) { return parts != nullptr ? parts->Cg : -1; }
int GetPartsPrice(const TPartsData* parts) { return parts != nullptr ? parts->Price : -1; }
int GetPartsBuildWork(const TPartsData* parts) { return parts != nullptr ? parts->BuildWork : -1; }
int GetPartsFitMask(const TPartsData* parts) { return parts != nullptr ? parts->FitMask : -1; }
int GetPartsType(const TPartsData* parts) { return parts != nullptr ? parts->Type : -1; }
int GetPartsTecLev(const TPartsData* parts, int tec) {
  return (parts != nullptr && ChkInTecNum(tec)) ? parts->TecLev[tec] : -1;
}

int GetFrameBodyHp(const TFrameBody* body) { return body != nullptr ? body->Hp : -1; }
int GetFrameBodyDef(const TFrameBody* body) { return body != nullptr ? body->Def : -1; }

int GetWeaponAtk(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Atk : -1; }
int GetWeaponRange(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Range : -1; }
int GetWeaponCharge(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Charge : -1; }
int GetWeaponSpeed(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Speed : -1; }
int GetWeaponGuide(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Guide : -1; }
int GetWeaponAmmo(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Ammo : 0; }
int GetWeaponData6(const TWeaponBody* weapon) { return weapon != nullptr ? weapon->Data6 : 0; }

int GetEngineSpeed(const TEngineBody* engine) { return engine != nullptr ? engine->Speed : -1; }
int GetEngineTurn(const TEngineBody* engine) { return engine != nullptr ? engine->Turn : -1; }

int GetShieldHp(const TShieldBody* shield) { return shield != nullptr ? shield->Hp : 0; }
int GetShieldDef(const TShieldBody* shield) { return shield != nullptr ? shield->Def : 0; }
int GetShieldDeployTime(const TShieldBody* shield) { return shield != nullptr ? shield->DeployTime : 0; }
int GetShieldCharge(const TShieldBody* shield) { return shield != nullptr ? shield->Charge : 0; }

bool IsPartsFit(int classBits, const TPartsData* parts) {
  return parts != nullptr && (parts->FitMask & classBits) != 0;
}

bool IsPartsTecOk(const TPartsData* parts) {
  if (parts == nullptr) return false;
  for (int t = 0; t < kTecCount; ++t) {
    const int need = parts->TecLev[t];
    if (need != -1 && need > GetTecLev(t)) return false;
  }
  return true;
}

namespace {

// One "int" block of a catalogue table: per entry, `values` 32-bit values starting at field().
template <class Entry, class Field>
void TransferInts(TDatFile* fp, int mode, const char* key, Entry* table, int entries, int values, Field field) {
  ReadWriteKey(mode, fp, key, "int", static_cast<std::uint32_t>(entries * values));
  for (int i = 0; i < entries; ++i) {
    ReadWriteData(mode, field(table[i]), sizeof(std::int32_t), static_cast<std::size_t>(values), fp);
  }
}

template <class Entry>
void TransferEnabled(TDatFile* fp, int mode, const char* key, Entry* table, int entries) {
  ReadWriteKey(mode, fp, key, "bool", static_cast<std::uint32_t>(entries));
  for (int i = 0; i < entries; ++i) ReadWriteData(mode, &table[i].Enabled, 1, 1, fp);
}

}  // namespace

void SaveLoadParts(TDatFile* fp, int mode) {
  static_assert(sizeof(TFrameBody) == 2 * 4 && sizeof(TWeaponBody) == 7 * 4 && sizeof(TEngineBody) == 2 * 4 &&
                    sizeof(TShieldBody) == 4 * 4,
                "catalogue values are packed 32-bit integers");
  if (mode == kSaveModeNew) {
    TransferInts(fp, mode, "FRAME_PARTS", FrameData, kFrameCount, 11, [](TFrameData& e) { return &e.Parts; });
    TransferInts(fp, mode, "FRAME_BODY", FrameData, kFrameCount, 2, [](TFrameData& e) { return &e.Body; });
    TransferInts(fp, mode, "FRAME_MOVE_STEP", FrameData, kFrameCount, 1, [](TFrameData& e) { return &e.MoveStep; });
    for (TFrameData& e : FrameData) e.Class = e.Parts.FitMask;
    TransferInts(fp, mode, "WEAPON_PARTS", WeaponData, kWeaponCount, 11, [](TWeaponData& e) { return &e.Parts; });
    TransferInts(fp, mode, "WEAPON_WEAPON", WeaponData, kWeaponCount, 7, [](TWeaponData& e) { return &e.Weapon; });
    TransferInts(fp, mode, "ENGINE_PARTS", EngineData, kEngineCount, 11, [](TEngineData& e) { return &e.Parts; });
    TransferInts(fp, mode, "ENGINE_ENGINE", EngineData, kEngineCount, 2, [](TEngineData& e) { return &e.Engine; });
    TransferInts(fp, mode, "SHIELD_PARTS", ShieldData, kShieldCount, 11, [](TShieldData& e) { return &e.Parts; });
    TransferInts(fp, mode, "SHIELD_SHIELD", ShieldData, kShieldCount, 4, [](TShieldData& e) { return &e.Shield; });
  }
  TransferEnabled(fp, mode, "FRAME_ENABLED", FrameData, kFrameCount);
  TransferEnabled(fp, mode, "WEAPON_ENABLED", WeaponData, kWeaponCount);
  TransferEnabled(fp, mode, "ENGINE_ENABLED", EngineData, kEngineCount);
  TransferEnabled(fp, mode, "SHIELD_ENABLED", ShieldData, kShieldCount);
}

}  // namespace vdmq
