#pragma once
// A ship's shield: raised for its deploy time, then recharging; it takes whole hits while up
// and breaks for the rest of the battle when its durability runs out (a running activation
// still counts down to its end and keeps taking the hits).

#include <cstdint>

namespace vdmq {

class TBtShield {
 public:
  virtual ~TBtShield() = default;

  // Takes the shield part; a part without catalogue data can never be raised. A shield starts
  // the battle recharging.
  void Init(int part);
  void Tick();
  bool IsOn() const { return active_ >= 1; }
  bool CanOn() const { return cooldown_ == 0 && active_ == 0 && activeTime_ >= 1; }
  void On();
  void Damage(int d);
  // Queues the shield's sprite at (x, y).
  void Draw(int x, int y) const;

  int GetPart() const { return part_; }
  int GetActive() const { return active_; }
  int GetActiveTime() const { return activeTime_; }
  int GetCooldown() const { return cooldown_; }
  int GetCooldownTime() const { return cooldownTime_; }
  int GetHp() const { return hp_; }
  int GetDef() const { return def_; }

 private:
  int32_t part_ = -1;
  int32_t active_ = 0;
  int32_t activeTime_ = 0;
  int32_t cooldown_ = -1;
  int32_t cooldownTime_ = 0;
  int32_t hp_ = 0;
  int32_t def_ = 0;
};

}  // namespace vdmq
