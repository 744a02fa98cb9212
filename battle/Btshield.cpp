#include "battle/Btshield.h"

#include "battle/Btunit.h"
#include "campaign/Parts.h"

namespace vdmq {

void TBtShield::Init(int part) {
  part_ = part;
  const TShieldBody* s = GetShieldDataPtr(part);
  if (s == nullptr) return;
  activeTime_ = GetShieldDeployTime(s);
  active_ = 0;
  cooldownTime_ = GetShieldCharge(s);
  cooldown_ = cooldownTime_;
  hp_ = GetShieldHp(s);
  def_ = GetShieldDef(s);
}

void TBtShield::Tick() {
  if (active_ >= 1) {
    --active_;
    if (active_ == 0) cooldown_ = cooldownTime_;
  } else if (cooldown_ > 0) {
    --cooldown_;
  }
}

void TBtShield::On() {
  if (cooldown_ == 0 && active_ == 0) active_ = activeTime_;
}

void TBtShield::Damage(int d) {
  const int64_t hp = hp_ - (1000 - static_cast<int64_t>(def_)) * d / 1000;
  if (hp < 0) {
    hp_ = 0;
    activeTime_ = 0;
  } else {
    hp_ = static_cast<int32_t>(hp > INT32_MAX ? INT32_MAX : hp);
  }
}

void TBtShield::Draw(int x, int y) const {
  TBtViewSink* view = BtViewSink();
  if (view == nullptr) return;
  TBtDrawEntry e;
  e.mapX = x;
  e.mapY = y;
  e.mode = 5;
  e.slot = 8;
  e.frame = active_ % 4;
  view->Put(kBtLayerEffect, e);
}

}  // namespace vdmq
