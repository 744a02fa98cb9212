// Map operations: routes (tie order, edges, length limits and failures), movement ranges, the
// animated fleet move with the player's confirmation, attack targets, the battle start and the
// click state machine.
#include <gtest/gtest.h>

#include <vector>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using test::TRecordingHost;

class QvmapMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeCapital(0, 0, 2, 2);
    test::MakeCapital(1, 1, 50, 50);
    test::MakeCapital(2, 2, 50, 2);
    SetCountryRelation(0, 1, kRelationWar);
    SetCountryRelation(0, 2, kRelationAlly);
    test::MakeFleet(0, 0, 0, 10, 10);  // move step 8
  }
  std::vector<std::pair<int, int>> Marked(int mark) const {
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) {
        if (map().GetMark(x, y) == mark) cells.push_back({x, y});
      }
    }
    return cells;
  }
  TQvMap& map() const { return *QvMap; }

  test::TTestMap world_;
  TRecordingHost host_;
};

TEST_F(QvmapMoveTest, RouteLeadsFromStartToTargetAndMarksTheWalk) {
  int route[16] = {};
  ASSERT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, route, 13, 10), 3);
  EXPECT_EQ(route[0], 2);
  EXPECT_EQ(route[1], 2);
  EXPECT_EQ(route[2], 2);
  EXPECT_EQ(Marked(kMarkReachable), (std::vector<std::pair<int, int>>{{11, 10}, {12, 10}, {13, 10}}));

  // Target (11, 11): its neighbours (10, 11) and (11, 10) are both one step away; (x - 1, y) comes
  // first, so the route goes down, then right.
  ASSERT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, route, 11, 11), 2);
  EXPECT_EQ(route[0], 1);
  EXPECT_EQ(route[1], 2);
  // Target (9, 9): of (8, 9), (9, 8) (two steps), (9, 10) and (10, 9) (one step), (9, 10) is the
  // first strictly below the best so far: the route goes left, then up.
  ASSERT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, route, 9, 9), 2);
  EXPECT_EQ(route[0], 3);
  EXPECT_EQ(route[1], 0);
}

TEST_F(QvmapMoveTest, RouteAlongTheEdgesUsesOnlyCellsOnTheMap) {
  int route[16] = {};
  ASSERT_EQ(map().MakeRoute(0, 0, 0, 1, 8, 8, route, 0, 5), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(route[i], 1) << i;
  ASSERT_EQ(map().MakeRoute(0, 53, 53, 1, 8, 8, route, 50, 53), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(route[i], 3) << i;
}

TEST_F(QvmapMoveTest, RouteLimitsAndFailures) {
  int route[kMaxRouteLength] = {};
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 1457, route, 12, 10), 2);
  map().SetMark(30, 30, kMarkTarget);
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 1458, route, 12, 10), -1);
  EXPECT_TRUE(Marked(kMarkTarget).empty()) << "a refused request still clears the marks";

  // The length limit stops the walk before the start: no partial route.
  route[0] = 77;
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 3, route, 15, 10), -1);
  EXPECT_EQ(route[0], 77);
  // Out of budget, behind a wall, and cells off the map.
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 3, 3, route, 15, 10), -1);
  for (int y = 0; y < kMapSize; ++y) map().SetChip(20, y, 20);
  EXPECT_EQ(map().MakeRoute(0, 18, 10, 1, 8, 8, route, 22, 10), -1);
  EXPECT_EQ(map().MakeRoute(0, -1, 10, 1, 8, 8, route, 2, 10), -1);
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, route, 54, 10), -1);
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, route, 10, -3), -1);
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 0, route, 10, 10), 0);
  EXPECT_EQ(map().MakeRoute(0, 10, 10, 1, 8, 8, nullptr, 12, 10), 2);
}

