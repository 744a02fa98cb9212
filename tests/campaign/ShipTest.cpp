#include <gtest/gtest.h>

#include <cstring>

#include "campaign/Parts.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::TTempStream;

namespace {

TPartsData Head(int price, int work, int fitMask, int type = 0) {
  TPartsData p{};
  p.NameNum = 0;
  p.Cg = 7;
  p.Price = price;
  p.BuildWork = work;
  p.FitMask = fitMask;
  p.Type = type;
  for (auto& t : p.TecLev) t = -1;
  return p;
}

// A small catalogue: hull 0 a laser destroyer, hull 1 a defence satellite; weapon 0 (type 1) fits
// destroyers only, weapon 1 (type 1) fits destroyers and satellites, weapon 2 is of type 2;
// engine 0 fits everything, shield 0 fits destroyers only.
class ShipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(FrameData, 0, sizeof FrameData);
    std::memset(WeaponData, 0, sizeof WeaponData);
    std::memset(EngineData, 0, sizeof EngineData);
    std::memset(ShieldData, 0, sizeof ShieldData);
    FrameData[0].Parts = Head(500, 10, 1);
    FrameData[0].Class = 1;
    FrameData[0].Body = {200, 5};
    FrameData[0].MoveStep = 4;
    FrameData[1].Parts = Head(300, 6, 16);
    FrameData[1].Parts.NameNum = 32;
    FrameData[1].Class = 16;
    FrameData[1].Body = {400, 9};
    FrameData[1].MoveStep = 0;
    WeaponData[0].Parts = Head(100, 3, 1 | 2, 1);
    WeaponData[1].Parts = Head(120, 4, 1 | 16, 1);
    WeaponData[2].Parts = Head(150, 5, 0xFF, 2);
    EngineData[0].Parts = Head(80, 2, 0xFF);
    ShieldData[0].Parts = Head(60, 1, 1);
  }

  static TShipData Ship(int hull, int w1, int w2, int engine, int shield, int hp) {
    return TShipData{{hull, w1, w2, engine, shield}, hp};
  }
};

}  // namespace

TEST_F(ShipTest, Validity) {
  TShipData s = Ship(0, 0, -1, 0, -1, 1);
  EXPECT_TRUE(IsShipValid(&s));  // weapon 2 and shield may be absent
  s.Hp = 0;
  EXPECT_FALSE(IsShipValid(&s));
  s = Ship(0, -1, 2, 0, 0, 10);
  EXPECT_FALSE(IsShipValid(&s));  // weapon 1 is required
  s = Ship(0, 0, 2, -1, 0, 10);
  EXPECT_FALSE(IsShipValid(&s));
  EXPECT_FALSE(IsShipValid(nullptr));
  EXPECT_TRUE(ClearShip(&s));
  EXPECT_EQ(s.Parts[0], -1);
  EXPECT_EQ(s.Parts[4], -1);
  EXPECT_EQ(s.Hp, 0);
  EXPECT_FALSE(ClearShip(nullptr));
}

TEST_F(ShipTest, HullDerivedValuesAndNullResults) {
  TShipData s = Ship(0, 0, -1, 0, -1, 150);
  EXPECT_EQ(GetShipMaxHp(&s), 200);
  EXPECT_EQ(GetShipHp(&s), 150);
  EXPECT_EQ(GetShipCg(&s), 7);
  EXPECT_EQ(GetShipMoveStep(&s), 4);
  EXPECT_STREQ(GetShipName(&s), GetFrameName(0));
  EXPECT_NE(GetShipName(&s), nullptr);
  TShipData none = Ship(-1, -1, -1, -1, -1, 0);
  EXPECT_EQ(GetShipMaxHp(&none), 0);
  EXPECT_EQ(GetShipCg(&none), -1);
  EXPECT_EQ(GetShipMoveStep(&none), -1);
  EXPECT_EQ(GetShipName(&none), nullptr);
  EXPECT_EQ(GetShipMaxHp(nullptr), 0);
  EXPECT_EQ(GetShipHp(nullptr), 0);
  EXPECT_EQ(GetShipCg(nullptr), -1);
  EXPECT_EQ(GetShipMoveStep(nullptr), 0);
  EXPECT_EQ(GetShipName(nullptr), nullptr);
  EXPECT_EQ(GetShipPrice(nullptr), 0);
  EXPECT_EQ(GetShipBuildWork(nullptr), -1);
  EXPECT_EQ(GetShipValue(nullptr), 0);
}

TEST_F(ShipTest, PriceAndBuildWorkSkipAbsentParts) {
  TShipData full = Ship(0, 0, 2, 0, 0, 200);
  EXPECT_EQ(GetShipPrice(&full), 500 + 100 + 150 + 80 + 60);
  EXPECT_EQ(GetShipBuildWork(&full), 10 + 3 + 5 + 2 + 1);
  // No weapon 2 and no shield: they add nothing (not -1 each).
  TShipData bare = Ship(0, 0, -1, 0, -1, 200);
  EXPECT_EQ(GetShipPrice(&bare), 500 + 100 + 80);
  EXPECT_EQ(GetShipBuildWork(&bare), 10 + 3 + 2);
  // Prices from a damaged catalogue saturate instead of wrapping.
  FrameData[0].Parts.Price = 2147483000;
  WeaponData[0].Parts.Price = 2147483000;
  EXPECT_EQ(GetShipPrice(&bare), 2147483647);
}

