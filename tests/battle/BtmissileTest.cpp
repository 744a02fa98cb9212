#include <gtest/gtest.h>

#include "battle/Btinfo.h"
#include "battle/Btlight.h"
#include "battle/Btmath.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "campaign/Parts.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

class Missiles : public ArenaTest {
 protected:
  void SetUp() override {
    ArenaTest::SetUp();
    PutFleetShip(0, 0, 0, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, -1));
    PutFleetShip(1, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
    PutCmd(3, 0, 0, 150, 100, 0, 0);
    PutCmd(4, 1, 0, 100, 50, 0, 0);
    StartArena(0, 0, 1, 0, -1);
  }
  int Lights() const {
    int n = 0;
    for (int i = 0; i < kBtLightSlots; ++i) n += arena_->GetLight(i) != nullptr;
    return n;
  }
  int Explosions() const {
    int n = 0;
    for (int i = 0; i < kBtExploadeSlots; ++i) n += arena_->GetExploade(i) != nullptr;
    return n;
  }
};

}  // namespace

TEST_F(Missiles, SetUpSpreadsAroundTheLauncherAndScalesDamageByCommander) {
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  EXPECT_TRUE(m.IsAlive());
  EXPECT_GE(m.GetX(), 3200 - 80);
  EXPECT_LE(m.GetX(), 3200 + 76);
  EXPECT_EQ((m.GetX() - 3200) % 4, 0);
  EXPECT_GE(m.GetY(), 3200 - 80);
  EXPECT_LE(m.GetY(), 3200 + 76);
  EXPECT_EQ(m.GetRadius(), 32);
  EXPECT_EQ(m.GetKind(), kBtKindMissile);
  EXPECT_EQ(m.GetHitMask(), kBtKindShip);
  EXPECT_EQ(m.GetHp(), 1);
  EXPECT_EQ(m.GetTurnMax(), 60);
  EXPECT_EQ(m.GetTurn(), 60);
  // Aim 0 degrees, guidance 6: heading (spread 0..5 + 0 - 3) * 10, made non-negative.
  const int d = m.GetDir() > 1800 ? m.GetDir() - 3600 : m.GetDir();
  EXPECT_GE(d, -30);
  EXPECT_LE(d, 20);
  EXPECT_EQ(d % 10, 0);
  EXPECT_EQ(m.GetSpeed(), 30);  // speed 50 * 12 / 10 = 60; half to start
  EXPECT_EQ(m.GetMaxSpeed(), 60);
  EXPECT_EQ(m.GetAccel(), 3);
  EXPECT_EQ(m.GetLife(), 60);
  EXPECT_EQ(m.GetDamage(), 30) << "attack 20 x commander attack 150 / 100";
  EXPECT_EQ(m.GetTarget().GetMode(), kBtTargetMissileAi);

  TBtMissile n;
  n.Setup(MissileInfo(kWeapon1, 1, 4000, 3200));
  EXPECT_EQ(n.GetDamage(), 10) << "defender: attack 20 x commander defence 50 / 100";
}

TEST_F(Missiles, SidesWithoutCommanderFireUnscaled) {
  BtInfo.attackerCmd = -1;
  BtInfo.defenderCmd = -1;
  TBtMissile a, d;
  a.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  d.Setup(MissileInfo(kWeapon1, 1, 4000, 3200));
  EXPECT_EQ(a.GetDamage(), 20);
  EXPECT_EQ(d.GetDamage(), 20);
}

TEST_F(Missiles, NoGuidanceFliesExactlyAtTheAimAndNeverTurns) {
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon2, 0, 3200, 4000));  // straight down: 90 degrees
  EXPECT_EQ(m.GetDir(), 900);
  EXPECT_EQ(m.GetTurnMax(), 0);
  const int x0 = m.GetX();
  m.Move();
  EXPECT_EQ(m.GetDir(), 900);
  EXPECT_EQ(m.GetX(), x0);
  EXPECT_EQ(m.GetSpeed(), 26);  // speed 40 * 1.2 = 48: 24 + accel 2
}

