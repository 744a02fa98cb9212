// The computer player: designs, ship and satellite building with the dock order and lacking
// funds, deployment, commanders, the strategic target from a route, adjacent enemies, moves and
// attacks, and the turn that stops once the player's capital has fallen.
#include "campaign/Cpu_turn.h"

#include <gtest/gtest.h>

#include <random>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/Dock.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "platform/base/StdRandom.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using test::TRecordingHost;

constexpr int kCpu = 12;  // designs (0, 0, 0, 0, 0): valid in the test catalogue

class CpuTurnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StdSrand(1);
    test::MakeCapital(0, 0, 2, 2);
    test::MakeCapital(kCpu, 40, 30, 30);
    test::MakeCapital(13, 41, 45, 45);
    SetCountryRelation(kCpu, 13, kRelationAlly);
  }
  int Price() {
    TShipData s{};
    EXPECT_TRUE(CpuPickShipDesign(&s, kCpu, 0));
    return GetShipPrice(&s);
  }
  test::TTestMap world_;
  TRecordingHost host_;
};

TEST_F(CpuTurnTest, DesignsComeFromTheTables) {
  TShipData s = test::MakeShip(1, 7);
  ASSERT_TRUE(CpuPickShipDesign(&s, 2, 1));
  EXPECT_EQ(s.Parts[0], 25);
  EXPECT_EQ(s.Parts[1], 17);
  EXPECT_EQ(s.Parts[2], 37);
  EXPECT_EQ(s.Parts[3], 7);
  EXPECT_EQ(s.Parts[4], 7);
  ASSERT_TRUE(CpuPickSatDesign(&s, 10, 2));
  EXPECT_EQ(s.Parts[0], 56);
  EXPECT_EQ(s.Parts[4], -1);
  ASSERT_TRUE(CpuPickShipDesign(&s, kCpu, 2));
  EXPECT_EQ(s.Hp, 100) << "durability is the hull's maximum";

  const TShipData before = s;
  for (int country : {1, 9, 11}) {
    EXPECT_FALSE(CpuPickShipDesign(&s, country, 0));
    EXPECT_FALSE(CpuPickSatDesign(&s, country, 0));
  }
  EXPECT_FALSE(CpuPickShipDesign(&s, 2, 3));
  EXPECT_FALSE(CpuPickShipDesign(&s, 2, -1));
  EXPECT_FALSE(CpuPickShipDesign(&s, 14, 0));
  EXPECT_FALSE(CpuPickShipDesign(nullptr, 2, 0));
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST_F(CpuTurnTest, DocksAreServedByCapacityAndFundsAreNeverOverdrawn) {
  DockData[40].Abt[0] = 3;
  DockData[40].Abt[1] = 1;
  DockData[40].Abt[2] = 3;
  const int price = Price();
  ASSERT_GT(price, 0);
  CountryData[kCpu].Fund = 2 * price + price / 2;
  CpuBuildShips(kCpu);
  EXPECT_EQ(GetDockState(40, 0), kDockStateBuilding);
  EXPECT_EQ(GetDockState(40, 2), kDockStateBuilding);
  EXPECT_EQ(GetDockState(40, 1), kDockStateEmpty);
  EXPECT_EQ(GetCountryFund(kCpu), price / 2);
  EXPECT_TRUE(host_.HasDebug("資金不足[現在" + std::to_string(price / 2) + "][必要" + std::to_string(price) + "]"));
  EXPECT_TRUE(host_.HasDebug("建造開始[Pla=40 Num=2]"));
}

TEST_F(CpuTurnTest, TooExpensiveDocksBuyNothing) {
  DockData[40].Abt[0] = 2;
  DockData[40].Abt[1] = 2;
  CountryData[kCpu].Fund = Price() - 1;
  CpuBuildShips(kCpu);
  EXPECT_EQ(GetDockState(40, 0), kDockStateEmpty);
  EXPECT_EQ(GetDockState(40, 1), kDockStateEmpty);
  EXPECT_EQ(GetCountryFund(kCpu), Price() - 1);

  // Countries without designs build nothing, whatever their funds.
  test::MakeCapital(1, 42, 10, 40);
  DockData[42].Abt[0] = 5;
  CountryData[1].Fund = 999999;
  CpuBuildShips(1);
  CpuBuildSatellites(1);
  EXPECT_EQ(GetDockState(42, 0), kDockStateEmpty);
  EXPECT_EQ(GetCountryFund(1), 999999);
  EXPECT_FALSE(IsPlanetSateValid(42, 0));
}

TEST_F(CpuTurnTest, SatellitesFillEmptySlotsWhileFundsLast) {
  PlanetData[40].Sate[1] = test::MakeShip(4, 200);
  TShipData sat{};
  ASSERT_TRUE(CpuPickSatDesign(&sat, kCpu, 0));
  const int price = GetShipPrice(&sat);
  CountryData[kCpu].Fund = 2 * price;
  CpuBuildSatellites(kCpu);
  EXPECT_TRUE(IsPlanetSateValid(40, 0));
  EXPECT_EQ(GetPlanetSatePtr(40, 1)->Parts[0], 4) << "a valid satellite stays";
  EXPECT_TRUE(IsPlanetSateValid(40, 2));
  EXPECT_FALSE(IsPlanetSateValid(40, 3));
  EXPECT_FALSE(IsPlanetSateValid(40, 4));
  EXPECT_EQ(GetCountryFund(kCpu), 0);
}

TEST_F(CpuTurnTest, FinishedShipsJoinStationedFleets) {
  test::MakeFleet(kCpu, 0, 10, 30, 30);  // on the capital, slot 0 filled
  DockData[40].Abt[1] = 4;
  DockData[40].Ships[1] = test::MakeShip(1, 50);
  DockData[40].Turn[1] = 0;
  CpuDeployShips(kCpu, 0);
  EXPECT_EQ(GetFleetShipPtr(kCpu, 0, 1)->Parts[0], 1);
  EXPECT_FALSE(IsFleetShipValid(kCpu, 0, 2));
  EXPECT_EQ(GetDockState(40, 1), kDockStateEmpty);

  // A fleet out in space gets nothing.
  test::MakeFleet(kCpu, 1, 11, 20, 20);
  DockData[40].Ships[1] = test::MakeShip(1, 50);
  DockData[40].Turn[1] = 0;
  CpuDeployShips(kCpu, 1);
  EXPECT_FALSE(IsFleetShipValid(kCpu, 1, 1));
  EXPECT_EQ(GetDockState(40, 1), kDockStateFinished);
}

TEST_F(CpuTurnTest, StationedFleetsGetTheHighestRestedFreeCommander) {
  test::MakeFleet(kCpu, 0, 5, 30, 30);
  for (int cmd : {10, 15, 20}) CmdData[cmd].Belong = kCpu;
  CmdData[10].Fatigue = 100;
  CmdData[15].Fatigue = 300;
  CmdData[20].Fatigue = 301;
  CpuAppointCmd(kCpu);
  EXPECT_EQ(GetCmdUnderFleet(15), 0);
  EXPECT_EQ(GetCmdUnderFleet(5), -1) << "the fleet's commander is swapped out";
  EXPECT_EQ(SearchCmdByFleet(kCpu, 0), 15);
  EXPECT_TRUE(host_.HasDebug("任命[CMD:15]->[Fl:0]"));
}

TEST_F(CpuTurnTest, RouteTargetSkipsOwnPlanetsAndTakesTheUnownedOne) {
  test::MakeFleet(kCpu, 0, 5, 20, 20);
  SetFleetRootTbl(kCpu, 0, 0);  // planets 3, 2, 1, 0, end
  test::PlacePlanet(3, 22, 20, kCpu);
  test::PlacePlanet(2, 26, 20, -1);
  CpuSetFleetTarget(kCpu, 0);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), 26);
  EXPECT_EQ(GetFleetAtkY(kCpu, 0), 20);
  EXPECT_EQ(GetFleetTargetX(kCpu, 0), 26);
  EXPECT_EQ(GetFleetTargetY(kCpu, 0), 19);

  // The whole turn moves next to the planet and takes it.
  CpuTurn(kCpu);
  ASSERT_EQ(host_.battles.size(), 1u);
  EXPECT_EQ(host_.battles[0], std::make_tuple(kCpu, 0, -1, -1, 2));
  EXPECT_EQ(GetPlanetBelong(2), kCpu);
  EXPECT_FALSE(GetFleetCanMove(kCpu, 0));
  EXPECT_TRUE(host_.messages.empty()) << "a computer country is never asked";
  EXPECT_EQ(host_.sleeps.size(), 7u);
}

