// The scenario's triggers and its sixteen events.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScenarioSupport.h"
#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Story.h"
#include "campaign/W5ev_trg.h"
#include "campaign/W5scn01.h"
#include "support/RecordingHost.h"

namespace vdmq {
namespace {

using test::SetPlanetBattle;

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetScenarioWorld(); }
  void TearDown() override { SetTurnCountry(0); }

  // The turn-start trigger of a country.
  void TurnStart(int country) {
    SetTurnCountry(country);
    EvTrgTurn();
  }
  // The battle triggers of a battle of the turn country against a planet.
  void BattleStart(int attacker, int defender, int planet) {
    SetTurnCountry(attacker);
    SetPlanetBattle(attacker, defender, planet);
    EvTrgBattleStart();
  }
  void BattleEnd(int attacker) {
    SetTurnCountry(attacker);
    EvTrgBattleEnd();
  }
  // Every flag 0..15 that is set.
  std::vector<int> Flags() const {
    std::vector<int> out;
    for (int n = 0; n < 16; ++n) {
      if (GetStoryFlag(n)) out.push_back(n);
    }
    return out;
  }

  // The dialogues, movies and map calls the events make, in order.
  std::vector<std::string> Flow() const { return host_.Calls({"event", "centre", "draw", "movie"}); }
  static std::string Event(int id) { return "event " + std::to_string(id); }
  static std::string Movie(int number) {
    return "movie " + std::to_string(kFileKindMovie) + " " + std::to_string(number);
  }

  test::TRecordingHost host_;
};

TEST_F(Scenario, OpeningStartsTheWarOnce) {
  TurnStart(0);
  EXPECT_EQ(host_.dialogues, std::vector<int>{kMesA0});
  EXPECT_EQ(Flags(), std::vector<int>{0});
  EXPECT_EQ(GetStoryCnt(0), 1);
  EXPECT_EQ(GetCountryRelation(0, 7), kRelationWar);
  EXPECT_EQ(GetCountryRelation(0, 1), kRelationAlly);
  EXPECT_EQ(GetCountryRelation(0, 9), kRelationAlly);
  EXPECT_EQ(GetCountryRelation(7, 9), kRelationWar);
  EXPECT_EQ(FleetData[7][0].Root, 0);
  EXPECT_EQ(FleetData[7][1].Root, 0);
  EXPECT_EQ(FleetData[7][2].Root, 1);
  EXPECT_EQ(FleetData[7][3].Root, 1);
  for (int f = 0; f < 8; ++f) {
    for (int s = 0; s < 3; ++s) {
      const TShipData& ship = FleetData[0][f].Ships[s];
      EXPECT_EQ(std::vector<int>(ship.Parts, ship.Parts + 5), (std::vector<int>{0, 0, 30, 0, 0}));
      EXPECT_EQ(ship.Hp, 100) << "full durability";
    }
    EXPECT_TRUE(IsFleetAtPlanet(0, f, 0)) << "a led fleet stands on its capital";
  }
  EXPECT_FALSE(IsFleetAlive(0, 8)) << "fleets 8 and 9 get nothing";
  for (int f = 0; f < 4; ++f) {
    const int want[5] = {f < 2 ? 20 : 21, f < 2 ? 1 : 11, f < 2 ? 22 : 32, f < 2 ? 2 : 3, f < 2 ? 2 : 3};
    for (int s = 0; s < 3; ++s) {
      EXPECT_EQ(std::vector<int>(FleetData[7][f].Ships[s].Parts, FleetData[7][f].Ships[s].Parts + 5),
                std::vector<int>(want, want + 5));
    }
    EXPECT_TRUE(IsFleetAtPlanet(7, f, 3));
  }
  // A second turn start changes nothing.
  SetCountryRelation(0, 7, kRelationNone);
  TurnStart(0);
  EXPECT_EQ(host_.dialogues, std::vector<int>{kMesA0});
  EXPECT_EQ(GetCountryRelation(0, 7), kRelationNone);
  EXPECT_EQ(GetStoryCnt(0), 1);
}

