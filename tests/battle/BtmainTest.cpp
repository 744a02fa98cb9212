#include <gtest/gtest.h>

#include <vector>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvmap.h"
#include "campaign/Fleet.h"
#include "campaign/Gmain.h"
#include "campaign/Parts.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"
#include "campaign/W5scn01.h"
#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "support/BattleWorld.h"

using namespace vdmq;
using namespace vdmq::bttest;

namespace {

class Entry : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  TRecordingHost host_;
};

// Everything a battle leaves behind, to compare two runs.
struct Outcome {
  int winner;
  std::vector<int> hps;
  std::vector<int> exps;
  std::vector<std::string> messages;
  bool operator==(const Outcome&) const = default;
};

Outcome Snapshot(const TRecordingHost& host) {
  Outcome o{BtInfo.winner, {}, {}, host.btMessages};
  for (int c : {0, 1}) {
    for (int s = 0; s < 3; ++s) o.hps.push_back(FleetShipHp(c, 0, s));
  }
  for (int s = 0; s < 5; ++s) o.hps.push_back(SateHp(9, s));
  for (int c : {1, 2}) o.exps.push_back(CmdExp(c) + 100 * CmdLev(c));
  return o;
}

// Three ships a side in space, or three ships against five satellites.
void SetUpWorld(bool planet) {
  for (int s = 0; s < 3; ++s) {
    PutFleetShip(0, 0, s, MakeShip(kHull, kWeapon1, kWeapon2, kEngine, 1));
    PutFleetShip(1, 0, s, MakeShip(s == 1 ? kHull : kHullLight, kWeapon1, kWeapon2, kEngineSlow, kShield));
  }
  for (int s = 0; s < 5; ++s) PutSate(9, s, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  PutPlanet(9, 20, 21, 1, false);
  PutPlanet(2, 30, 30, 1, true);
  PutPlanet(0, 5, 5, 0, true);
  PutCmd(1, 0, 0, 110, 100, 50, 10);
  PutCmd(2, 1, 0, 100, 90, 50, 10);
  (void)planet;
}

}  // namespace