TEST_F(CpuTurnTest, CapitalBlockedByAnAlliedFleetGivesNoTarget) {
  test::MakeFleet(kCpu, 0, 5, 20, 20);
  SetFleetRootTbl(kCpu, 0, 6);  // planet 0 (the player's capital, not at war), end
  test::MakeFleet(13, 0, 6, 30, 30);
  CpuMoveFleet(kCpu, 0);
  EXPECT_EQ(GetFleetTargetX(kCpu, 0), -1);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), -1);
  EXPECT_EQ(GetFleetX(kCpu, 0), 20);
  EXPECT_TRUE(GetFleetCanMove(kCpu, 0));
  EXPECT_FALSE(CpuFleetAttack(kCpu, 0));
}

TEST_F(CpuTurnTest, AdjacentEnemyOfTheHigherCountryIsAttackedWithoutAMove) {
  test::MakeCapital(5, 45, 5, 40);
  test::MakeCapital(7, 47, 8, 40);
  SetCountryRelation(kCpu, 5, kRelationWar);
  SetCountryRelation(kCpu, 7, kRelationWar);
  test::MakeFleet(kCpu, 0, 5, 20, 20);
  SetFleetRootTbl(kCpu, 0, 6);
  test::PlacePlanet(0, 40, 20, -1);  // route target far away
  CountryData[0].Capital = -1;
  test::MakeFleet(0, 0, 1, 2, 2);
  test::MakeFleet(5, 2, 2, 20, 19);  // first in the neighbour order
  test::MakeFleet(7, 1, 3, 21, 20);  // higher country
  CpuMoveFleet(kCpu, 0);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), 21);
  EXPECT_EQ(GetFleetAtkY(kCpu, 0), 20);
  EXPECT_EQ(GetFleetTargetX(kCpu, 0), -1);
  EXPECT_EQ(GetFleetX(kCpu, 0), 20);
  EXPECT_TRUE(CpuFleetAttack(kCpu, 0));
  ASSERT_EQ(host_.battles.size(), 1u);
  EXPECT_EQ(host_.battles[0], std::make_tuple(kCpu, 0, 7, 1, -1));
}