TEST_F(ShipTest, ValueIsThreeQuartersAtFullDurabilityAndZeroWithoutHull) {
  // Price 1001: hull 500 + weapon 0 (100) + weapon 2 (150) + engine 80 + shield 60 = 890; make it
  // 1001 through the hull price.
  FrameData[0].Parts.Price = 611;
  TShipData s = Ship(0, 0, 2, 0, 0, 100);
  ASSERT_EQ(GetShipPrice(&s), 1001);
  EXPECT_EQ(GetShipValue(&s), 500 + (250 * 100) / 200);
  s.Hp = 200;
  EXPECT_EQ(GetShipValue(&s), 500 + 250);
  s.Hp = 0;
  EXPECT_EQ(GetShipValue(&s), 500);
  TShipData hullless = Ship(-1, 0, -1, 0, -1, 50);
  EXPECT_EQ(GetShipValue(&hullless), 0);
  FrameData[0].Body.Hp = -3;
  EXPECT_EQ(GetShipValue(&s), 0);
  // Large values are computed in 64 bits and clamped to the funds range.
  FrameData[0].Body.Hp = 2000000000;
  FrameData[0].Parts.Price = 2000000000;
  s.Hp = 2000000000;
  EXPECT_EQ(GetShipValue(&s), 999999);
}

TEST_F(ShipTest, NewHullClearsPartsThatDoNotFit) {
  TShipData s = Ship(0, 0, 2, 0, 0, 50);
  SetShipParts(&s, kPartsFrame, 1);  // defence satellite
  EXPECT_EQ(s.Parts[kPartsFrame], 1);
  EXPECT_EQ(s.Parts[kPartsWeapon1], -1);  // destroyers only
  EXPECT_EQ(s.Parts[kPartsWeapon2], 2);   // fits every class
  EXPECT_EQ(s.Parts[kPartsEngine], 0);
  EXPECT_EQ(s.Parts[kPartsShield], -1);
  EXPECT_EQ(s.Hp, 400);

  s = Ship(1, 1, 2, 0, -1, 1);
  SetShipParts(&s, kPartsFrame, 0);
  EXPECT_EQ(s.Parts[kPartsWeapon1], 1);  // weapon 1 fits destroyers too
  EXPECT_EQ(s.Hp, 200);

  // A weapon whose type does not match its slot comes off with a new hull.
  s = Ship(0, 2, -1, 0, -1, 1);
  SetShipParts(&s, kPartsFrame, 0);
  EXPECT_EQ(s.Parts[kPartsWeapon1], -1);

  RemoveShipParts(&s, kPartsFrame);
  EXPECT_EQ(s.Parts[kPartsFrame], -1);
  for (int k = 1; k < 5; ++k) EXPECT_EQ(s.Parts[k], -1);
  EXPECT_EQ(s.Hp, 0);
}

TEST_F(ShipTest, PartKindsOutsideTheRecordAreIgnored) {
  TShipData s = Ship(0, 0, -1, 0, -1, 77);
  const TShipData before = s;
  SetShipParts(&s, 5, 3);
  SetShipParts(&s, -1, 3);
  RemoveShipParts(&s, 9);
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
  EXPECT_EQ(GetShipParts(&s, 5), -1);
  EXPECT_EQ(GetShipParts(&s, -1), -1);
  EXPECT_EQ(GetShipParts(&s, 3), 0);
  EXPECT_EQ(GetShipParts(nullptr, 0), -1);
  SetShipParts(nullptr, 0, 1);  // no effect, no crash
  // Other kinds do not touch the durability.
  SetShipParts(&s, kPartsShield, 0);
  EXPECT_EQ(s.Parts[kPartsShield], 0);
  EXPECT_EQ(s.Hp, 77);
}

TEST_F(ShipTest, SaveLoadShipRoundTripsAndLowersDurabilityToTheMaximum) {
  TTempStream st;
  TDatFile f(st.get());
  TShipData a = Ship(0, 0, 2, 0, -1, 999);  // above the hull's 200
  TShipData b = Ship(-1, -1, -1, -1, -1, 0);
  ReadWriteKey(kSaveModeWrite, &f, "SHIPS", "int", 12);
  SaveLoadShip(&a, &f, kSaveModeWrite);
  SaveLoadShip(&b, &f, kSaveModeWrite);
  EXPECT_EQ(a.Hp, 999);  // writing changes nothing
  EXPECT_EQ(st.Contents().size(), 6u + 4u + 4u + 48u);

  TDatFile r(st.get());
  TShipData ra{}, rb{};
  ASSERT_TRUE(ReadWriteKey(kSaveModeLoad, &r, "SHIPS", "int", 12));
  SaveLoadShip(&ra, &r, kSaveModeLoad);
  SaveLoadShip(&rb, &r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(ra.Parts[0], 0);
  EXPECT_EQ(ra.Parts[2], 2);
  EXPECT_EQ(ra.Parts[4], -1);
  EXPECT_EQ(ra.Hp, 200);
  EXPECT_EQ(std::memcmp(&rb, &b, sizeof b), 0);
}
