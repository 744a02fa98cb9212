#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "campaign/Fleet.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"
#include "support/World.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

class FleetTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  TRecordingHost host;
};

std::vector<int> RoutePlanets(const TFleetRootEntry* e) {
  std::vector<int> out;
  for (; e != nullptr && e->Kind != kFleetRootKindEnd; ++e) out.push_back(e->Planet);
  return out;
}

}  // namespace

TEST_F(FleetTest, RouteTableHoldsTwentyFourRoutes) {
  const int lengths[24] = {4, 3, 9, 9, 14, 14, 1, 13, 13, 13, 13, 22, 22, 8, 8, 8, 8, 6, 9, 7, 6, 5, 3, 2};
  for (int r = 0; r < 24; ++r) {
    ASSERT_NE(FleetRootTblPtr[r], nullptr) << r;
    EXPECT_EQ(static_cast<int>(RoutePlanets(FleetRootTblPtr[r]).size()), lengths[r]) << r;
  }
  for (int r = 24; r < kFleetRouteCount; ++r) EXPECT_EQ(FleetRootTblPtr[r], nullptr) << r;
  for (const TFleetRootEntry& e : FleetRootTbl) {
    EXPECT_EQ(e.Spare, -1);
    EXPECT_TRUE(e.Kind == kFleetRootKindGo || (e.Kind == kFleetRootKindEnd && e.Planet == -1));
  }
  EXPECT_EQ(FleetRootTbl[kFleetRootTblSize - 1].Kind, kFleetRootKindEnd);
  EXPECT_EQ(RoutePlanets(FleetRootTblPtr[0]), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(RoutePlanets(FleetRootTblPtr[12]),
            (std::vector<int>{36, 35, 34, 32, 30, 28, 26, 25, 19, 54, 18, 16, 14, 9, 8, 7, 6, 5, 3, 2, 1, 0}));
  EXPECT_EQ(RoutePlanets(FleetRootTblPtr[18]), (std::vector<int>{53, 56, 48, 47, 46, 44, 45, 37, 0}));
}

TEST_F(FleetTest, FleetRouteLookUp) {
  SetFleetRootTbl(3, 4, 23);
  const TFleetRootEntry* e = GetFleetRootTblPtr(3, 4);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e[0].Kind, 1);
  EXPECT_EQ(e[0].Planet, 56);
  EXPECT_EQ(e[1].Planet, 0);
  EXPECT_EQ(e[2].Kind, -1);
  SetFleetRootTbl(3, 4, 24);
  EXPECT_EQ(GetFleetRootTblPtr(3, 4), nullptr);
  SetFleetRootTbl(3, 4, 300);
  EXPECT_EQ(GetFleetRootTblPtr(3, 4), nullptr);
  SetFleetRootTbl(3, 4, -1);
  EXPECT_EQ(GetFleetRootTblPtr(3, 4), nullptr);
  EXPECT_EQ(GetFleetRootTblPtr(14, 0), nullptr);
}

TEST_F(FleetTest, IndexChecksAndNames) {
  EXPECT_TRUE(ChkInFleetNum(13, 9));
  EXPECT_FALSE(ChkInFleetNum(14, 0));
  EXPECT_FALSE(ChkInFleetNum(0, 10));
  EXPECT_FALSE(ChkInFleetNum(-1, 0));
  EXPECT_TRUE(ChkInFleetShipNum(0, 0, 2));
  EXPECT_FALSE(ChkInFleetShipNum(0, 0, 3));
  EXPECT_TRUE(ChkInRootTblNum(255));
  EXPECT_FALSE(ChkInRootTblNum(256));
  EXPECT_EQ(std::string(GetFleetName(0, 0)), SJS("第１艦隊"));
  EXPECT_EQ(std::string(GetFleetName(7, 9)), SJS("第１０艦隊"));
  EXPECT_EQ(std::string(GetFleetName(0, 10)), "");
  // Quiet answers for bad indices.
  EXPECT_EQ(GetFleetX(14, 0), -1);
  EXPECT_EQ(GetFleetAtkY(0, -1), -1);
  EXPECT_EQ(GetFleetShipPtr(0, 0, 3), nullptr);
  EXPECT_EQ(GetFleetMoveStep(0, 10), 0);
  EXPECT_EQ(GetFleetStatus(-1, 0), 0);
  EXPECT_EQ(GetFleetCmd(0, 10), -1);
  EXPECT_FALSE(IsFleetAlive(14, 0));
  SetFleetXY(14, 0, 1, 1);  // must not touch memory outside the table
  RemoveCountryFleets(-1);
  ResetFleetTurnFlags(99);
}

