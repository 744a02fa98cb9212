#include <gtest/gtest.h>

#include "battle/Btinfo.h"
#include "battle/Btqvmap.h"
#include "battle/Bttarget.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

class Targeting : public ArenaTest {
 protected:
  void SetUp() override {
    ArenaTest::SetUp();
    for (int s = 0; s < 3; ++s) {
      PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
      PutFleetShip(1, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
    }
    StartArena(0, 0, 1, 0, -1);
  }
  // Ship of a side: side A (player, country 0) or side B (country 1), slot 0..2.
  TBtShip* Ship(int country, int slot) { return arena_->FindShip(country, 0, slot); }
};

}  // namespace

TEST(BtTarget, ModesSetTheirParameters) {
  TBtTarget t;
  EXPECT_EQ(t.GetMode(), kBtTargetNone);
  int x = 0, y = 0;
  t.GetMovePos(x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  t.SetMode(1);
  EXPECT_EQ(t.GetFlank(), 400);
  EXPECT_EQ(t.GetEngage(), 1600);
  EXPECT_EQ(t.GetPeriod(), 10);
  EXPECT_EQ(t.GetSearch(), 12800);
  t.SetMode(7);  // unknown: no change
  EXPECT_EQ(t.GetMode(), 1);
  t.SetMode(2);
  EXPECT_EQ(t.GetFlank(), 0);
  EXPECT_EQ(t.GetEngage(), 0);
  EXPECT_EQ(t.GetSearch(), 1200);
  t.SetFirePos(10, 20);
  t.SetMode(0);  // Clear keeps the period and the fire point
  EXPECT_EQ(t.GetMode(), 0);
  EXPECT_EQ(t.GetSearch(), 0);
  EXPECT_EQ(t.GetPeriod(), 10);
  t.GetFirePos(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
}

TEST(BtTarget, ManualOrderKeepsAnEarlierFirePoint) {
  TBtTarget t;
  TBtUnit enemy;
  TBtUnitInfo info;
  info.x = 500;
  info.y = 600;
  enemy.Init(info);
  t.SetFireUnit(&enemy);
  int x = 0, y = 0;
  t.GetFirePos(x, y);
  EXPECT_EQ(x, 500);
  t.SetAttackPos(70, 80);
  t.SetFireUnit(&enemy);
  t.SetFirePos(70, 80);
  t.SetManualPos(1000, 2000);
  EXPECT_EQ(t.GetMode(), kBtTargetManual);
  EXPECT_EQ(t.GetFireUnit(), nullptr);
  t.GetFirePos(x, y);
  EXPECT_EQ(x, 70);
  EXPECT_EQ(y, 80);
  t.GetMovePos(x, y);
  EXPECT_EQ(x, 1000);
  EXPECT_EQ(y, 2000);
  // A manual target does not retarget.
  t.Update(&enemy);
  t.GetMovePos(x, y);
  EXPECT_EQ(x, 1000);
}

TEST(BtTarget, DeadOrForgottenUnitYieldsThePoint) {
  TBtTarget t;
  TBtUnit u;
  TBtUnitInfo info;
  info.x = 5;
  info.y = 6;
  u.Init(info);
  t.SetMoveUnit(&u);
  t.SetFireUnit(&u);
  int x = 0, y = 0;
  t.GetMovePos(x, y);
  EXPECT_EQ(x, 5);
  u.Kill();
  t.GetMovePos(x, y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  t.ForgetUnit(&u);
  EXPECT_EQ(t.GetMoveUnit(), nullptr);
  EXPECT_EQ(t.GetFireUnit(), nullptr);
}

TEST_F(Targeting, ShipAiClosesInFromAfarAndRetargetsEveryTenFrames) {
  TBtShip* me = Ship(0, 0);
  TBtShip* b0 = Ship(1, 0);
  TBtShip* b1 = Ship(1, 1);
  TBtShip* b2 = Ship(1, 2);
  ASSERT_TRUE(me && b0 && b1 && b2);
  TBtTarget t;
  t.SetMode(1);
  t.Update(me);  // countdown 0: retargets at once
  // From (800, 5600), (5600, 1400) and (5000, 800) lie equally near (4800 and 4200 apart on the
  // two axes); the first in slot order wins the tie.
  EXPECT_EQ(t.GetFireUnit(), b1);
  EXPECT_EQ(t.GetMoveUnit(), b1);
  EXPECT_EQ(t.GetCountdown(), 10);
  me->SetPos(5000, 1300);  // b2 at (5000, 800) is now the nearest, 500 away
  for (int i = 0; i < 10; ++i) t.Update(me);
  EXPECT_EQ(t.GetMoveUnit(), b1) << "no retargeting before the period ends";
  t.Update(me);
  EXPECT_EQ(t.GetFireUnit(), b2);
  EXPECT_EQ(t.GetMoveUnit(), nullptr) << "within 1600 units it flanks instead of closing in";
  (void)b0;
}

TEST_F(Targeting, ShipAiFlanksOnceNearAndFallsBackToTheCentre) {
  TBtShip* me = Ship(0, 0);
  TBtShip* b0 = Ship(1, 0);
  // Remove the other enemies so that b0 is the only one.
  Ship(1, 1)->Kill();
  Ship(1, 2)->Kill();
  b0->SetPos(3200, 3200);
  b0->SetDir(0);           // enemy heading along +x
  me->SetPos(3200, 3000);  // 200 units above it, heading 31.5 degrees
  TBtTarget t;
  t.SetMode(1);
  t.Update(me);
  EXPECT_EQ(t.GetFireUnit(), b0);
  EXPECT_EQ(t.GetMoveUnit(), nullptr);
  int x = 0, y = 0;
  t.GetMovePos(x, y);
  // The enemy lies at 90 degrees, 58.5 to the right of the heading: P(90) first, a point
  // 1600 units from self across the enemy's course: (3200 + cos(90)*400/100*4, 3000 + 1600).
  EXPECT_EQ(x, 3200);
  EXPECT_EQ(y, 4600);

  // Enemy straight below, heading +x: P(90) = (100, 100 + 1600) comes first and lies inside.
  b0->SetPos(100, 200);
  b0->SetDir(0);
  me->SetPos(100, 100);
  me->SetDir(0);
  TBtTarget c;
  c.SetMode(1);
  c.Update(me);
  c.GetMovePos(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 1700);

  // Enemy straight ahead (r = 0), heading +y: P(-90) first, along +x from self.
  b0->SetPos(3200, 100);
  b0->SetDir(900);
  me->SetPos(2200, 100);
  TBtTarget e;
  e.SetMode(1);
  e.Update(me);
  e.GetMovePos(x, y);
  EXPECT_EQ(x, 2200 + 1600);
  EXPECT_EQ(y, 100);

  // In the corner both candidates, (30, 1630) and (30, -1570), lie within 40 units of the edge
  // or outside: the arena's centre.
  b0->SetPos(60, 60);
  b0->SetDir(0);
  me->SetPos(30, 30);
  TBtTarget f;
  f.SetMode(1);
  f.Update(me);
  f.GetMovePos(x, y);
  EXPECT_EQ(x, 3200);
  EXPECT_EQ(y, 3200);
}

TEST_F(Targeting, MissileAiSearchesOnly1200Units) {
  TBtShip* me = Ship(0, 0);
  for (int s = 1; s < 3; ++s) Ship(1, s)->Kill();
  TBtShip* b0 = Ship(1, 0);
  b0->SetPos(3200, 3200);
  me->SetPos(3200 - 1200, 3200);  // exactly 1200 away: not closer than the search
  TBtTarget t;
  t.SetMode(2);
  t.Update(me);
  EXPECT_EQ(t.GetMoveUnit(), nullptr);
  me->SetPos(3200 - 1199, 3200);
  for (int i = 0; i < 11; ++i) t.Update(me);
  EXPECT_EQ(t.GetMoveUnit(), b0);
  EXPECT_EQ(t.GetFireUnit(), b0);
}
