#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "campaign/Cmd.h"
#include "campaign/CmdNames.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/World.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

class CmdTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
};

}  // namespace

TEST_F(CmdTest, ThrowingChecksOnEveryOperation) {
  const std::string err = SJS("例外 function:ChkInCmdNum");
  EXPECT_EQ(ErrorOf([] { GetCmdName(120); }), err);
  EXPECT_EQ(ErrorOf([] { GetCmdCg(-1); }), err);
  EXPECT_EQ(ErrorOf([] { AddCmdExp(120, 5); }), err);
  EXPECT_EQ(ErrorOf([] { SetCmdUnderFleet(200, 1); }), err);
  EXPECT_EQ(ErrorOf([] { RestCmd(-5); }), err);
  EXPECT_EQ(ErrorOf([] { ApplyCmdMind(120, 10); }), err);
  EXPECT_EQ(ErrorOf([] { GetCmdAtk(120); }), err);
  EXPECT_EQ(ErrorOf([] { ChkInCmdNum(119); }), "<no error>");
  EXPECT_EQ(ErrorOf([] { ChkInCmdClassNameNum(8); }), SJS("例外 function:ChkInCmdClassNameNum"));
  EXPECT_EQ(ErrorOf([] { ChkInCmdClassNameNum(7); }), "<no error>");
}

TEST_F(CmdTest, NamesAndClassNames) {
  for (int i = 0; i < kCmdNameCount; ++i) {
    ASSERT_NE(CmdNameText(i), nullptr);
    EXPECT_GT(std::string(CmdNameText(i)).size(), 0u);
  }
  for (int i = 0; i < kCmdClassNameTextCount; ++i) EXPECT_GT(std::string(CmdClassNameText(i)).size(), 0u);
  EXPECT_EQ(CmdClassNameText(8), nullptr);
  EXPECT_EQ(std::string(GetCmdName(4)), std::string(CmdNameText(4)));
  CmdData[4].Name = -1;
  EXPECT_EQ(std::string(GetCmdName(4)), "");
  CmdData[4].Name = 500;  // a damaged index reads as the empty name too
  EXPECT_EQ(std::string(GetCmdName(4)), "");
}

TEST_F(CmdTest, ExperienceCarriesAcrossLevels) {
  CmdData[0].Lev = 3;
  CmdData[0].Exp = 80;
  EXPECT_EQ(AddCmdExp(0, 250), 3);
  EXPECT_EQ(GetCmdLev(0), 6);
  EXPECT_EQ(GetCmdExp(0), 30);

  CmdData[1].Lev = 3;
  CmdData[1].Exp = 30;
  EXPECT_EQ(AddCmdExp(1, -50), -1);
  EXPECT_EQ(GetCmdLev(1), 2);
  EXPECT_EQ(GetCmdExp(1), 80);

  CmdData[2].Lev = 1;
  CmdData[2].Exp = 30;
  EXPECT_EQ(AddCmdExp(2, -50), 0);
  EXPECT_EQ(GetCmdLev(2), 1);
  EXPECT_EQ(GetCmdExp(2), 0);

  CmdData[3].Lev = 49;
  CmdData[3].Exp = 90;
  EXPECT_EQ(AddCmdExp(3, 20), 1);
  EXPECT_EQ(GetCmdLev(3), 50);
  EXPECT_EQ(GetCmdExp(3), 0);
  EXPECT_EQ(AddCmdExp(3, 40), 0);
  EXPECT_EQ(GetCmdExp(3), 0);
  EXPECT_EQ(AddCmdExp(3, 1000), 0);
  EXPECT_EQ(GetCmdExp(3), 0);

  // Exactly 100 reaches the next level with nothing left over.
  CmdData[5].Lev = 10;
  CmdData[5].Exp = 0;
  EXPECT_EQ(AddCmdExp(5, 100), 1);
  EXPECT_EQ(GetCmdExp(5), 0);
  // Huge amounts stop at the bounds.
  EXPECT_EQ(AddCmdExp(5, INT64_C(1) << 40), 39);
  EXPECT_EQ(GetCmdLev(5), 50);
  EXPECT_EQ(AddCmdExp(5, -(INT64_C(1) << 40)), -49);
  EXPECT_EQ(GetCmdLev(5), 1);
  EXPECT_EQ(GetCmdExp(5), 0);
  // A level read from a damaged file outside 1..50 ends within the bounds.
  CmdData[6].Lev = 1000;
  CmdData[6].Exp = 10;
  AddCmdExp(6, 500);
  EXPECT_EQ(GetCmdLev(6), 50);
  CmdData[7].Lev = INT32_MIN;
  AddCmdExp(7, 5);
  EXPECT_EQ(GetCmdLev(7), 1);
}

