// Whole games from the generated data set, played headless: the screens are recording fakes that
// answer every question at once, battles run in the frame simulation without a window.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "battle/Btmain.h"
#include "campaign/Country.h"
#include "campaign/File_manager.h"
#include "campaign/Fleet.h"
#include "campaign/GameHost.h"
#include "campaign/GameSave.h"
#include "campaign/Gmain.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "campaign/Ship.h"
#include "campaign/Story.h"
#include "campaign/W5scn01.h"
#include "platform/base/Sjis.h"
#include "support/RecordingHost.h"
#include "support/Scratch.h"
#include "tools/Generator.h"
#include "tools/SampleData.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

class HeadlessGame : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<test::TScratch>("game");
    dir_ = scratch_->Path();
    ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(dir_.string(), stages_)));
    old_ = fs::current_path();
    fs::current_path(dir_);
    map_ = std::make_unique<TQvMap>();
    map_->ClearMap();
    QvMap = map_.get();
    SetBattleEntry(&BtBattleStart);
    SetGameEndFlag(false);
  }
  void TearDown() override {
    SetBattleEntry(nullptr);
    QvMap = nullptr;
    fs::current_path(old_);
    scratch_.reset();
  }

  // A new game as the save/load screen starts it, then up to 30 rounds; the player acts through
  // `act` at the start of each of its turns. Answers the number of rounds played.
  template <typename Act>
  int Play(Act act) {
    EXPECT_TRUE(SaveLoadGame(kSaveModeNew, -1));
    StartNewGame();
    int rounds = 0;
    while (rounds < 30 && host_.saveLoadCalls.empty()) {
      act();
      EndPlayerTurn();
      ++rounds;
    }
    return rounds;
  }

  // The game ended in one of the three ways the story allows.
  void ExpectEnded() {
    ASSERT_EQ(host_.saveLoadCalls.size(), 1u) << "the game ended and offered the save/load screen";
    const bool ending = GetStoryFlag(14) || GetStoryFlag(15);
    const bool fallen = !IsCountryAlive(0);
    EXPECT_TRUE(ending || fallen);
    const auto gameOverReports = std::count_if(host_.messages.begin(), host_.messages.end(), [](const std::string& m) {
      return m.find("ゲームオーバー") != std::string::npos;
    });
    if (ending) {
      EXPECT_EQ(host_.movies.back().second, kEndingMovie);
      EXPECT_EQ(gameOverReports, 0);
    } else {
      EXPECT_EQ(gameOverReports, 1);
    }
    // Events 0 to 3 came first, in order.
    ASSERT_GE(host_.dialogues.size(), 4u);
    EXPECT_EQ(std::vector<int>(host_.dialogues.begin(), host_.dialogues.begin() + 4),
              (std::vector<int>{kMesA0, kMesA1, kMesA2, kMesA3}));
    EXPECT_EQ(host_.movies.front().second, 1) << "the opening movie";
  }

  // Every movie and sound the game played, and the story's ending movie, are in the generated
  // folder under the locator's names.
  void ExpectMediaExist() {
    std::set<int> movies = {kEndingMovie};
    for (const auto& [kind, number] : host_.movies) movies.insert(number);
    for (int number : movies) {
      const fs::path path = dir_ / "inter" / TFileManager::FindName(TFileManager::kMovieTable, kFileKindMovie, number);
      EXPECT_TRUE(fs::is_regular_file(path)) << path;
      EXPECT_GT(fs::file_size(path), 100000u) << path;
    }
    EXPECT_FALSE(host_.waves.empty());
    for (const auto& [kind, number, wait] : host_.waves) {
      const fs::path path = dir_ / "snd" / TFileManager::FindName(TFileManager::kSoundTable, kind, number);
      EXPECT_TRUE(fs::is_regular_file(path)) << path;
    }
  }

  std::vector<std::string> stages_ = {"world"};
  test::TRecordingHost host_;
  std::unique_ptr<test::TScratch> scratch_;
  fs::path dir_, old_;
  std::unique_ptr<TQvMap> map_;
};

// The same game in a folder generated with every stage.
class HeadlessGameInAWholeFolder : public HeadlessGame {
 protected:
  HeadlessGameInAWholeFolder() { stages_.clear(); }
};

TEST_F(HeadlessGameInAWholeFolder, AnIdlePlayerLosesTheCapital) {
  const int rounds = Play([] {});
  ExpectEnded();
  ExpectMediaExist();
  EXPECT_FALSE(IsCountryAlive(0));
  EXPECT_GE(rounds, 6) << "the Empire needs several turns to reach the capital";
  EXPECT_FALSE(GetGameEndFlag()) << "cleared by the end of the game";
}

TEST_F(HeadlessGame, APlayerWhoDefendsTheCapitalPlaysOn) {
  // Each turn the player fills the capital's empty satellite slots while the funds last, and every
  // fleet that can reach an enemy fleet in open space this turn moves beside it and attacks it (the
  // battles run in the frame simulation).
  int battles = 0;
  const int rounds = Play([this, &battles] {
    TShipData sat{{50, 0, 20, 15, -1}, 0};
    sat.Hp = GetShipMaxHp(&sat);
    for (int slot = 0; slot < kPlanetSateCount; ++slot) {
      if (IsPlanetSateValid(0, slot) || GetCountryFund(0) < GetShipPrice(&sat)) continue;
      AddCountryFund(0, -GetShipPrice(&sat));
      SetPlanetSate(0, slot, &sat);
    }
    for (int f = 0; f < kFleetCount; ++f) {
      if (!IsFleetOnMap(0, f) || !GetFleetCanMove(0, f)) continue;
      // Within this turn's range, a cell beside an enemy fleet in open space: move there.
      map_->MakeMoveRange(0, 0, GetFleetX(0, f), GetFleetY(0, f), GetFleetMoveStep(0, f), 1);
      int moveX = -1, moveY = -1;
      for (int y = 0; y < kMapSize && moveX < 0; ++y) {
        for (int x = 0; x < kMapSize && moveX < 0; ++x) {
          if (map_->GetMark(x, y) != kMarkReachable) continue;
          const int dx[4] = {-1, 0, 0, 1}, dy[4] = {0, -1, 1, 0};
          for (int d = 0; d < 4; ++d) {
            int c = -1, e = -1;
            if (FindFleetAtXY(x + dx[d], y + dy[d], &c, &e) && GetCountryRelation(0, c) == kRelationWar &&
                FindPlanetAtXY(x + dx[d], y + dy[d]) == -1) {
              moveX = x;
              moveY = y;
            }
          }
        }
      }
      map_->ClearMark();
      if (moveX < 0) continue;
      map_->MoveFleet(0, f, moveX, moveY);
      const int x = GetFleetX(0, f), y = GetFleetY(0, f);
      if (!map_->ChkAttackAround(0, x, y)) continue;
      const int dx[4] = {-1, 0, 0, 1}, dy[4] = {0, -1, 1, 0};
      for (int d = 0; d < 4; ++d) {
        const int tx = x + dx[d], ty = y + dy[d];
        if (map_->GetMark(tx, ty) != kMarkTarget || FindPlanetAtXY(tx, ty) != -1) continue;
        map_->AttackTarget(0, f, tx, ty);
        ++battles;
        break;
      }
      map_->ClearMark();
    }
  });
  ExpectEnded();
  EXPECT_GT(battles, 0);
  EXPECT_GT(rounds, 6) << "defended longer than an idle player";
}

}  // namespace
}  // namespace vdmq
