// The whole screen of a battle on the generated data set, with the random numbers reset: a space
// battle and a planet defence, each at its first frame and after 100 frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "battle/Btinfo.h"
#include "battle/Btmain.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/StdRandom.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "platform/headless/TestKit.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/BattleWorld.h"
#include "support/GameFolder.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"

namespace vdmq {
namespace {

class BattleScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::IsGoldenArchive()) GTEST_SKIP() << "the build's picture archive is not the golden pictures' one";
    InstallBattleWindow();
    game_ = std::make_unique<TGameSession>();
    ASSERT_NE(fmBtMain, nullptr);
    session_.Backend.Driver = [] {
      if (fmSysMes == nullptr || TopModal() != fmSysMes) return false;
      Click(fmSysMes->btnOk, mbLeft, false);
      return true;
    };
  }
  void TearDown() override {
    session_.Backend.Driver = nullptr;
    game_.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
  }

  // Runs the battle, comparing the screen after frames 1 and 100 with the golden pictures, then
  // withdraws.
  void Shoot(const std::string& name, const std::function<void()>& start) {
    TTimer* timer = fmBtMain->TimerMain;
    TNotifyEvent tick = timer->OnTimer();
    int ticks = 0;
    timer->SetOnTimer([&](TComponent* s) {
      ++ticks;
      if (ticks == 2) {
        EXPECT_TRUE(test::MatchesGolden(session_.Backend.LastScreen(), "battle_window", name + "_1"));
      }
      if (ticks == 101) {
        EXPECT_TRUE(test::MatchesGolden(session_.Backend.LastScreen(), "battle_window", name + "_100"));
        BtPlayerRetreat();
      }
      tick(s);
    });
    StdSrand(1);
    start();
    timer->SetOnTimer(tick);
    EXPECT_GT(ticks, 101);
  }

  test::TGameFolder folder_;
  THeadlessSession session_;
  std::unique_ptr<TGameSession> game_;
};

TEST_F(BattleScreen, SpaceBattle) {
  bttest::PutSampleBattleSides();
  Shoot("space", [] { BtBattleStart(0, 0, bttest::kSampleEnemy, 0, -1); });
}

TEST_F(BattleScreen, PlanetDefence) {
  const int capital = bttest::PutSampleBattleSides();
  Shoot("defence", [capital] { BtBattleStart(bttest::kSampleEnemy, 0, 0, -1, capital); });
}

}  // namespace
}  // namespace vdmq