TEST_F(Scenario, TurnStartEventsFireByCountryAndCounter) {
  TurnStart(0);  // event 0, counter 0 = 1
  TurnStart(1);
  TurnStart(2);
  TurnStart(7);  // event 1
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA0, kMesA1}));
  AdvanceStoryCnt();  // counter 0 = 2
  TurnStart(0);       // event 2
  TurnStart(7);
  TurnStart(1);  // event 3
  TurnStart(1);
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA0, kMesA1, kMesA2, kMesA3}));
  EXPECT_EQ(Flags(), (std::vector<int>{0, 1, 2, 3}));
  // Counter 1 (armed by event 4): event 6 in the same round for country 1, event 5 a round later.
  SetStoryCnt(1, 1);
  TurnStart(0);
  TurnStart(1);
  AdvanceStoryCnt();
  TurnStart(1);
  TurnStart(0);
  EXPECT_EQ(std::vector<int>(host_.dialogues.begin() + 4, host_.dialogues.end()), (std::vector<int>{kMesA6, kMesA5}));
  // Counter 2 (armed by event 7): 10 for the Empire at 1, 9 for the player at 2, 11 and 12 at 3.
  host_.dialogues.clear();
  SetStoryCnt(2, 1);
  TurnStart(7);
  TurnStart(0);
  TurnStart(2);
  AdvanceStoryCnt();
  TurnStart(0);
  TurnStart(2);
  AdvanceStoryCnt();
  TurnStart(2);
  TurnStart(0);
  TurnStart(7);
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA10, kMesA9, kMesA12, kMesA11}));
  // Countries without events: nothing.
  TurnStart(5);
  TurnStart(9);
  EXPECT_EQ(host_.dialogues.size(), 4u);
}

TEST_F(Scenario, NoEventFiresOutsideChapterZero) {
  SetStoryVar(0, 1);
  SetStoryCnt(0, 30);
  SetStoryCnt(1, 1);
  SetStoryCnt(2, 3);
  for (int c : {0, 1, 2, 7}) TurnStart(c);
  SetPlanetBelong(1, 0);
  SetPlanetBelong(2, 0);
  BattleStart(7, 9, 55);
  BattleStart(0, 7, 3);
  BattleEnd(0);
  EvTrgTurnAfter();
  EXPECT_TRUE(host_.dialogues.empty());
  EXPECT_TRUE(Flags().empty());
  EXPECT_EQ(GetStoryVar(1), 0);
  EXPECT_EQ(BtInfo.winner, 0);
  EXPECT_FALSE(GetGameEndFlag());
}

TEST_F(Scenario, DeadTurnCountryRunsNoEvent) {
  CountryData[7].Capital = -1;
  SetStoryCnt(0, 1);
  TurnStart(7);
  EXPECT_TRUE(host_.dialogues.empty());
  CountryData[0].Capital = -1;
  TurnStart(0);
  EXPECT_FALSE(GetStoryFlag(0));
}

TEST_F(Scenario, CapturesAfterThePlayersBattles) {
  BattleEnd(0);
  EXPECT_TRUE(host_.dialogues.empty());
  SetPlanetBelong(1, 0);
  BattleEnd(7);  // another country's battle: nothing
  EXPECT_TRUE(host_.dialogues.empty());
  BattleEnd(0);
  EXPECT_EQ(host_.dialogues, std::vector<int>{kMesA4});
  EXPECT_EQ(GetStoryCnt(1), 1);
  BattleEnd(0);
  EXPECT_EQ(host_.dialogues.size(), 1u) << "once";
  // Garm taken while Arkas stands: Arkas is shown, destroyed, and its commander joins.
  SetPlanetBelong(2, 0);
  host_.log.clear();
  BattleEnd(0);
  EXPECT_EQ(Flow(), (std::vector<std::string>{Event(kMesA7a), "centre 55", "draw", Event(kMesA7b)}));
  EXPECT_EQ(host_.sleeps, std::vector<int>{1000});
  EXPECT_FALSE(IsPlanetOnMap(55));
  EXPECT_EQ(GetPlanetBelong(55), -1);
  EXPECT_EQ(GetCmdBelong(kScnDefector), 0);
  EXPECT_EQ(GetStoryCnt(2), 1);
  EXPECT_TRUE(IsCountryAlive(9)) << "the outpost was not Elysion's capital";
  // The imperial capital: event 13 before the battle, 14 after it, with the ending movie.
  host_.log.clear();
  BattleStart(0, 7, 3);
  EXPECT_EQ(Flow(), std::vector<std::string>{Event(kMesA13)});
  EXPECT_EQ(BtInfo.winner, 0) << "the battle proceeds";
  BattleStart(0, 7, 3);
  EXPECT_EQ(Flow().size(), 1u);
  SetPlanetBelong(3, 0);
  host_.log.clear();
  BattleEnd(0);
  EXPECT_EQ(Flow(), (std::vector<std::string>{Event(kMesA14), Movie(2)}));
  EXPECT_EQ(host_.movies, (std::vector<std::pair<int, int>>{{kFileKindMovie, 2}}));
  EXPECT_TRUE(GetGameEndFlag());
}