TEST_F(FleetTest, TurnFlagsAndReturning) {
  MakeFleet(1, 2, 5, 4, 4);
  ClearFleetAction(1, 2);
  EXPECT_FALSE(GetFleetCanMove(1, 2));
  EXPECT_EQ(FleetData[1][2].Attack, 0);
  ResetFleetTurnFlags(1);
  EXPECT_TRUE(GetFleetCanMove(1, 2));
  EXPECT_EQ(FleetData[1][2].Attack, 1);
  ClearFleetCanMove(1, 2);
  EXPECT_FALSE(GetFleetCanMove(1, 2));
  EXPECT_EQ(FleetData[1][2].Attack, 1);
  SetFleetReturning(1, 2);
  EXPECT_TRUE(GetFleetReturning(1, 2));
  EXPECT_FALSE(IsFleetOnMap(1, 2));
  EXPECT_EQ(GetFleetStatus(1, 2), 1);
}

TEST_F(FleetTest, ReturningFleetsArriveAtTheCapital) {
  MakeCapital(1, 10, 20, 21);
  MakeFleet(1, 0, 5, 3, 3);
  MakeFleet(1, 1, 6, 4, 4);
  SetFleetReturning(1, 0);
  SetFleetReturning(1, 1);
  RemoveFleetShips(1, 1);  // no ship left: stays off the map
  ArriveReturningFleets(1);
  EXPECT_FALSE(GetFleetReturning(1, 0));
  EXPECT_EQ(GetFleetX(1, 0), 20);
  EXPECT_EQ(GetFleetY(1, 0), 21);
  EXPECT_FALSE(GetFleetReturning(1, 1));
  EXPECT_FALSE(IsFleetOnMap(1, 1));

  // A country whose capital is off the map keeps its returning fleets as they are.
  MakeFleet(2, 0, 7, 3, 3);
  SetFleetReturning(2, 0);
  CountryData[2].Capital = 11;  // planet 11 is off the map
  ArriveReturningFleets(2);
  EXPECT_TRUE(GetFleetReturning(2, 0));
  CountryData[2].Capital = -1;
  ArriveReturningFleets(2);
  EXPECT_TRUE(GetFleetReturning(2, 0));
}

TEST_F(FleetTest, LastShipRemovedLeavesTheMapCommanderStays) {
  MakeFleet(3, 0, 9, 5, 6);
  FleetData[3][0].Ships[2] = MakeShip(1, 5);
  RemoveFleetShip(3, 0, 0);
  EXPECT_TRUE(IsFleetOnMap(3, 0));  // one ship left
  RemoveFleetShip(3, 0, 2);
  EXPECT_FALSE(IsFleetOnMap(3, 0));
  EXPECT_EQ(GetFleetCmd(3, 0), 9);
  EXPECT_EQ(GetCmdUnderFleet(9), 0);
  EXPECT_EQ(FleetData[3][0].Ships[0].Parts[0], -1);
}

TEST_F(FleetTest, SetFleetShipPlacesFleetsWithCommanders) {
  MakeCapital(4, 20, 7, 8);
  FleetData[4][1].CanUse = 1;
  CmdData[30].Belong = 4;
  CmdData[30].UnderFleet = 1;
  const TShipData ship = MakeShip(2, 60);
  SetFleetShip(4, 1, 1, &ship);
  EXPECT_EQ(GetFleetX(4, 1), 7);
  EXPECT_EQ(GetFleetY(4, 1), 8);
  EXPECT_EQ(FleetData[4][1].Ships[1].Parts[0], 2);
  EXPECT_EQ(FleetData[4][1].Ships[1].Hp, 60);
  EXPECT_EQ(GetFleetStatus(4, 1), 2);

  // No commander: the ship goes in, the fleet stays off the map.
  FleetData[4][2].CanUse = 1;
  SetFleetShip(4, 2, 0, &ship);
  EXPECT_TRUE(IsFleetShipValid(4, 2, 0));
  EXPECT_FALSE(IsFleetOnMap(4, 2));
  EXPECT_EQ(GetFleetStatus(4, 2), 0);

  // A living fleet that moved away is not pulled back by a further ship.
  SetFleetXY(4, 1, 30, 30);
  SetFleetShip(4, 1, 2, &ship);
  EXPECT_EQ(GetFleetX(4, 1), 30);

  // Null record and bad slot change nothing.
  SetFleetShip(4, 3, 0, nullptr);
  EXPECT_FALSE(IsFleetShipValid(4, 3, 0));
  SetFleetShip(4, 3, 3, &ship);
  EXPECT_EQ(GetFleetIconNum(4, 1), 13);
  EXPECT_EQ(GetFleetIconNum(4, 3), -1);
}

