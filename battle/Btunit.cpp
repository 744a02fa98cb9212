#include "battle/Btunit.h"

#include <algorithm>

#include "battle/Btmath.h"

namespace vdmq {

namespace {
TBtViewSink* g_viewSink = nullptr;
}  // namespace

TBtViewSink* BtViewSink() { return g_viewSink; }
void SetBtViewSink(TBtViewSink* sink) { g_viewSink = sink; }

void TBtUnit::Init(const TBtUnitInfo& info) {
  hp_ = info.hp;
  armor_ = info.armor;
  country_ = info.country;
  radius_ = info.radius;
  hitMask_ = info.hitMask;
  kind_ = info.kind;
  x_ = info.x;
  y_ = info.y;
  dir_ = info.dir;
  speed_ = info.speed;
  maxSpeed_ = info.maxSpeed;
  accel_ = info.accel;
  turn_ = info.turn;
  maxTurn_ = info.maxTurn;
  alive_ = true;
  speed_ = std::min(speed_, maxSpeed_);
  turn_ = std::min(turn_, maxTurn_);
}

void TBtUnit::SpeedUp() {
  if (!alive_) return;
  const int64_t s = static_cast<int64_t>(speed_) + accel_;
  speed_ = s > maxSpeed_ ? maxSpeed_ : static_cast<int32_t>(s);
}

void TBtUnit::SpeedDown() {
  if (!alive_) return;
  const int64_t s = static_cast<int64_t>(speed_) - accel_;
  speed_ = s < 1 ? 0 : static_cast<int32_t>(s);
}

void TBtUnit::SetDir(int v) { dir_ = ((v % 3600) + 3600) % 3600; }

void TBtUnit::SetPos(int x, int y) {
  if (!alive_) return;
  x_ = x;
  y_ = y;
}

void TBtUnit::Damage(int d) {
  if (!alive_) return;
  const int64_t loss = (1000 - static_cast<int64_t>(armor_)) * d / 1000;
  const int64_t hp = hp_ - loss;
  if (hp < 1) {
    hp_ = 0;
    alive_ = false;
  } else {
    hp_ = static_cast<int32_t>(std::min<int64_t>(hp, INT32_MAX));
  }
}

void TBtUnit::GetNextPos(int& x, int& y) const {
  if (!alive_) return;
  const int64_t r = (static_cast<int64_t>(dir_) + turn_) % 3600;
  const auto degree = static_cast<size_t>((r < 0 ? r + 3600 : r) / 10);  // 0..359
  // Saturates at the integer range: a unit flying away for ever stays far outside the arena.
  x = BtClamp32(x_ + static_cast<int64_t>(BtCosDeg[degree]) * speed_ / 100);
  y = BtClamp32(y_ + static_cast<int64_t>(BtSinDeg[degree]) * speed_ / 100);
}

bool TBtUnit::ChkHitUnit(const TBtUnit* other) const {
  if (!alive_ || other == nullptr) return false;
  if ((other->GetKind() & hitMask_) == 0) return false;
  return BtChkCircle(x_, y_, radius_, other->GetRadius(), other->GetY(), other->GetX());
}

}  // namespace vdmq
