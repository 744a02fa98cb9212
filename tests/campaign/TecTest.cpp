#include <gtest/gtest.h>

#include <vector>

#include "campaign/Save.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::ErrorOf;
using vdmq::test::TKeyedBytes;
using vdmq::test::TTempStream;

namespace {

// A new game whose costs are cost[l] = 100 * l for every technology.
void NewGame() {
  std::vector<std::int32_t> costs;
  for (int t = 0; t < kTecCount; ++t)
    for (int l = 0; l < kTecLevCount; ++l) costs.push_back(100 * l);
  TKeyedBytes b;
  b.Ints("TEC_LEV_UP_FUND", costs);
  TTempStream s(b.str());
  TDatFile f(s.get());
  SaveLoadTec(&f, kSaveModeNew);
  ASSERT_FALSE(f.HasError());
}

}  // namespace

TEST(Tec, NewGameInitialisesAndReadsCosts) {
  TecData[2].Lev = 7;
  TecData[2].InvestFund = 55;
  NewGame();
  const char* names[] = {"船体", "レーザー", "ミサイル", "防御兵装", "主機関"};
  for (int t = 0; t < kTecCount; ++t) {
    EXPECT_EQ(GetTecLev(t), 1);
    EXPECT_EQ(GetTecInvestFund(t), 0);
    EXPECT_EQ(TecData[t].Index, t);
    ASSERT_NE(GetTecName(t), nullptr);
    EXPECT_EQ(std::string(GetTecName(t)), Utf8ToSjis(names[t]));
  }
  EXPECT_EQ(GetTecLevUpFund(0, 1), 100);
  EXPECT_EQ(GetTecLevUpFund(1, 18), 1800);
  EXPECT_EQ(GetTecName(5), nullptr);
}

TEST(Tec, MaximaAndLevelChecks) {
  NewGame();
  EXPECT_EQ(GetTecMaxLev(0), 11);
  EXPECT_EQ(GetTecMaxLev(1), 19);
  EXPECT_EQ(GetTecMaxLev(2), 19);
  EXPECT_EQ(GetTecMaxLev(3), 10);
  EXPECT_EQ(GetTecMaxLev(4), 10);
  EXPECT_EQ(GetTecMaxLev(5), 1);
  EXPECT_EQ(GetTecMaxLev(-1), 1);
  EXPECT_TRUE(ChkInTecLev(1));
  EXPECT_TRUE(ChkInTecLev(20));
  EXPECT_FALSE(ChkInTecLev(0));
  EXPECT_FALSE(ChkInTecLev(21));
  EXPECT_TRUE(IsTecLevBelowMax(3, 9));
  EXPECT_FALSE(IsTecLevBelowMax(3, 10));
  EXPECT_FALSE(IsTecLevBelowMax(3, 0));
  EXPECT_EQ(GetTecLevUpFund(3, 10), -1);
  EXPECT_EQ(GetTecLevUpFund(3, 0), -1);
  SetTecLev(0, 21);
  SetTecLev(0, 0);
  SetTecLev(9, 3);
  EXPECT_EQ(GetTecLev(0), 1);
  SetTecLev(0, 20);  // a stored level may exceed the maximum; it then cannot rise
  EXPECT_EQ(GetTecLev(0), 20);
  EXPECT_FALSE(CanTecLevUp(0));
  EXPECT_EQ(GetTecLev(5), -1);
  EXPECT_EQ(GetTecInvestFund(5), -1);
  EXPECT_FALSE(CanTecLevUp(5));
  EXPECT_EQ(GetTecFundToMax(5), 0);
}

