#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "campaign/Planet.h"
#include "campaign/PlanetNames.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"
#include "support/World.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

class PlanetTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  TRecordingHost host;
};

void FillRandomPlanets(std::mt19937& rng) {
  for (TPlanetData& p : PlanetData) {
    p.Cg = RandomValue(rng);
    p.Belong = RandomValue(rng);
    p.X = RandomValue(rng);
    p.Y = RandomValue(rng);
    p.IncomeFund = RandomValue(rng);
    p.Hokyuu = RandomValue(rng);
    for (TShipData& s : p.Sate) s = (rng() & 1) ? MakeShip(4, 1 + rng() % 200) : EmptyShip();
  }
}

}  // namespace

TEST_F(PlanetTest, IndexChecksAndQuietAnswers) {
  EXPECT_EQ(ErrorOf([] { ChkInPlanetNum(100); }), SJS("例外 function:ChkInPlanetNum"));
  EXPECT_EQ(ErrorOf([] { ChkInPlanetNum(-1); }), SJS("例外 function:ChkInPlanetNum"));
  EXPECT_EQ(ErrorOf([] { ChkInPlanetNum(99); }), "<no error>");
  EXPECT_TRUE(IsPlanetNum(0));
  EXPECT_FALSE(IsPlanetNum(100));
  EXPECT_FALSE(IsPlanetNameNum(-1));
  EXPECT_EQ(GetPlanetName(100), nullptr);
  EXPECT_EQ(GetPlanetCg(-1), -1);
  EXPECT_EQ(GetPlanetBelong(100), -1);
  EXPECT_EQ(GetPlanetX(100), -1);
  EXPECT_EQ(GetPlanetIncome(100), 0);
  EXPECT_EQ(GetPlanetHokyuu(-3), 0);
  EXPECT_EQ(GetCapitalCountry(100), -1);
  EXPECT_FALSE(IsPlanetOnMap(100));
  EXPECT_EQ(GetPlanetSatePtr(0, 5), nullptr);
  EXPECT_EQ(GetPlanetSateAngle(100, 0), -1);
  EXPECT_FALSE(RemovePlanetSate(0, 5));
  SetPlanetBelong(100, 1);  // nothing, no throw
  SetPlanetXY(-1, 1, 1);
}

TEST_F(PlanetTest, NamesIncomeAndPositions) {
  // Every planet name index has a text; a name index outside the table has none.
  for (int i = 0; i < kPlanetNameCount; ++i) {
    ASSERT_NE(PlanetNameText(i), nullptr);
    EXPECT_GT(std::string(PlanetNameText(i)).size(), 0u) << i;
  }
  EXPECT_EQ(std::string(GetPlanetName(7)), std::string(PlanetNameText(7)));
  PlanetData[7].Name = 120;
  EXPECT_EQ(GetPlanetName(7), nullptr);

  PlanetData[3].IncomeFund = -20;
  EXPECT_EQ(GetPlanetIncomeFund(3), -20);
  EXPECT_EQ(GetPlanetIncome(3), 0);
  PlanetData[3].IncomeFund = 2000000;
  EXPECT_EQ(GetPlanetIncome(3), 999999);

  SetPlanetXY(4, 0, 0);
  EXPECT_TRUE(IsPlanetOnMap(4));
  SetPlanetXY(4, -1, 5);
  EXPECT_FALSE(IsPlanetOnMap(4));
  SetPlanetXY(4, 5, -2);
  EXPECT_FALSE(IsPlanetOnMap(4));
  SetPlanetCg(4, 9);
  EXPECT_EQ(GetPlanetCg(4), 9);

  PlacePlanet(20, 8, 9, 1);
  PlacePlanet(12, 8, 9, 2);
  EXPECT_EQ(FindPlanetAtXY(8, 9), 12);
  EXPECT_EQ(FindPlanetAtXY(-1, 5), -1);
  EXPECT_EQ(FindPlanetAtXY(5, -1), -1);
  EXPECT_EQ(FindPlanetAtXY(1, 1), -1);
  // A planet off the map is not found at its stored cell.
  PlanetData[30].X = -2;
  PlanetData[30].Y = 4;
  EXPECT_EQ(FindPlanetAtXY(-2, 4), -1);

  CountryData[3].Capital = 12;
  CountryData[5].Capital = 12;
  EXPECT_EQ(GetCapitalCountry(12), 3);
  EXPECT_EQ(GetCapitalCountry(20), -1);
}