TEST_F(QvmapMoveTest, MoveRangeMarksReachOwnPlanetsAndOwnFleets) {
  test::PlacePlanet(5, 40, 40, 0);  // own planet far out of range
  test::PlacePlanet(6, 45, 45, 0);  // own planet with an allied fleet on it: blocked
  test::MakeFleet(2, 0, 2, 45, 45);
  test::MakeFleet(0, 1, 1, 12, 10);  // own fleet in range
  ASSERT_TRUE(map().MakeMoveRange(0, 0, 10, 10, 8, 1));
  EXPECT_EQ(map().GetMark(40, 40), kMarkOwnPlanet);
  EXPECT_EQ(map().GetMark(2, 2), kMarkOwnPlanet);  // the capital, in range or not
  EXPECT_EQ(map().GetMark(45, 45), kMarkNone);
  EXPECT_EQ(map().GetMark(12, 10), kMarkOwnFleet);
  EXPECT_EQ(map().GetMark(10, 10), kMarkReachable);
  EXPECT_EQ(map().GetMark(18, 10), kMarkReachable);
  EXPECT_EQ(map().GetMark(19, 10), kMarkNone);
  EXPECT_EQ(map().GetMark(14, 14), kMarkReachable);
  EXPECT_EQ(map().GetMark(15, 14), kMarkNone);
}

TEST_F(QvmapMoveTest, MoveAnimatesThenAsksAndSpendsTheMove) {
  EXPECT_TRUE(map().MoveFleet(0, 0, 13, 10));
  EXPECT_EQ(GetFleetX(0, 0), 13);
  EXPECT_EQ(GetFleetY(0, 0), 10);
  EXPECT_EQ(host_.sleeps, (std::vector<int>{100, 100, 100}));
  EXPECT_GE(host_.draws, 4);
  ASSERT_EQ(host_.centredCells.size(), 1u);
  EXPECT_EQ(host_.centredCells[0], (std::pair<int, int>{10, 10}));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0], "よろしいですか？");
  EXPECT_EQ(host_.captions[0], "確認");
  EXPECT_EQ(host_.cancelFlags[0], 1);
  EXPECT_FALSE(GetFleetCanMove(0, 0));
  EXPECT_TRUE(Marked(kMarkReachable).empty());
  EXPECT_EQ(map().GetMode(), 0);
}

TEST_F(QvmapMoveTest, CancelledMovePutsTheFleetBack) {
  map().SetMode(1);
  host_.answers = {2};
  EXPECT_FALSE(map().MoveFleet(0, 0, 13, 12));
  EXPECT_EQ(GetFleetX(0, 0), 10);
  EXPECT_EQ(GetFleetY(0, 0), 10);
  EXPECT_TRUE(GetFleetCanMove(0, 0));
  EXPECT_EQ(host_.sleeps.size(), 5u);  // the animation ran before the question
  EXPECT_EQ(map().GetMode(), 0);
}

TEST_F(QvmapMoveTest, OwnPlanetOutOfRangeIsReachedAtOnce) {
  test::PlacePlanet(5, 40, 40, 0);
  host_.answers = {2};
  EXPECT_FALSE(map().MoveFleet(0, 0, 40, 40));
  EXPECT_EQ(GetFleetX(0, 0), 10);
  EXPECT_TRUE(host_.sleeps.empty());
  EXPECT_TRUE(map().MoveFleet(0, 0, 40, 40));
  EXPECT_EQ(GetFleetX(0, 0), 40);
  EXPECT_EQ(GetFleetY(0, 0), 40);
  EXPECT_TRUE(host_.sleeps.empty());
}

TEST_F(QvmapMoveTest, FailedRoutesAreLoggedAndStillAsked) {
  EXPECT_TRUE(map().MoveFleet(0, 0, 10, 10));
  EXPECT_TRUE(host_.HasDebug("艦隊が移動できない"));
  EXPECT_FALSE(GetFleetCanMove(0, 0));
  FleetData[0][0].CanMove = 1;
  EXPECT_TRUE(map().MoveFleet(0, 0, 30, 30));
  EXPECT_TRUE(host_.HasDebug("とどかない"));
  EXPECT_EQ(GetFleetX(0, 0), 10);
  EXPECT_EQ(host_.messages.size(), 2u);
  // A computer country is never asked.
  test::MakeFleet(1, 0, 1, 30, 30);
  EXPECT_TRUE(map().MoveFleet(1, 0, 30, 33));
  EXPECT_EQ(GetFleetY(1, 0), 33);
  EXPECT_EQ(host_.messages.size(), 2u);
}