TEST_F(Missiles, LifeRunsOutWithAnExplosion) {
  WeaponData[kWeapon1].Weapon.Range = 0;
  TBtMissile m0;
  m0.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  m0.Move();
  EXPECT_FALSE(m0.IsAlive());
  EXPECT_EQ(Explosions(), 1);
  WeaponData[kWeapon1].Weapon.Range = 1;
  TBtMissile m1;
  m1.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  m1.Move();
  EXPECT_FALSE(m1.IsAlive());
  WeaponData[kWeapon1].Weapon.Range = 2;
  TBtMissile m2;
  m2.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  m2.Move();
  EXPECT_TRUE(m2.IsAlive());
  EXPECT_EQ(Explosions(), 2);
}

TEST_F(Missiles, TrailsByMissileKind) {
  TBtMissile plain;
  plain.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));  // kind 0: trail light kind 2
  plain.Move();
  ASSERT_NE(arena_->GetLight(0), nullptr);
  EXPECT_EQ(arena_->GetLight(0)->GetLightKind(), 2);
  TBtMissile k2;
  k2.Setup(MissileInfo(kWeapon2, 1, 4000, 3200));  // kind 2 of the enemy: light kind 6
  k2.Move();
  ASSERT_NE(arena_->GetLight(1), nullptr);
  EXPECT_EQ(arena_->GetLight(1)->GetLightKind(), 6);
  WeaponData[kWeapon2].Weapon.Data6 = 4;  // kind 4: no trail
  TBtMissile k4;
  k4.Setup(MissileInfo(kWeapon2, 0, 4000, 3200));
  k4.Move();
  EXPECT_EQ(Lights(), 2);
}

TEST_F(Missiles, HitsTheFirstTouchingEnemyShipOnly) {
  TBtShip* enemy = arena_->FindShip(1, 0, 0);
  TBtShip* own = arena_->FindShip(0, 0, 0);
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  m.SetPos(own->GetX(), own->GetY());  // own ships are not hit
  m.ChkHit();
  EXPECT_TRUE(m.IsAlive());
  m.SetPos(enemy->GetX() + 112, enemy->GetY());  // circles just touch
  m.ChkHit();
  EXPECT_FALSE(m.IsAlive());
  EXPECT_LT(enemy->GetHp(), 100);
  EXPECT_EQ(Explosions(), 1);
}

TEST_F(Missiles, FarOutsideTheArenaNeverProducesAPhantomHit) {
  TBtShip* enemy = arena_->FindShip(1, 0, 0);
  enemy->SetPos(3200, 3200);
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  // 65536 units away: the squared distance is exactly 2^32, which 32-bit sums would wrap to 0.
  m.SetPos(3200 + 65536, 3200);
  m.ChkHit();
  EXPECT_TRUE(m.IsAlive());
  EXPECT_EQ(enemy->GetHp(), 100);
}

TEST_F(Missiles, HomesOnTheNearestEnemyWithinRange) {
  TBtShip* enemy = arena_->FindShip(1, 0, 0);
  enemy->SetPos(3200, 4000);
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));  // aimed along +x, enemy 800 below
  m.SetPos(3200, 3200);
  m.SetDir(0);
  m.Move();
  EXPECT_EQ(m.GetTarget().GetMoveUnit(), enemy);
  EXPECT_EQ(m.GetDir(), 60) << "turns towards it by its guidance per frame";
  // A missile whose nearest enemy is beyond 1200 units keeps its heading.
  enemy->SetPos(3200, 6000);
  TBtMissile far;
  far.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  far.SetPos(3200, 3200);
  far.SetDir(0);
  far.Move();
  EXPECT_EQ(far.GetTarget().GetMoveUnit(), nullptr);
  EXPECT_EQ(far.GetDir(), 0);
}

