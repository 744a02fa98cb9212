#include <gtest/gtest.h>

#include "battle/Btinfo.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "battle/Btship.h"
#include "campaign/Parts.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

class Ships : public ArenaTest {
 protected:
  void SetUp() override {
    ArenaTest::SetUp();
    PutFleetShip(0, 0, 1, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, kShield));
    PutFleetShip(1, 0, 0, MakeShip(kHullLight, kWeapon1, -1, kEngineSlow, -1));
    StartArena(0, 0, 1, 0, -1);
  }
  // Sets s up as satellite 0 of country 1 at the arena's centre, the ship stored in slot 0 of
  // planet 7 where the battle is fought.
  void SetupSate(TBtShip& s, const TShipData& ship) {
    PutSate(7, 0, ship);
    BtInfo.planet = 7;
    TBtShipInfo info;
    info.x = 3200;
    info.y = 3200;
    info.country = 1;
    info.satellite = 0;
    s.Setup(info);
  }
  int MissileCount() const {
    int n = 0;
    for (int i = 0; i < kBtMissileSlots; ++i) n += arena_->GetMissile(i) != nullptr;
    return n;
  }
};

}  // namespace

TEST_F(Ships, SetUpFromTheFleetSlotAndCatalogue) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->IsAlive());
  EXPECT_TRUE(a->IsFlagship());  // slot 1 is the first occupied slot of the attacking fleet
  EXPECT_EQ(a->GetHp(), 100);
  EXPECT_EQ(a->GetArmor(), 200);
  EXPECT_EQ(a->GetSpeed(), 20);  // engine 100 -> 40 units; half to start
  EXPECT_EQ(a->GetMaxSpeed(), 40);
  EXPECT_EQ(a->GetAccel(), 2);
  EXPECT_EQ(a->GetTurnMax(), 50);
  EXPECT_EQ(a->GetRadius(), 80);
  EXPECT_EQ(a->GetKind(), kBtKindShip);
  EXPECT_EQ(a->GetHitMask(), kBtKindShip);
  EXPECT_EQ(a->GetTarget().GetMode(), kBtTargetShipAi);
  EXPECT_EQ(a->GetLauncher1().GetCounter(), 10);  // launchers start reloading
  EXPECT_EQ(a->GetLauncher2().GetSalvo(), 3);
  EXPECT_EQ(a->GetShield().GetCooldown(), 20);
  // Side A slot 1 at (800, 5000) heading 31.5 degrees.
  EXPECT_EQ(a->GetX(), 800);
  EXPECT_EQ(a->GetY(), 5000);
  EXPECT_EQ(a->GetDir(), 315);
  EXPECT_EQ(arena_->GetSelect(), a);

  TBtShip* b = arena_->FindShip(1, 0, 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetSpeed(), 12);
  EXPECT_EQ(b->GetMaxSpeed(), 24);
  EXPECT_EQ(b->GetAccel(), 1);
  EXPECT_EQ(b->GetX(), 5600);
  EXPECT_EQ(b->GetY(), 800);
  EXPECT_EQ(b->GetDir(), 125);
  EXPECT_EQ(b->GetLauncher2().GetPart(), -1);
  EXPECT_FALSE(b->GetShield().CanOn());
}

TEST_F(Ships, EmptySlotLeavesTheShipDead) {
  TBtShip s;
  TBtShipInfo info;
  info.x = 3200;
  info.y = 3200;
  info.country = 0;
  info.fleet = 0;
  info.slot = 2;
  s.Setup(info);
  EXPECT_FALSE(s.IsAlive());
}

TEST_F(Ships, SteeringTurnsByAtMostTheTurnRateAndAlwaysAccelerates) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->SetPos(3200, 3200);
  a->SetDir(0);
  a->GetTarget().SetManualPos(2000, 3200);  // straight behind
  a->Move();
  EXPECT_EQ(a->GetDir(), 50);
  EXPECT_EQ(a->GetSpeed(), 22);
  EXPECT_EQ(a->GetX(), 3222);  // stepped along the heading it had before the turn
  EXPECT_EQ(a->GetY(), 3200);
  a->Move();
  EXPECT_EQ(a->GetDir(), 100);
  EXPECT_EQ(a->GetSpeed(), 24);

  // A point to the upper side turns the other way.
  a->SetDir(0);
  a->GetTarget().SetManualPos(3300, 2000);
  a->Move();
  EXPECT_EQ(a->GetDir(), 3550);
}

