// The turn flow: the order of the computer countries, dead and doubled turn orders, the player's
// turn start, the quit flag, the fall of the player's capital and the scenario's ending, clicks
// during the round, new and loaded games, and a whole headless game that saves, loads, goes on and
// plays the same way twice.
#include "campaign/Gmain.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "campaign/Cmd.h"
#include "campaign/Country.h"
#include "campaign/FileKinds.h"
#include "campaign/Fleet.h"
#include "campaign/GameSave.h"
#include "campaign/Planet.h"
#include "campaign/Save.h"
#include "campaign/Story.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "platform/sys/Services.h"
#include "support/GameFiles.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq {
namespace {

using test::TRecordingHost;

class GmainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::MakeCapital(0, 0, 2, 2);
    test::MakeCapital(3, 3, 40, 10);
    test::MakeCapital(4, 4, 40, 20);
    test::MakeCapital(6, 6, 40, 30);
    CountryData[6].Turn = 4;  // a second country of turn order 4
    PlanetData[0].IncomeFund = 70;
    host_.onSleep = [this] {
      if (host_.sleeps.back() == 500) turns_.push_back(GetTurnCountry());
    };
  }
  int Period() const { return GetStoryPeriod(); }

  test::TTestMap world_;
  TRecordingHost host_;
  std::vector<int> turns_;  // the turn country at each turn pause
};

TEST_F(GmainTest, RoundRunsTheLivingCountriesInTurnOrderThenThePlayer) {
  const int period = Period();
  EndPlayerTurn();
  EXPECT_EQ(turns_, (std::vector<int>{3, 4, 0})) << "country 6 shares order 4 with 4 and never moves";
  EXPECT_EQ(host_.processed, 2) << "dead countries are skipped without a pause";
  EXPECT_EQ(GetCountryFund(6), 0);
  EXPECT_EQ(host_.cmd, (std::vector<bool>{false, true}));
  EXPECT_NE(Period(), period);
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[0], "今期の収入 70");
  EXPECT_EQ(host_.captions[0], "報告");
  EXPECT_EQ(host_.messages[1], "プレイヤーのターン");
  EXPECT_EQ(host_.captions[1], "確認");
  EXPECT_EQ(GetCountryFund(0), 70);
  EXPECT_TRUE(host_.saveLoadCalls.empty());
  // The player's turn start centres on the capital before and after its pause, and speaks.
  EXPECT_EQ(host_.centredPlanets.back(), 0);
  ASSERT_FALSE(host_.waves.empty());
  EXPECT_EQ(std::get<1>(host_.waves.back()), 2);
  EXPECT_FALSE(std::get<2>(host_.waves.back()));
}

TEST_F(GmainTest, TurnStartRunsTheCountrysUpkeep) {
  test::MakeFleet(3, 0, 7, 41, 10);
  FleetData[3][0].CanMove = 0;
  FleetData[3][1].Returning = 1;
  CmdData[7].Fatigue = 500;
  CmdData[8].Belong = 3;
  CmdData[8].Fatigue = 500;
  PlanetData[3].IncomeFund = 12;
  StartCountryTurn(3);
  EXPECT_EQ(GetTurnCountry(), 3);
  EXPECT_EQ(GetCountryFund(3), 12);
  EXPECT_TRUE(GetFleetCanMove(3, 0));
  EXPECT_FALSE(GetFleetReturning(3, 1));
  EXPECT_EQ(GetCmdFatigue(8), 400) << "a commander without a fleet rests";
  EXPECT_EQ(host_.sleeps, std::vector<int>{500});
  EXPECT_TRUE(host_.messages.empty()) << "only the player's turn start reports";
}

TEST_F(GmainTest, QuitFlagStopsTheRoundBeforeTheNextCountry) {
  host_.onProcess = [this] {
    if (host_.processed == 2) host_.quit = true;
  };
  const int period = Period();
  EndPlayerTurn();
  EXPECT_EQ(turns_, std::vector<int>{3});
  EXPECT_EQ(host_.cmd, std::vector<bool>{false}) << "the command bar stays off";
  EXPECT_EQ(Period(), period);
  EXPECT_FALSE(IsTurnRunning());
}