TEST_F(CmdTest, ClampedSetters) {
  SetCmdExp(0, 150);
  EXPECT_EQ(GetCmdExp(0), 100);
  SetCmdExp(0, -4);
  EXPECT_EQ(GetCmdExp(0), 0);
  SetCmdLev(0, 0);
  EXPECT_EQ(GetCmdLev(0), 1);
  SetCmdLev(0, 51);
  EXPECT_EQ(GetCmdLev(0), 50);
  SetCmdFatigue(0, 1200);
  EXPECT_EQ(GetCmdFatigue(0), 1000);
  EXPECT_EQ(GetCmdFatiguePercent(0), 100);
  SetCmdFatigue(0, static_cast<std::int64_t>(INT32_MAX) + 5);  // a sum formed in 64 bits
  EXPECT_EQ(GetCmdFatigue(0), 1000);
  SetCmdFatigue(0, -1);
  EXPECT_EQ(GetCmdFatigue(0), 0);
  SetCmdFatigue(0, 355);
  EXPECT_EQ(GetCmdFatiguePercent(0), 35);
}

TEST_F(CmdTest, AttackDefenceAndSpirit) {
  TCmdData& c = CmdData[10];
  c.AtkMod = 40;
  c.AtkModUp = 3;
  c.DefMod = 10;
  c.DefModUp = 1;
  c.Lev = 10;
  c.Fatigue = 800;
  EXPECT_EQ(GetCmdAtkBase(10), 70);
  EXPECT_EQ(GetCmdAtk(10), 21);
  EXPECT_EQ(GetCmdDefBase(10), 20);
  EXPECT_EQ(GetCmdDef(10), 6);
  c.Fatigue = 0;
  EXPECT_EQ(GetCmdAtk(10), 70);
  c.Fatigue = 250;  // k = 75
  EXPECT_EQ(GetCmdAtk(10), 52);
  c.AtkMod = 5000;
  EXPECT_EQ(GetCmdAtkBase(10), 999);
  EXPECT_EQ(GetCmdAtk(10), 999);
  c.AtkMod = -500;
  EXPECT_EQ(GetCmdAtkBase(10), 1);
  EXPECT_EQ(GetCmdAtk(10), 1);
  // Products of damaged values do not overflow.
  c.AtkMod = INT32_MAX;
  c.AtkModUp = INT32_MAX;
  c.Lev = INT32_MAX;
  c.Fatigue = INT32_MIN;
  EXPECT_EQ(GetCmdAtk(10), 999);
  c.AtkModUp = INT32_MIN;
  EXPECT_EQ(GetCmdAtk(10), 1);

  c.Mind = 25;
  EXPECT_EQ(ApplyCmdMind(10, 40), 30);
  EXPECT_EQ(ApplyCmdMind(10, 0), 0);
  EXPECT_EQ(ApplyCmdMind(10, -5), -5);
  EXPECT_EQ(ApplyCmdMind(10, 3), 2);  // truncated
  c.Mind = INT32_MIN;
  EXPECT_EQ(ApplyCmdMind(10, INT32_MAX), INT32_MAX);
  c.Direct = 77;
  EXPECT_EQ(GetCmdDirect(10), 77);
  EXPECT_EQ(GetCmdMind(10), INT32_MIN);
}

TEST_F(CmdTest, RestOnlyWithoutAFleet) {
  CmdData[0].Fatigue = 60;
  RestCmd(0);
  EXPECT_EQ(GetCmdFatigue(0), 0);
  CmdData[0].Fatigue = 450;
  RestCmd(0);
  EXPECT_EQ(GetCmdFatigue(0), 350);
  MakeFleet(2, 1, 1, 3, 3);
  CmdData[1].Fatigue = 60;
  RestCmd(1);
  EXPECT_EQ(GetCmdFatigue(1), 60);
}

