#include <gtest/gtest.h>

#include <vector>

#include "battle/Btinfo.h"
#include "battle/Btlight.h"
#include "battle/Btmain.h"
#include "battle/Btmissile.h"
#include "battle/Btqvmap.h"
#include "campaign/Parts.h"
#include "platform/base/Sjis.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

class Arena : public ArenaTest {
 protected:
  // Player (country 0) attacks country 1 in space, both fleets 0 with three ships.
  void SpaceBattle(int shieldA = -1, int shieldB = -1) {
    for (int s = 0; s < 3; ++s) {
      PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, shieldA));
      PutFleetShip(1, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, shieldB));
    }
    StartArena(0, 0, 1, 0, -1);
  }
  int Count(bool ships) const {
    int n = 0;
    if (ships) {
      for (int i = 0; i < kBtShipSlots; ++i) n += arena_->GetShip(i) != nullptr;
    } else {
      for (int i = 0; i < kBtMissileSlots; ++i) n += arena_->GetMissile(i) != nullptr;
    }
    return n;
  }
};

}  // namespace

TEST_F(Arena, PlacesBothSidesAndSelectsTheFlagship) {
  TBtQvMap fresh;
  EXPECT_TRUE(fresh.IsEnd());
  EXPECT_EQ(fresh.GetWidth(), 0);
  SpaceBattle();
  EXPECT_FALSE(arena_->IsEnd());
  EXPECT_EQ(arena_->GetWidth(), 6400);
  const int expect[6][3] = {{800, 5600, 315}, {800, 5000, 315},  {1400, 5600, 315},
                            {5600, 800, 125}, {5600, 1400, 125}, {5000, 800, 125}};
  for (int i = 0; i < 6; ++i) {
    TBtShip* s = arena_->GetShip(i);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetX(), expect[i][0]) << i;
    EXPECT_EQ(s->GetY(), expect[i][1]) << i;
    EXPECT_EQ(s->GetDir(), expect[i][2]) << i;
  }
  EXPECT_EQ(arena_->GetSelect(), arena_->GetShip(0));
  EXPECT_GE(host_.panelUpdates, 1);
  EXPECT_EQ(arena_->FindShip(1, 0, 2), arena_->GetShip(5));
  EXPECT_EQ(arena_->FindShip(1, 0, 7), nullptr);
}