TEST_F(GmainTest, ClicksDuringTheRoundAreIgnored) {
  test::MakeFleet(0, 0, 0, 10, 10);
  int modeSeen = -1;
  host_.onProcess = [&] {
    QvMap->Click(0, 10, 10);
    QvMap->SetMode(1);
    QvMap->Click(1, 10, 10);
    modeSeen = QvMap->GetMode();
    QvMap->SetMode(0);
  };
  EndPlayerTurn();
  EXPECT_TRUE(host_.fleetForms.empty());
  EXPECT_EQ(modeSeen, 1);
  EXPECT_EQ(host_.cmd, (std::vector<bool>{false, true}));
  // Outside the round the same click opens the fleet screen.
  QvMap->Click(0, 10, 10);
  EXPECT_EQ(host_.fleetForms.size(), 1u);
}

TEST_F(GmainTest, FallOfThePlayersCapitalEndsTheGame) {
  SetCountryRelation(3, 0, kRelationWar);
  test::MakeFleet(3, 0, 5, 3, 2);  // next to the player's capital
  InitGameScreen();                // remembers the home world
  const int period = Period();
  host_.saveLoadAnswers = {-1};
  EndPlayerTurn();
  EXPECT_FALSE(IsCountryAlive(0));
  EXPECT_EQ(turns_, std::vector<int>{3}) << "no further country moves";
  EXPECT_EQ(Period(), period);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0], SjisToUtf8(GetPlanetName(0)) + "陥落しました・・・<BR>ゲームオーバーです。");
  EXPECT_EQ(host_.captions[0], "報告");
  ASSERT_EQ(host_.saveLoadCalls.size(), 1u);
  EXPECT_EQ(host_.saveLoadCalls[0], (std::pair<bool, bool>{false, false}));
  EXPECT_EQ(host_.cmd.back(), true);
}

TEST_F(GmainTest, ScenarioEndingStopsTheRoundWithoutReport) {
  host_.onSleep = [this] {
    if (host_.sleeps.back() == 500) turns_.push_back(GetTurnCountry());
    if (GetTurnCountry() == 3) SetGameEndFlag(true);
  };
  EndPlayerTurn();
  EXPECT_EQ(turns_, std::vector<int>{3});
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(host_.saveLoadCalls.size(), 1u);
  EXPECT_FALSE(GetGameEndFlag());
  EXPECT_TRUE(IsCountryAlive(0));
}

TEST_F(GmainTest, NewGameStartsTheFirstTurnAndALoadedGameResumesWithoutOne) {
  StartLoadedGame();
  EXPECT_EQ(GetCountryFund(0), 0) << "no income on loading";
  EXPECT_TRUE(host_.sleeps.empty());
  EXPECT_EQ(host_.mapMusic, 1);
  EXPECT_EQ(host_.cmd, std::vector<bool>{true});
  EXPECT_EQ(host_.reloads, 1);
  EXPECT_EQ(host_.zenBases, 1);
  EXPECT_EQ(GetTurnCountry(), 0);

  StartNewGame();
  EXPECT_EQ(GetCountryFund(0), 70);
  EXPECT_EQ(host_.movies, (std::vector<std::pair<int, int>>{{56, 1}}));
  EXPECT_EQ(turns_, std::vector<int>{0});
  EXPECT_EQ(host_.cmd, (std::vector<bool>{true, true}));
}