TEST_F(Entry, RecordOfASpaceBattleOfThePlayer) {
  PutFleetShip(0, 4, 1, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(0, 4, 2, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(5, 2, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(7, 5, 2, 100, 100, 0, 0);
  BtSetInfo(0, 4, 5, 2, -1);
  EXPECT_EQ(BtInfo.kind, 0);
  EXPECT_EQ(BtInfo.winner, -1);
  EXPECT_EQ(BtInfo.planet, -1);
  EXPECT_EQ(BtInfo.player, 0);
  EXPECT_EQ(BtInfo.playerOpponent, 5);
  EXPECT_EQ(BtInfo.sideA, 0);
  EXPECT_EQ(BtInfo.sideAFleet, 4);
  EXPECT_EQ(BtInfo.sideB, 5);
  EXPECT_EQ(BtInfo.sideBFleet, 2);
  EXPECT_EQ(BtInfo.attackerCmd, -1);
  EXPECT_EQ(BtInfo.defenderCmd, 7);
  EXPECT_EQ(BtInfo.attackerFlagSlot, 1);
  EXPECT_EQ(BtInfo.defenderFlagSlot, 0);
  EXPECT_EQ(BtInfo.playerDefends, 0);
  EXPECT_EQ(BtGetEnemyCountry(0), 5);
  EXPECT_EQ(BtGetEnemyCountry(5), 0);
  EXPECT_EQ(BtGetEnemyCountry(3), 0);
  EXPECT_EQ(BtGetPlayerFleet(), 4);
  // The player defends in space: its fleet is the defender's.
  BtSetInfo(5, 2, 0, 4, -1);
  EXPECT_EQ(BtInfo.sideA, 0);
  EXPECT_EQ(BtInfo.sideB, 5);
  EXPECT_EQ(BtInfo.playerDefends, 1);
  EXPECT_EQ(BtGetPlayerFleet(), 4);
  // Two computer countries: the sides name this battle's fleets, not the last battle's.
  BtSetInfo(5, 2, 3, 1, -1);
  EXPECT_EQ(BtInfo.player, -1);
  EXPECT_EQ(BtInfo.sideA, 5);
  EXPECT_EQ(BtInfo.sideAFleet, 2);
  EXPECT_EQ(BtInfo.sideB, 3);
  EXPECT_EQ(BtInfo.sideBFleet, 1);
}

TEST_F(Entry, PlanetWithoutSatellitesFallsAtOnce) {
  PutFleetShip(0, 1, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(1, 0, 1, 100, 100, 0, 0);
  PutPlanet(12, 7, 8, 3, false);
  PutPlanet(13, 9, 9, 3, true);
  BtBattleStart(0, 1, 3, -1, 12);
  EXPECT_EQ(BtInfo.kind, 2);
  EXPECT_EQ(BtInfo.winner, 0);
  EXPECT_EQ(host_.execBattles, 0);
  EXPECT_EQ(GetFleetX(0, 1), 7);
  EXPECT_EQ(GetFleetY(0, 1), 8);
  EXPECT_EQ(GetPlanetBelong(12), 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string name = GetPlanetName(12) ? GetPlanetName(12) : "";
  EXPECT_EQ(host_.messages[0], "拠点、" + SjisToUtf8(name) + "を<BR>占領しました。");
  EXPECT_EQ(host_.captions[0], "報告");
  EXPECT_EQ(host_.boxKinds[0], "SysMes") << "the game's message box";
  EXPECT_EQ(CmdExp(1), 50);
  EXPECT_EQ(FleetShipHp(0, 1, 0), 100) << "no fight, no durability change";
  const std::vector<std::string> order = {"repaint", "wave 5 0 wait"};
  EXPECT_EQ(BattleFlow(host_), order);
}

TEST_F(Entry, FleetKeepsItsCellWhenThePlanetLeftTheMapDuringTheBattle) {
  PutFleetShip(0, 1, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(1, 0, 1, 100, 100, 0, 0);
  PutPlanet(12, 7, 8, 3, false);
  SetFleetXY(0, 1, 7, 9);
  BtInfo.attacker = 0;
  BtInfo.attackerFleet = 1;
  BtInfo.attackerCmd = 1;
  BtInfo.defender = 3;
  BtInfo.defenderFleet = -1;
  BtInfo.kind = 2;
  BtInfo.planet = 12;
  BtInfo.winner = 0;
  BtInfo.player = 0;
  SetPlanetXY(12, -1, -1);  // removed by the scenario before the result
  BtApplyResult();
  EXPECT_EQ(GetFleetX(0, 1), 7);
  EXPECT_EQ(GetFleetY(0, 1), 9);
  EXPECT_EQ(GetPlanetBelong(12), 0) << "the capture itself still happens";
}

TEST_F(Entry, ComputerCountriesAreDecidedAtOnceAndCapturesReported) {
  PutFleetShip(2, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(3, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(20, 2, 0, 100, 100, 0, 0);
  PutCmd(21, 3, 0, 100, 100, 0, 20);
  BtBattleStart(2, 0, 3, 0, -1);
  EXPECT_EQ(BtInfo.player, -1);
  EXPECT_EQ(BtInfo.winner, 2);
  EXPECT_EQ(host_.execBattles, 0);
  EXPECT_EQ(CmdExp(20), 30);
  EXPECT_EQ(CmdFatigue(20), 50);
  EXPECT_EQ(CmdExp(21), 10);
  EXPECT_EQ(CmdFatigue(21), 200) << "(100 - spirit 20) x 250 / 100";
  EXPECT_TRUE(GetFleetReturning(3, 0));
  EXPECT_EQ(GetFleetX(3, 0), -1);

  // A capital taken by a computer country is reported with the passive text.
  PutPlanet(40, 3, 4, 3, true);
  PutSate(40, 2, MakeShip(kHullSate, kWeapon1, -1, kEngine, -1));
  BtBattleStart(2, 0, 3, -1, 40);
  EXPECT_EQ(host_.execBattles, 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string name = GetPlanetName(40) ? GetPlanetName(40) : "";
  EXPECT_EQ(host_.messages[0], "本拠地、" + SjisToUtf8(name) + "を<BR>占領されました。");
  EXPECT_EQ(GetPlanetBelong(40), 2);
  EXPECT_EQ(SateHp(40, 2), 80) << "no fight, no durability change";
}

TEST_F(Entry, ScenarioTriggerMaySetTheWinner) {
  // The scenario holds off the Empire's first assaults on the Elysian outpost: country 7 attacks
  // planet 55 of country 9 in its own turn, and the before-battle trigger decides for country 9.
  PutFleetShip(7, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(1, 7, 0, 100, 100, 0, 0);
  PutPlanet(58, 40, 40, 9, true);
  PutPlanet(55, 20, 20, 9, false);
  SetTurnCountry(7);
  BtBattleStart(7, 0, 9, -1, 55);
  SetTurnCountry(0);
  EXPECT_EQ(host_.execBattles, 0);
  EXPECT_EQ(BtInfo.winner, 9);
  EXPECT_EQ(GetPlanetBelong(55), 9);
  EXPECT_EQ(GetStoryVar(1), 1);
  // The attacker lost: 10 experience, fatigue by 250, fleet home.
  EXPECT_EQ(CmdExp(1), 10);
  EXPECT_EQ(CmdFatigue(1), 250);
  EXPECT_TRUE(GetFleetReturning(7, 0));
  const std::vector<std::string> order = {"event " + std::to_string(kMesA8a), "repaint"};
  EXPECT_EQ(BattleFlow(host_), order);
}

TEST_F(Entry, LostSpaceBattleOfThePlayersAttack) {
  PutFleetShip(0, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(1, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutCmd(1, 0, 0, 100, 100, 0, 25);
  PutCmd(2, 1, 0, 100, 100, 0, 0);
  BtSetInfo(0, 0, 1, 0, -1);
  BtInfo.winner = 1;
  BtApplyResult();
  EXPECT_EQ(CmdExp(1), 10);
  EXPECT_EQ(CmdFatigue(1), 187);  // (100 - 25) x 250 / 100
  EXPECT_EQ(CmdExp(2), 30);
  EXPECT_EQ(CmdFatigue(2), 50);
  EXPECT_TRUE(GetFleetReturning(0, 0));
}

TEST_F(Entry, FleetsWithoutCommanderGetNoExperienceAndNoError) {
  PutFleetShip(2, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(3, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  EXPECT_NO_THROW(BtBattleStart(2, 0, 3, 0, -1));
  BtInfo.winner = 3;
  EXPECT_NO_THROW(BtApplyResult());
}

TEST_F(Entry, ATickThatThrowsLeavesNoArenaBehind) {
  // The battle window's pause question fails on the fifth tick.
  struct TThrowingHost : TRecordingHost {
    bool IsBattlePaused() override {
      if (++ticks == 5) ThrowGameError("tick");
      return false;
    }
    int ticks = 0;
  };
  SetUpWorld(false);
  TThrowingHost host;
  BtSetInfo(0, 0, 1, 0, -1);
  EXPECT_THROW(BtRunBattleHeadless(), EGameError);
  EXPECT_EQ(host.ticks, 5);
  EXPECT_EQ(BtQvMap, nullptr) << "no dangling arena (and the sanitizer build sees no leak)";
  // The next battle runs as usual.
  host.ticks = 100;
  EXPECT_GT(BtRunBattleHeadless(), 0);
  EXPECT_EQ(BtQvMap, nullptr);
}

TEST_F(Entry, WholeBattlesRunHeadlessToAWinnerAndReplayIdentically) {
  for (bool planet : {false, true}) {
    Outcome first;
    for (int run = 0; run < 2; ++run) {
      ResetWorld();
      TRecordingHost host;
      SetUpWorld(planet);
      if (planet) {
        BtBattleStart(0, 0, 1, -1, 9);
      } else {
        BtBattleStart(0, 0, 1, 0, -1);
      }
      ASSERT_EQ(host.execBattles, 1);
      EXPECT_NE(BtInfo.winner, -1);
      EXPECT_EQ(BtQvMap, nullptr);
      EXPECT_FALSE(host.btMessages.empty()) << "missiles hit during the fight";
      std::vector<std::string> flow;  // the host calls but the explosions' sound effects
      for (const auto& c : BattleFlow(host)) {
        if (c != "wave 4 0") flow.push_back(c);
      }
      const std::vector<std::string> expectFlow = {"battle-bgm", "exec", "map-bgm", "repaint",
                                                   BtInfo.winner == 0 ? "wave 5 0 wait" : "wave 5 1 wait"};
      EXPECT_EQ(flow, expectFlow);
      Outcome o = Snapshot(host);
      // Durability was written back: the losing side lost something.
      int lost = 0;
      for (int i = 0; i < static_cast<int>(o.hps.size()); ++i) lost += o.hps[i] == -1;
      int damaged = lost;
      for (int s = 0; s < 3; ++s) damaged += FleetShipHp(0, 0, s) != -1 && FleetShipHp(0, 0, s) < 100;
      EXPECT_GT(damaged, 0);
      if (run == 0) {
        first = o;
      } else {
        EXPECT_TRUE(o == first) << "the same battle twice gives the same result";
      }
      // The result reached the world: the loser goes home, or the planet changes hands.
      if (planet) {
        EXPECT_EQ(GetPlanetBelong(9), BtInfo.winner == 0 ? 0 : 1);
        if (BtInfo.winner == 0) {
          EXPECT_EQ(GetFleetX(0, 0), 20);
        }
      } else if (BtInfo.winner == 0) {
        EXPECT_TRUE(GetFleetReturning(1, 0));
        EXPECT_EQ(CmdExp(1), 30);
      } else {
        EXPECT_TRUE(GetFleetReturning(0, 0));
      }
    }
  }
}

TEST_F(Entry, HeadlessBattleNobodyCanWinEndsWithTheRetreat) {
  // Launchers without ammunition can never hit anything.
  WeaponData[kWeapon1].Weapon.Ammo = 0;
  PutFleetShip(0, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  PutFleetShip(1, 0, 0, MakeShip(kHull, kWeapon1, -1, kEngine, -1));
  BtSetInfo(0, 0, 1, 0, -1);
  const int ticks = BtRunBattleHeadless();
  EXPECT_EQ(ticks, kBtHeadlessFrameLimit + 13);
  EXPECT_EQ(BtInfo.winner, 1);
}

TEST_F(Entry, DebugSwitchesDecideTheBattleWithoutFighting) {
  SetUpWorld(false);
  host_.debugSw = 4;
  BtBattleStart(0, 0, 1, 0, -1);
  EXPECT_EQ(BtInfo.winner, 0);
  EXPECT_EQ(host_.execBattles, 0);
  EXPECT_EQ(FleetShipHp(1, 0, 0), 50) << "no fight, no durability change";

  // Battle by chance: 100 percent wins for the player, 0 percent loses.
  ResetWorld();
  SetUpWorld(false);
  host_.debugSw = -1;
  host_.debugChance = 100;
  BtBattleStart(0, 0, 1, 0, -1);
  EXPECT_EQ(BtInfo.winner, 0);
  ResetWorld();
  SetUpWorld(false);
  host_.debugChance = 0;
  BtBattleStart(0, 0, 1, 0, -1);
  EXPECT_EQ(BtInfo.winner, 1);
  EXPECT_EQ(host_.execBattles, 0);
  EXPECT_TRUE(GetFleetReturning(0, 0));

  // Switches off: the battle is fought.
  ResetWorld();
  SetUpWorld(false);
  host_.debugChance = -1;
  BtBattleStart(0, 0, 1, 0, -1);
  EXPECT_EQ(host_.execBattles, 1);
  EXPECT_NE(BtInfo.winner, -1);
}
