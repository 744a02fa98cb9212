#include <gtest/gtest.h>

#include <cstring>

#include "campaign/Parts.h"
#include "campaign/PartsNames.h"
#include "campaign/Save.h"
#include "campaign/Tec.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::ErrorOf;
using vdmq::test::TKeyedBytes;
using vdmq::test::TTempStream;

namespace {

// The new-game blocks of a catalogue whose value v of entry i is a recognisable number.
TKeyedBytes CatalogueBytes() {
  auto table = [](int entries, int values, int base) {
    std::vector<std::int32_t> v;
    for (int i = 0; i < entries; ++i)
      for (int j = 0; j < values; ++j) v.push_back(base + i * 100 + j);
    return v;
  };
  std::vector<std::int32_t> frameParts = table(60, 11, 0);
  for (int i = 0; i < 60; ++i) {
    frameParts[i * 11 + 0] = i;             // name index
    frameParts[i * 11 + 4] = 1 << (i % 5);  // fit mask: the hull's class
  }
  std::vector<std::int32_t> weaponParts = table(40, 11, 0);
  for (int i = 0; i < 40; ++i) {
    weaponParts[i * 11 + 0] = i;
    weaponParts[i * 11 + 5] = i < 20 ? 1 : 2;  // type
  }
  std::vector<std::uint8_t> enabled60(60), enabled40(40), enabled20(20), enabled10(10);
  for (int i = 0; i < 60; ++i) enabled60[i] = static_cast<std::uint8_t>(i % 3);  // 2 is "set" too
  for (int i = 0; i < 40; ++i) enabled40[i] = 1;
  enabled20[19] = 1;
  enabled10[0] = 0xFF;
  TKeyedBytes b;
  b.Ints("FRAME_PARTS", frameParts)
      .Ints("FRAME_BODY", table(60, 2, 1000000))
      .Ints("FRAME_MOVE_STEP", table(60, 1, 2000000))
      .Ints("WEAPON_PARTS", weaponParts)
      .Ints("WEAPON_WEAPON", table(40, 7, 3000000))
      .Ints("ENGINE_PARTS", table(20, 11, 4000000))
      .Ints("ENGINE_ENGINE", table(20, 2, 5000000))
      .Ints("SHIELD_PARTS", table(10, 11, 6000000))
      .Ints("SHIELD_SHIELD", table(10, 4, 7000000))
      .Bytes("FRAME_ENABLED", "bool", enabled60)
      .Bytes("WEAPON_ENABLED", "bool", enabled40)
      .Bytes("ENGINE_ENABLED", "bool", enabled20)
      .Bytes("SHIELD_ENABLED", "bool", enabled10);
  return b;
}

void LoadNewGameCatalogue() {
  TTempStream s(CatalogueBytes().str());
  TDatFile f(s.get());
  SaveLoadParts(&f, kSaveModeNew);
  ASSERT_FALSE(f.HasError());
}

}  // namespace

TEST(Parts, NewGameDataFillsEveryTableAndSetsHullClasses) {
  LoadNewGameCatalogue();
  EXPECT_EQ(GetFrameClass(0), 1);
  EXPECT_EQ(GetFrameClass(4), 16);
  EXPECT_EQ(GetFrameClass(7), 4);
  EXPECT_EQ(GetFrameBodyHp(GetFrameBodyPtr(3)), 1000300);
  EXPECT_EQ(GetFrameBodyDef(GetFrameBodyPtr(3)), 1000301);
  EXPECT_EQ(GetFrameMoveStep(59), 2005900);
  EXPECT_EQ(GetPartsPrice(GetFramePartsPtr(2)), 202);
  EXPECT_EQ(GetPartsTecLev(GetFramePartsPtr(2), 4), 210);
  const TWeaponBody* w = GetWeaponDataPtr(39);
  EXPECT_EQ(GetWeaponAtk(w), 3003900);
  EXPECT_EQ(GetWeaponData6(w), 3003906);
  EXPECT_EQ(GetEngineTurn(GetEngineDataPtr(19)), 5001901);
  EXPECT_EQ(GetPartsBuildWork(GetEnginePartsPtr(19)), 4001903);
  EXPECT_EQ(GetShieldCharge(GetShieldDataPtr(9)), 7000903);
  EXPECT_EQ(GetPartsCg(GetShieldPartsPtr(9)), 6000901);
  // Enabled flags are raw bytes tested as non-zero.
  EXPECT_FALSE(GetFrameEnabled(0));
  EXPECT_TRUE(GetFrameEnabled(1));
  EXPECT_TRUE(GetFrameEnabled(2));
  EXPECT_TRUE(GetWeaponEnabled(0));
  EXPECT_FALSE(GetEngineEnabled(0));
  EXPECT_TRUE(GetEngineEnabled(19));
  EXPECT_TRUE(GetShieldEnabled(0));
}