TEST_F(Ships, ArrivalClearsTheMovePointAndFliesOnStraight) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->SetPos(3200, 3200);
  a->SetDir(900);
  a->GetTarget().SetManualPos(3210, 3205);  // 125 squared units away: arrived
  a->Move();
  int x = 0, y = 0;
  a->GetTarget().GetMovePos(x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(a->GetDir(), 900);
  EXPECT_EQ(a->GetY(), 3222);
}

TEST_F(Ships, ManualModeOnlyForTheSelectedShip) {
  TBtShip* b = arena_->FindShip(1, 0, 0);
  b->GetTarget().SetManualPos(100, 100);
  b->Move();
  EXPECT_EQ(b->GetTarget().GetMode(), kBtTargetShipAi);
}

TEST_F(Ships, StaysInsideTheArena) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->SetPos(6400 - 81, 3200);
  a->SetDir(0);
  a->GetTarget().SetManualPos(6399, 3200);
  a->Move();
  EXPECT_EQ(a->GetX(), 6400 - 81);  // the whole circle must stay inside
}

TEST_F(Ships, EngineLessUnitTurnsAgainstTheWantedDirection) {
  TBtShip s;
  SetupSate(s, MakeShip(kHullSate, kWeapon1, -1, -1, -1));  // heading 0
  ASSERT_TRUE(s.IsAlive());
  EXPECT_EQ(s.GetSpeed(), 1);
  EXPECT_EQ(s.GetMaxSpeed(), 1);
  EXPECT_EQ(s.GetAccel(), 1);
  EXPECT_EQ(s.GetTurnMax(), -1);
  EXPECT_EQ(s.GetArmor(), 100);
  EXPECT_EQ(s.GetCommander(), -1);
  EXPECT_FALSE(s.IsFlagship());
  s.GetTarget().SetMovePos(3200, 4000);  // wants to turn +90 degrees
  s.Move();
  EXPECT_EQ(s.GetDir(), 3599);
}

TEST_F(Ships, SalvoFiresAllItsMissilesThenReloads) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->GetTarget().SetAttackPos(4000, 4000);
  for (int i = 0; i < 24; ++i) a->TickEquip();
  a->Fire();  // launcher 1 (reload 10, one missile) is ready, launcher 2 (reload 25) not yet
  EXPECT_EQ(MissileCount(), 1);
  EXPECT_EQ(a->GetLauncher1().GetCounter(), 10);
  a->TickEquip();
  EXPECT_TRUE(a->GetLauncher2().IsReady());
  a->Fire();
  EXPECT_EQ(MissileCount(), 4);  // a salvo of three in one frame
  EXPECT_FALSE(a->GetLauncher2().IsReady());
  EXPECT_EQ(a->GetLauncher2().GetCounter(), 25);
  // Without a fire point nothing is fired.
  for (int i = 0; i < 30; ++i) a->TickEquip();
  a->GetTarget().SetFirePos(-1, -1);
  a->Fire();
  EXPECT_EQ(MissileCount(), 4);
}

TEST_F(Ships, WeaponlessSlotNeverFiresAndPartlessShieldNeverShows) {
  TBtLauncher l;
  l.Init(-1);
  EXPECT_EQ(l.GetCounter(), -1);
  for (int i = 0; i < 5; ++i) l.Tick();
  EXPECT_FALSE(l.IsReady());
  TBtShield s;
  s.Init(-1);
  for (int i = 0; i < 50; ++i) s.Tick();
  EXPECT_FALSE(s.CanOn());
  s.On();
  EXPECT_FALSE(s.IsOn());
}

