#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "campaign/BattleRecord.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "campaign/StoryNames.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"
#include "support/RecordingHost.h"
#include "support/World.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

class StoryTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  TRecordingHost host;
};

}  // namespace

TEST_F(StoryTest, DateAdvancesFiftyTwoPeriodsAYearUpTo9999) {
  StoryData.Century = 4032;
  StoryData.Month = 51;
  AdvanceStoryDate();
  EXPECT_EQ(GetStoryYear(), 4032);
  EXPECT_EQ(GetStoryPeriod(), 52);
  AdvanceStoryDate();
  EXPECT_EQ(GetStoryYear(), 4033);
  EXPECT_EQ(GetStoryPeriod(), 1);
  StoryData.Century = 9999;
  StoryData.Month = 52;
  AdvanceStoryDate();
  EXPECT_EQ(GetStoryYear(), 9999);
  EXPECT_EQ(GetStoryPeriod(), 1);
  // A damaged period beyond 52 starts a new year rather than counting on past the range.
  StoryData.Century = 5000;
  StoryData.Month = INT32_MAX;
  AdvanceStoryDate();
  EXPECT_EQ(GetStoryPeriod(), 1);
  EXPECT_EQ(GetStoryYear(), 5001);
  // Every advance shows the date.
  ASSERT_EQ(host.yearCaptions.size(), 4u);
  EXPECT_EQ(host.yearCaptions[1], std::string("4033") + SJS("年") + " 1" + SJS("期"));
}

TEST_F(StoryTest, CaptionsOfDateAndFunds) {
  EXPECT_EQ(FormatStoryDate(4032, 7), std::string("4032") + SJS("年") + " 7" + SJS("期"));
  EXPECT_EQ(FormatStoryDate(12, 52), std::string("  12") + SJS("年") + "52" + SJS("期"));
  EXPECT_EQ(FormatTotalFund(1234), SJS("総資金 ") + "  1234");
  CountryData[0].Fund = 999999;
  ShowTotalFund();
  ASSERT_EQ(host.fundCaptions.size(), 1u);
  EXPECT_EQ(host.fundCaptions[0], SJS("総資金 ") + "999999");
  ShowStoryDate();
  EXPECT_EQ(host.yearCaptions.back(), std::string("4032") + SJS("年") + " 1" + SJS("期"));
}

TEST_F(StoryTest, FlagsVariablesAndCountersIgnoreBadIndices) {
  SetStoryFlag(255);
  EXPECT_TRUE(GetStoryFlag(255));
  EXPECT_FALSE(GetStoryFlag(254));
  SetStoryFlag(256);
  SetStoryFlag(-1);
  EXPECT_FALSE(GetStoryFlag(256));
  EXPECT_FALSE(GetStoryFlag(-1));
  SetStoryVar(63, 17);
  EXPECT_EQ(GetStoryVar(63), 17);
  SetStoryVar(64, 5);
  SetStoryVar(-1, 5);
  EXPECT_EQ(GetStoryVar(64), 0);
  EXPECT_EQ(GetStoryVar(-1), 0);
  SetStoryCnt(0, 3);
  EXPECT_EQ(GetStoryCnt(0), 3);
  SetStoryCnt(64, 8);
  EXPECT_EQ(GetStoryCnt(64), 0);
  // Neighbouring records were not touched by the bad writes.
  EXPECT_EQ(StoryData.FundVar[0], 0);
  EXPECT_EQ(StoryData.Cnt[0], 3);
  SetStoryVar(0, 4);
  EXPECT_EQ(GetStoryChapter(), 4);
}

TEST_F(StoryTest, CountersGrowUntilTheyStop) {
  SetStoryCnt(0, 0);
  SetStoryCnt(1, 9999);
  SetStoryCnt(2, 5);
  SetStoryCnt(3, 9998);
  SetStoryCnt(4, -3);
  SetStoryCnt(5, INT32_MAX);
  AdvanceStoryCnt();
  EXPECT_EQ(GetStoryCnt(0), 0);
  EXPECT_EQ(GetStoryCnt(1), 9999);
  EXPECT_EQ(GetStoryCnt(2), 6);
  EXPECT_EQ(GetStoryCnt(3), 9999);
  EXPECT_EQ(GetStoryCnt(4), -2);
  EXPECT_EQ(GetStoryCnt(5), INT32_MAX);
  AdvanceStoryCnt();
  EXPECT_EQ(GetStoryCnt(3), 9999);
}