TEST(Parts, SavedGamesCarryOnlyTheEnabledFlags) {
  LoadNewGameCatalogue();
  TTempStream s;
  TDatFile w(s.get());
  SaveLoadParts(&w, kSaveModeWrite);
  const std::string saved = s.Contents();
  EXPECT_EQ(saved.size(), (14u + 5 + 4 + 60) + (15u + 5 + 4 + 40) + (15u + 5 + 4 + 20) + (15u + 5 + 4 + 10));
  EXPECT_EQ(saved.find("FRAME_PARTS"), std::string::npos);

  FrameData[1].Enabled = 0;
  FrameData[3].Parts.Price = -5;  // a save read does not touch the catalogue
  TDatFile r(s.get());
  SaveLoadParts(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_TRUE(GetFrameEnabled(1));
  EXPECT_EQ(FrameData[2].Enabled, 2);
  EXPECT_EQ(GetPartsPrice(GetFramePartsPtr(3)), -5);
}

TEST(Parts, MissingCatalogueBlockThrows) {
  TKeyedBytes b;
  b.Ints("FRAME_PARTS", std::vector<std::int32_t>(660, 0));
  TTempStream s(b.str());
  TDatFile f(s.get());
  EXPECT_EQ(ErrorOf([&] { SaveLoadParts(&f, kSaveModeNew); }), SJS("例外 SeekKey keyでエラー"));
}

TEST(Parts, KindsAndWeaponTypes) {
  LoadNewGameCatalogue();
  EXPECT_EQ(GetPartsCount(0), 60);
  EXPECT_EQ(GetPartsCount(1), 40);
  EXPECT_EQ(GetPartsCount(2), 40);
  EXPECT_EQ(GetPartsCount(3), 20);
  EXPECT_EQ(GetPartsCount(4), 10);
  EXPECT_EQ(GetPartsCount(5), 0);
  EXPECT_EQ(GetPartsCount(-1), 0);
  // Weapon 25 is of type 2: not a part of kind 1, but still named by kind 1.
  EXPECT_EQ(GetPartsPtr(1, 25), nullptr);
  EXPECT_EQ(GetPartsPtr(2, 25), GetWeaponPartsPtr(25));
  EXPECT_EQ(GetPartsPtr(1, 3), GetWeaponPartsPtr(3));
  EXPECT_EQ(GetPartsPtr(2, 3), nullptr);
  EXPECT_STREQ(GetPartsName(1, 25), GetWeaponName(25));
  EXPECT_STREQ(GetPartsName(2, 3), GetWeaponName(3));
  EXPECT_EQ(GetPartsPtr(0, 60), nullptr);
  EXPECT_EQ(GetPartsPtr(5, 0), nullptr);
  EXPECT_EQ(GetPartsName(5, 0), nullptr);
  EXPECT_EQ(GetPartsPtr(3, 5), GetEnginePartsPtr(5));
  EXPECT_EQ(GetPartsPtr(4, 5), GetShieldPartsPtr(5));
}

TEST(Parts, BadIndicesAndNullPointersGiveTheQuietAnswers) {
  for (int bad : {-1, 60}) {
    EXPECT_FALSE(ChkInFrameNum(bad));
    EXPECT_EQ(GetFramePartsPtr(bad), nullptr);
    EXPECT_EQ(GetFrameBodyPtr(bad), nullptr);
    EXPECT_EQ(GetFrameName(bad), nullptr);
    EXPECT_FALSE(GetFrameEnabled(bad));
    EXPECT_EQ(GetFrameClass(bad), 0);
    EXPECT_EQ(GetFrameMoveStep(bad), -1);
  }
  EXPECT_TRUE(ChkInFrameNum(59));
  EXPECT_FALSE(ChkInWeaponNum(40));
  EXPECT_TRUE(ChkInWeaponNum(39));
  EXPECT_FALSE(ChkInEngineNum(20));
  EXPECT_FALSE(ChkInShieldNum(10));
  EXPECT_TRUE(ChkInShieldNum(0));
  EXPECT_FALSE(ChkInFrameNameNum(60));
  EXPECT_FALSE(ChkInWeaponNameNum(-1));
  EXPECT_FALSE(ChkInEngineNameNum(20));
  EXPECT_TRUE(ChkInShieldNameNum(9));
  EXPECT_EQ(GetWeaponPartsPtr(40), nullptr);
  EXPECT_EQ(GetEngineDataPtr(20), nullptr);
  EXPECT_EQ(GetShieldDataPtr(-1), nullptr);
  EXPECT_EQ(GetShieldName(10), nullptr);
  EXPECT_FALSE(GetShieldEnabled(10));
  EXPECT_EQ(GetPartsCg(nullptr), -1);
  EXPECT_EQ(GetPartsPrice(nullptr), -1);
  EXPECT_EQ(GetPartsBuildWork(nullptr), -1);
  EXPECT_EQ(GetPartsFitMask(nullptr), -1);
  EXPECT_EQ(GetPartsType(nullptr), -1);
  EXPECT_EQ(GetPartsTecLev(nullptr, 0), -1);
  EXPECT_EQ(GetFrameBodyHp(nullptr), -1);
  EXPECT_EQ(GetFrameBodyDef(nullptr), -1);
  EXPECT_EQ(GetWeaponAtk(nullptr), -1);
  EXPECT_EQ(GetWeaponRange(nullptr), -1);
  EXPECT_EQ(GetWeaponCharge(nullptr), -1);
  EXPECT_EQ(GetWeaponSpeed(nullptr), -1);
  EXPECT_EQ(GetWeaponGuide(nullptr), -1);
  EXPECT_EQ(GetWeaponAmmo(nullptr), 0);
  EXPECT_EQ(GetWeaponData6(nullptr), 0);
  EXPECT_EQ(GetEngineSpeed(nullptr), -1);
  EXPECT_EQ(GetEngineTurn(nullptr), -1);
  EXPECT_EQ(GetShieldHp(nullptr), 0);
  EXPECT_EQ(GetShieldDef(nullptr), 0);
  EXPECT_EQ(GetShieldDeployTime(nullptr), 0);
  EXPECT_EQ(GetShieldCharge(nullptr), 0);
  EXPECT_FALSE(IsPartsFit(0xFF, nullptr));
  EXPECT_FALSE(IsPartsTecOk(nullptr));
}

TEST(Parts, NamesComeFromTheNameTables) {
  std::memset(FrameData, 0, sizeof FrameData);
  FrameData[0].Parts.NameNum = 0;
  FrameData[1].Parts.NameNum = 40;  // an empty entry of the table
  FrameData[2].Parts.NameNum = 60;  // outside the table
  FrameData[3].Parts.NameNum = -1;
  ASSERT_NE(GetFrameName(0), nullptr);
  EXPECT_GT(std::strlen(GetFrameName(0)), 0u);
  EXPECT_STREQ(GetFrameName(1), "");
  EXPECT_EQ(GetFrameName(2), nullptr);
  EXPECT_EQ(GetFrameName(3), nullptr);
  int emptyFrames = 0, emptyEngines = 0;
  for (int i = 0; i < kFrameNameCount; ++i) emptyFrames += *FrameNameText(i) == '\0';
  for (int i = 0; i < kEngineNameCount; ++i) emptyEngines += *EngineNameText(i) == '\0';
  EXPECT_EQ(emptyFrames, 18);
  EXPECT_EQ(emptyEngines, 3);
  for (int i = 0; i < kWeaponNameCount; ++i) EXPECT_NE(*WeaponNameText(i), '\0');
  for (int i = 0; i < kShieldNameCount; ++i) EXPECT_NE(*ShieldNameText(i), '\0');
  EXPECT_EQ(WeaponNameText(40), nullptr);
  EXPECT_EQ(ShieldNameText(10), nullptr);
  // Names are CP932, at most 31 bytes, and survive a round trip through UTF-8.
  for (int i = 0; i < kFrameNameCount; ++i) {
    const std::string n = FrameNameText(i);
    EXPECT_LT(n.size(), 32u);
    EXPECT_EQ(Utf8ToSjis(SjisToUtf8(n)), n);
  }
}

TEST(Parts, ClassCaptions) {
  EXPECT_STREQ(GetFrameClassName(0), "");
  EXPECT_EQ(std::string(GetFrameClassName(1)), SJS("レーザー駆逐艦"));
  EXPECT_EQ(std::string(GetFrameClassName(2)), SJS("ミサイル駆逐艦"));
  EXPECT_EQ(std::string(GetFrameClassName(4)), SJS("レーザー巡洋艦"));
  EXPECT_EQ(std::string(GetFrameClassName(8)), SJS("ミサイル巡洋艦"));
  EXPECT_EQ(std::string(GetFrameClassName(16)), SJS("防御衛星"));
  EXPECT_EQ(GetFrameClassName(3), nullptr);
  EXPECT_EQ(GetFrameClassName(32), nullptr);
  EXPECT_EQ(GetFrameClassName(-1), nullptr);
}

TEST(Parts, FitAndTechnologyRequirements) {
  TPartsData p{};
  p.FitMask = 1 | 4;
  for (auto& t : p.TecLev) t = -1;
  EXPECT_TRUE(IsPartsFit(4, &p));
  EXPECT_TRUE(IsPartsFit(1 | 2, &p));
  EXPECT_FALSE(IsPartsFit(2, &p));
  EXPECT_FALSE(IsPartsFit(0, &p));

  for (int t = 0; t < kTecCount; ++t) TecData[t].Lev = 1;
  EXPECT_TRUE(IsPartsTecOk(&p));  // no requirement at all
  p.TecLev[1] = 3;
  TecData[1].Lev = 2;
  EXPECT_FALSE(IsPartsTecOk(&p));
  TecData[1].Lev = 3;
  EXPECT_TRUE(IsPartsTecOk(&p));
  p.TecLev[4] = 2;  // every technology must pass
  EXPECT_FALSE(IsPartsTecOk(&p));
  TecData[4].Lev = 5;
  EXPECT_TRUE(IsPartsTecOk(&p));
  EXPECT_EQ(GetPartsTecLev(&p, 1), 3);
  EXPECT_EQ(GetPartsTecLev(&p, 5), -1);
  EXPECT_EQ(GetPartsTecLev(&p, -1), -1);
}
