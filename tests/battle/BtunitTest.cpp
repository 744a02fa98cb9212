#include <gtest/gtest.h>

#include "battle/Btunit.h"

using namespace vdmq;

namespace {
TBtUnitInfo MakeInfo(int x, int y, int dir, int speed) {
  TBtUnitInfo i;
  i.hp = 5;
  i.country = 1;
  i.radius = 80;
  i.hitMask = kBtKindMissile;
  i.kind = kBtKindShip;
  i.x = x;
  i.y = y;
  i.dir = dir;
  i.speed = speed;
  i.maxSpeed = 100;
  i.accel = 5;
  return i;
}
}  // namespace

TEST(BtUnit, InfoStartsEmptyAndInitCapsSpeedAndTurn) {
  TBtUnitInfo info;
  EXPECT_EQ(info.country, -1);
  EXPECT_EQ(info.x, -1);
  EXPECT_EQ(info.y, -1);
  EXPECT_EQ(info.hp, 0);
  TBtUnit u;
  EXPECT_FALSE(u.IsAlive());
  info = MakeInfo(10, 20, 0, 500);
  info.turn = 70;
  info.maxTurn = 30;
  u.Init(info);
  EXPECT_TRUE(u.IsAlive());
  EXPECT_EQ(u.GetSpeed(), 100);
  EXPECT_EQ(u.GetTurn(), 30);
  info.turn = -900;  // no lower bound
  u.Init(info);
  EXPECT_EQ(u.GetTurn(), -900);
  EXPECT_EQ(u.GetOwner(), 1);
  EXPECT_EQ(u.GetCountry(), 1);
}

TEST(BtUnit, DamageThroughArmour) {
  TBtUnit u;
  TBtUnitInfo info = MakeInfo(0, 0, 0, 0);
  info.armor = 1000;
  u.Init(info);
  u.Damage(1000);
  EXPECT_EQ(u.GetHp(), 5);
  info.armor = 0;
  u.Init(info);
  u.Damage(4);
  EXPECT_EQ(u.GetHp(), 1);
  EXPECT_TRUE(u.IsAlive());
  u.Init(info);
  u.Damage(5);
  EXPECT_EQ(u.GetHp(), 0);
  EXPECT_FALSE(u.IsAlive());
  info.hp = 100;
  info.armor = 300;
  u.Init(info);
  u.Damage(10);  // 700 * 10 / 1000 = 7
  EXPECT_EQ(u.GetHp(), 93);
  info.armor = -1;  // a missing hull: damage * 1001 / 1000
  u.Init(info);
  u.Damage(1000);
  EXPECT_FALSE(u.IsAlive());
}

TEST(BtUnit, SpeedChangesAreBounded) {
  TBtUnit u;
  TBtUnitInfo info = MakeInfo(0, 0, 0, 3);
  u.Init(info);
  u.SpeedDown();
  EXPECT_EQ(u.GetSpeed(), 0);
  u.SetSpeed(98);
  u.SpeedUp();
  EXPECT_EQ(u.GetSpeed(), 100);
  u.SpeedUp();
  EXPECT_EQ(u.GetSpeed(), 100);
  u.SetSpeed(6);
  u.SpeedDown();
  EXPECT_EQ(u.GetSpeed(), 1);
  u.Kill();
  u.SpeedUp();
  EXPECT_EQ(u.GetSpeed(), 1);
}

TEST(BtUnit, SetDirIsATrueModulo) {
  TBtUnit u;
  u.SetDir(-10);
  EXPECT_EQ(u.GetDir(), 3590);
  u.SetDir(3600);
  EXPECT_EQ(u.GetDir(), 0);
  u.SetDir(-7201);
  EXPECT_EQ(u.GetDir(), 3599);
  u.SetDir(11000);
  EXPECT_EQ(u.GetDir(), 200);
}

TEST(BtUnit, NextPositionFollowsHeadingPlusTurn) {
  TBtUnit u;
  u.Init(MakeInfo(100, 100, 0, 40));
  int x = 0, y = 0;
  u.GetNextPos(x, y);
  EXPECT_EQ(x, 140);
  EXPECT_EQ(y, 100);
  u.SetDir(900);
  u.GetNextPos(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 140);
  u.SetDir(0);
  u.SetTurn(-900);  // heading 0 - 90 degrees wraps to 270
  u.GetNextPos(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 60);
  u.SetTurn(0);
  u.SetDir(455);  // 45.5 degrees: whole degree 45, sin = cos = 71
  u.GetNextPos(x, y);
  EXPECT_EQ(x, 100 + 71 * 40 / 100);
  EXPECT_EQ(y, 100 + 71 * 40 / 100);
}

TEST(BtUnit, DeadUnitNeitherMovesNorIsHit) {
  TBtUnit u, m;
  u.Init(MakeInfo(100, 100, 0, 40));
  TBtUnitInfo mi = MakeInfo(150, 100, 0, 0);
  mi.kind = kBtKindMissile;
  mi.hitMask = kBtKindShip;
  mi.radius = 32;
  m.Init(mi);
  EXPECT_TRUE(u.ChkHitUnit(&m));
  EXPECT_TRUE(m.ChkHitUnit(&u));
  EXPECT_FALSE(u.ChkHitUnit(nullptr));
  EXPECT_TRUE(u.ChkHitCircle(100 + 112, 100, 32));
  EXPECT_FALSE(u.ChkHitCircle(100 + 113, 100, 32));
  u.Kill();
  EXPECT_FALSE(u.ChkHitUnit(&m));
  EXPECT_FALSE(u.ChkHitCircle(100, 100, 32));
  int x = -5, y = -6;
  u.GetNextPos(x, y);
  EXPECT_EQ(x, -5);
  EXPECT_EQ(y, -6);
  u.SetPos(1, 2);
  EXPECT_EQ(u.GetX(), 100);
  // A hit mask that does not include the other's kind never touches.
  mi.hitMask = kBtKindMissile;
  m.Init(mi);
  TBtUnit v;
  v.Init(MakeInfo(150, 100, 0, 0));
  EXPECT_FALSE(m.ChkHitUnit(&v));
}