TEST_F(StoryTest, AdjutantChoiceChaptersAndRunTimeWords) {
  EXPECT_EQ(GetFukukan(), 2);
  EXPECT_EQ(GetFukukanVoice(), 5);
  StoryData.Fukukan = 12;
  EXPECT_EQ(GetFukukanVoice(), 6);
  StoryData.Fukukan = 3;
  EXPECT_EQ(GetFukukanVoice(), -1);
  int titled = 0;
  for (int i = 0; i < kChapterTitleCount; ++i) {
    if (*GetChapterTitle(i) != '\0') ++titled;
  }
  EXPECT_EQ(titled, 5);
  EXPECT_EQ(std::string(GetChapterTitle(10)), "");
  EXPECT_EQ(std::string(GetChapterTitle(-1)), "");
  SetEventSelect(3);
  EXPECT_EQ(GetEventSelect(), 3);
  SetGameEndFlag(true);
  EXPECT_TRUE(GetGameEndFlag());
  SetGameEndFlag(false);
  EXPECT_FALSE(GetGameEndFlag());
}

TEST_F(StoryTest, ScenarioOperationsOnTheWorld) {
  // Fleets: route and a ship at full durability placed with its commander at the capital.
  MakeCapital(2, 10, 11, 12);
  FleetData[2][3].CanUse = 1;
  CmdData[40].Belong = 2;
  CmdData[40].UnderFleet = 3;
  ScnSetFleetShip(2, 3, 1, 2, 0, -1, 0, -1);
  EXPECT_TRUE(IsFleetShipValid(2, 3, 1));
  EXPECT_EQ(GetFleetShipPtr(2, 3, 1)->Hp, 120);
  EXPECT_EQ(GetFleetX(2, 3), 11);
  ScnSetFleetRootTbl(2, 3, 5);
  EXPECT_EQ(FleetData[2][3].Root, 5);
  // Relations and commanders.
  ScnSetCountryRelation(5, 2, kRelationAlly);
  EXPECT_EQ(GetCountryRelation(2, 5), kRelationAlly);
  ScnSetCmdBelong(40, 7);
  EXPECT_EQ(GetCmdBelong(40), 7);
  EXPECT_EQ(GetCmdUnderFleet(40), -1);
  EXPECT_EQ(ScnGetPlanetBelong(10), 2);
  EXPECT_EQ(ScnGetPlanetBelong(100), -1);
  // The battle record.
  BtInfo.attacker = 3;
  BtInfo.defender = 4;
  BtInfo.planet = 17;
  BtInfo.kind = kBtKindPlanet;
  BtInfo.winner = -1;
  EXPECT_EQ(ScnGetBtAtkCountry(), 3);
  EXPECT_EQ(ScnGetBtDefCountry(), 4);
  EXPECT_EQ(ScnGetBtPlanet(), 17);
  EXPECT_EQ(ScnGetBtKind(), 2);
  ScnSetBtWinner(4);
  EXPECT_EQ(BtInfo.winner, 4);
  BtInfo = TBtInfo{};
}

