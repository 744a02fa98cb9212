#pragma once
// A warship of a fleet or a defence satellite of a planet in the arena, built from the world
// model's ship record and parts catalogue: the hull gives durability and armour, the engine
// speed and turn rate, the two weapons two launchers and the shield part a shield. Each frame
// it steers towards its move point, fires its ready launchers, counts its timers down and
// queues its sprites. When the arena deletes it, it writes its durability back into its fleet
// slot or planet satellite slot.

#include <cstdint>

#include "battle/Btlauncher.h"
#include "battle/Btshield.h"
#include "battle/Bttarget.h"
#include "battle/Btunit.h"
#include "campaign/Ship.h"

namespace vdmq {

// Engine-flame points of a hull picture: [hull CG 0..21][point 0..2][direction 0..7] = (dx, dy)
// in screen pixels; kBtNoFlame marks no flame at that point.
constexpr int kBtFlameCgCount = 22;
constexpr int kBtNoFlame = 4096;
extern const int BtFlameTbl[kBtFlameCgCount][3][8][2];

// The set-up argument of a battle ship.
struct TBtShipInfo {
  int32_t x = 0;
  int32_t y = 0;
  int32_t dir = 0;
  int32_t country = -1;
  int32_t fleet = -1;
  int32_t slot = -1;
  int32_t satellite = -1;  // -1 for a fleet ship
};

class TBtShip final : public TBtUnit {
 public:
  TBtShip();
  // Writes the remaining durability back into the fleet slot or the satellite slot.
  ~TBtShip() override;

  // Builds the ship from its fleet slot or satellite slot; the ship stays dead when the slot
  // holds no ship.
  virtual void Setup(const TBtShipInfo& info);
  virtual void Move();
  virtual void Draw();
  virtual void TickEquip();
  virtual void Fire();
  virtual void ForgetUnit(const TBtUnit* unit) { target_.ForgetUnit(unit); }

  bool IsFlagship() const { return flagship_; }
  int GetFleet() const { return fleet_; }
  int GetSlot() const { return slot_; }
  int GetSatellite() const { return satellite_; }
  int GetCommander() const { return commander_; }
  int GetHullSheet() const { return hullSheet_; }
  TBtLauncher& GetLauncher1() { return launcher1_; }
  TBtLauncher& GetLauncher2() { return launcher2_; }
  TBtShield& GetShield() { return shield_; }
  const TBtShield& GetShield() const { return shield_; }
  TBtTarget& GetTarget() { return target_; }
  const TShipData& GetShipData() const { return shipData_; }
  // Refreshes the ship record's durability from the unit's (after every hit).
  void RefreshShipHp() { shipData_.Hp = hp_; }
  // The hull's picture number (-1 without hull), as the sprites show it.
  int HullCg() const;

 private:
  int32_t flameFrame_ = 0;
  bool flagship_ = false;
  int32_t fleet_ = -1;
  int32_t slot_ = -1;
  int32_t satellite_ = -1;
  int32_t commander_ = -1;
  TBtLauncher launcher1_;
  TBtLauncher launcher2_;
  TBtShield shield_;
  int32_t hullSheet_ = -1;
  TShipData shipData_{{-1, -1, -1, -1, -1}, 0};
  TBtTarget target_;
};

}  // namespace vdmq
