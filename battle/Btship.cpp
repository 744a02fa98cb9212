#include "battle/Btship.h"

#include <algorithm>

#include "battle/Btinfo.h"
#include "battle/Btmath.h"
#include "battle/Btqvmap.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"

namespace vdmq {

// Engine-flame points of the hull pictures: where each picture's nozzles (at most three) show in
// each of the eight headings, in pixels from the frame's centre; kBtNoFlame where the hull hides a
// nozzle or the picture has no such nozzle. The rows are those of the hull models the data
// generator renders the pictures from (make_sample_data --flame-rows prints them).
const int BtFlameTbl[kBtFlameCgCount][3][8][2] = {
    // 0
    {{{-70, -15}, {-42, -33}, {0, -43}, {42, -33}, {70, -15}, {55, 13}, {0, 22}, {-55, 13}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 1
    {{{15, -6}, {5, -7}, {-7, -11}, {-5, -7}, {-15, -6}, {-15, -13}, {6, -18}, {15, -13}},
     {{4096, 4096}, {4096, 4096}, {7, -11}, {4096, 4096}, {4096, 4096}, {-6, -14}, {-6, -18}, {6, -14}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 2
    {{{-38, -6}, {-25, -18}, {0, -23}, {25, -18}, {38, -6}, {29, 8}, {0, 15}, {-29, 8}},
     {{-33, -7}, {-14, -16}, {11, -17}, {31, -9}, {35, 5}, {17, 16}, {-13, 17}, {-34, 7}},
     {{-35, 5}, {-31, -9}, {-11, -17}, {14, -16}, {33, -7}, {34, 7}, {13, 17}, {-17, 16}}},
    // 3
    {{{-71, -10}, {-41, -31}, {6, -37}, {50, -27}, {74, -4}, {54, 24}, {-9, 36}, {-63, 18}},
     {{-74, -4}, {-50, -27}, {-6, -37}, {41, -31}, {71, -10}, {63, 18}, {9, 36}, {-54, 24}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 4
    {{{-71, -11}, {-44, -32}, {0, -39}, {44, -32}, {71, -11}, {57, 16}, {0, 30}, {-57, 16}},
     {{-65, -13}, {-27, -30}, {21, -31}, {62, -16}, {74, 12}, {37, 38}, {-30, 40}, {-72, 15}},
     {{-74, 12}, {-62, -16}, {-21, -31}, {27, -30}, {65, -13}, {72, 15}, {30, 40}, {-37, 38}}},
    // 5
    {{{-40, -5}, {-24, -17}, {3, -21}, {29, -16}, {40, -2}, {28, 13}, {-3, 18}, {-32, 10}},
     {{-40, -2}, {-29, -16}, {-3, -21}, {24, -17}, {40, -5}, {32, 10}, {3, 18}, {-28, 13}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 6
    {{{-41, -5}, {-27, -18}, {0, -23}, {27, -18}, {41, -5}, {31, 10}, {0, 17}, {-31, 10}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 7
    {{{-72, -13}, {-39, -33}, {9, -38}, {54, -27}, {76, -3}, {53, 26}, {-12, 36}, {-67, 17}},
     {{-74, -8}, {-46, -30}, {0, -38}, {46, -30}, {74, -8}, {60, 21}, {0, 36}, {-60, 21}},
     {{-76, -3}, {-54, -27}, {-9, -38}, {39, -33}, {72, -13}, {67, 17}, {12, 36}, {-53, 26}}},
    // 8
    {{{-68, -10}, {-43, -30}, {0, -37}, {43, -30}, {68, -10}, {55, 16}, {0, 29}, {-55, 16}},
     {{-56, -15}, {-21, -29}, {23, -28}, {57, -14}, {64, 11}, {28, 33}, {-31, 32}, {-64, 10}},
     {{-64, 11}, {-57, -14}, {-23, -28}, {21, -29}, {56, -15}, {64, 10}, {31, 32}, {-28, 33}}},
    // 9
    {{{-39, -4}, {-26, -17}, {0, -22}, {26, -17}, {39, -4}, {30, 10}, {0, 17}, {-30, 10}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 10
    {{{-40, -6}, {-26, -19}, {0, -23}, {26, -19}, {40, -6}, {30, 9}, {0, 16}, {-30, 9}},
     {{-33, -7}, {-14, -16}, {12, -16}, {32, -8}, {35, 6}, {16, 18}, {-14, 18}, {-35, 7}},
     {{-35, 6}, {-32, -8}, {-12, -16}, {14, -16}, {33, -7}, {35, 7}, {14, 18}, {-16, 18}}},
    // 11
    {{{-73, -8}, {-46, -30}, {0, -38}, {46, -30}, {73, -8}, {59, 20}, {0, 35}, {-59, 20}},
     {{-49, -15}, {-14, -26}, {27, -24}, {56, -9}, {57, 15}, {19, 33}, {-35, 30}, {-61, 8}},
     {{-57, 15}, {-56, -9}, {-27, -24}, {14, -26}, {49, -15}, {61, 8}, {35, 30}, {-19, 33}}},
    // 12
    {{{0, 15}, {0, 16}, {0, 15}, {0, 16}, {0, 15}, {0, 15}, {0, 15}, {0, 15}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 13
    {{{-67, -9}, {-39, -29}, {5, -34}, {47, -25}, {69, -3}, {50, 23}, {-7, 33}, {-58, 18}},
     {{-69, -3}, {-47, -25}, {-5, -34}, {39, -29}, {67, -9}, {58, 18}, {7, 33}, {-50, 23}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 14
    {{{-62, -14}, {-24, -29}, {22, -30}, {61, -15}, {70, 12}, {33, 36}, {-31, 37}, {-70, 13}},
     {{-70, 12}, {-61, -15}, {-22, -30}, {24, -29}, {62, -14}, {70, 13}, {31, 37}, {-33, 36}},
     {{4096, 4096}, {4096, 4096}, {5, -35}, {4096, 4096}, {4096, 4096}, {45, 4}, {10, 17}, {-45, 4}}},
    // 15
    {{{-39, -4}, {-26, -17}, {0, -22}, {26, -17}, {39, -4}, {29, 10}, {0, 17}, {-29, 10}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 16
    {{{-38, -6}, {-25, -18}, {0, -23}, {25, -18}, {38, -6}, {29, 8}, {0, 14}, {-29, 8}},
     {{-30, -7}, {-11, -15}, {13, -15}, {31, -6}, {33, 7}, {13, 17}, {-15, 17}, {-33, 6}},
     {{-33, 7}, {-31, -6}, {-13, -15}, {11, -15}, {30, -7}, {33, 6}, {15, 17}, {-13, 17}}},
    // 17
    {{{-70, -11}, {-40, -31}, {6, -37}, {50, -27}, {72, -4}, {52, 23}, {-9, 33}, {-62, 16}},
     {{-72, -4}, {-50, -27}, {-6, -37}, {40, -31}, {70, -11}, {62, 16}, {9, 33}, {-52, 23}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 18
    {{{-9, 4}, {-8, 0}, {4096, 4096}, {4096, 4096}, {9, 1}, {9, 4}, {4096, 4096}, {-4, 7}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 19
    {{{-10, 3}, {-7, 0}, {4096, 4096}, {7, 0}, {10, 3}, {7, 7}, {0, 9}, {-7, 7}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 20
    {{{-15, 2}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {15, 2}, {11, 7}, {4096, 4096}, {-11, 7}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
    // 21
    {{{-26, 2}, {-20, -7}, {-4, -12}, {14, -10}, {25, -2}, {22, 8}, {5, 14}, {-16, 11}},
     {{-25, -2}, {-14, -10}, {4, -12}, {20, -7}, {26, 2}, {16, 11}, {-5, 14}, {-22, 8}},
     {{4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}, {4096, 4096}}},
};

namespace {

// The hull pictures: a battle hull sheet, one row of the eight directions.
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
  hullSheet_ = view != nullptr ? view->AddPat(kFileKindBattleHull, HullCg(), kHullSheetRows, kHullSheetCols) : -1;

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
