// Supply at a turn start: the falling supply of each own planet, sums of several planets, the
// repair of the ships of fleets on the map, and fleets or planets that get or give nothing.

#include <gtest/gtest.h>

#include <memory>

#include "campaign/Country.h"
#include "campaign/Fleet.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

class SupplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetWorld();
    map_ = std::make_unique<TQvMap>();
    map_->ClearMap();
    CountryData[0].Capital = 0;
    CountryData[1].Capital = 1;
    CountryData[2].Capital = 2;
    SetCountryRelation(0, 1, kRelationWar);
    SetCountryRelation(0, 2, kRelationAlly);
  }
  std::unique_ptr<TQvMap> map_;
  test::TRecordingHost host_;
};

TEST_F(SupplyTest, SupplyFallsOffWithTheStepDistance) {
  test::PlacePlanet(5, 20, 20, 0);
  PlanetData[5].Hokyuu = 25;
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(20, 20), 25);
  EXPECT_EQ(map_->GetSupply(21, 20), 23);
  EXPECT_EQ(map_->GetSupply(22, 23), 15);  // five steps
  EXPECT_EQ(map_->GetSupply(30, 20), 5);   // ten steps
  EXPECT_EQ(map_->GetSupply(31, 20), 0);   // eleven
  EXPECT_EQ(map_->GetSupply(25, 26), 0);   // eleven, diagonally
  // Another country's call clears the grid.
  map_->CalcSupply(1);
  EXPECT_EQ(map_->GetSupply(20, 20), 0);
}

TEST_F(SupplyTest, SupplyOfSeveralPlanetsAddsUp) {
  test::PlacePlanet(5, 10, 10, 0);
  test::PlacePlanet(6, 14, 10, 0);
  PlanetData[5].Hokyuu = 10;
  PlanetData[6].Hokyuu = 10;
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(12, 10), 16);
  // Planet 6's own cell is one of planet 5's cells four steps away.
  EXPECT_EQ(map_->GetSupply(14, 10), 10 + 6);
}

TEST_F(SupplyTest, ShipsOfFleetsOnTheMapAreRepaired) {
  test::PlacePlanet(5, 20, 20, 0);
  PlanetData[5].Hokyuu = 25;
  test::MakeFleet(0, 0, 0, 21, 20);                  // one step: +23
  FleetData[0][0].Ships[2] = test::MakeShip(1, 40);  // hull 1 holds at most 50
  test::MakeFleet(0, 1, 1, 40, 40);                  // out of reach: +0
  test::MakeFleet(0, 2, 2, 20, 20);
  FleetData[0][2].Ships[0] = test::MakeShip(0, 90);  // capped at 100
  test::MakeFleet(0, 3, 3, 70, 20);                  // off the grid (a damaged position): nothing, no crash
  test::MakeFleet(0, 4, 4, 22, 20);
  FleetData[0][4].Ships[0] = test::EmptyShip();  // no valid ship: skipped
  test::MakeFleet(1, 0, 5, 20, 21);              // another country's fleet next to the planet
  map_->CalcSupply(0);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 33);
  EXPECT_EQ(FleetData[0][0].Ships[2].Hp, 50);
  EXPECT_EQ(FleetData[0][1].Ships[0].Hp, 10);
  EXPECT_EQ(FleetData[0][2].Ships[0].Hp, 100);
  EXPECT_EQ(FleetData[0][3].Ships[0].Hp, 10);
  EXPECT_EQ(FleetData[0][4].Ships[0].Hp, 0);
  EXPECT_EQ(FleetData[1][0].Ships[0].Hp, 10);
}

TEST_F(SupplyTest, SupplyDoesNotFlowThroughBlockedCells) {
  // A wall of obstacles with one gap; the planet of country 0 at (10, 10).
  for (int y = 0; y < kMapSize; ++y) map_->SetChip(12, y, 20);
  map_->SetChip(12, 5, 0);
  test::PlacePlanet(5, 10, 10, 0);
  PlanetData[5].Hokyuu = 30;
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(11, 10), 27);
  EXPECT_EQ(map_->GetSupply(12, 10), 0);          // the wall
  EXPECT_EQ(map_->GetSupply(13, 10), 0);          // 2 + 5 + 1 + 5 = 13 steps round through the gap
  EXPECT_EQ(map_->GetSupply(13, 5), 30 - 3 * 8);  // eight steps through the gap

  // It flows onto the ring around an enemy fleet, but not through a planet it may not enter.
  test::MakeFleet(1, 0, 0, 8, 10);
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(9, 10), 27);
  EXPECT_EQ(map_->GetSupply(8, 10), 0);
}

TEST_F(SupplyTest, AnOwnPlanetUnderAnAlliedFleetSuppliesNothing) {
  test::PlacePlanet(5, 10, 10, 0);
  PlanetData[5].Hokyuu = 30;
  test::MakeFleet(2, 0, 0, 10, 10);
  test::MakeFleet(0, 0, 1, 11, 10);
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(10, 10), 0);
  EXPECT_EQ(map_->GetSupply(11, 10), 0);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 10);

  // A planet off the grid gives nothing either; one with a huge capacity cannot overflow the grid.
  test::PlacePlanet(6, 99, 10, 0);
  test::PlacePlanet(7, 30, 30, 0);
  test::PlacePlanet(8, 31, 30, 0);
  PlanetData[7].Hokyuu = INT32_MAX;
  PlanetData[8].Hokyuu = INT32_MAX;
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetSupply(30, 30), INT32_MAX);
}

TEST_F(SupplyTest, SupplyDumpOnlyWithTheDebugSwitch) {
  test::TRecordingHost host;
  host.debugSw = kDebugSwHokyuuDump;
  test::PlacePlanet(5, 10, 10, 0);
  PlanetData[5].Hokyuu = 30;
  map_->CalcSupply(0);
  EXPECT_EQ(map_->GetStep(10, 10), 30);
  EXPECT_EQ(map_->GetStep(11, 10), 27);
}

}  // namespace
}  // namespace vdmq