TEST_F(PlanetTest, SatellitesInstalledRepairedAndRemoved) {
  const TShipData sate = MakeShip(4, 150);  // hull maximum 200
  SetPlanetSate(8, 2, &sate);
  EXPECT_TRUE(IsPlanetSateValid(8, 2));
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Hp, 150);
  SetPlanetSate(8, 3, nullptr);
  EXPECT_FALSE(IsPlanetSateValid(8, 3));
  SetPlanetSateHp(8, 2, 1000);
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Hp, 200);
  SetPlanetSateHp(8, 2, static_cast<std::int64_t>(INT32_MAX) + 10);  // never wraps to a removal
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Hp, 200);
  SetPlanetSateHp(8, 2, 1);
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Hp, 1);
  SetPlanetSateHp(8, 2, 0);
  EXPECT_FALSE(IsPlanetSateValid(8, 2));
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Parts[0], -1);
  SetPlanetSateHp(8, 2, 50);  // an empty slot is left alone
  EXPECT_EQ(GetPlanetSatePtr(8, 2)->Hp, 0);
  SetPlanetSate(8, 4, &sate);
  EXPECT_TRUE(RemovePlanetSate(8, 4));
  EXPECT_FALSE(IsPlanetSateValid(8, 4));
  const int angles[] = {45, 30, 60, 15, 75};
  for (int s = 0; s < 5; ++s) EXPECT_EQ(GetPlanetSateAngle(8, s), angles[s]);
}

TEST_F(PlanetTest, TakingACapitalDestroysItsCountry) {
  MakeCapital(4, 10, 5, 5);
  const int owned[] = {11, 12, 13, 14};
  for (int p : owned) PlacePlanet(p, p, 1, 4);
  PlanetData[15].Belong = 4;  // an owned planet off the map changes hands too
  MakeFleet(4, 0, 1, 5, 5);
  MakeFleet(4, 3, 2, 30, 30);
  MakeFleet(6, 0, 3, 5, 5);
  SetPlanetBelong(10, 6);
  EXPECT_FALSE(IsCountryAlive(4));
  EXPECT_EQ(GetCountryCapital(4), -1);
  EXPECT_EQ(GetPlanetBelong(10), 6);
  for (int p : owned) EXPECT_EQ(GetPlanetBelong(p), 6) << p;
  EXPECT_EQ(GetPlanetBelong(15), 6);
  for (int f = 0; f < kFleetCount; ++f) {
    for (int s = 0; s < kFleetShipCount; ++s) EXPECT_FALSE(IsFleetShipValid(4, f, s));
  }
  EXPECT_FALSE(IsFleetOnMap(4, 0));
  EXPECT_FALSE(IsFleetOnMap(4, 3));
  EXPECT_EQ(GetCmdUnderFleet(1), 0);  // commanders stay assigned
  EXPECT_TRUE(IsFleetShipValid(6, 0, 0));

  // Handing a capital to nobody destroys the owner just the same; its planets become unowned.
  ResetWorld();
  MakeCapital(2, 20, 5, 5);
  PlacePlanet(21, 6, 6, 2);
  SetPlanetBelong(20, -1);
  EXPECT_FALSE(IsCountryAlive(2));
  EXPECT_EQ(GetPlanetBelong(20), -1);
  EXPECT_EQ(GetPlanetBelong(21), -1);
}