TEST_F(StoryTest, RemovingPlanets) {
  // An ordinary planet: the owner lives on, its fleets there go home, the planet leaves the map.
  MakeCapital(3, 10, 30, 31);
  PlacePlanet(11, 5, 5, 3);
  MakeFleet(3, 0, 1, 5, 5);
  ScnRemovePlanet(11);
  EXPECT_TRUE(IsCountryAlive(3));
  EXPECT_EQ(GetPlanetBelong(11), -1);
  EXPECT_FALSE(IsPlanetOnMap(11));
  EXPECT_EQ(GetPlanetX(11), -1);
  EXPECT_EQ(GetFleetX(3, 0), 30);

  // A capital: the owner is destroyed and its planets pass to country 0; the capital itself
  // ends unowned and off the map.
  PlacePlanet(12, 6, 6, 3);
  ScnRemovePlanet(10);
  EXPECT_FALSE(IsCountryAlive(3));
  EXPECT_EQ(GetPlanetBelong(12), 0);
  EXPECT_EQ(GetPlanetBelong(10), -1);
  EXPECT_FALSE(IsPlanetOnMap(10));
  EXPECT_FALSE(IsFleetShipValid(3, 0, 0));

  // The capital of country 0 itself: country 0 is destroyed, its other planets stay its own.
  MakeCapital(0, 20, 1, 1);
  PlacePlanet(21, 2, 2, 0);
  ScnRemovePlanet(20);
  EXPECT_FALSE(IsCountryAlive(0));
  EXPECT_EQ(GetPlanetBelong(21), 0);
  EXPECT_EQ(GetPlanetBelong(20), -1);
  EXPECT_FALSE(IsPlanetOnMap(20));
  ScnRemovePlanet(100);  // nothing
}

TEST_F(StoryTest, ScreenOperationsGoThroughTheHost) {
  RedrawMap();
  EXPECT_EQ(host.draws, 1);
  ShowMapPlanet(12);
  EXPECT_EQ(host.centredPlanets, std::vector<int>{12});
  EXPECT_EQ(host.sleeps, std::vector<int>{1000});
  ScnPlayMovie(1);
  EXPECT_FALSE(GetGameEndFlag());
  ScnPlayMovie(2);
  EXPECT_TRUE(GetGameEndFlag());
  EXPECT_EQ(host.movies, (std::vector<std::pair<int, int>>{{56, 1}, {56, 2}}));
}

TEST_F(StoryTest, SaveAndLoadRoundTripByteForByte) {
  std::mt19937 rng(13);
  StoryData.Century = RandomValue(rng);
  StoryData.Month = RandomValue(rng);
  StoryData.Fukukan = RandomValue(rng);
  StoryData.LoadMap = RandomValue(rng);
  RandomBytes(StoryData.Flag, sizeof StoryData.Flag, rng);
  for (int i = 0; i < kStoryVarCount; ++i) {
    StoryData.Var[i] = RandomValue(rng);
    StoryData.FundVar[i] = RandomValue(rng);
    StoryData.Cnt[i] = RandomValue(rng);
  }
  const TStoryData saved = StoryData;
  TTempStream out;
  TDatFile w(out.get());
  SaveLoadStory(&w, kSaveModeWrite);
  EXPECT_FALSE(w.HasError());
  const std::string bytes = out.Contents();
  EXPECT_EQ(bytes.compare(0, 14, std::string("STORY_CENTURY\0", 14)), 0);
  EXPECT_EQ(bytes.size(), (14 + 4 + 4 + 4) + (12 + 4 + 4 + 4) + (14 + 4 + 4 + 4) + (15 + 4 + 4 + 4) +
                              (11 + 5 + 4 + 256) + (10 + 4 + 4 + 256) + (15 + 4 + 4 + 256) + (10 + 4 + 4 + 256));
  ResetWorld();
  TTempStream in(bytes);
  TDatFile r(in.get());
  SaveLoadStory(&r, kSaveModeLoad);
  EXPECT_FALSE(r.HasError());
  EXPECT_EQ(std::memcmp(&saved, &StoryData, sizeof saved), 0);
  TTempStream again;
  TDatFile w2(again.get());
  SaveLoadStory(&w2, kSaveModeWrite);
  EXPECT_EQ(again.Contents(), bytes);

  // The save/load screen's header.
  TTempStream head(bytes);
  TDatFile h(head.get());
  int chapter = 0, year = 0, period = 0;
  EXPECT_TRUE(ReadSaveHeader(&h, &chapter, &year, &period));
  EXPECT_EQ(chapter, saved.Var[0]);
  EXPECT_EQ(year, saved.Century);
  EXPECT_EQ(period, saved.Month);
  EXPECT_FALSE(ReadSaveHeader(&h, nullptr, &year, &period));
  EXPECT_FALSE(ReadSaveHeader(nullptr, &chapter, &year, &period));
}