TEST_F(FleetTest, SetFleetShipHpClampsRemovesAndNeverWraps) {
  MakeCapital(0, 1, 2, 3);
  MakeFleet(0, 0, 0, 10, 10);  // hull 0, maximum 100
  SetFleetShipHp(0, 0, 0, 500);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 100);
  SetFleetShipHp(0, 0, 0, 42);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 42);
  // A repair sum beyond the 32-bit range is a full repair, not a wrapped negative value.
  SetFleetShipHp(0, 0, 0, static_cast<std::int64_t>(INT32_MAX) + 50);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 100);
  EXPECT_TRUE(IsFleetShipValid(0, 0, 0));
  SetFleetShipHp(0, 0, 0, 0);
  EXPECT_FALSE(IsFleetShipValid(0, 0, 0));
  EXPECT_FALSE(IsFleetOnMap(0, 0));
  // An empty slot is left alone.
  SetFleetShipHp(0, 0, 0, 50);
  EXPECT_EQ(FleetData[0][0].Ships[0].Hp, 0);

  // A waiting fleet with a commander goes to its capital when a ship of it is repaired.
  MakeFleet(0, 1, 1, -1, -1);
  SetFleetShipHp(0, 1, 0, 9);
  EXPECT_EQ(GetFleetX(0, 1), 2);
  EXPECT_EQ(GetFleetY(0, 1), 3);
  // A returning one does not.
  MakeFleet(0, 2, 2, -1, -1);
  FleetData[0][2].Returning = 1;
  SetFleetShipHp(0, 2, 0, 9);
  EXPECT_FALSE(IsFleetOnMap(0, 2));
}

TEST_F(FleetTest, MoveStepIsTheSlowestHullAtMostEight) {
  MakeFleet(5, 0, -1, 1, 1, 0);               // step 10
  FleetData[5][0].Ships[1] = MakeShip(1, 5);  // step 6
  EXPECT_EQ(GetFleetMoveStep(5, 0), 6);
  MakeFleet(5, 1, -1, 1, 1, 2);               // step 9
  FleetData[5][1].Ships[2] = MakeShip(3, 5);  // step 12
  EXPECT_EQ(GetFleetMoveStep(5, 1), 8);
  EXPECT_EQ(GetFleetMoveStep(5, 2), 8);  // no valid ship
  FleetData[5][1].Ships[0].Hp = 0;       // an invalid ship does not count
  FleetData[5][1].Ships[1] = MakeShip(1, 0);
  EXPECT_EQ(GetFleetMoveStep(5, 1), 8);
}