TEST_F(PlanetTest, HandingAPlanetToItsOwnerChangesNothing) {
  MakeCapital(4, 10, 5, 5);
  PlacePlanet(11, 6, 6, 4);
  MakeFleet(4, 0, 1, 5, 5);
  SetPlanetBelong(10, 4);
  EXPECT_TRUE(IsCountryAlive(4));
  EXPECT_EQ(GetCountryCapital(4), 10);
  EXPECT_TRUE(IsFleetShipValid(4, 0, 0));
  EXPECT_EQ(GetFleetX(4, 0), 5);
  MakeFleet(4, 1, 2, 6, 6);
  SetPlanetBelong(11, 4);
  EXPECT_EQ(GetFleetX(4, 1), 6);  // not sent home
  // An unowned planet handed to nobody stays as it is as well.
  PlacePlanet(12, 7, 7, -1);
  SetPlanetBelong(12, -1);
  EXPECT_EQ(GetPlanetBelong(12), -1);
}

TEST_F(PlanetTest, TakingAnOrdinaryPlanetSendsTheOwnersFleetsHome) {
  MakeCapital(3, 1, 40, 41);
  PlacePlanet(2, 10, 10, 3);
  MakeFleet(3, 0, 1, 10, 10);
  MakeFleet(5, 0, 2, 10, 10);
  SetPlanetBelong(2, 5);
  EXPECT_EQ(GetPlanetBelong(2), 5);
  EXPECT_TRUE(IsCountryAlive(3));
  EXPECT_EQ(GetFleetX(3, 0), 40);
  EXPECT_EQ(GetFleetY(3, 0), 41);
  EXPECT_EQ(GetFleetX(5, 0), 10);  // the captor's fleet stays
}