TEST_F(QvmapMoveTest, AttackTargetsAroundAFleet) {
  test::PlacePlanet(10, 9, 10, 2);  // allied planet with an enemy fleet on it: hidden
  test::MakeFleet(1, 0, 1, 9, 10);
  test::PlacePlanet(11, 11, 10, -1);  // unowned planet: a target
  test::MakeFleet(1, 1, 3, 10, 9);    // enemy fleet in open space: a target
  test::MakeFleet(3, 0, 4, 10, 11);   // country at peace: not a target
  EXPECT_TRUE(map().ChkAttackAround(0, 10, 10));
  EXPECT_EQ(Marked(kMarkTarget), (std::vector<std::pair<int, int>>{{10, 9}, {11, 10}}));
  EXPECT_FALSE(map().ChkAttackAround(0, 30, 30));
  EXPECT_TRUE(Marked(kMarkTarget).empty());
  // Neighbours off the map are never examined.
  test::PlacePlanet(12, 0, 1, -1);
  EXPECT_TRUE(map().ChkAttackAround(0, 0, 0));
  EXPECT_EQ(Marked(kMarkTarget), (std::vector<std::pair<int, int>>{{0, 1}}));
  EXPECT_FALSE(map().MarkAttackCell(0, -1, 0));
}

TEST_F(QvmapMoveTest, AttackStartsTheBattleAndSpendsTheFleet) {
  test::PlacePlanet(11, 11, 10, 1);
  test::MakeFleet(1, 2, 3, 10, 9);
  map().SetMode(2);
  map().AttackTarget(0, 0, 10, 9);
  ASSERT_EQ(host_.battles.size(), 1u);
  EXPECT_EQ(host_.battles[0], std::make_tuple(0, 0, 1, 2, -1));
  EXPECT_TRUE(GetFleetReturning(1, 2)) << "without a battle library the attacker wins";
  EXPECT_FALSE(GetFleetCanMove(0, 0));
  EXPECT_FALSE(FleetData[0][0].Attack);
  EXPECT_EQ(map().GetMode(), 0);

  FleetData[0][0].Attack = 1;
  map().AttackTarget(0, 0, 11, 10);
  ASSERT_EQ(host_.battles.size(), 2u);
  EXPECT_EQ(host_.battles[1], std::make_tuple(0, 0, 1, -1, 11));
  EXPECT_EQ(GetPlanetBelong(11), 0);
  EXPECT_EQ(GetFleetX(0, 0), 11);

  // Nothing on the cell: no battle, but the move and attack are spent; off the map: nothing.
  FleetData[0][0].Attack = 1;
  map().AttackTarget(0, 0, 30, 30);
  EXPECT_EQ(host_.battles.size(), 2u);
  EXPECT_FALSE(FleetData[0][0].Attack);
  FleetData[0][0].Attack = 1;
  map().AttackTarget(0, 0, -1, 30);
  EXPECT_TRUE(FleetData[0][0].Attack);
}

TEST_F(QvmapMoveTest, InstalledBattleEntryReplacesTheDecision) {
  static std::vector<int> calls;
  calls.clear();
  SetBattleEntry([](int a, int af, int d, int df, int p) { calls = {a, af, d, df, p}; });
  test::MakeFleet(1, 2, 3, 10, 9);
  map().AttackTarget(0, 0, 10, 9);
  SetBattleEntry(nullptr);
  EXPECT_EQ(calls, (std::vector<int>{0, 0, 1, 2, -1}));
  EXPECT_FALSE(GetFleetReturning(1, 2));
}

TEST_F(QvmapMoveTest, ClicksInModeZeroOpenTheScreens) {
  test::PlacePlanet(20, 20, 20, 1);
  map().Click(0, 20, 20);
  EXPECT_EQ(host_.planetWindows, (std::vector<std::pair<int, int>>{{20, 0}}));
  test::MakeFleet(1, 4, 5, 20, 20);
  map().Click(0, 20, 20);
  EXPECT_EQ(host_.fleetSels, std::vector<int>{20});
  test::MakeFleet(1, 5, 6, 25, 25);
  map().Click(0, 25, 25);
  EXPECT_EQ(host_.fleetForms, (std::vector<std::pair<int, int>>{{1, 5}}));
  EXPECT_EQ(map().GetSelCountry(), 1);
  EXPECT_EQ(map().GetSelFleet(), 5);
  EXPECT_EQ(map().GetMode(), 0);
  // Empty cells, cells off the map and right clicks change nothing.
  map().Click(0, 30, 30);
  map().Click(0, -5, 70);
  map().Click(1, 20, 20);
  EXPECT_EQ(host_.fleetForms.size(), 1u);
  EXPECT_TRUE(host_.cmd.empty());
  EXPECT_EQ(host_.draws, 0);
}