TEST_F(CmdTest, AppointingToAFreeFleet) {
  MakeCapital(2, 10, 15, 16);
  CmdData[7].Belong = 2;
  FleetData[2][4].CanUse = 1;
  FleetData[2][4].Ships[0] = MakeShip(0, 10);
  SetCmdUnderFleet(7, 4);
  EXPECT_EQ(GetCmdUnderFleet(7), 4);
  EXPECT_EQ(GetFleetCmd(2, 4), 7);
  EXPECT_EQ(GetFleetX(2, 4), 15);
  EXPECT_EQ(GetFleetY(2, 4), 16);
  // Moving him to another free fleet takes his old one off the map.
  FleetData[2][5].CanUse = 1;
  FleetData[2][5].Ships[1] = MakeShip(1, 10);
  SetCmdUnderFleet(7, 5);
  EXPECT_EQ(GetCmdUnderFleet(7), 5);
  EXPECT_FALSE(IsFleetOnMap(2, 4));
  EXPECT_EQ(GetFleetX(2, 5), 15);
  // A fleet without ships is assigned but stays off the map.
  SetCmdUnderFleet(7, 6);
  EXPECT_EQ(GetCmdUnderFleet(7), 6);
  EXPECT_FALSE(IsFleetOnMap(2, 6));
  // Release.
  SetCmdUnderFleet(7, -1);
  EXPECT_EQ(GetCmdUnderFleet(7), -1);
  // No country, same fleet, or a fleet outside the table: nothing.
  CmdData[8].Belong = -1;
  SetCmdUnderFleet(8, 2);
  EXPECT_EQ(GetCmdUnderFleet(8), -1);
  SetCmdUnderFleet(7, 10);
  SetCmdUnderFleet(7, -2);
  EXPECT_EQ(GetCmdUnderFleet(7), -1);
}

TEST_F(CmdTest, AppointingToALedFleetTakesOrSwaps) {
  MakeCapital(3, 10, 15, 16);
  MakeFleet(3, 0, 20, 5, 5);  // commander 20 leads fleet 0
  MakeFleet(3, 2, 21, 6, 6);  // commander 21 leads fleet 2
  // 21 takes fleet 0: the two swap, the fleets stay where they are.
  SetCmdUnderFleet(21, 0);
  EXPECT_EQ(GetCmdUnderFleet(21), 0);
  EXPECT_EQ(GetCmdUnderFleet(20), 2);
  EXPECT_EQ(GetFleetX(3, 0), 5);
  EXPECT_EQ(GetFleetX(3, 2), 6);
  // A commander without a fleet takes it; the other one leads none.
  CmdData[22].Belong = 3;
  SetCmdUnderFleet(22, 2);
  EXPECT_EQ(GetCmdUnderFleet(22), 2);
  EXPECT_EQ(GetCmdUnderFleet(20), -1);
  EXPECT_EQ(GetFleetX(3, 2), 6);
  // Same fleet again: nothing.
  SetCmdUnderFleet(22, 2);
  EXPECT_EQ(GetCmdUnderFleet(22), 2);
}

TEST_F(CmdTest, ReleaseAndChangeOfCountry) {
  MakeCapital(1, 10, 15, 16);
  MakeFleet(1, 3, 9, 5, 5);
  ReleaseCmdFromFleet(9);
  EXPECT_EQ(GetCmdUnderFleet(9), -1);
  EXPECT_FALSE(IsFleetOnMap(1, 3));
  EXPECT_EQ(GetFleetStatus(1, 3), 0);

  MakeFleet(1, 4, 9, 7, 7);
  SetCmdBelong(9, 6);
  EXPECT_EQ(GetCmdBelong(9), 6);
  EXPECT_TRUE(IsCmdBelong(9));
  EXPECT_EQ(GetCmdUnderFleet(9), -1);
  EXPECT_FALSE(IsFleetOnMap(1, 4));
  SetCmdBelong(9, -1);
  EXPECT_FALSE(IsCmdBelong(9));

  EXPECT_EQ(SearchCmdByFleet(-1, -1), -1);
  CmdData[3].Belong = 2;
  CmdData[3].UnderFleet = 5;
  EXPECT_EQ(SearchCmdByFleet(2, 5), 3);
  EXPECT_EQ(SearchCmdByFleet(2, 6), -1);
}