TEST_F(FleetTest, FindingFleetsAndPlanets) {
  MakeFleet(5, 3, -1, 12, 13);
  MakeFleet(2, 7, -1, 12, 13);
  int c = 99, f = 99;
  EXPECT_TRUE(FindFleetAtXY(12, 13, &c, &f));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(f, 7);
  EXPECT_FALSE(FindFleetAtXY(1, 1, &c, &f));
  EXPECT_EQ(c, -1);
  EXPECT_EQ(f, -1);
  EXPECT_FALSE(FindFleetAtXY(12, 13, nullptr, &f));
  // A fleet off the map is never found, not even at (-1, -1).
  EXPECT_FALSE(FindFleetAtXY(-1, -1, &c, &f));

  PlacePlanet(40, 12, 13, 2);
  PlacePlanet(30, 12, 13, 2);  // two planets on one cell: the lower index counts
  EXPECT_EQ(GetFleetPlanet(2, 7), 30);
  EXPECT_TRUE(IsFleetAtPlanet(5, 3, 40));
  EXPECT_FALSE(IsFleetAtPlanet(5, 3, 41));
  EXPECT_EQ(CountOwnerFleetsAtPlanet(40), 1);  // only country 2's fleet counts
  MakeFleet(2, 8, -1, 12, 13);
  EXPECT_EQ(CountOwnerFleetsAtPlanet(40), 2);
  PlanetData[40].X = -1;
  EXPECT_EQ(CountOwnerFleetsAtPlanet(40), 0);
  EXPECT_EQ(GetFleetPlanet(2, 9), -1);

  EXPECT_TRUE(IsFleetStationed(2, 7));  // on a planet
  MakeFleet(2, 1, -1, 3, 3);
  EXPECT_FALSE(IsFleetStationed(2, 1));  // in open space
  EXPECT_TRUE(IsFleetStationed(2, 2));   // waiting off the map
  SetFleetReturning(2, 1);
  EXPECT_FALSE(IsFleetStationed(2, 1));  // on its way home
}

TEST_F(FleetTest, FleetStatusAndCommander) {
  MakeFleet(6, 0, 50, 3, 3);
  CmdData[20].Belong = 6;
  CmdData[20].UnderFleet = 0;
  EXPECT_EQ(GetFleetCmd(6, 0), 20);  // the lowest commander
  EXPECT_EQ(GetFleetStatus(6, 0), 2);
  SetFleetXY(6, 0, -1, -1);
  EXPECT_EQ(GetFleetStatus(6, 0), -1);
  FleetData[6][0].CanUse = 0;
  EXPECT_EQ(GetFleetStatus(6, 0), 0);
  FleetData[6][0].CanUse = 1;
  CmdData[20].UnderFleet = -1;
  CmdData[50].UnderFleet = -1;
  EXPECT_EQ(GetFleetStatus(6, 0), 0);
  // IsFleetOnMap only needs one coordinate.
  SetFleetXY(6, 0, -1, 5);
  EXPECT_TRUE(IsFleetOnMap(6, 0));
}

TEST_F(FleetTest, SendingFleetsHomeAndPlacingAtCapitals) {
  MakeCapital(3, 5, 40, 41);
  PlacePlanet(6, 10, 10, 3);
  MakeFleet(3, 0, 1, 10, 10);
  MakeFleet(3, 1, 2, 11, 10);
  MakeFleet(4, 0, 3, 10, 10);
  SendFleetsAtPlanetToCapital(3, 6);
  EXPECT_EQ(GetFleetX(3, 0), 40);
  EXPECT_EQ(GetFleetY(3, 0), 41);
  EXPECT_EQ(GetFleetX(3, 1), 11);  // not on the planet
  EXPECT_EQ(GetFleetX(4, 0), 10);  // another country

  // Nothing for a dead country.
  MakeFleet(7, 0, 4, 10, 10);
  SendFleetsAtPlanetToCapital(7, 6);
  EXPECT_EQ(GetFleetX(7, 0), 10);

  ResetWorld();
  MakeCapital(1, 5, 20, 20);
  MakeCapital(2, 6, 30, 30);
  PlanetData[6].Belong = 1;  // country 2's capital is held by another country
  MakeFleet(1, 0, 1, -1, -1);
  MakeFleet(1, 1, -1, -1, -1);  // no commander
  MakeFleet(2, 0, 2, -1, -1);
  FleetData[1][2].CanUse = 1;  // no ship
  CmdData[3].Belong = 1;
  CmdData[3].UnderFleet = 2;
  PlaceFleetsAtCapital();
  EXPECT_EQ(GetFleetX(1, 0), 20);
  EXPECT_FALSE(IsFleetOnMap(1, 1));
  EXPECT_FALSE(IsFleetOnMap(1, 2));
  EXPECT_FALSE(IsFleetOnMap(2, 0));
}

