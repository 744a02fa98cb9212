#pragma once
// A ship's missile launcher: one weapon part, its reload counter and the salvo it fires.

#include <cstdint>

#include "battle/Bttarget.h"

namespace vdmq {

// What a launcher hands the arena for every missile of a salvo.
struct TBtMissileInfo {
  int32_t x = 0;
  int32_t y = 0;
  int32_t part = -1;  // weapon index
  int32_t country = -1;
  TBtTarget target;  // copy of the firing ship's targeting state
};

class TBtLauncher {
 public:
  virtual ~TBtLauncher() = default;

  // Takes the weapon; a launcher starts the battle reloading. Without a weapon the reload time
  // is -1 and the salvo 0, so it is never ready.
  void Init(int part);
  bool IsReady() const { return counter_ == 0; }
  void Tick();
  // Fires a salvo of missiles from (x, y) at the target's fire point and starts reloading.
  void Fire(int country, int x, int y, const TBtTarget& target);

  int GetPart() const { return part_; }
  int GetCounter() const { return counter_; }
  int GetReloadTime() const { return reloadTime_; }
  int GetSalvo() const { return salvo_; }

 private:
  int32_t part_ = -1;
  int32_t counter_ = -1;
  int32_t reloadTime_ = 0;
  int32_t salvo_ = 0;
};

}  // namespace vdmq