// A host that also writes every visible step of the turn flow into one trace, in order.
class TTraceHost : public TRecordingHost {
 public:
  void Sleep(int ms) override {
    trace.push_back("sleep " + std::to_string(ms) + " c" + std::to_string(GetTurnCountry()));
    TRecordingHost::Sleep(ms);
  }
  void ProcessMessages() override {
    trace.push_back("process");
    TRecordingHost::ProcessMessages();
  }
  void SetMapCenterPlanet(int planet) override {
    trace.push_back("centre " + std::to_string(planet));
    TRecordingHost::SetMapCenterPlanet(planet);
  }
  void SetCmdEnable(bool on) override {
    trace.push_back(on ? "cmd on" : "cmd off");
    TRecordingHost::SetCmdEnable(on);
  }
  int SysMes(const std::string& text, const std::string& caption, int withCancel) override {
    trace.push_back("mes " + SjisToUtf8(text) + (GetStoryPeriod() == oldPeriod ? " old date" : " new date"));
    return TRecordingHost::SysMes(text, caption, withCancel);
  }
  void PlayWave(int kind, int number, bool wait) override {
    trace.push_back("wave " + std::to_string(number) + (wait ? " wait" : ""));
    TRecordingHost::PlayWave(kind, number, wait);
  }
  std::vector<std::string> trace;
  int oldPeriod = GetStoryPeriod();
};

TEST(GmainOrderTest, RoundAndPlayerTurnStartRunTheirStepsInOrder) {
  test::TTestMap world;
  test::MakeCapital(0, 0, 2, 2);
  test::MakeCapital(3, 3, 40, 10);
  test::MakeCapital(4, 4, 40, 20);
  PlanetData[0].IncomeFund = 70;
  TTraceHost host;
  EndPlayerTurn();
  // The command bar goes off first; each computer country lets messages run, then its turn start
  // pauses and centres on its capital; the date moves on before the player's turn start, which
  // centres and reports before its pause, then centres again, speaks and announces the turn.
  EXPECT_EQ(host.trace, (std::vector<std::string>{
                            "cmd off",
                            "process",
                            "sleep 500 c3",
                            "centre 3",
                            "process",
                            "sleep 500 c4",
                            "centre 4",
                            "centre 0",
                            "mes 今期の収入 70 new date",
                            "sleep 500 c0",
                            "centre 0",
                            "wave 2",
                            "mes プレイヤーのターン new date",
                            "cmd on",
                        }));
}

// ---------------------------------------------------------------------------------------------
// Whole headless games from a small new-game data set.

class HeadlessGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two computer countries with designs the test catalogue builds (12 and 13) fight each other
    // and country 1; the player stays out of their wars.
    for (int c : {12, 13}) {
      const int capital = 10 + c;
      PlanetData[capital].Belong = c;
      CountryData[c].Capital = capital;
      CountryData[c].Fund = 5000;
      DockData[capital].Abt[0] = 20;
      DockData[capital].Abt[1] = 10;
      for (int f = 0; f < 3; ++f) {
        FleetData[c][f].CanUse = 1;
        CmdData[20 + 10 * (c - 12) + f].Belong = c;
      }
      CmdData[20 + 10 * (c - 12)].UnderFleet = 0;
    }
    SetCountryRelation(12, 13, kRelationWar);
    SetCountryRelation(12, 1, kRelationWar);
    SetCountryRelation(13, 1, kRelationWar);
    game_.WriteInit();
    const int cells[][2] = {{5, 5}, {30, 8}, {8, 30}, {20, 20}, {24, 12}, {12, 24}};
    const int planets[] = {0, 1, 2, 3, 22, 23};
    for (int i = 0; i < 6; ++i) SetPlanetXY(planets[i], cells[i][0], cells[i][1]);
    for (int y = 0; y < kMapSize; ++y) {
      for (int x = 0; x < kMapSize; ++x) map_.SetChip(x, y, (x == 16 && y > 2 && y < 40) ? 20 : 0);
    }
    game_.WriteMap(test::TGameFiles::kMap0);
    game_.ResetWorld();
  }

  // New game, rounds, save to slot 3 halfway, more rounds, load slot 3, more rounds. Answers the
  // world after the last round.
  std::string PlayGame(int* battles, int* builtOrMoved) {
    TRecordingHost host;
    StdSrand(7);
    EXPECT_TRUE(SaveLoadGame(kSaveModeNew, -1));
    // The scenario gives routes; here every fleet of 12 and 13 follows route 0 (planets 3, 2, 1, 0).
    for (int c : {12, 13}) {
      for (int f = 0; f < kFleetCount; ++f) SetFleetRootTbl(c, f, 0);
    }
    StartNewGame();
    const std::string start = test::WorldBytes();
    for (int round = 0; round < 6; ++round) EndPlayerTurn();
    EXPECT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
    const std::string saved = test::WorldBytes();
    for (int round = 0; round < 3; ++round) EndPlayerTurn();
    EXPECT_TRUE(SaveLoadGame(kSaveModeLoad, 3));
    StartLoadedGame();
    EXPECT_EQ(test::WorldBytes() == saved, true) << "the load restores the saved world";
    for (int round = 0; round < 6; ++round) EndPlayerTurn();
    *battles = static_cast<int>(host.battles.size());
    *builtOrMoved = static_cast<int>(host.sleeps.size());
    EXPECT_NE(test::WorldBytes(), start);
    EXPECT_TRUE(IsCountryAlive(0));
    EXPECT_EQ(host.cmd.back(), true);
    return test::WorldBytes();
  }

  test::TGameFiles game_;
  TQvMap& map_ = game_.map;
};