TEST_F(FleetTest, FleetMarksOnTheMap) {
  CountryData[0].Turn = 0;  // the player
  CountryData[3].Turn = 3;
  SetCountryRelation(0, 3, kRelationWar);
  SetCountryRelation(0, 4, kRelationAlly);
  MakeFleet(3, 0, 1, 2, 5, 1);  // enemy in space, already moved
  ClearFleetCanMove(3, 0);
  MakeFleet(4, 0, 2, 6, 7);  // ally in space
  MakeFleet(0, 0, 3, 9, 9);  // own fleet on a planet
  PlacePlanet(50, 9, 9, 0);
  MakeFleet(0, 1, 4, -1, -1);  // waiting: not drawn
  PutFleetsOnMap();
  const std::vector<TMapOp> expected = {
      {3, 270, 270, 0, 0, 0, 4, 4},  {2, 60, 150, 0, 0, 0, 3, 12}, {3, 60, 150, 0, 0, 0, 4, 5},
      {3, 60, 150, 0, 0, 0, 2, 39},  {3, 60, 150, 0, 0, 0, 4, 1},  {2, 180, 210, 0, 0, 0, 3, 11},
      {3, 180, 210, 0, 0, 0, 2, 40},
  };
  EXPECT_EQ(host.ops, expected);

  // A position off the grid (a damaged file) is not drawn and does not disturb the others.
  host.ops.clear();
  ResetWorld();
  MakeFleet(0, 0, 3, 1, 1);
  MakeFleet(1, 0, 4, 54, 1);
  MakeFleet(2, 0, 5, 2000000000, 1);
  PutFleetsOnMap();
  ASSERT_EQ(host.ops.size(), 3u);  // ship, country mark and own mark of the one fleet on the grid
  EXPECT_EQ(host.ops[0], (TMapOp{2, 30, 30, 0, 0, 0, 3, 11}));
  EXPECT_EQ(host.ops[2], (TMapOp{3, 30, 30, 0, 0, 0, 4, 0}));
}