TEST(Tec, InvestmentRaisesLevelsAndCarriesSurplus) {
  NewGame();
  InvestTec(0, 350);  // 100 to level 2, 200 to level 3, 50 left toward level 4
  EXPECT_EQ(GetTecLev(0), 3);
  EXPECT_EQ(GetTecInvestFund(0), 50);
  InvestTec(0, 250);  // exactly the remaining cost of level 3
  EXPECT_EQ(GetTecLev(0), 4);
  EXPECT_EQ(GetTecInvestFund(0), 0);
  InvestTec(0, 10);
  EXPECT_EQ(GetTecInvestFund(0), 10);
  InvestTec(0, 0);
  InvestTec(0, -500);  // clamped to 0: nothing
  EXPECT_EQ(GetTecLev(0), 4);
  EXPECT_EQ(GetTecInvestFund(0), 10);
}

TEST(Tec, MaximumLevelAcceptsNothingAndSurplusIsDropped) {
  NewGame();
  // Technology 3: costs 100 .. 900 to reach level 10 = 4500.
  EXPECT_EQ(GetTecFundToMax(3), 4500);
  InvestTec(3, 100);
  EXPECT_EQ(GetTecFundToMax(3), 4400);
  InvestTec(3, 30);
  EXPECT_EQ(GetTecFundToMax(3), 4370);
  InvestTec(3, 999999999);  // clamped to 999999, far more than needed
  EXPECT_EQ(GetTecLev(3), 10);
  EXPECT_EQ(GetTecInvestFund(3), 0);
  EXPECT_EQ(GetTecFundToMax(3), 0);
  EXPECT_FALSE(CanTecLevUp(3));
  InvestTec(3, 100);
  EXPECT_EQ(GetTecLev(3), 10);
  EXPECT_EQ(GetTecInvestFund(3), 0);
}

TEST(Tec, FundToMaxIsClampedAndSummedWithoutOverflow) {
  NewGame();
  for (int l = 1; l < kTecLevCount; ++l) TecData[1].LevUpFund[l] = 2000000000;
  EXPECT_EQ(GetTecFundToMax(1), 999999);
  TecData[2].InvestFund = 2000000000;
  EXPECT_EQ(GetTecFundToMax(2), 0);
}

TEST(Tec, LevelsReadFromAFileOutsideTheRangeNeverIndexTheCostTable) {
  NewGame();
  for (int bad : {0, -5, 11, 20, 1000000}) {
    TecData[0].Lev = bad;
    TecData[0].InvestFund = 0;
    EXPECT_FALSE(CanTecLevUp(0)) << bad;
    EXPECT_EQ(GetTecFundToMax(0), 0) << bad;
    InvestTec(0, 500);
    EXPECT_EQ(GetTecLev(0), bad);
    EXPECT_EQ(GetTecInvestFund(0), 0);
  }
}

TEST(Tec, SavedGamesCarryInvestmentAndLevels) {
  NewGame();
  InvestTec(1, 350);
  InvestTec(4, 40);
  TTempStream s;
  TDatFile w(s.get());
  SaveLoadTec(&w, kSaveModeWrite);
  TKeyedBytes expected;
  expected.Ints("TEC_INVEST_FUND", {0, 50, 0, 0, 40}).Ints("TEC_LEV", {1, 3, 1, 1, 1});
  EXPECT_EQ(s.Contents(), expected.str());

  NewGame();
  TDatFile r(s.get());
  SaveLoadTec(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(GetTecLev(1), 3);
  EXPECT_EQ(GetTecInvestFund(1), 50);
  EXPECT_EQ(GetTecInvestFund(4), 40);
  EXPECT_EQ(GetTecLevUpFund(1, 3), 300);  // costs stay from the new game

  // A missing file does nothing, not even the new-game initialisation.
  SaveLoadTec(nullptr, kSaveModeNew);
  TDatFile closed;
  SaveLoadTec(&closed, kSaveModeNew);
  EXPECT_EQ(GetTecLev(1), 3);
  // New-game data without the cost block throws.
  TTempStream empty;
  TDatFile e(empty.get());
  EXPECT_EQ(ErrorOf([&] { SaveLoadTec(&e, kSaveModeNew); }), SJS("例外 SeekKey keyでエラー"));
}
