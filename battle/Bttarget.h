#pragma once
// Targeting: where a ship or missile wants to go (a move target) and what it shoots at (a fire
// target), each another unit or a fixed point, plus the parameters of its automatic behaviour.
// Ship AI retargets the nearest enemy every 10 frames, closes in from afar and swings to a
// flanking point once near; missile AI homes on the nearest enemy within 1200 units. The
// player's orders put the selected ship's target into manual mode.

#include <cstdint>

namespace vdmq {

class TBtUnit;

constexpr int kBtTargetManual = -1;
constexpr int kBtTargetNone = 0;
constexpr int kBtTargetShipAi = 1;
constexpr int kBtTargetMissileAi = 2;

class TBtTarget {
 public:
  TBtTarget() = default;
  TBtTarget(const TBtTarget&) = default;
  TBtTarget& operator=(const TBtTarget&) = default;
  virtual ~TBtTarget() = default;

  // Mode 0, no units, move point none; the period and the fire point stay.
  void Clear();
  // 0: Clear. 1 ship AI, 2 missile AI: Clear and that mode's parameters. Others: no change.
  void SetMode(int mode);
  int GetMode() const { return mode_; }
  void SetMovePos(int x, int y);
  void SetMoveUnit(TBtUnit* unit);
  void ClearMove();
  // The player's move order: Clear, manual mode, move point.
  void SetManualPos(int x, int y);
  void SetFirePos(int x, int y);
  void SetFireUnit(TBtUnit* unit);
  // The player's fire order.
  void SetAttackPos(int x, int y) { SetFirePos(x, y); }
  // The unit's position while it is set and alive, else the point ((-1, -1) for none).
  void GetMovePos(int& x, int& y) const;
  void GetFirePos(int& x, int& y) const;
  // Drops a unit that is about to be deleted.
  void ForgetUnit(const TBtUnit* unit) {
    if (moveUnit_ == unit) moveUnit_ = nullptr;
    if (fireUnit_ == unit) fireUnit_ = nullptr;
  }
  // The automatic step, at the start of every move of its owner.
  void Update(const TBtUnit* self);

  TBtUnit* GetMoveUnit() const { return moveUnit_; }
  TBtUnit* GetFireUnit() const { return fireUnit_; }
  int GetFlank() const { return flank_; }
  int GetEngage() const { return engage_; }
  int GetCountdown() const { return countdown_; }
  int GetPeriod() const { return period_; }
  int GetSearch() const { return search_; }

 private:
  int32_t mode_ = kBtTargetNone;
  TBtUnit* moveUnit_ = nullptr;
  int32_t moveX_ = -1;
  int32_t moveY_ = -1;
  TBtUnit* fireUnit_ = nullptr;
  int32_t fireX_ = -1;
  int32_t fireY_ = -1;
  int32_t flank_ = 0;
  int32_t engage_ = 0;
  int32_t countdown_ = 0;
  int32_t period_ = 0;
  int32_t search_ = 0;
};

}  // namespace vdmq
