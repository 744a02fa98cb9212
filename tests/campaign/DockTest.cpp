#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "campaign/Dock.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/World.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

class DockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorld();
    PlacePlanet(5, 3, 3, 2);
    DockData[5].Abt[0] = 30;
    DockData[5].Abt[1] = 0;
    DockData[5].Abt[2] = 10;
  }
};

// A ship of the given build work: hull 0 (40) + weapon 0 (15) + engine 0 (6) = 61, adjusted
// through the hull's own build work.
TShipData ShipOfWork(int work) {
  FrameData[0].Parts.BuildWork = work - 21;
  return MakeShip(0, 100);
}

}  // namespace

TEST_F(DockTest, ThrowingChecks) {
  EXPECT_EQ(ErrorOf([] { ChkInPlanetDockNum(3); }), SJS("例外 function:ChkInPlanetDockNum"));
  EXPECT_EQ(ErrorOf([] { ChkInPlanetDockNum(-1); }), SJS("例外 function:ChkInPlanetDockNum"));
  EXPECT_EQ(ErrorOf([] { GetDockState(100, 0); }), SJS("例外 function:ChkInPlanetNum"));
  EXPECT_EQ(ErrorOf([] { GetDockTurn(5, 3); }), SJS("例外 function:ChkInPlanetDockNum"));
  EXPECT_EQ(ErrorOf([] { ClearDock(-1, 0); }), SJS("例外 function:ChkInPlanetNum"));
  EXPECT_EQ(ErrorOf([] { OrderDockShip(5, 7, nullptr); }), SJS("例外 function:ChkInPlanetDockNum"));
  // The capacity getter checks only the planet; a bad dock answers -1 instead of reading past.
  EXPECT_EQ(ErrorOf([] { GetDockAbt(100, 0); }), SJS("例外 function:ChkInPlanetNum"));
  EXPECT_EQ(GetDockAbt(5, 3), -1);
  EXPECT_EQ(GetDockAbt(5, 0), 30);
}

TEST_F(DockTest, ExistenceNamesAndStates) {
  EXPECT_TRUE(IsDockExist(5, 0));
  EXPECT_FALSE(IsDockExist(5, 1));
  EXPECT_EQ(std::string(GetDockName(5, 0)), SJS("第１"));
  EXPECT_EQ(std::string(GetDockName(5, 2)), SJS("第３"));
  EXPECT_EQ(std::string(GetDockName(5, 1)), SJS("未存在"));
  EXPECT_EQ(GetDockState(5, 1), kDockStateNone);
  EXPECT_EQ(GetDockState(5, 0), kDockStateEmpty);
  EXPECT_TRUE(IsDockOfCountry(5, 0, 2));
  EXPECT_FALSE(IsDockOfCountry(5, 0, 3));
  EXPECT_FALSE(IsDockOfCountry(5, 1, 2));
  PlanetData[5].Belong = -1;
  EXPECT_FALSE(IsDockOfCountry(5, 0, -1));

  // A planet that left the map has no docks.
  PlanetData[5].X = -1;
  EXPECT_FALSE(IsDockExist(5, 0));
  EXPECT_EQ(GetDockState(5, 0), kDockStateNone);
  EXPECT_EQ(std::string(GetDockName(5, 0)), SJS("未存在"));

  // Turns 0 without a valid ship is empty, with one it is finished.
  PlanetData[5].X = 3;
  DockData[5].Turn[0] = 0;
  EXPECT_EQ(GetDockState(5, 0), kDockStateEmpty);
  DockData[5].Ships[0] = MakeShip(1, 20);
  EXPECT_EQ(GetDockState(5, 0), kDockStateFinished);
  DockData[5].Turn[0] = 4;
  EXPECT_EQ(GetDockState(5, 0), kDockStateBuilding);
  ClearDock(5, 0);
  EXPECT_EQ(GetDockTurn(5, 0), -1);
  EXPECT_EQ(GetDockShipPtr(5, 0)->Parts[0], -1);
  EXPECT_EQ(GetDockState(5, 0), kDockStateEmpty);
}

TEST_F(DockTest, BuildTurnsRoundUpAndNeverDivideByZero) {
  TShipData s = ShipOfWork(61);
  EXPECT_EQ(CalcDockBuildTurn(5, 0, &s), 3);
  s = ShipOfWork(60);
  EXPECT_EQ(CalcDockBuildTurn(5, 0, &s), 2);
  EXPECT_EQ(CalcDockBuildTurn(5, 1, &s), -1);  // capacity 0
  DockData[5].Abt[1] = -5;
  EXPECT_EQ(CalcDockBuildTurn(5, 1, &s), -1);
  EXPECT_EQ(CalcDockBuildTurn(5, 0, nullptr), -1);
  // Extreme values neither overflow nor come out negative.
  DockData[5].Abt[0] = INT32_MAX;
  FrameData[0].Parts.BuildWork = INT32_MAX;
  EXPECT_EQ(CalcDockBuildTurn(5, 0, &s), 1);
  FrameData[0].Parts.BuildWork = -1000;
  EXPECT_EQ(CalcDockBuildTurn(5, 0, &s), 0);
}

