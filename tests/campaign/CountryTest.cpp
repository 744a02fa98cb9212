#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "campaign/Country.h"
#include "campaign/CountryNames.h"
#include "campaign/GameHost.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"

using namespace vdmq;
using vdmq::test::ErrorOf;
using vdmq::test::TKeyedBytes;
using vdmq::test::TTempStream;

namespace {

// Fourteen living countries (country i has turn order i and capital i), no relations, and no
// planet on the map.
class CountryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int c = 0; c < kCountryCount; ++c) {
      CountryData[c] = TCountryData{c, c, c + 1, 100, 1000, 0, c};
    }
    std::memset(CountryRelation, 0, sizeof CountryRelation);
    for (TPlanetData& p : PlanetData) {
      p.Belong = -1;
      p.X = -1;
      p.Y = -1;
      p.IncomeFund = 0;
    }
  }
  void TearDown() override { SetGameHost(nullptr); }

  static void Planet(int p, int owner, int x, int y, int income) {
    PlanetData[p].Belong = owner;
    PlanetData[p].X = x;
    PlanetData[p].Y = y;
    PlanetData[p].IncomeFund = income;
  }
};

}  // namespace

TEST_F(CountryTest, FundsAreClampedAndOnlyLivingCountriesGain) {
  SetCountryFund(3, -5);
  EXPECT_EQ(GetCountryFund(3), 0);
  SetCountryFund(3, 1500000);
  EXPECT_EQ(GetCountryFund(3), 999999);
  AddCountryFund(3, 2000000000);  // no wrap-around on the way to the clamp
  EXPECT_EQ(GetCountryFund(3), 999999);
  AddCountryFund(3, -1000);
  EXPECT_EQ(GetCountryFund(3), 998999);
  AddCountryFund(3, -5000000000LL);
  EXPECT_EQ(GetCountryFund(3), 0);

  SetCountryCapital(4, -1);
  EXPECT_FALSE(IsCountryAlive(4));
  AddCountryFund(4, 500);
  EXPECT_EQ(GetCountryFund(4), 1000);
  SetCountryFund(4, 20);  // setting works on a destroyed country
  EXPECT_EQ(GetCountryFund(4), 20);

  SetCountryFund(14, 5);
  AddCountryFund(-1, 5);
  EXPECT_EQ(GetCountryFund(14), 0);
}

TEST_F(CountryTest, ThePlayersFundsRefreshTheMainWindowCaption) {
  test::TRecordingHost host;
  SetCountryFund(5, 10);  // a computer country: no caption
  EXPECT_TRUE(host.fundCaptions.empty());
  SetCountryFund(0, 4321);
  ASSERT_FALSE(host.fundCaptions.empty());
  EXPECT_NE(host.fundCaptions.back().find("4321"), std::string::npos);
}

TEST_F(CountryTest, IncomeCountsOwnedPlanetsOnTheMapClampedEach) {
  Planet(10, 2, 5, 5, 50);
  Planet(11, 2, 6, 5, -20);    // a negative income counts as 0
  Planet(12, 2, -1, 5, 1000);  // not on the map
  Planet(13, 3, 7, 7, 1000);   // another owner
  CollectCountryIncome(2);
  EXPECT_EQ(GetCountryIncomeFund(2), 150);
  EXPECT_EQ(GetCountryFund(2), 1150);

  // A destroyed country stores its last income but gains nothing.
  SetCountryCapital(2, -1);
  CollectCountryIncome(2);
  EXPECT_EQ(GetCountryIncomeFund(2), 150);
  EXPECT_EQ(GetCountryFund(2), 1150);

  // Large incomes are summed in 64 bits and clamped.
  for (int p = 20; p < 30; ++p) Planet(p, 5, 1, 1, 999999);
  CountryData[5].StdFund = 2000000000;
  CollectCountryIncome(5);
  EXPECT_EQ(GetCountryIncomeFund(5), 999999);
  EXPECT_EQ(GetCountryFund(5), 999999);
  CollectCountryIncome(99);  // no effect
}

TEST_F(CountryTest, QuietAccessorsAndThePlayer) {
  for (int bad : {-1, 14}) {
    EXPECT_FALSE(ChkInCountryNum(bad));
    EXPECT_FALSE(IsCountryAlive(bad));
    EXPECT_EQ(std::string(GetCountryName(bad)), SJS("無所属"));
    EXPECT_EQ(GetCountryTurn(bad), -1);
    EXPECT_EQ(GetCountryPresident(bad), -1);
    EXPECT_EQ(GetCountryStdFund(bad), 0);
    EXPECT_EQ(GetCountryFund(bad), 0);
    EXPECT_EQ(GetCountryIncomeFund(bad), 0);
    EXPECT_EQ(GetCountryCapital(bad), -1);
    EXPECT_FALSE(IsPlayerCountry(bad));
    SetCountryCapital(bad, 3);
  }
  EXPECT_EQ(std::string(GetCountryName(1)), CountryNameText(1));
  CountryData[1].Name = 40;  // a name index outside the table
  EXPECT_EQ(std::string(GetCountryName(1)), SJS("無所属"));
  EXPECT_EQ(GetCountryPresident(6), 7);
  EXPECT_EQ(GetCountryStdFund(6), 100);
  SetCountryCapital(6, 250);  // stored unchecked
  EXPECT_EQ(GetCountryCapital(6), 250);

  EXPECT_TRUE(IsPlayerCountry(0));
  EXPECT_EQ(GetPlayerCountry(), 0);
  CountryData[0].Turn = 4;
  CountryData[9].Turn = 0;
  CountryData[7].Turn = 0;  // two countries of turn order 0: the lower index
  EXPECT_EQ(GetPlayerCountry(), 7);
  for (TCountryData& c : CountryData) c.Turn = 1;
  EXPECT_EQ(GetPlayerCountry(), -1);
}

