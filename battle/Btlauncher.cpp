#include "battle/Btlauncher.h"

#include "battle/Btqvmap.h"
#include "campaign/Parts.h"

namespace vdmq {

void TBtLauncher::Init(int part) {
  part_ = part;
  const TWeaponBody* w = GetWeaponDataPtr(part);
  reloadTime_ = w != nullptr ? GetWeaponCharge(w) : -1;
  counter_ = reloadTime_;
  salvo_ = GetWeaponAmmo(w);
}

void TBtLauncher::Tick() {
  if (counter_ > 0) --counter_;
}

void TBtLauncher::Fire(int country, int x, int y, const TBtTarget& target) {
  TBtMissileInfo info;
  info.x = x;
  info.y = y;
  info.part = part_;
  info.country = country;
  info.target = target;
  if (BtQvMap != nullptr) {
    // Nothing frees a missile slot during a salvo, so a salvo beyond the array's size (a damaged
    // catalogue) stops once every slot could have been taken.
    for (int i = 0; i < salvo_ && i < kBtMissileSlots; ++i) BtQvMap->AddMissile(info);
  }
  if (counter_ == 0) counter_ = reloadTime_;
}

}  // namespace vdmq
