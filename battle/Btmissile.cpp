#include "battle/Btmissile.h"

#include <algorithm>

#include "battle/Btinfo.h"
#include "battle/Btmath.h"
#include "battle/Btqvmap.h"
#include "campaign/Cmd.h"
#include "campaign/Parts.h"
#include "platform/base/StdRandom.h"

namespace vdmq {

namespace {
// The weapon's attack scaled by the commander of the firing side: the attacker's attack, the
// defender's defence. A side without commander (satellites, a fleet without one) fires unscaled.
int MissileDamage(int country, int atk) {
  if (country == BtInfo.attacker && BtInfo.attackerCmd != -1) {
    return BtClamp32(static_cast<int64_t>(atk) * GetCmdAtk(BtInfo.attackerCmd) / 100);
  }
  if (country == BtInfo.attacker) return atk;
  if (country == BtInfo.defender && BtInfo.defenderCmd != -1) {
    return BtClamp32(static_cast<int64_t>(atk) * GetCmdDef(BtInfo.defenderCmd) / 100);
  }
  return atk;
}

// A heading change in tenths of a degree wrapped into whole degrees -180..180 and limited by
// the turn rate, exactly as a ship steers.
// Taken in 64 bits: a heading from a damaged catalogue may lie anywhere in the integer range.
int LimitTurn(int64_t a, int m) {
  int64_t g = a / 10;
  if (g < -180) g += 360;
  if (g > 180) g -= 360;
  a = g * 10;
  if (a >= 1) return BtClamp32(std::min<int64_t>(a, m));
  if (a < 0) return BtClamp32(std::max<int64_t>(a, -static_cast<int64_t>(m)));
  return 0;
}
}  // namespace

void TBtMissile::Setup(const TBtMissileInfo& info) {
  part_ = info.part;
  target_ = info.target;

  TBtUnitInfo u;
  const int sx = StdRand() % 40 - 20;
  u.x = info.x + sx * 4;
  const int sy = StdRand() % 40 - 20;
  u.y = info.y + sy * 4;
  u.country = info.country;
  u.radius = 32;
  u.hitMask = kBtKindShip;
  u.kind = kBtKindMissile;
  u.hp = 1;

  const TWeaponBody* w = GetWeaponDataPtr(part_);
  const int guide = GetWeaponGuide(w);
  u.turn = BtClamp32(static_cast<int64_t>(guide) * 10);
  u.maxTurn = u.turn;

  int fx = -1, fy = -1;
  target_.GetFirePos(fx, fy);
  const int a = BtGetAngle(info.x, info.y, fx, fy);
  const int spread = guide != 0 ? StdRand() % guide : 0;
  // Below 0 when the spread turns it right of an aim near 0 degrees; its first move brings it
  // into 0..3599.
  u.dir = BtClamp32((static_cast<int64_t>(spread) + a - guide / 2) * 10);

  const int v = BtClamp32(static_cast<int64_t>(GetWeaponSpeed(w)) * 12 / 10);
  u.speed = std::max(v / 2, 1);
  u.maxSpeed = std::max(v, 1);
  u.accel = std::max(v / 20, 1);

  damage_ = MissileDamage(info.country, GetWeaponAtk(w));
  life_ = GetWeaponRange(w);
  sheet_ = 7;
  missileKind_ = GetWeaponData6(w);

  target_.SetMode(kBtTargetMissileAi);
  Init(u);
}

void TBtMissile::Move() {
  target_.Update(this);
  int tx = -1, ty = -1;
  target_.GetMovePos(tx, ty);
  int64_t wanted = 0;
  if (tx != -1 && ty != -1) wanted = static_cast<int64_t>(BtGetAngle(x_, y_, tx, ty)) * 10 - dir_;
  const int a = LimitTurn(wanted, maxTurn_);
  SetTurn(a);

  TBtQvMap* arena = BtQvMap;
  if (arena != nullptr) {
    const bool mine = country_ == BtInfo.player;
    switch (missileKind_) {
      case 2: arena->AddLight(x_, y_, mine ? 5 : 6, dir_); break;
      case 3: arena->AddLight(x_, y_, mine ? 3 : 4, dir_); break;
      case 4: break;
      default: arena->AddLight(x_, y_, 2, -1); break;
    }
  }

  SpeedUp();
  int nx = x_, ny = y_;
  GetNextPos(nx, ny);
  SetDir(static_cast<int>((static_cast<int64_t>(dir_) + a) % 3600));
  SetPos(nx, ny);

  if (life_ > 0) --life_;
  if (life_ == 0) {
    if (arena != nullptr) arena->AddExploade(nx, ny, 1);
    Kill();
  }
}

void TBtMissile::ChkHit() {
  TBtQvMap* arena = BtQvMap;
  if (arena == nullptr) return;
  TBtShip* s = arena->GetHitShip(this);
  if (s == nullptr) return;
  arena->ShipHit(s, damage_);
  arena->AddExploade(x_, y_, 1);
  Kill();
}

void TBtMissile::Draw() {
  TBtViewSink* view = BtViewSink();
  if (view == nullptr) return;
  // A missile drawn before its first move may still hold a heading below 0 (or, from a damaged
  // catalogue, far beyond 3599): its sprite is the one of that heading taken modulo 3600.
  const int heading = static_cast<int>((static_cast<int64_t>(dir_) % 3600 + 3600) % 3600);
  const int d8 = (heading + 225) / 450 % 8;
  const bool mine = country_ == BtInfo.player;
  TBtDrawEntry e;
  e.mapX = x_;
  e.mapY = y_;
  e.slot = sheet_;
  int64_t frame;
  if (missileKind_ == 2 || missileKind_ == 3) {
    frame = static_cast<int64_t>(missileKind_) * 8 + 16 + (mine ? 0 : 1);
    e.mode = 5;
  } else {
    frame = static_cast<int64_t>(missileKind_) * 8 + d8 + (mine ? 0 : 16);
    e.mode = 0;
  }
  // A missile kind whose frame lies outside the sheet shows nothing.
  if (frame < 0 || frame >= kBtMissileSheetFrames) return;
  e.frame = static_cast<int32_t>(frame);
  view->Put(kBtLayerMissile, e);
}

}  // namespace vdmq