TEST_F(Ships, ShieldCycleAndBreaking) {
  TBtShield s;
  s.Init(kShield);  // durability 10, defence 0, deploy 5, recharge 20
  EXPECT_FALSE(s.CanOn());
  for (int i = 0; i < 20; ++i) s.Tick();
  EXPECT_TRUE(s.CanOn());
  s.On();
  EXPECT_TRUE(s.IsOn());
  EXPECT_EQ(s.GetActive(), 5);
  s.Damage(10);
  EXPECT_EQ(s.GetHp(), 0);
  EXPECT_EQ(s.GetActiveTime(), 5) << "durability 0 keeps the shield usable";
  for (int i = 0; i < 5; ++i) s.Tick();
  EXPECT_FALSE(s.IsOn());
  EXPECT_EQ(s.GetCooldown(), 20);
  for (int i = 0; i < 20; ++i) s.Tick();
  EXPECT_TRUE(s.CanOn());
  s.On();
  s.Damage(1);
  EXPECT_EQ(s.GetActiveTime(), 0);
  EXPECT_TRUE(s.IsOn()) << "a running activation counts down to its end";
  for (int i = 0; i < 30; ++i) s.Tick();
  EXPECT_FALSE(s.CanOn()) << "broken for the rest of the battle";
}

TEST_F(Ships, WritesDurabilityBackWhenDeleted) {
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->SetHp(37);
  arena_->Clear();
  EXPECT_EQ(FleetShipHp(0, 0, 1), 37);
  EXPECT_EQ(FleetShipHp(1, 0, 0), 50);
}

TEST_F(Ships, DrawsHullFlamesMarkersAndNoFlamesForUnknownPictures) {
  RecordingView view;
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->SetDir(0);
  view.mouseX = a->GetX() + 1000;
  view.mouseY = a->GetY();
  a->Draw();
  // Hull (layer 1), one flame of picture 0 at direction 0, cursor marker, flagship marker.
  ASSERT_EQ(view.entries.size(), 4u);
  EXPECT_EQ(view.entries[0].layer, kBtLayerHull);
  EXPECT_EQ(view.entries[0].e.frame, 0);
  EXPECT_EQ(view.entries[1].layer, kBtLayerEffect);
  EXPECT_EQ(view.entries[1].e.dx, -70);
  EXPECT_EQ(view.entries[1].e.dy, -15);
  EXPECT_EQ(view.entries[1].e.mode, 5);
  EXPECT_EQ(view.entries[1].e.slot, 2);
  EXPECT_EQ(view.entries[1].e.frame, 0);  // the player's flame
  EXPECT_EQ(view.entries[2].e.slot, 9);
  EXPECT_EQ(view.entries[2].e.frame, 0);  // neither launcher ready, shield down
  EXPECT_EQ(view.entries[2].e.mapX, a->GetX() + 1000);
  EXPECT_EQ(view.entries[3].e.frame, 11);
  view.entries.clear();
  a->Draw();
  EXPECT_EQ(view.entries[1].e.frame, 1);  // flame frame advanced

  // The enemy hull picture 12: flame (0, 15), frame + 4 for another country's ship.
  TBtShip* b = arena_->FindShip(1, 0, 0);
  view.entries.clear();
  b->SetDir(1800);
  b->Draw();
  ASSERT_EQ(view.entries.size(), 3u);  // hull, flame, flagship marker
  EXPECT_EQ(view.entries[0].e.frame, 4);
  EXPECT_EQ(view.entries[1].e.dy, 15);
  EXPECT_EQ(view.entries[1].e.frame, 4);

  // A satellite hull picture beyond the flame table (30) and no hull (-1) draw no flames.
  TBtShip s;
  SetupSate(s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  view.entries.clear();
  s.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].layer, kBtLayerHull);
  ASSERT_GE(view.sheets.size(), 1u);
  EXPECT_EQ(view.sheets.back().kind, 49);
  EXPECT_EQ(view.sheets.back().number, 30);
}

TEST_F(Ships, DebugHullPictureReplacesEveryHullAndItsFlames) {
  host_.debugCg = 12;
  RecordingView view;
  TBtShip s;
  SetupSate(s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  ASSERT_EQ(view.sheets.size(), 1u);
  EXPECT_EQ(view.sheets[0].number, 12) << "not the hull's own picture 30";
  s.SetDir(0);
  s.Draw();
  ASSERT_EQ(view.entries.size(), 2u);  // hull and the flame of picture 12
  EXPECT_EQ(view.entries[1].e.dx, 0);
  EXPECT_EQ(view.entries[1].e.dy, 15);
}