TEST_F(CountryTest, RelationsUseTheUpperTriangle) {
  EXPECT_EQ(GetCountryRelation(3, 3), kRelationSelf);
  EXPECT_EQ(GetCountryRelation(-1, 5), kRelationWar);
  EXPECT_EQ(GetCountryRelation(5, -1), kRelationWar);
  EXPECT_EQ(GetCountryRelation(-1, -1), kRelationNone);
  EXPECT_EQ(GetCountryRelation(14, 2), -1);
  EXPECT_EQ(GetCountryRelation(2, -2), -1);
  SetCountryRelation(5, 2, kRelationAlly);
  EXPECT_EQ(CountryRelation[2][5], kRelationAlly);
  EXPECT_EQ(CountryRelation[5][2], 0);
  EXPECT_EQ(GetCountryRelation(5, 2), kRelationAlly);
  EXPECT_EQ(GetCountryRelation(2, 5), kRelationAlly);
  SetCountryRelation(2, 5, kRelationWar);
  EXPECT_EQ(GetCountryRelation(5, 2), kRelationWar);
  SetCountryRelation(4, 4, kRelationWar);  // a = b changes nothing
  EXPECT_EQ(CountryRelation[4][4], 0);
  SetCountryRelation(4, 14, kRelationWar);
  SetCountryRelation(-1, 4, kRelationWar);
  EXPECT_EQ(GetCountryRelation(4, 13), kRelationNone);

  EXPECT_EQ(std::string(GetCountryRelationName(0, 1)), SJS("無関係"));
  EXPECT_EQ(std::string(GetCountryRelationName(2, 5)), SJS("交戦"));
  SetCountryRelation(0, 1, kRelationAlly);
  EXPECT_EQ(std::string(GetCountryRelationName(1, 0)), SJS("同盟"));
  EXPECT_EQ(std::string(GetCountryRelationName(7, 7)), SJS("自国"));
  EXPECT_STREQ(GetCountryRelationName(14, 0), "");
  CountryRelation[0][2] = 9;  // a value no rule gives: no name
  EXPECT_STREQ(GetCountryRelationName(0, 2), "");
}

TEST_F(CountryTest, NewGameReadsEveryKeyAndSavesSkipTheConstantOnes) {
  auto col = [](int base) {
    std::vector<std::int32_t> v;
    for (int c = 0; c < kCountryCount; ++c) v.push_back(base + c);
    return v;
  };
  std::vector<std::uint8_t> rel(196, 0);
  rel[2 * 14 + 5] = 1;
  rel[0 * 14 + 13] = 2;
  TKeyedBytes b;
  b.Ints("COUNTRY_NAME", col(0))
      .Ints("COUNTRY_TURN", col(0))
      .Ints("COUNTRY_PRESIDENT", col(20))
      .Ints("COUNTRY_CAPITAL", col(40))
      .Ints("COUNTRY_STD_FUND", col(60))
      .Ints("COUNTRY_FUND", col(80))
      .Ints("COUNTRY_INCOME_FUND", col(100))
      .Bytes("COUNTRY_RELATION", "char", rel);
  {
    TTempStream s(b.str());
    TDatFile f(s.get());
    SaveLoadCountry(&f, kSaveModeNew);
    SaveLoadCountryRelation(&f, kSaveModeNew);
    EXPECT_FALSE(f.HasError());
  }
  EXPECT_EQ(GetCountryPresident(3), 23);
  EXPECT_EQ(GetCountryCapital(3), 43);
  EXPECT_EQ(GetCountryStdFund(3), 63);
  EXPECT_EQ(GetCountryFund(3), 83);
  EXPECT_EQ(GetCountryIncomeFund(3), 103);
  EXPECT_EQ(GetCountryRelation(5, 2), 1);
  EXPECT_EQ(GetCountryRelation(13, 0), 2);

  // A save holds the changing fields only, in this order, and reads back.
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadCountry(&w, kSaveModeWrite);
  SaveLoadCountryRelation(&w, kSaveModeWrite);
  TKeyedBytes expected;
  expected.Ints("COUNTRY_CAPITAL", col(40))
      .Ints("COUNTRY_STD_FUND", col(60))
      .Ints("COUNTRY_FUND", col(80))
      .Ints("COUNTRY_INCOME_FUND", col(100))
      .Bytes("COUNTRY_RELATION", "char", rel);
  EXPECT_EQ(out.Contents(), expected.str());

  SetCountryFund(3, 7);
  SetCountryRelation(2, 5, 0);
  CountryData[3].President = -9;  // not in a save: stays as it is
  TDatFile r(out.get());
  SaveLoadCountry(&r, kSaveModeLoad);
  SaveLoadCountryRelation(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(GetCountryFund(3), 83);
  EXPECT_EQ(GetCountryRelation(2, 5), 1);
  EXPECT_EQ(GetCountryPresident(3), -9);

  // A save file read as new-game data lacks the constant blocks.
  TDatFile n(out.get());
  EXPECT_EQ(ErrorOf([&] { SaveLoadCountry(&n, kSaveModeNew); }), SJS("例外 SeekKey keyでエラー"));
}

TEST(CountryNames, TwelveNamesAndTwoEmptyTexts) {
  int empty = 0;
  for (int i = 0; i < kCountryNameCount; ++i) {
    ASSERT_NE(CountryNameText(i), nullptr);
    empty += *CountryNameText(i) == '\0';
  }
  EXPECT_EQ(empty, 2);
  EXPECT_EQ(CountryNameText(14), nullptr);
  EXPECT_EQ(CountryNameText(-1), nullptr);
}