TEST_F(CpuTurnTest, WithoutATargetTheFirstAdjacentEnemyIsChosen) {
  test::MakeCapital(5, 45, 5, 40);
  test::MakeCapital(7, 47, 8, 40);
  SetCountryRelation(kCpu, 5, kRelationWar);
  SetCountryRelation(kCpu, 7, kRelationWar);
  test::MakeFleet(kCpu, 0, 5, 20, 20);  // no route
  test::MakeFleet(5, 2, 2, 20, 19);
  test::MakeFleet(7, 1, 3, 21, 20);
  CpuMoveFleet(kCpu, 0);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), 20);
  EXPECT_EQ(GetFleetAtkY(kCpu, 0), 19);
  // Off-grid fleets and targets are left alone.
  int x = 0, y = 0;
  QvMap->SearchCpuMove(kCpu, 0, 60, 3, &x, &y);
  EXPECT_EQ(x, -1);
  FleetData[kCpu][1] = FleetData[kCpu][0];
  FleetData[kCpu][1].X = 70;
  QvMap->SearchCpuMove(kCpu, 1, 3, 3, &x, &y);
  EXPECT_EQ(x, -1);
  CpuSetAttackTarget(kCpu, 1);
  CpuSetFleetTarget(kCpu, 1);
  EXPECT_FALSE(CpuFleetAttack(kCpu, 1));
}

TEST_F(CpuTurnTest, StepTowardsATargetWalksTheWaveBackInNeighbourOrderAndPassesOwnFleets) {
  test::MakeCapital(kCpu, 40, 50, 50);  // far from the walk
  test::MakeFleet(kCpu, 0, 5, 10, 10);
  const int s = GetFleetMoveStep(kCpu, 0);
  ASSERT_GE(s, 1);
  ASSERT_LE(s, 8);
  int x = -1, y = -1;
  // From (30, 20) the walk goes north first on ties ((x, y - 1) before (x - 1, y)), then west.
  QvMap->SearchCpuMove(kCpu, 0, 30, 20, &x, &y);
  EXPECT_EQ(x, 10 + s);
  EXPECT_EQ(y, 10);
  for (int cy = 0; cy < kMapSize; ++cy) {
    for (int cx = 0; cx < kMapSize; ++cx) ASSERT_EQ(QvMap->GetMark(cx, cy), 0) << cx << "," << cy;
  }
  // A fleet of the country on that cell: the first neighbour in range is taken instead.
  test::MakeFleet(kCpu, 1, 6, 10 + s, 10);
  QvMap->SearchCpuMove(kCpu, 0, 30, 20, &x, &y);
  EXPECT_EQ(x, 9 + s);
  EXPECT_EQ(y, 10);
  // The fleet's own cell and a cell off the map are no targets.
  QvMap->SearchCpuMove(kCpu, 0, 10, 10, &x, &y);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  QvMap->SearchCpuMove(kCpu, 0, 54, 10, &x, &y);
  EXPECT_EQ(x, -1);
}