TEST_F(Missiles, DrawnFramesStayInsideTheMissileSheet) {
  RecordingView view;
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 1, 4000, 3200));
  m.SetDir(900);
  m.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].layer, kBtLayerMissile);
  EXPECT_EQ(view.entries[0].e.frame, 2 + 16);  // kind 0 of the enemy, direction 2
  EXPECT_EQ(view.entries[0].e.mode, 0);
  view.entries.clear();
  TBtMissile k3;
  WeaponData[kWeapon2].Weapon.Data6 = 3;
  k3.Setup(MissileInfo(kWeapon2, 0, 4000, 3200));
  k3.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].e.frame, 40);
  EXPECT_EQ(view.entries[0].e.mode, 5);
  view.entries.clear();
  // Kind 4 of the enemy would need frames 48..55 of a 48-frame sheet: nothing is drawn.
  WeaponData[kWeapon2].Weapon.Data6 = 4;
  TBtMissile k4;
  k4.Setup(MissileInfo(kWeapon2, 1, 4000, 3200));
  k4.Draw();
  EXPECT_TRUE(view.entries.empty());
  TBtMissile k4own;
  k4own.Setup(MissileInfo(kWeapon2, 0, 4000, 3200));
  k4own.Draw();
  EXPECT_EQ(view.entries.size(), 1u);
}

TEST(BtLight, AnimationCyclesByKind) {
  auto framesAlive = [](int kind) {
    TBtLight l;
    l.Setup(100, 100, kind, 0);
    int n = 0;
    while (l.IsAlive() && n < 1000) {
      l.Move();
      ++n;
    }
    return n;
  };
  EXPECT_EQ(framesAlive(1), 16);  // two 8-frame cycles
  EXPECT_EQ(framesAlive(2), 16);  // one cycle at two frames a step
  EXPECT_EQ(framesAlive(3), 8);
  EXPECT_EQ(framesAlive(0), 1000);  // never ends
  TBtLight bad;
  bad.Setup(100, 100, 9, 0);
  EXPECT_FALSE(bad.IsAlive());

  TBtLight t;
  t.Setup(100, 100, 5, 900);  // flies on along the missile's heading
  EXPECT_EQ(t.GetBaseFrame(), 24);
  EXPECT_EQ(t.GetSheet(), 6);
  t.Move();
  EXPECT_EQ(t.GetY(), 140);
  TBtExploade e;
  e.Setup(10, 20, 0);
  EXPECT_EQ(e.GetSheet(), 4);
  EXPECT_EQ(e.GetFrameCount(), 8);
  EXPECT_EQ(e.GetHp(), 0);
  EXPECT_EQ(e.GetRadius(), 0);
  TBtExploade e1;
  e1.Setup(10, 20, 1);
  EXPECT_EQ(e1.GetSheet(), 5);
  TBtExploade bad2;
  bad2.Setup(10, 20, 2);
  EXPECT_FALSE(bad2.IsAlive());
}

TEST(BtLight, DrawsOnlyWhileAlive) {
  RecordingView view;
  TBtLight l;
  l.Setup(100, 100, 4, 0);
  l.Move();
  l.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].e.frame, 17);
  EXPECT_EQ(view.entries[0].e.mode, 5);
  EXPECT_EQ(view.entries[0].layer, kBtLayerEffect);
  l.Kill();
  l.Draw();
  EXPECT_EQ(view.entries.size(), 1u);
}

TEST_F(Missiles, NewMissileRightOfItsAimShowsTheSpriteOfItsHeading) {
  // Guidance 100 aimed along +x: the spread gives headings from -500 up; drawn before its first
  // move, a heading of -500 (310 degrees) shows direction 7, not direction 0.
  WeaponData[kWeapon1].Weapon.Guide = 100;
  RecordingView view;
  TBtMissile m;
  m.Setup(MissileInfo(kWeapon1, 0, 4000, 3200));
  EXPECT_GE(m.GetDir(), -500);
  EXPECT_LT(m.GetDir(), 500);
  TBtUnitInfo u;
  u.country = 0;
  u.x = 3200;
  u.y = 3200;
  u.dir = -500;
  m.Init(u);
  m.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].e.frame, 7);
  view.entries.clear();
  u.dir = -1000;  // 260 degrees: direction 6
  m.Init(u);
  m.Draw();
  ASSERT_EQ(view.entries.size(), 1u);
  EXPECT_EQ(view.entries[0].e.frame, 6);
}
