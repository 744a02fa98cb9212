#pragma once
// Missiles: homing units with a limited life, fired in salvos by the launchers, that explode on
// the first enemy ship they touch or when their life runs out, leaving trails behind them.

#include <cstdint>

#include "battle/Btlauncher.h"
#include "battle/Bttarget.h"
#include "battle/Btunit.h"

namespace vdmq {

// Frames of the missile sprite sheet (6 rows x 8 columns).
constexpr int kBtMissileSheetFrames = 48;

class TBtMissile final : public TBtUnit {
 public:
  TBtMissile() = default;

  virtual void Setup(const TBtMissileInfo& info);
  virtual void Move();
  virtual void ChkHit();
  virtual void Draw();
  virtual void ForgetUnit(const TBtUnit* unit) { target_.ForgetUnit(unit); }

  int GetPart() const { return part_; }
  int GetDamage() const { return damage_; }
  int GetLife() const { return life_; }
  int GetMissileKind() const { return missileKind_; }
  int GetSheet() const { return sheet_; }
  TBtTarget& GetTarget() { return target_; }

 private:
  int32_t part_ = -1;
  int32_t damage_ = 0;
  int32_t life_ = 0;
  TBtTarget target_;
  int32_t sheet_ = 0;
  int32_t missileKind_ = 0;
};

}  // namespace vdmq