TEST_F(CpuTurnTest, ReachableEnemyIsApproachedByItsNearestFreeNeighbour) {
  test::MakeCapital(5, 45, 5, 40);
  test::MakeCapital(7, 47, 8, 40);
  SetCountryRelation(kCpu, 5, kRelationWar);
  SetCountryRelation(kCpu, 7, kRelationWar);
  test::MakeFleet(kCpu, 0, 5, 10, 10);
  ASSERT_GE(GetFleetMoveStep(kCpu, 0), 4);
  test::MakeFleet(5, 2, 2, 13, 10);  // (12, 10) is two steps away
  test::MakeFleet(7, 1, 3, 10, 14);  // (10, 13) is three steps away
  SetFleetTargetXY(kCpu, 0, 11, 11);
  SetFleetAtkXY(kCpu, 0, 30, 30);
  CpuSetAttackTarget(kCpu, 0);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), 13);
  EXPECT_EQ(GetFleetAtkY(kCpu, 0), 10);
  EXPECT_EQ(GetFleetTargetX(kCpu, 0), 12);
  EXPECT_EQ(GetFleetTargetY(kCpu, 0), 10);
  EXPECT_TRUE(host_.HasDebug("TARGET ATK CO[12]FL[0](13,10)"));
  EXPECT_TRUE(host_.HasDebug("TARGET MOV CO[12]FL[0](12,10)"));
  EXPECT_EQ(QvMap->GetMark(12, 10), 0);

  // No enemy in reach: the points stay as they were.
  test::ResetWorld();
  test::MakeCapital(kCpu, 40, 30, 30);
  test::MakeFleet(kCpu, 0, 5, 10, 10);
  SetFleetTargetXY(kCpu, 0, 11, 11);
  SetFleetAtkXY(kCpu, 0, 30, 30);
  CpuSetAttackTarget(kCpu, 0);
  EXPECT_EQ(GetFleetTargetX(kCpu, 0), 11);
  EXPECT_EQ(GetFleetAtkX(kCpu, 0), 30);
}

TEST_F(CpuTurnTest, TurnStopsAfterTheFleetThatTookThePlayersCapital) {
  SetCountryRelation(kCpu, 0, kRelationWar);
  test::MakeFleet(kCpu, 0, 5, 3, 2);  // next to the player's capital (2, 2), no route
  test::MakeFleet(kCpu, 1, 6, 20, 20);
  SetFleetRootTbl(kCpu, 1, 6);
  CpuTurn(kCpu);
  EXPECT_FALSE(IsCountryAlive(0));
  ASSERT_EQ(host_.battles.size(), 1u);
  EXPECT_TRUE(GetFleetCanMove(kCpu, 1));
  EXPECT_EQ(GetFleetX(kCpu, 1), 20);

  // A dead country only logs.
  host_.debug.clear();
  CpuTurn(0);
  ASSERT_EQ(host_.debug.size(), 1u);
  EXPECT_NE(host_.debug[0].find("は死亡中★"), std::string::npos);
}

// Positions, routes and points as a damaged file may hold them: no cell off the map is ever used to
// index a grid or a table (the sanitizer build checks), and the turn always ends.
TEST_F(CpuTurnTest, DamagedPositionsNeverLeaveTheGrids) {
  std::mt19937 rng(99);
  for (int round = 0; round < 40; ++round) {
    test::ResetWorld();
    for (int p = 0; p < 40; ++p) {
      test::PlacePlanet(p, test::RandomValue(rng), test::RandomValue(rng), static_cast<int>(rng() % 15) - 1);
      DockData[p].Abt[0] = static_cast<int>(rng() % 3);
    }
    for (int c = 0; c < kCountryCount; ++c) {
      CountryData[c].Capital = static_cast<int>(rng() % 45) - 1;
      CountryData[c].Fund = 100000;
      for (int o = 0; o < kCountryCount; ++o) {
        if (o != c) SetCountryRelation(c, o, static_cast<int>(rng() % 3));
      }
      for (int f = 0; f < 4; ++f) {
        test::MakeFleet(c, f, c * 4 + f < kCmdCount ? c * 4 + f : -1, test::RandomValue(rng), test::RandomValue(rng));
        FleetData[c][f].Root = static_cast<int>(rng() % 30) - 2;
        FleetData[c][f].TargetX = test::RandomValue(rng);
        FleetData[c][f].AtkX = test::RandomValue(rng);
        FleetData[c][f].AtkY = test::RandomValue(rng);
      }
    }
    for (int c = 0; c < kCountryCount; ++c) CpuTurn(c);
    QvMap->StartFleetMove(0, 0);
    QvMap->Click(0, test::RandomValue(rng), test::RandomValue(rng));
    QvMap->EnterAttackMode(0, 1);
    QvMap->Click(0, test::RandomValue(rng), test::RandomValue(rng));
    QvMap->Click(1, 0, 0);
    EXPECT_EQ(QvMap->GetMode(), 0);
  }
}

}  // namespace
}  // namespace vdmq
