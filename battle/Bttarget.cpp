#include "battle/Bttarget.h"

#include <initializer_list>

#include "battle/Btmath.h"
#include "battle/Btqvmap.h"
#include "battle/Btship.h"
#include "battle/Btunit.h"

namespace vdmq {

void TBtTarget::Clear() {
  mode_ = kBtTargetNone;
  moveUnit_ = nullptr;
  fireUnit_ = nullptr;
  moveX_ = -1;
  moveY_ = -1;
  flank_ = 0;
  engage_ = 0;
  countdown_ = 0;
  search_ = 0;
}

void TBtTarget::SetMode(int mode) {
  switch (mode) {
    case kBtTargetNone: Clear(); break;
    case kBtTargetShipAi:
      Clear();
      mode_ = mode;
      flank_ = 400;
      engage_ = 1600;
      countdown_ = 0;
      period_ = 10;
      search_ = 12800;
      break;
    case kBtTargetMissileAi:
      Clear();
      mode_ = mode;
      flank_ = 0;
      engage_ = 0;
      countdown_ = 0;
      period_ = 10;
      search_ = 1200;
      break;
    default: break;
  }
}

void TBtTarget::SetMovePos(int x, int y) {
  moveX_ = x;
  moveY_ = y;
  moveUnit_ = nullptr;
}

void TBtTarget::SetMoveUnit(TBtUnit* unit) {
  moveUnit_ = unit;
  moveX_ = -1;
  moveY_ = -1;
}

void TBtTarget::ClearMove() {
  moveX_ = -1;
  moveY_ = -1;
  moveUnit_ = nullptr;
}

void TBtTarget::SetManualPos(int x, int y) {
  Clear();
  mode_ = kBtTargetManual;
  SetMovePos(x, y);
}

void TBtTarget::SetFirePos(int x, int y) {
  fireX_ = x;
  fireY_ = y;
  fireUnit_ = nullptr;
}

void TBtTarget::SetFireUnit(TBtUnit* unit) {
  fireUnit_ = unit;
  fireX_ = -1;
  fireY_ = -1;
}

namespace {

// Where an aim points: at the unit while it lives, otherwise at the stored position.
void AimPos(const TBtUnit* unit, int storedX, int storedY, int& x, int& y) {
  if (unit != nullptr && unit->IsAlive()) {
    x = unit->GetX();
    y = unit->GetY();
  } else {
    x = storedX;
    y = storedY;
  }
}

}  // namespace

void TBtTarget::GetMovePos(int& x, int& y) const { AimPos(moveUnit_, moveX_, moveY_, x, y); }

void TBtTarget::GetFirePos(int& x, int& y) const { AimPos(fireUnit_, fireX_, fireY_, x, y); }

void TBtTarget::Update(const TBtUnit* self) {
  if (mode_ == kBtTargetManual || self == nullptr) return;
  if (countdown_ > 0) {
    --countdown_;
    return;
  }
  countdown_ = period_;

  TBtQvMap* arena = BtQvMap;
  if (search_ == 0 || arena == nullptr) return;
  TBtShip* e = arena->GetNearestEnemy(self, search_);
  if (e == nullptr) return;

  SetFireUnit(e);
  if (engage_ == 0) {
    SetMoveUnit(e);
    return;
  }
  const int64_t engage = engage_;
  if (BtGetDist2(self->GetX(), self->GetY(), e->GetX(), e->GetY()) >= engage * engage) {
    SetMoveUnit(e);
    return;
  }

  // Flank: a point across the enemy's course, on the side where the enemy lies.
  const int r = BtGetRelAngle(self->GetDir() / 10, self->GetX(), self->GetY(), e->GetX(), e->GetY());
  const int h = e->GetDir() / 10;
  const int first = r > 0 ? 90 : -90;
  for (int k : {first, -first}) {
    const int px = self->GetX() + (BtCos(h + k) * flank_ / 100) * 4;
    const int py = self->GetY() + (BtSin(h + k) * flank_ / 100) * 4;
    if (arena->ChkInMap(px, py, 40)) {
      SetMovePos(px, py);
      return;
    }
  }
  SetMovePos(3200, 3200);
}

}  // namespace vdmq
