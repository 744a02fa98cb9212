#include "campaign/Ship.h"

#include <cstdint>
#include <limits>

#include "campaign/Parts.h"
#include "campaign/Save.h"
#include "campaign/Stdfunc.h"

namespace vdmq {

namespace {

bool IsPartsKind(int kind) { return kind >= 0 && kind < kPartsKindCount; }

int Saturate32(std::int64_t v) {
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<int>(v);
}

int Frame(const TShipData* ship) { return ship->Parts[kPartsFrame]; }

}  // namespace

bool IsShipValid(const TShipData* ship) {
  if (ship == nullptr) return false;
  return ship->Parts[kPartsFrame] != -1 && ship->Parts[kPartsWeapon1] != -1 && ship->Parts[kPartsEngine] != -1 &&
         ship->Hp >= 1;
}

bool ClearShip(TShipData* ship) {
  if (ship == nullptr) return false;
  for (std::int32_t& p : ship->Parts) p = -1;
  ship->Hp = 0;
  return true;
}

int GetShipMaxHp(const TShipData* ship) {
  if (ship == nullptr) return 0;
  const TFrameBody* body = GetFrameBodyPtr(Frame(ship));
  return body != nullptr ? GetFrameBodyHp(body) : 0;
}

int GetShipHp(const TShipData* ship) { return ship != nullptr ? ship->Hp : 0; }

const char* GetShipName(const TShipData* ship) {
  if (ship == nullptr) return nullptr;
  return GetFrameName(Frame(ship));
}

int GetShipCg(const TShipData* ship) {
  if (ship == nullptr) return -1;
  return GetPartsCg(GetFramePartsPtr(Frame(ship)));
}

int GetShipMoveStep(const TShipData* ship) {
  if (ship == nullptr) return 0;
  return GetFrameMoveStep(Frame(ship));
}

int GetShipPrice(const TShipData* ship) {
  if (ship == nullptr) return 0;
  std::int64_t sum = 0;
  for (int k = 0; k < kPartsKindCount; ++k) {
    // An absent part (or one that is not in the catalogue) adds nothing.
    const TPartsData* p = GetPartsPtr(k, ship->Parts[k]);
    if (p != nullptr) sum += GetPartsPrice(p);
  }
  return Saturate32(sum);
}

int GetShipBuildWork(const TShipData* ship) {
  if (ship == nullptr) return -1;
  std::int64_t sum = 0;
  for (int k = 0; k < kPartsKindCount; ++k) {
    const TPartsData* p = GetPartsPtr(k, ship->Parts[k]);
    if (p != nullptr) sum += GetPartsBuildWork(p);
  }
  return Saturate32(sum);
}

int GetShipValue(const TShipData* ship) {
  if (ship == nullptr) return 0;
  const std::int64_t max = GetShipMaxHp(ship);
  if (max <= 0) return 0;
  const std::int64_t price = GetShipPrice(ship);
  const std::int64_t hp = ship->Hp;
  return LimitFund(price / 2 + ((price / 4) * hp) / max);
}

int GetShipParts(const TShipData* ship, int kind) {
  if (ship == nullptr || !IsPartsKind(kind)) return -1;
  return ship->Parts[kind];
}

void SetShipParts(TShipData* ship, int kind, int index) {
  if (ship == nullptr || !IsPartsKind(kind)) return;
  ship->Parts[kind] = index;
  if (kind != kPartsFrame) return;
  // A new hull: full durability, and every part that does not fit its class comes off (all of
  // them when the hull is removed, since no class fits then).
  ship->Hp = GetShipMaxHp(ship);
  const int cls = GetFrameClass(index);
  for (int k = kPartsWeapon1; k < kPartsKindCount; ++k) {
    if (ship->Parts[k] == -1) continue;
    if (!IsPartsFit(cls, GetPartsPtr(k, ship->Parts[k]))) ship->Parts[k] = -1;
  }
}

void RemoveShipParts(TShipData* ship, int kind) { SetShipParts(ship, kind, -1); }

void SaveLoadShip(TShipData* ship, TDatFile* fp, int mode) {
  if (ship == nullptr) return;
  ReadWriteData(mode, ship->Parts, sizeof(std::int32_t), kPartsKindCount, fp);
  ReadWriteData(mode, &ship->Hp, sizeof(std::int32_t), 1, fp);
  if (mode != kSaveModeWrite) {
    const int max = GetShipMaxHp(ship);
    if (ship->Hp > max) ship->Hp = max;
  }
}

}  // namespace vdmq