TEST_F(StoryTest, NewGameAndDamagedHeaders) {
  StoryData.Var[0] = 9;
  StoryData.Flag[3] = 1;
  StoryData.Cnt[7] = 4;
  StoryData.FundVar[1] = 8;
  TTempStream empty;
  TDatFile e(empty.get());
  SaveLoadStory(&e, kSaveModeNew);  // reads nothing
  EXPECT_EQ(GetStoryYear(), 4032);
  EXPECT_EQ(GetStoryPeriod(), 1);
  EXPECT_EQ(GetFukukan(), 2);
  EXPECT_EQ(GetStoryLoadMap(), 0);
  EXPECT_EQ(GetStoryChapter(), 0);
  EXPECT_FALSE(GetStoryFlag(3));
  EXPECT_EQ(GetStoryCnt(7), 0);
  EXPECT_EQ(StoryData.FundVar[1], 0);
  // A missing file does nothing.
  StoryData.Century = 4100;
  SaveLoadStory(nullptr, kSaveModeNew);
  EXPECT_EQ(GetStoryYear(), 4100);

  // A header whose variable block is cut short reports failure and leaves the outputs alone.
  const std::string cut = TKeyedBytes()
                              .Ints("STORY_CENTURY", {4040})
                              .Ints("STORY_MONTH", {3})
                              .Raw("STORY_VAR", "int", 64, std::string(12, '\x01'))
                              .str();
  TTempStream in(cut);
  TDatFile r(in.get());
  int chapter = -7, year = -7, period = -7;
  EXPECT_FALSE(ReadSaveHeader(&r, &chapter, &year, &period));
  EXPECT_EQ(chapter, -7);
  EXPECT_EQ(year, -7);
  // A wrong count is the keyed file's count error.
  const std::string wrong = TKeyedBytes().Ints("STORY_CENTURY", {4040, 1}).str();
  TTempStream in2(wrong);
  TDatFile r2(in2.get());
  EXPECT_EQ(ErrorOf([&] { ReadSaveHeader(&r2, &chapter, &year, &period); }),
            SJS("例外 ChkDatType 読み込んだファイルとﾃﾞｰﾀ個数がちがう"));
}

TEST_F(StoryTest, RandomFilesNeverCrashTheWorldReaders) {
  // Random bytes, and random values inside well-formed blocks, through every reader of the world
  // units: only the keyed file's own errors may come out.
  std::mt19937 rng(17);
  for (int round = 0; round < 60; ++round) {
    std::string bytes;
    if (round % 2 == 0) {
      bytes.resize(rng() % 4096);
      RandomBytes(bytes.data(), bytes.size(), rng);
    } else {
      TKeyedBytes file;
      const char* keys[] = {"STORY_CENTURY", "STORY_VAR", "FLEET_XY", "PLANET_XY", "CMD_BELONG", "DOCK_ABT"};
      for (int b = 0; b < 4; ++b) {
        std::string values(rng() % 1200, '\0');
        RandomBytes(values.data(), values.size(), rng);
        file.Raw(keys[rng() % 6], "int", static_cast<std::uint32_t>(rng() % 300), values);
      }
      bytes = file.str();
    }
    for (int mode : {kSaveModeLoad, kSaveModeNew}) {
      auto run = [&](auto routine) {
        TTempStream in(bytes);
        TDatFile f(in.get());
        try {
          routine(&f, mode);
        } catch (const EGameError&) {
        }
      };
      run(SaveLoadStory);
      run(SaveLoadFleet);
      run(SaveLoadPlanet);
      run(SaveLoadPlanetXY);
      run(SaveLoadDock);
      run(SaveLoadCmd);
      TTempStream in(bytes);
      TDatFile f(in.get());
      int c = 0, y = 0, p = 0;
      try {
        ReadSaveHeader(&f, &c, &y, &p);
      } catch (const EGameError&) {
      }
    }
    // Whatever was read, the world operations stay inside their tables.
    PutFleetsOnMap();
    PutPlanetsOnMap();
    AdvanceStoryDate();
    AdvanceStoryCnt();
    for (int c = 0; c < kCountryCount; ++c) {
      ArriveReturningFleets(c);
      AdvanceDocks(c);
    }
  }
}