TEST_F(Arena, SatellitesArcAroundTheDefendersCorner) {
  PutFleetShip(0, 2, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  for (int s = 0; s < 5; ++s) PutSate(9, s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutPlanet(9, 10, 10, 1, false);
  StartArena(0, 2, 1, -1, 9);  // the player attacks: the satellites are side B (upper right)
  // Slot 0 at 45 degrees: cos = sin = 71 -> 426 pixels; slot 1 at 30: cos 87 -> 522, sin 50 -> 300.
  TBtShip* s0 = arena_->FindSate(1, 0);
  TBtShip* s1 = arena_->FindSate(1, 1);
  ASSERT_TRUE(s0 && s1);
  EXPECT_EQ(s0->GetX(), (1600 - 426) * 4);
  EXPECT_EQ(s0->GetY(), 426 * 4);
  EXPECT_EQ(s1->GetX(), (1600 - 522) * 4);
  EXPECT_EQ(s1->GetY(), 300 * 4);
  EXPECT_EQ(s1->GetDir(), 125);
  EXPECT_EQ(Count(true), 6);
  EXPECT_EQ(arena_->GetSelect(), arena_->FindShip(0, 2, 0));
}

TEST_F(Arena, PlayerDefendingAPlanetCommandsItsFirstSatellite) {
  PutFleetShip(3, 1, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutSate(9, 1, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutSate(9, 3, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutPlanet(9, 10, 10, 0, false);
  StartArena(3, 1, 0, -1, 9);
  EXPECT_EQ(BtInfo.sideA, 0);
  EXPECT_EQ(BtInfo.sideAFleet, -1);
  EXPECT_EQ(BtGetPlayerFleet(), -1);
  TBtShip* s1 = arena_->FindSate(0, 1);
  ASSERT_NE(s1, nullptr);
  EXPECT_EQ(s1->GetX(), 87 * 600 / 100 * 4);
  EXPECT_EQ(s1->GetY(), (1600 - 50 * 600 / 100) * 4);
  EXPECT_EQ(s1->GetDir(), 315);
  EXPECT_EQ(arena_->GetSelect(), s1);
  arena_->SelectSate(0, 3);
  EXPECT_EQ(arena_->GetSelect(), arena_->FindSate(0, 3));
}

TEST_F(Arena, HullDamageAppliesArmourTwiceWithMessages) {
  SpaceBattle();
  TBtShip* b = arena_->FindShip(1, 0, 1);
  arena_->ShipHit(b, 100);
  // h = 800 * 100 / 1000 = 80; the unit's armour again: 800 * 80 / 1000 = 64 lost.
  EXPECT_EQ(b->GetHp(), 36);
  EXPECT_EQ(b->GetShipData().Hp, 36);
  ASSERT_EQ(host_.btMessages.size(), 2u);
  EXPECT_EQ(SjisToUtf8(host_.btMessages[0]), "敵軍2番艦に命中!! 64の被害");
  EXPECT_EQ(SjisToUtf8(host_.btMessages[1]), "        残り耐久力36です");
  TBtShip* a = arena_->FindShip(0, 0, 2);
  arena_->ShipHit(a, 10);  // 800 * 10 / 1000 = 8, then 800 * 8 / 1000 = 6
  EXPECT_EQ(SjisToUtf8(host_.btMessages[2]), "自軍3番艦被弾!! 6の被害");
}

TEST_F(Arena, ShieldTakesTheWholeHitWithItsReductionTwice) {
  // Shield 1: durability 100, defence 300, deploy 50, no recharge (ready at once); the commander's
  // judgement 100 raises it on every hit.
  SpaceBattle(1, 1);
  PutCmd(5, 0, 0, 100, 100, 100, 0);
  BtInfo.attackerCmd = 5;
  TBtShip* sel = arena_->GetSelect();
  ASSERT_NE(sel, nullptr);
  ASSERT_EQ(sel->GetCommander(), -1) << "commander is read when the ship is set up";
  TBtShip a;  // a ship set up after the commander was appointed
  TBtShipInfo info;
  info.x = 3200;
  info.y = 3200;
  info.country = 0;
  info.fleet = 0;
  info.slot = 0;
  a.Setup(info);
  EXPECT_EQ(a.GetCommander(), 5);
  EXPECT_TRUE(a.GetShield().CanOn());
  arena_->ShipHit(&a, 100);
  EXPECT_TRUE(a.GetShield().IsOn());
  // s = 700 * 100 / 1000 = 70, then 700 * 70 / 1000 = 49 off the shield's 100.
  EXPECT_EQ(a.GetShield().GetHp(), 51);
  EXPECT_EQ(a.GetHp(), 100);
  EXPECT_TRUE(host_.btMessages.empty()) << "only the selected ship reports its shield";
  // The selected ship reports its shield.
  sel->GetShield().On();
  arena_->ShipHit(sel, 100);
  ASSERT_EQ(host_.btMessages.size(), 1u);
  EXPECT_EQ(SjisToUtf8(host_.btMessages[0]), "シールド損傷!! 残り51です");
  // Hits on a shield never decide the battle.
  EXPECT_EQ(BtInfo.winner, -1);
}

TEST_F(Arena, HalfDamageForThePlayerInChapterFourAgainstCountryEight) {
  for (int s = 0; s < 3; ++s) {
    PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
    PutFleetShip(8, 0, s, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  }
  SetChapter(4);
  StartArena(8, 0, 0, 0, -1);
  TBtShip* mine = arena_->FindShip(0, 0, 1);
  arena_->ShipHit(mine, 100);
  // h = 800 * 100 / 1000 / 2 = 40; 800 * 40 / 1000 = 32 lost.
  EXPECT_EQ(mine->GetHp(), 68);
  EXPECT_EQ(SjisToUtf8(host_.btMessages[0]), "自軍2番艦被弾! 32の被害");
  // The enemy's ships take full damage.
  TBtShip* theirs = arena_->FindShip(8, 0, 1);
  arena_->ShipHit(theirs, 100);
  EXPECT_EQ(theirs->GetHp(), 36);
  // Once flag 92 is set, full damage again.
  SetFlag(92);
  arena_->ShipHit(mine, 100);
  EXPECT_EQ(mine->GetHp(), 68 - 64);
}

TEST_F(Arena, FlagshipLossDecidesTheBattle) {
  SpaceBattle();
  TBtShip* flag = arena_->FindShip(1, 0, 0);
  ASSERT_TRUE(flag->IsFlagship());
  flag->SetHp(1);
  arena_->ShipHit(flag, 100);
  EXPECT_FALSE(flag->IsAlive());
  EXPECT_EQ(BtInfo.winner, 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0], "敵艦隊、旗艦を失い撤退しました。");
  EXPECT_EQ(host_.boxKinds[0], "SysMesBt") << "the battle's own box, which pauses the battle";
  EXPECT_EQ(host_.captions[0], "確認");
  EXPECT_EQ(BattleFlow(host_).back(), "wave 4 0");
  // Further hits change nothing once the winner is set.
  TBtShip* other = arena_->FindShip(1, 0, 1);
  arena_->ShipHit(other, 100);
  EXPECT_EQ(other->GetHp(), 100);
  // The dead ship is deleted at the end of the next step and writes its loss back.
  arena_->MoveAll();
  EXPECT_EQ(arena_->FindShip(1, 0, 0), nullptr);
  EXPECT_EQ(FleetShipHp(1, 0, 0), -1);
}

TEST_F(Arena, PlayersFlagshipLostIsADefeat) {
  SpaceBattle();
  TBtShip* flag = arena_->FindShip(0, 0, 0);
  flag->SetHp(1);
  arena_->ShipHit(flag, 100);
  EXPECT_EQ(BtInfo.winner, 1);
  EXPECT_EQ(host_.messages[0], "旗艦をやられました。撤退します。");
  // The selection passes to the last other ship of the player when the dead one is deleted.
  arena_->MoveAll();
  EXPECT_EQ(arena_->GetSelect(), arena_->FindShip(0, 0, 2));
}

TEST_F(Arena, DestroyingTheLastEnemyWins) {
  PutFleetShip(0, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(1, 0, 0, MakeShip(kHullLight, kWeapon1, -1, kEngine, -1));
  PutFleetShip(1, 0, 1, MakeShip(kHullLight, kWeapon1, -1, kEngine, -1));
  StartArena(0, 0, 1, 0, -1);
  TBtShip* second = arena_->FindShip(1, 0, 1);
  arena_->ShipHit(second, 50);
  EXPECT_FALSE(second->IsAlive());
  EXPECT_EQ(BtInfo.winner, -1);
  EXPECT_TRUE(host_.messages.empty());
  arena_->FindShip(1, 0, 0)->Kill();
  arena_->ChkWinner();
  EXPECT_EQ(BtInfo.winner, 0);
  // With no ship alive at all the defender wins.
  BtInfo.winner = -1;
  arena_->FindShip(0, 0, 0)->Kill();
  arena_->ChkWinner();
  EXPECT_EQ(BtInfo.winner, 1);
}

TEST_F(Arena, FullMissileArrayDropsLaunchesButTheLauncherReloads) {
  SpaceBattle();
  const TBtMissileInfo info = MissileInfo(kWeapon1, 0, 4000, 4000);
  for (int i = 0; i < 300; ++i) arena_->AddMissile(info);
  EXPECT_EQ(Count(false), 256);
  TBtShip* a = arena_->FindShip(0, 0, 1);
  a->GetTarget().SetAttackPos(100, 100);
  for (int i = 0; i < 10; ++i) a->TickEquip();
  ASSERT_TRUE(a->GetLauncher1().IsReady());
  a->Fire();
  EXPECT_EQ(Count(false), 256);
  EXPECT_EQ(a->GetLauncher1().GetCounter(), 10);
  for (int i = 0; i < 1100; ++i) arena_->AddLight(10, 10, 0, 0);
  int lights = 0;
  for (int i = 0; i < kBtLightSlots; ++i) lights += arena_->GetLight(i) != nullptr;
  EXPECT_EQ(lights, 1024);
}

TEST_F(Arena, OrdersMoveFireAndRaiseTheShield) {
  SpaceBattle(1, -1);
  TBtShip* sel = arena_->GetSelect();
  ASSERT_NE(sel, nullptr);
  const int x = sel->GetX(), y = sel->GetY();
  // Right click within 160 units: the shield rises, the ship is not sent anywhere.
  arena_->Order(1, x + 100, y + 100);
  EXPECT_TRUE(sel->GetShield().IsOn());
  EXPECT_EQ(sel->GetTarget().GetMode(), kBtTargetShipAi);
  // Right click farther away: a manual move.
  arena_->Order(1, x + 1000, y);
  EXPECT_EQ(sel->GetTarget().GetMode(), kBtTargetManual);
  int mx = 0, my = 0;
  sel->GetTarget().GetMovePos(mx, my);
  EXPECT_EQ(mx, x + 1000);
  // Left click far away: aims there and fires the ready launchers at once.
  for (int i = 0; i < 10; ++i) sel->TickEquip();
  arena_->Order(0, 4000, 1000);
  int fx = 0, fy = 0;
  sel->GetTarget().GetFirePos(fx, fy);
  EXPECT_EQ(fx, 4000);
  EXPECT_EQ(fy, 1000);
  EXPECT_EQ(Count(false), 1);
  // The selected ship does not fire by itself in the action step.
  arena_->ActAll();
  EXPECT_EQ(sel->GetLauncher1().GetCounter(), 9);
}

TEST_F(Arena, TwelveRunningFramesAfterTheDecisionThenTheReport) {
  SpaceBattle();
  RecordingView view;
  EXPECT_TRUE(BtBattleTick());
  EXPECT_EQ(view.centerX, arena_->GetSelect()->GetX() >> 2);
  BtInfo.winner = 0;
  int ticks = 0;
  host_.paused = true;
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(BtBattleTick()) << "paused: the countdown waits";
  host_.paused = false;
  while (BtBattleTick()) ++ticks;
  EXPECT_EQ(ticks, 12);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0], "戦闘に勝利しました。");
  EXPECT_EQ(host_.boxKinds[0], "SysMes") << "the game's message box";
  EXPECT_EQ(arena_->GetEndCountdown(), 12);
  BtInfo.winner = 1;
  while (BtBattleTick()) {
  }
  EXPECT_EQ(host_.messages[1], "戦闘に敗北しました。");
}

TEST_F(Arena, PausedTicksOnlyRedraw) {
  SpaceBattle();
  RecordingView view;
  TBtShip* s = arena_->GetShip(3);
  const int x = s->GetX();
  host_.paused = true;
  EXPECT_TRUE(BtBattleTick());
  EXPECT_EQ(s->GetX(), x);
  EXPECT_EQ(view.redraws, 1);
  host_.paused = false;
  EXPECT_TRUE(BtBattleTick());
  EXPECT_NE(s->GetX(), x);
  // Without an arena there is nothing to run.
  BtQvMap = nullptr;
  EXPECT_FALSE(BtBattleTick());
  BtQvMap = arena_;
}

TEST_F(Arena, WindowMayCloseOnlyAtTheEndOrWithoutArena) {
  EXPECT_TRUE(BtArenaIsEnd());  // no arena at all
  SpaceBattle();
  EXPECT_FALSE(BtArenaIsEnd());
  arena_->SetEnd();
  EXPECT_TRUE(BtArenaIsEnd());
}

TEST_F(Arena, RetreatOnlyWhileTheWinnerIsOpen) {
  SpaceBattle();
  EXPECT_TRUE(BtPlayerRetreat());
  EXPECT_EQ(BtInfo.winner, 1);
  BtInfo.winner = 0;  // the battle was won; retreat during the closing frames
  EXPECT_FALSE(BtPlayerRetreat());
  EXPECT_EQ(BtInfo.winner, 0);
}

TEST_F(Arena, DrawAllQueuesEveryKindOfUnit) {
  SpaceBattle();
  RecordingView view;
  arena_->AddLight(100, 100, 0, 0);
  arena_->AddExploade(100, 100, 1);
  const TBtMissileInfo info = MissileInfo(kWeapon1, 1, 4000, 4000);
  arena_->AddMissile(info);
  arena_->DrawAll();
  int perLayer[4] = {};
  for (const auto& e : view.entries) perLayer[e.layer]++;
  EXPECT_EQ(perLayer[kBtLayerHull], 6);
  EXPECT_EQ(perLayer[kBtLayerMissile], 1);
  EXPECT_GE(perLayer[kBtLayerEffect], 2 + 6);  // light, explosion, flames, markers
}

TEST_F(Arena, MiniMapDotsStayInsideTheHundredPixels) {
  struct Surface : TBtMiniMapSurface {
    void BoxFill(int x1, int y1, int x2, int y2, int c) override { boxes.push_back({x1, y1, x2, y2, c}); }
    std::vector<std::vector<int>> boxes;
  } surface;
  SpaceBattle();
  arena_->GetShip(0)->SetPos(6399, 0);
  arena_->GetShip(3)->SetPos(6400, 100);
  const TBtMissileInfo info = MissileInfo(kWeapon1, 1, 4000, 4000);
  arena_->AddMissile(info);
  arena_->GetMissile(0)->SetPos(-1, 640);
  arena_->AddMissile(info);
  arena_->GetMissile(1)->SetPos(640, 700);
  arena_->DrawMiniMap(surface);
  // Ships 1, 2, 4, 5 and ship 0 at column 99; ship 3 at 6400 and the missile at -1 are not drawn.
  ASSERT_EQ(surface.boxes.size(), 6u);
  EXPECT_EQ(surface.boxes[0], (std::vector<int>{99, 0, 100, 1, kBtMiniLime}));
  EXPECT_EQ(surface.boxes[3][4], kBtMiniRed);
  EXPECT_EQ(surface.boxes[5], (std::vector<int>{10, 10, 11, 11, kBtMiniFuchsia}));
}
