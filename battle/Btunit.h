#pragma once
// Battle units: everything that moves in the arena (ships, satellites, missiles, trails,
// flashes and explosions) is a TBtUnit, a circle with position, heading, speed, durability,
// armour, a country and two bit sets that decide who can hit whom. All arithmetic is integer,
// in arena units (4 to a screen pixel); headings are tenths of a degree, 0 along +x, 900 along
// +y.
//
// The unit also declares TBtViewSink, the narrow face of the battle view that units draw
// through: the view registers itself with SetBtViewSink while a battle is shown; without a
// view (headless battles, tests) nothing is drawn and no sprite sheet is loaded.

#include <cstdint>

#include "battle/Btmath.h"

namespace vdmq {

// Kind bits of a unit and of a hit mask.
constexpr int kBtKindShip = 1;
constexpr int kBtKindMissile = 2;

// The record that sets a unit up. Country, x and y start at -1, all else at 0.
struct TBtUnitInfo {
  int32_t hp = 0;
  int32_t armor = 0;
  int32_t country = -1;
  int32_t radius = 0;
  int32_t hitMask = 0;
  int32_t kind = 0;
  int32_t x = -1;
  int32_t y = -1;
  int32_t dir = 0;
  int32_t speed = 0;
  int32_t maxSpeed = 0;
  int32_t accel = 0;
  int32_t turn = 0;
  int32_t maxTurn = 0;
};

class TBtUnit {
 public:
  TBtUnit() = default;
  TBtUnit(const TBtUnit&) = delete;
  TBtUnit& operator=(const TBtUnit&) = delete;
  virtual ~TBtUnit() = default;

  // Copies the record and brings the unit to life; speed and turn are capped by their maxima.
  virtual void Init(const TBtUnitInfo& info);
  virtual int GetOwner() const { return country_; }
  virtual bool IsAlive() const { return alive_; }
  virtual void Kill() { alive_ = false; }
  virtual int GetHp() const { return hp_; }
  virtual int GetArmor() const { return armor_; }
  virtual int GetX() const { return x_; }
  virtual int GetY() const { return y_; }
  virtual int GetRadius() const { return radius_; }
  virtual int GetHitMask() const { return hitMask_; }
  virtual int GetKind() const { return kind_; }
  virtual int GetSpeed() const { return speed_; }
  virtual int GetDir() const { return dir_; }
  virtual int GetTurn() const { return turn_; }
  virtual int GetTurnMax() const { return maxTurn_; }
  virtual int GetCountry() const { return country_; }
  virtual void SetHp(int v) { hp_ = v; }
  virtual void SetSpeed(int v) { speed_ = v; }
  virtual void SpeedUp();
  virtual void SpeedDown();
  // Heading modulo 3600 for any input.
  virtual void SetDir(int v);
  virtual void SetTurn(int v) { turn_ = v; }
  virtual void SetPos(int x, int y);
  // Damage reduced by the armour (per mille); the unit dies when its durability drops below 1.
  virtual void Damage(int d);
  // Next position along heading dir + turn at the current speed; nothing for a dead unit.
  virtual void GetNextPos(int& x, int& y) const;
  virtual bool ChkHitUnit(const TBtUnit* other) const;
  virtual bool ChkHitCircle(int x, int y, int r) const { return alive_ && BtChkCircle(x_, y_, radius_, r, y, x); }

  // Extra read-outs for tests and tools (not part of the unit's behaviour).
  int GetMaxSpeed() const { return maxSpeed_; }
  int GetAccel() const { return accel_; }

 protected:
  bool alive_ = false;
  int32_t hp_ = 0;
  int32_t armor_ = 0;
  int32_t country_ = 0;
  int32_t radius_ = 0;
  int32_t hitMask_ = 0;
  int32_t kind_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t speed_ = 0;
  int32_t maxSpeed_ = 0;
  int32_t accel_ = 0;
  int32_t dir_ = 0;
  int32_t turn_ = 0;
  int32_t maxTurn_ = 0;
};

// Draw modes of a queued sprite.
constexpr int kBtDrawPlain = 0;
constexpr int kBtDrawAdditive = 5;

// One queued sprite of a unit: map position in arena units, pixel offset, draw mode
// (kBtDrawPlain or kBtDrawAdditive), sheet slot and frame.
struct TBtDrawEntry {
  int32_t mapX = 0;
  int32_t mapY = 0;
  int32_t dx = 0;
  int32_t dy = 0;
  int32_t mode = 0;
  int32_t slot = -1;
  int32_t frame = -1;
};

// Draw layers of the battle view.
constexpr int kBtLayerHull = 1;
constexpr int kBtLayerMissile = 2;
constexpr int kBtLayerEffect = 3;

// What the units and the arena need of the battle view.
class TBtViewSink {
 public:
  virtual ~TBtViewSink() = default;
  // Loads a sprite sheet of a file kind and number cut into rows x cols frames; its slot, or
  // -1 when every slot is taken.
  virtual int AddPat(int kind, int number, int rows, int cols) = 0;
  // Queues one sprite on a layer (0..3).
  virtual void Put(int layer, const TBtDrawEntry& entry) = 0;
  // The mouse position in arena units ((scroll + mouse pixel) * 4 on each axis).
  virtual void GetMouseMapPos(int& x, int& y) const = 0;
  // Scrolls so that the pixel (px, py) of the arena lies in the middle, then redraws.
  virtual void CenterOn(int px, int py) = 0;
  // Redraws the view and the minimap.
  virtual void Redraw() = 0;
};

// The registered view, nullptr when the battle is not shown.
TBtViewSink* BtViewSink();
void SetBtViewSink(TBtViewSink* sink);

}  // namespace vdmq