TEST_F(Scenario, BattleEndRunsItsEventsInOrder) {
  SetPlanetBelong(1, 0);
  SetPlanetBelong(2, 0);
  SetPlanetBelong(3, 0);
  BattleEnd(0);
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA4, kMesA7a, kMesA7b, kMesA14}));
}

TEST_F(Scenario, SixAssaultsOnArkasAreHeldOffTheSeventhTakesIt) {
  for (int f = 0; f < 4; ++f) FleetData[7][f].Root = 1;
  for (int n = 1; n <= 6; ++n) {
    BattleStart(7, 9, 55);
    EXPECT_EQ(GetStoryVar(1), n);
    EXPECT_EQ(BtInfo.winner, 9) << "decided for Elysion, not fought";
    EXPECT_FALSE(GetStoryFlag(8));
    EXPECT_TRUE(IsPlanetOnMap(55));
  }
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA8a, kMesA8a, kMesA8a, kMesA8a, kMesA8b, kMesA8b}));
  // Other battles of the Empire leave the count alone.
  BattleStart(7, 9, 58);
  BattleStart(7, 0, 55);
  SetTurnCountry(7);
  SetPlanetBattle(7, 9, 55);
  BtInfo.kind = 0;
  EvTrgBattleStart();
  EXPECT_EQ(GetStoryVar(1), 6);
  host_.dialogues.clear();
  BattleStart(7, 9, 55);
  EXPECT_EQ(GetStoryVar(1), 7);
  EXPECT_TRUE(GetStoryFlag(8));
  EXPECT_EQ(host_.dialogues, std::vector<int>{kMesA8c});
  EXPECT_EQ(BtInfo.winner, 7);
  EXPECT_FALSE(IsPlanetOnMap(55));
  for (int f = 0; f < 4; ++f) EXPECT_EQ(FleetData[7][f].Root, 0) << "the siege fleets turn to the capital";
  BattleStart(7, 9, 55);
  EXPECT_EQ(GetStoryVar(1), 7) << "nothing after the fall";
  // Garm taken afterwards: the outpost is gone and its commander never joins.
  host_.dialogues.clear();
  SetPlanetBelong(2, 0);
  BattleEnd(0);
  EXPECT_TRUE(host_.dialogues.empty());
  EXPECT_FALSE(GetStoryFlag(7));
  EXPECT_EQ(GetCmdBelong(kScnDefector), 9);
  EXPECT_EQ(GetStoryCnt(2), 0);
}

TEST_F(Scenario, TheThirtiethPeriodEndsTheGameAfterTheOtherEvents) {
  SetStoryFlag(0);
  SetStoryCnt(0, 30);
  SetStoryCnt(2, 2);
  TurnStart(0);
  EXPECT_EQ(host_.dialogues, (std::vector<int>{kMesA9, kMesA15}));
  EXPECT_EQ(Flow().back(), Movie(2));
  EXPECT_TRUE(GetGameEndFlag());
  EXPECT_TRUE(GetStoryFlag(15));
  // Not before the thirtieth.
  test::ResetScenarioWorld();
  SetStoryFlag(0);
  SetStoryCnt(0, 29);
  TurnStart(0);
  EXPECT_FALSE(GetGameEndFlag());
}

}  // namespace
}  // namespace vdmq
