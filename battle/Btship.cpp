#include "battle/Btship.h"

#include <algorithm>

#include "battle/Btinfo.h"
#include "battle/Btmath.h"
#include "battle/Btqvmap.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"

namespace vdmq {

// Engine-flame points of the hull pictures. Pictures 0, 1, 12 and 14 carry the hand-placed
// points of their artwork; the others use the points of the small-hull outline (one flame at
// the stern in each direction).
#define VDMQ_NO {kBtNoFlame, kBtNoFlame}
#define VDMQ_NONE_ROW {VDMQ_NO, VDMQ_NO, VDMQ_NO, VDMQ_NO, VDMQ_NO, VDMQ_NO, VDMQ_NO, VDMQ_NO}
#define VDMQ_SMALL_HULL                                                              \
  {{{-35, -8}, {-21, -16}, {0, -21}, {21, -16}, {35, -8}, {27, 6}, {0, 11}, {-27, 6}}, \
   VDMQ_NONE_ROW, VDMQ_NONE_ROW}
#define VDMQ_LARGE_HULL                                                                    \
  {{{-52, -11}, {-31, -24}, {0, -32}, {31, -24}, {52, -11}, {41, 10}, {0, 16}, {-41, 10}}, \
   VDMQ_NONE_ROW, VDMQ_NONE_ROW}
#define VDMQ_SATELLITE {VDMQ_NONE_ROW, VDMQ_NONE_ROW, VDMQ_NONE_ROW}

const int BtFlameTbl[kBtFlameCgCount][3][8][2] = {
    // 0
    {{{-70, -15}, {-42, -33}, {0, -43}, {42, -33}, {70, -15}, {55, 13}, {0, 22}, {-55, 13}},
     VDMQ_NONE_ROW,
     VDMQ_NONE_ROW},
    // 1
    {{{15, -6}, {5, -7}, {-7, -11}, {-5, -7}, {-15, -6}, {-15, -13}, {6, -18}, {15, -13}},
     {VDMQ_NO, VDMQ_NO, {7, -11}, VDMQ_NO, VDMQ_NO, {-6, -14}, {-6, -18}, {6, -14}},
     VDMQ_NONE_ROW},
    VDMQ_SMALL_HULL,  // 2
    VDMQ_SMALL_HULL,  // 3
    VDMQ_SMALL_HULL,  // 4
    VDMQ_SMALL_HULL,  // 5
    VDMQ_LARGE_HULL,  // 6
    VDMQ_LARGE_HULL,  // 7
    VDMQ_LARGE_HULL,  // 8
    VDMQ_LARGE_HULL,  // 9
    VDMQ_LARGE_HULL,  // 10
    VDMQ_LARGE_HULL,  // 11
    // 12
    {{{0, 15}, {0, 16}, {0, 15}, {0, 16}, {0, 15}, {0, 15}, {0, 15}, {0, 15}},
     VDMQ_NONE_ROW,
     VDMQ_NONE_ROW},
    VDMQ_LARGE_HULL,  // 13
    // 14: three engines
    {{{-52, -11}, {-31, -24}, {0, -32}, {31, -24}, {52, -11}, {41, 10}, {0, 16}, {-41, 10}},
     {{-45, -4}, VDMQ_NO, {-10, -30}, VDMQ_NO, {45, -4}, {30, 14}, {-10, 17}, {-30, 14}},
     {VDMQ_NO, VDMQ_NO, {5, -35}, VDMQ_NO, VDMQ_NO, {45, 4}, {10, 17}, {-45, 4}}},
    VDMQ_LARGE_HULL,  // 15
    VDMQ_SATELLITE,   // 16: defence satellites have no engines to show
    VDMQ_SATELLITE,   // 17
    VDMQ_SATELLITE,   // 18
    VDMQ_SATELLITE,   // 19
    VDMQ_SATELLITE,   // 20
    VDMQ_SATELLITE,   // 21
};

#undef VDMQ_NO
#undef VDMQ_NONE_ROW
#undef VDMQ_SMALL_HULL
#undef VDMQ_LARGE_HULL
#undef VDMQ_SATELLITE

namespace {

// The hull pictures: a sheet of the file kind for hull sheets, one row of the eight directions.
constexpr int kHullSheetKind = 49;
constexpr int kHullSheetRows = 1;
constexpr int kHullSheetCols = 8;
// Sheets the battle view loads into fixed slots when it opens.
constexpr int kFlameSheetSlot = 2;  // engine flames: three frames each side
constexpr int kMarkSheetSlot = 9;   // the selected ship's cursor marks and the flagship mark
constexpr int kFlameFrames = 3;
constexpr int kFlameOtherSideFrame = 4;  // the other side's flames follow the player's
// Frames of the mark sheet. The cursor away from the ship shows which equipment is ready: the
// sum of the bits below (frames 0..7); near the ship it shows the shield's state.
constexpr int kMarkWeapon1Ready = 2;
constexpr int kMarkWeapon2Ready = 1;
constexpr int kMarkShieldUp = 4;
constexpr int kMarkShieldOn = 8;
constexpr int kMarkShieldCharged = 9;
constexpr int kMarkShieldEmpty = 10;
constexpr int kMarkFlagship = 11;

}  // namespace

TBtShip::TBtShip() = default;

TBtShip::~TBtShip() {
  if (fleet_ != -1 && slot_ != -1) {
    SetFleetShipHp(country_, fleet_, slot_, hp_);
  } else if (satellite_ != -1) {
    SetPlanetSateHp(BtInfo.planet, satellite_, hp_);
  }
}

void TBtShip::Setup(const TBtShipInfo& info) {
  TBtUnitInfo u;
  u.x = info.x;
  u.y = info.y;
  u.dir = info.dir;
  u.country = info.country;
  u.radius = 80;
  u.hitMask = kBtKindShip;
  u.kind = kBtKindShip;
  country_ = info.country;

  const TShipData* data = nullptr;
  if (info.satellite == -1) {
    fleet_ = info.fleet;
    slot_ = info.slot;
    if (!IsFleetShipValid(info.country, info.fleet, info.slot)) return;
    flagship_ = (info.country == BtInfo.attacker && info.slot == BtInfo.attackerFlagSlot) ||
                (info.country == BtInfo.defender && info.slot == BtInfo.defenderFlagSlot);
    commander_ = info.country == BtInfo.attacker ? BtInfo.attackerCmd : BtInfo.defenderCmd;
    data = GetFleetShipPtr(info.country, info.fleet, info.slot);
  } else {
    satellite_ = info.satellite;
    data = GetPlanetSatePtr(BtInfo.planet, info.satellite);
    commander_ = -1;
  }
  if (data != nullptr) shipData_ = *data;

  TBtViewSink* view = BtViewSink();
  hullSheet_ = view != nullptr ? view->AddPat(kHullSheetKind, HullCg(), kHullSheetRows, kHullSheetCols) : -1;

  u.hp = GetShipHp(&shipData_);
  u.armor = GetFrameBodyDef(GetFrameBodyPtr(shipData_.Parts[kPartsFrame]));
  const TEngineBody* engine = GetEngineDataPtr(shipData_.Parts[kPartsEngine]);
  const int s = BtClamp32(static_cast<int64_t>(GetEngineSpeed(engine)) * 4 / 10);
  u.speed = std::max(s / 2, 1);
  u.maxSpeed = std::max(s, 1);
  u.accel = std::max(s / 20, 1);
  u.turn = 0;
  u.maxTurn = GetEngineTurn(engine);
  Init(u);

  launcher1_.Init(shipData_.Parts[kPartsWeapon1]);
  launcher2_.Init(shipData_.Parts[kPartsWeapon2]);
  shield_.Init(shipData_.Parts[kPartsShield]);
  target_.SetMode(kBtTargetShipAi);
}

void TBtShip::Move() {
  TBtQvMap* arena = BtQvMap;
  if (target_.GetMode() == kBtTargetManual && (arena == nullptr || arena->GetSelect() != this)) {
    target_.SetMode(kBtTargetShipAi);
  }
  target_.Update(this);

  int tx = -1, ty = -1;
  target_.GetMovePos(tx, ty);
  int a = 0;
  if (tx != -1 && ty != -1) {
    a = BtGetAngle(x_, y_, tx, ty) * 10 - dir_;
    if (BtGetDist2(x_, y_, tx, ty) < 161) {
      target_.ClearMove();
      a = 0;
    }
  }
  // Whole degrees, wrapped into -180..180.
  int g = a / 10;
  if (g < -180) g += 360;
  if (g > 180) g -= 360;
  a = g * 10;
  // Limited by the turn rate. An engine-less unit (max turn -1) turns one tenth of a degree
  // against the wanted direction: the game's own quirk, kept as it is.
  const int m = maxTurn_;
  if (a >= 1) {
    a = std::min(a, m);
  } else if (a < 0) {
    a = static_cast<int>(std::max<int64_t>(a, -static_cast<int64_t>(m)));
  }

  SpeedUp();
  int nx = x_, ny = y_;
  GetNextPos(nx, ny);
  SetDir(static_cast<int>((static_cast<int64_t>(dir_) + a) % 3600));
  if (arena != nullptr && arena->ChkFreePos(this, nx, ny)) SetPos(nx, ny);
}

void TBtShip::Draw() {
  TBtViewSink* view = BtViewSink();
  if (view == nullptr) return;
  const int d8 = (dir_ + 225) / 450 % 8;

  TBtDrawEntry e;
  e.mapX = x_;
  e.mapY = y_;
  e.slot = hullSheet_;
  e.frame = d8;
  view->Put(kBtLayerHull, e);

  // Flames only for hull pictures the flame table knows; other numbers (-1 for no hull, or a
  // picture beyond the table) show none.
  const int cg = HullCg();
  if (cg >= 0 && cg < kBtFlameCgCount) {
    for (int p = 0; p < 3; ++p) {
      const int dx = BtFlameTbl[cg][p][d8][0];
      const int dy = BtFlameTbl[cg][p][d8][1];
      if (dx == kBtNoFlame || dy == kBtNoFlame) continue;
      TBtDrawEntry f;
      f.mapX = x_;
      f.mapY = y_;
      f.dx = dx;
      f.dy = dy;
      f.mode = kBtDrawAdditive;
      f.slot = kFlameSheetSlot;
      f.frame = country_ == BtInfo.player ? flameFrame_ : flameFrame_ + kFlameOtherSideFrame;
      view->Put(kBtLayerEffect, f);
    }
  }
  flameFrame_ = (flameFrame_ + 1) % kFlameFrames;

  if (shield_.IsOn()) shield_.Draw(x_, y_);

  TBtQvMap* arena = BtQvMap;
  if (arena != nullptr && arena->GetSelect() == this) {
    int mx = 0, my = 0;
    view->GetMouseMapPos(mx, my);
    TBtDrawEntry mk;
    mk.mapX = mx;
    mk.mapY = my;
    mk.slot = kMarkSheetSlot;
    if (BtGetDist2(x_, y_, mx, my) >= 25601) {
      mk.frame = (launcher1_.IsReady() ? kMarkWeapon1Ready : 0) + (launcher2_.IsReady() ? kMarkWeapon2Ready : 0) +
                 (shield_.IsOn() ? kMarkShieldUp : 0);
      view->Put(kBtLayerEffect, mk);
    } else if (shield_.GetDef() >= 1) {
      mk.frame = shield_.IsOn() ? kMarkShieldOn : (shield_.GetHp() > 0 ? kMarkShieldCharged : kMarkShieldEmpty);
      view->Put(kBtLayerEffect, mk);
    }
  }

  if (flagship_) {
    TBtDrawEntry fl;
    fl.mapX = x_;
    fl.mapY = y_;
    fl.slot = kMarkSheetSlot;
    fl.frame = kMarkFlagship;
    view->Put(kBtLayerEffect, fl);
  }
}

int TBtShip::HullCg() const {
  // The debug window's battle picture box replaces every hull's picture (never in play).
  const int forced = GameHost().GetDebugShipCg();
  return forced >= 0 ? forced : GetShipCg(&shipData_);
}

void TBtShip::TickEquip() {
  launcher1_.Tick();
  launcher2_.Tick();
  shield_.Tick();
}

void TBtShip::Fire() {
  int fx = -1, fy = -1;
  target_.GetFirePos(fx, fy);
  if (fx == -1 || fy == -1) return;
  if (launcher1_.IsReady()) launcher1_.Fire(country_, x_, y_, target_);
  if (launcher2_.IsReady()) launcher2_.Fire(country_, x_, y_, target_);
}

}  // namespace vdmq