TEST_F(PlanetTest, PlanetMarksOnTheMap) {
  CountryData[0].Turn = 0;
  SetCountryRelation(0, 2, kRelationWar);
  SetCountryRelation(0, 3, kRelationAlly);
  MakeCapital(0, 0, 1, 2);
  PlacePlanet(1, 3, 4, 0);
  PlanetData[1].Cg = 7;
  MakeCapital(2, 2, 5, 6);
  PlacePlanet(3, 7, 8, -1);
  PlacePlanet(4, 9, 10, 3);
  PlacePlanet(5, 60, 10, 3);  // off the grid: not drawn
  PlacePlanet(6, -1, -1, 2);  // off the map
  PutPlanetsOnMap();
  const std::vector<TMapOp> expected = {
      {2, 30, 60, 0, 0, 0, 2, 0},    {3, 30, 60, 0, 0, 0, 2, 36},   {3, 30, 60, 0, 0, 0, 4, 2},
      {2, 90, 120, 0, 0, 0, 2, 7},   {3, 90, 120, 0, 0, 0, 2, 36},  {3, 90, 120, 0, 0, 0, 4, 0},
      {2, 150, 180, 0, 0, 0, 2, 0},  {3, 150, 180, 0, 0, 0, 2, 38}, {3, 150, 180, 0, 0, 0, 4, 3},
      {2, 210, 240, 0, 0, 0, 2, 0},  {3, 210, 240, 0, 0, 0, 4, 1},  {2, 270, 300, 0, 0, 0, 2, 0},
      {3, 270, 300, 0, 0, 0, 2, 39},
  };
  ASSERT_EQ(host.ops.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(host.ops[i], expected[i]) << i;
}

TEST_F(PlanetTest, SaveAndLoadRoundTripByteForByte) {
  std::mt19937 rng(3);
  FillRandomPlanets(rng);
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadPlanet(&w, kSaveModeWrite);
  EXPECT_FALSE(w.HasError());
  const std::string bytes = out.Contents();
  EXPECT_EQ(bytes.compare(0, 10, std::string("PLANET_XY\0", 10)), 0);
  EXPECT_EQ(bytes.size(), (10 + 4 + 4 + 800) + (10 + 4 + 4 + 400) + (12 + 4 + 4 + 12000) + (14 + 4 + 4 + 400) +
                              (19 + 4 + 4 + 400) + (14 + 4 + 4 + 400));
  TPlanetData saved[kPlanetCount];
  std::memcpy(saved, PlanetData, sizeof saved);
  ResetWorld();
  TTempStream in(bytes);
  TDatFile r(in.get());
  SaveLoadPlanet(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  for (int i = 0; i < kPlanetCount; ++i) PlanetData[i].Name = saved[i].Name;  // not saved
  EXPECT_EQ(std::memcmp(saved, PlanetData, sizeof saved), 0);
  TTempStream again;
  TDatFile w2(again.get());
  SaveLoadPlanet(&w2, kSaveModeWrite);
  EXPECT_EQ(again.Contents(), bytes);

  // The position routine alone (as the map file uses it) round-trips too.
  TTempStream xy;
  TDatFile wxy(xy.get());
  SaveLoadPlanetXY(&wxy, kSaveModeWrite);
  const std::string xyBytes = xy.Contents();
  ResetWorld();
  TTempStream xyIn(xyBytes);
  TDatFile rxy(xyIn.get());
  SaveLoadPlanetXY(&rxy, kSaveModeNew);
  EXPECT_EQ(GetPlanetX(50), saved[50].X);
  EXPECT_EQ(GetPlanetCg(99), saved[99].Cg);
}

TEST_F(PlanetTest, NewGameReadsOwnersIncomeAndSupplyOnly) {
  std::vector<std::int32_t> belong(100, -1), income(100, 5), hokyuu(100, 7);
  belong[9] = 3;
  const std::string file = TKeyedBytes()
                               .Ints("PLANET_HOKYUU", hokyuu)
                               .Ints("PLANET_BELONG", belong)
                               .Ints("PLANET_INCOME_FUND", income)
                               .str();
  TTempStream in(file);
  TDatFile r(in.get());
  PlacePlanet(9, 4, 4, -1);
  PlanetData[9].Name = 50;
  const TShipData sate = MakeShip(4, 10);
  SetPlanetSate(9, 1, &sate);
  SaveLoadPlanet(&r, kSaveModeNew);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(GetPlanetBelong(9), 3);
  EXPECT_EQ(GetPlanetIncomeFund(9), 5);
  EXPECT_EQ(GetPlanetHokyuu(9), 7);
  EXPECT_EQ(PlanetData[9].Name, 9);
  EXPECT_FALSE(IsPlanetSateValid(9, 1));
  EXPECT_EQ(GetPlanetX(9), 4);  // positions come from the map file
}

TEST_F(PlanetTest, DamagedTableValuesNeverReachOutsideTheTables) {
  std::mt19937 rng(5);
  for (int round = 0; round < 30; ++round) {
    FillRandomPlanets(rng);
    for (TPlanetData& p : PlanetData) p.Name = RandomValue(rng);
    for (TCountryData& c : CountryData) c.Capital = RandomValue(rng);
    for (auto& row : FleetData) {
      for (TFleetData& f : row) {
        f.X = RandomValue(rng);
        f.Y = RandomValue(rng);
      }
    }
    host.ops.clear();
    PutPlanetsOnMap();
    for (const TMapOp& op : host.ops) {
      EXPECT_GE(op.mapY, 0);
      EXPECT_LT(op.mapY, 54 * 30);
    }
    for (int p = 0; p < kPlanetCount; ++p) {
      GetPlanetName(p);
      GetCapitalCountry(p);
      SetPlanetSateHp(p, static_cast<int>(rng() % 5), static_cast<std::int64_t>(RandomValue(rng)) * 2);
      SetPlanetBelong(p, RandomValue(rng));
    }
    FindPlanetAtXY(RandomValue(rng), RandomValue(rng));
  }
}