TEST_F(DockTest, OrderingAndPuttingShips) {
  TShipData s = ShipOfWork(61);
  EXPECT_EQ(OrderDockShip(5, 0, &s), 3);
  EXPECT_EQ(GetDockTurn(5, 0), 3);
  EXPECT_EQ(GetDockShipPtr(5, 0)->Parts[0], 0);
  EXPECT_EQ(GetDockState(5, 0), kDockStateBuilding);
  EXPECT_EQ(OrderDockShip(5, 1, &s), -1);  // no dock
  EXPECT_EQ(GetDockTurn(5, 1), -1);        // unchanged
  TShipData broken = s;
  broken.Hp = 0;
  EXPECT_EQ(OrderDockShip(5, 2, &broken), -1);
  EXPECT_EQ(OrderDockShip(5, 2, nullptr), -1);
  PutDockShip(5, 2, &s);
  EXPECT_EQ(GetDockState(5, 2), kDockStateFinished);
  EXPECT_EQ(GetDockTurn(5, 2), 0);
  PutDockShip(5, 1, &s);
  EXPECT_EQ(GetDockShipPtr(5, 1)->Parts[0], -1);
}

TEST_F(DockTest, AdvanceDocksOnlyForTheOwner) {
  TShipData s = MakeShip(1, 50);
  DockData[5].Ships[0] = s;
  DockData[5].Turn[0] = 1;
  DockData[5].Ships[2] = s;
  DockData[5].Turn[2] = 3;
  PlacePlanet(6, 4, 4, 3);
  DockData[6].Abt[0] = 10;
  DockData[6].Ships[0] = s;
  DockData[6].Turn[0] = 2;
  AdvanceDocks(2);
  EXPECT_EQ(GetDockTurn(5, 0), 0);
  EXPECT_EQ(GetDockState(5, 0), kDockStateFinished);
  EXPECT_EQ(GetDockTurn(5, 2), 2);
  EXPECT_EQ(GetDockTurn(6, 0), 2);  // another country's dock
  AdvanceDocks(2);
  EXPECT_EQ(GetDockTurn(5, 0), 0);  // never below 0
  EXPECT_EQ(GetDockTurn(5, 2), 1);
  AdvanceDocks(-1);  // no country: nothing
  EXPECT_EQ(GetDockTurn(5, 2), 1);
}

TEST_F(DockTest, SaveAndLoadRoundTripByteForByte) {
  std::mt19937 rng(9);
  for (TDockData& d : DockData) {
    for (int i = 0; i < kPlanetDockCount; ++i) {
      d.Abt[i] = RandomValue(rng);
      d.Turn[i] = RandomValue(rng);
      d.Ships[i] = (rng() & 1) ? MakeShip(static_cast<int>(rng() % 5), 1 + rng() % 50) : EmptyShip();
    }
  }
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadDock(&w, kSaveModeWrite);
  EXPECT_FALSE(w.HasError());
  const std::string bytes = out.Contents();
  EXPECT_EQ(bytes.size(), (9 + 4 + 4 + 1200) + (11 + 4 + 4 + 7200) + (17 + 4 + 4 + 1200));
  TDockData saved[kPlanetCount];
  std::memcpy(saved, DockData, sizeof saved);
  ResetWorld();
  TTempStream in(bytes);
  TDatFile r(in.get());
  SaveLoadDock(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(std::memcmp(saved, DockData, sizeof saved), 0);
  TTempStream again;
  TDatFile w2(again.get());
  SaveLoadDock(&w2, kSaveModeWrite);
  EXPECT_EQ(again.Contents(), bytes);
}

TEST_F(DockTest, NewGameReadsCapacitiesAndClearsDocks) {
  std::vector<std::int32_t> abt(300, 0);
  abt[5 * 3 + 1] = 25;
  TTempStream in(TKeyedBytes().Ints("DOCK_ABT", abt).str());
  TDatFile r(in.get());
  DockData[5].Ships[0] = MakeShip(1, 5);
  DockData[5].Turn[0] = 2;
  SaveLoadDock(&r, kSaveModeNew);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(GetDockAbt(5, 1), 25);
  EXPECT_EQ(GetDockAbt(5, 0), 0);
  EXPECT_EQ(GetDockTurn(5, 0), -1);
  EXPECT_EQ(GetDockShipPtr(5, 0)->Parts[0], -1);
}