TEST_F(HeadlessGameTest, WholeGameSavesLoadsGoesOnAndReplaysIdentically) {
  int battles1 = 0, steps1 = 0, battles2 = 0, steps2 = 0;
  const std::string first = PlayGame(&battles1, &steps1);
  // The computer countries built, deployed, appointed, moved and fought.
  EXPECT_GT(battles1, 0);
  EXPECT_GT(steps1, 15 * 3) << "more than the turn pauses: fleets moved";
  int deployed = 0;
  for (int c : {12, 13}) {
    for (int f = 0; f < kFleetCount; ++f) deployed += IsFleetAlive(c, f) ? 1 : 0;
  }
  EXPECT_GT(deployed, 0);

  game_.ResetWorld();
  const std::string second = PlayGame(&battles2, &steps2);
  EXPECT_EQ(battles1, battles2);
  EXPECT_EQ(steps1, steps2);
  EXPECT_TRUE(first == second) << "the same game played twice gives the same world";
}

TEST_F(HeadlessGameTest, GameOverScreenStartsTheChosenGameAndAsksAgainAfterAFailedLoad) {
  TRecordingHost host;
  ASSERT_TRUE(SaveLoadGame(kSaveModeNew, -1));
  StartNewGame();
  ASSERT_TRUE(SaveLoadGame(kSaveModeWrite, 3));
  const std::string saved = test::WorldBytes();

  // The player's capital falls; slot 6 holds nothing, so the screen comes again; slot 3 resumes.
  SetPlanetBelong(GetCountryCapital(0), 1);
  ASSERT_FALSE(IsCountryAlive(0));
  host.saveLoadAnswers = {6, 3};
  const int music = host.mapMusic;
  ChkGameOver();
  EXPECT_EQ(host.saveLoadCalls.size(), 2u);
  EXPECT_EQ(host.mapMusic, music + 1);
  EXPECT_TRUE(IsCountryAlive(0));
  EXPECT_TRUE(test::WorldBytes() == saved);
  EXPECT_EQ(host.cmd.back(), true);

  // The scenario's ending: no report; a new game starts with its opening movie.
  SetGameEndFlag(true);
  host.saveLoadAnswers = {-2};
  const std::size_t messages = host.messages.size();
  const std::size_t movies = host.movies.size();
  ChkGameOver();
  EXPECT_FALSE(GetGameEndFlag());
  EXPECT_EQ(host.movies.size(), movies + 1);
  ASSERT_GT(host.messages.size(), messages);
  EXPECT_EQ(host.messages[messages].rfind("今期の収入", 0), 0u) << "the new game's first turn, no report";
}

}  // namespace
}  // namespace vdmq