TEST_F(FleetTest, SaveAndLoadRoundTripByteForByte) {
  std::mt19937 rng(7);
  for (auto& row : FleetData) {
    for (TFleetData& f : row) {
      f.X = RandomValue(rng);
      f.Y = RandomValue(rng);
      f.TargetX = RandomValue(rng);
      f.TargetY = RandomValue(rng);
      f.AtkX = RandomValue(rng);
      f.AtkY = RandomValue(rng);
      f.CanUse = rng() & 1;
      f.CanMove = rng() & 1;
      f.Attack = rng() & 1;
      f.Returning = rng() & 1;
      f.CanWarpOut = rng() & 1;
      f.Root = RandomValue(rng);
      for (TShipData& s : f.Ships)
        s = (rng() & 1) ? MakeShip(static_cast<int>(rng() % 5), 1 + rng() % 50) : EmptyShip();
    }
  }
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadFleet(&w, kSaveModeWrite);
  EXPECT_FALSE(w.HasError());
  const std::string bytes = out.Contents();
  // Ten blocks in this order: positions, flags, routes, ships, can-use.
  struct Block {
    std::string key, type;
    std::size_t count, size;
  };
  const std::vector<Block> blocks = {{"FLEET_XY", "int", 280, 4},
                                     {"FLEET_TARGET_XY", "int", 280, 4},
                                     {"FLEET_ATK_XY", "int", 280, 4},
                                     {"FLEET_CAN_MOVE", "bool", 140, 1},
                                     {"FLEET_ATTACK", "bool", 140, 1},
                                     {"FLEET_RETURNING", "bool", 140, 1},
                                     {"FLEET_CAN_WARP_OUT", "bool", 140, 1},
                                     {"FLEET_ROOT_TBL", "int", 140, 4},
                                     {"FLEET_SHIPS", "int", 2520, 4},
                                     {"FLEET_CAN_USE", "bool", 140, 1}};
  std::size_t expectedSize = 0;
  for (const Block& b : blocks) {
    EXPECT_EQ(bytes.compare(expectedSize, b.key.size() + 1, b.key + '\0'), 0) << b.key;
    expectedSize += b.key.size() + 1 + b.type.size() + 1 + 4 + b.count * b.size;
  }
  EXPECT_EQ(bytes.size(), expectedSize);

  TFleetData saved[kCountryCount][kFleetCount];
  std::memcpy(saved, FleetData, sizeof saved);
  ResetWorld();
  TTempStream in(bytes);
  TDatFile r(in.get());
  SaveLoadFleet(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(std::memcmp(saved, FleetData, sizeof saved), 0);
  TTempStream again;
  TDatFile w2(again.get());
  SaveLoadFleet(&w2, kSaveModeWrite);
  EXPECT_EQ(again.Contents(), bytes);
}

TEST_F(FleetTest, NewGameReadsOnlyCanUseAndInitialisesTheRest) {
  std::vector<std::uint8_t> canUse(140, 0);
  canUse[13] = 1;  // country 1, fleet 3
  TTempStream in(TKeyedBytes().Bytes("FLEET_CAN_USE", "bool", canUse).str());
  TDatFile r(in.get());
  MakeFleet(1, 3, -1, 5, 5);
  FleetData[1][3].Returning = 1;
  FleetData[1][3].Root = 4;
  SaveLoadFleet(&r, kSaveModeNew);
  EXPECT_FALSE(r.HasError());
  const TFleetData& f = FleetData[1][3];
  EXPECT_EQ(f.CanUse, 1);
  EXPECT_EQ(FleetData[1][2].CanUse, 0);
  EXPECT_EQ(f.X, -1);
  EXPECT_EQ(f.TargetY, -1);
  EXPECT_EQ(f.AtkX, -1);
  EXPECT_EQ(f.CanMove, 1);
  EXPECT_EQ(f.Attack, 1);
  EXPECT_EQ(f.CanWarpOut, 1);
  EXPECT_EQ(f.Returning, 0);
  EXPECT_EQ(f.Root, -1);
  EXPECT_EQ(f.Ships[0].Parts[0], -1);
  EXPECT_NE(FleetRootTblPtr[23], nullptr);
  // The can-use block is required.
  TTempStream empty(TKeyedBytes().Ints("OTHER", {1}).str());
  TDatFile e(empty.get());
  EXPECT_EQ(ErrorOf([&] { SaveLoadFleet(&e, kSaveModeNew); }), SJS("例外 SeekKey keyでエラー"));
}

TEST_F(FleetTest, DamagedTableValuesNeverReachOutsideTheTables) {
  std::mt19937 rng(11);
  for (int round = 0; round < 30; ++round) {
    for (auto& row : FleetData) {
      for (TFleetData& f : row) {
        f.X = RandomValue(rng);
        f.Y = RandomValue(rng);
        f.Root = RandomValue(rng);
        f.CanUse = static_cast<std::uint8_t>(rng());
        f.Returning = static_cast<std::uint8_t>(rng());
        for (TShipData& s : f.Ships) {
          for (auto& p : s.Parts) p = RandomValue(rng);
          s.Hp = RandomValue(rng);
        }
      }
    }
    for (TPlanetData& p : PlanetData) {
      p.X = RandomValue(rng);
      p.Y = RandomValue(rng);
      p.Belong = RandomValue(rng);
    }
    for (TCmdData& c : CmdData) {
      c.Belong = RandomValue(rng);
      c.UnderFleet = RandomValue(rng);
    }
    for (TCountryData& c : CountryData) c.Capital = RandomValue(rng);
    host.ops.clear();
    PutFleetsOnMap();
    for (const TMapOp& op : host.ops) {
      EXPECT_GE(op.mapX, 0);
      EXPECT_LT(op.mapX, 54 * 30);
    }
    PlaceFleetsAtCapital();
    for (int c = 0; c < kCountryCount; ++c) {
      ArriveReturningFleets(c);
      for (int f = 0; f < kFleetCount; ++f) {
        GetFleetRootTblPtr(c, f);
        GetFleetMoveStep(c, f);
        GetFleetIconNum(c, f);
        IsFleetStationed(c, f);
        GetFleetStatus(c, f);
        SetFleetShipHp(c, f, 0, static_cast<std::int64_t>(RandomValue(rng)) + RandomValue(rng));
      }
    }
    for (int p = 0; p < kPlanetCount; ++p) {
      CountOwnerFleetsAtPlanet(p);
      SendFleetsAtPlanetToCapital(static_cast<int>(rng() % 16) - 1, p);
    }
    int c = 0, f = 0;
    FindFleetAtXY(RandomValue(rng), RandomValue(rng), &c, &f);
  }
}