TEST_F(CmdTest, SaveAndLoadRoundTripByteForByte) {
  std::mt19937 rng(21);
  for (TCmdData& c : CmdData) {
    auto* v = reinterpret_cast<std::int32_t*>(&c);
    for (std::size_t i = 0; i < sizeof(TCmdData) / 4; ++i) v[i] = RandomValue(rng);
  }
  TCmdData saved[kCmdCount];
  std::memcpy(saved, CmdData, sizeof saved);
  // Mode 0 writes the six saved fields only.
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadCmd(&w, kSaveModeWrite);
  EXPECT_FALSE(w.HasError());
  const std::string bytes = out.Contents();
  EXPECT_EQ(bytes.size(), 6 * (4 + 4 + 480) + 11 + 8 + 8 + 15 + 16 + 12);
  ResetWorld();
  TTempStream in(bytes);
  TDatFile r(in.get());
  SaveLoadCmd(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  for (int i = 0; i < kCmdCount; ++i) {
    EXPECT_EQ(CmdData[i].Belong, saved[i].Belong);
    EXPECT_EQ(CmdData[i].Exp, saved[i].Exp);
    EXPECT_EQ(CmdData[i].Lev, saved[i].Lev);
    EXPECT_EQ(CmdData[i].ClassName, saved[i].ClassName);
    EXPECT_EQ(CmdData[i].UnderFleet, saved[i].UnderFleet);
    EXPECT_EQ(CmdData[i].Fatigue, saved[i].Fatigue);
  }
  TTempStream again;
  TDatFile w2(again.get());
  SaveLoadCmd(&w2, kSaveModeWrite);
  EXPECT_EQ(again.Contents(), bytes);
  // A missing file does nothing.
  SaveLoadCmd(nullptr, kSaveModeLoad);
}

TEST_F(CmdTest, NewGameReadsEveryField) {
  TKeyedBytes file;
  const char* keys[] = {"CMD_NAME",       "CMD_CG",         "CMD_ATK_MOD",     "CMD_DEF_MOD", "CMD_ATK_MOD_UP",
                        "CMD_DEF_MOD_UP", "CMD_DIRECT",     "CMD_MIND",        "CMD_BELONG",  "CMD_EXP",
                        "CMD_LEV",        "CMD_CLASS_NAME", "CMD_UNDER_FLEET", "CMD_FATIGUE"};
  // Block k holds 1000 * k + commander, written in reverse order (readers find blocks by key).
  for (int k = 13; k >= 0; --k) {
    std::vector<std::int32_t> v(120);
    for (int i = 0; i < 120; ++i) v[i] = 1000 * k + i;
    file.Ints(keys[k], v);
  }
  TTempStream in(file.str());
  TDatFile r(in.get());
  SaveLoadCmd(&r, kSaveModeNew);
  EXPECT_FALSE(r.HasError());
  const TCmdData& c = CmdData[7];
  EXPECT_EQ(c.Name, 7);
  EXPECT_EQ(c.Cg, 1007);
  EXPECT_EQ(c.AtkMod, 2007);
  EXPECT_EQ(c.DefMod, 3007);
  EXPECT_EQ(c.AtkModUp, 4007);
  EXPECT_EQ(c.DefModUp, 5007);
  EXPECT_EQ(c.Direct, 6007);
  EXPECT_EQ(c.Mind, 7007);
  EXPECT_EQ(c.Belong, 8007);
  EXPECT_EQ(c.Exp, 9007);
  EXPECT_EQ(c.Lev, 10007);
  EXPECT_EQ(c.ClassName, 11007);
  EXPECT_EQ(c.UnderFleet, 12007);
  EXPECT_EQ(c.Fatigue, 13007);
}

TEST_F(CmdTest, DamagedTableValuesNeverReachOutsideTheTables) {
  std::mt19937 rng(33);
  for (int round = 0; round < 30; ++round) {
    for (TCmdData& c : CmdData) {
      auto* v = reinterpret_cast<std::int32_t*>(&c);
      for (std::size_t i = 0; i < sizeof(TCmdData) / 4; ++i) v[i] = RandomValue(rng);
    }
    for (TCountryData& c : CountryData) c.Capital = RandomValue(rng);
    for (int i = 0; i < kCmdCount; ++i) {
      GetCmdName(i);
      GetCmdAtk(i);
      GetCmdDef(i);
      ApplyCmdMind(i, RandomValue(rng));
      AddCmdExp(i, RandomValue(rng));
      EXPECT_GE(GetCmdLev(i), 1);
      EXPECT_LE(GetCmdLev(i), 50);
      RestCmd(i);
      SetCmdUnderFleet(i, static_cast<int>(rng() % 14) - 2);
      if (rng() % 4 == 0) SetCmdBelong(i, RandomValue(rng));
      if (rng() % 4 == 0) ReleaseCmdFromFleet(i);
    }
  }
}