TEST_F(QvmapMoveTest, MoveThenAttackThroughClicks) {
  host_.onFleetForm = [this](int c, int f) { EXPECT_TRUE(map().StartFleetMove(c, f)); };
  test::MakeFleet(1, 0, 1, 14, 9);  // enemy next to (14, 10)
  map().Click(0, 10, 10);
  ASSERT_EQ(map().GetMode(), 1);
  EXPECT_EQ(host_.cmd, std::vector<bool>{false});
  EXPECT_EQ(map().GetMark(14, 10), kMarkReachable);

  map().Click(0, 40, 40);  // outside the range: ignored
  EXPECT_EQ(map().GetMode(), 1);
  EXPECT_EQ(GetFleetX(0, 0), 10);

  map().Click(0, 14, 10);
  EXPECT_EQ(GetFleetX(0, 0), 14);
  ASSERT_EQ(map().GetMode(), 2);
  EXPECT_EQ(map().GetMark(14, 9), kMarkTarget);
  EXPECT_EQ(host_.cmd, (std::vector<bool>{false, false}));

  map().Click(0, 15, 10);  // not a target: ignored
  EXPECT_EQ(map().GetMode(), 2);
  map().Click(0, 14, 9);
  EXPECT_EQ(map().GetMode(), 0);
  ASSERT_EQ(host_.battles.size(), 1u);
  EXPECT_EQ(host_.battles[0], std::make_tuple(0, 0, 1, 0, -1));
  EXPECT_EQ(host_.cmd.back(), true);
}

TEST_F(QvmapMoveTest, ConfirmingTheOwnCellNextToAnEnemyEntersAttackModeAndRightClickLeavesIt) {
  test::MakeFleet(1, 0, 1, 11, 10);
  ASSERT_TRUE(map().StartFleetMove(0, 0));
  map().Click(0, 10, 10);
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_FALSE(GetFleetCanMove(0, 0));
  ASSERT_EQ(map().GetMode(), 2);
  map().Click(1, 0, 0);
  EXPECT_EQ(map().GetMode(), 0);
  EXPECT_TRUE(host_.battles.empty());
  EXPECT_EQ(host_.cmd.back(), true);
  EXPECT_TRUE(Marked(kMarkTarget).empty());
}

TEST_F(QvmapMoveTest, CancelledClickMoveReenablesTheCommandBar) {
  ASSERT_TRUE(map().StartFleetMove(0, 0));
  host_.answers = {2};
  map().Click(0, 12, 10);
  EXPECT_EQ(map().GetMode(), 0);
  EXPECT_EQ(GetFleetX(0, 0), 10);
  EXPECT_TRUE(GetFleetCanMove(0, 0));
  EXPECT_EQ(host_.cmd, (std::vector<bool>{false, true}));
}

TEST_F(QvmapMoveTest, NeighbourQueries) {
  test::PlacePlanet(20, 10, 9, 1);
  test::MakeFleet(1, 0, 1, 10, 9);   // on the planet: not reported
  test::MakeFleet(2, 3, 2, 11, 10);  // open space
  int c = -1, f = -1;
  EXPECT_EQ(map().GetPlanetDir(10, 10, 0), 20);
  EXPECT_EQ(map().GetPlanetDir(10, 10, 1), -1);
  EXPECT_EQ(map().GetPlanetDir(0, 0, 3), -1);
  EXPECT_FALSE(map().GetFleetDir(10, 10, 0, &c, &f));
  ASSERT_TRUE(map().GetFleetDir(10, 10, 2, &c, &f));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(f, 3);
  EXPECT_FALSE(map().GetFleetDir(53, 10, 2, &c, &f));
  EXPECT_FALSE(map().GetFleetDir(10, 10, 7, &c, &f));
}

}  // namespace
}  // namespace vdmq
